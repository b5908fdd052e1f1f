#!/usr/bin/env bash
# Runs the end-to-end tests that send to a silent peer: a second machine made
# of a network namespace joined to this one by a veth pair, where socat takes
# connections on port 6501, reads everything and never answers. What it reads
# is appended to a file. The test finds the peer's address in
# LARKSPAN_SILENT_PEER and the file in LARKSPAN_SILENT_PEER_LOG. Where this
# machine refuses the namespace, the tests run without a peer and skip,
# saying why.
#   silent-peer.sh TEST_EXE TESSALY_EXE EMULATOR [EMULATOR ARGUMENTS...]
set -euo pipefail
test_exe=$1 tessaly=$2
shift 2

source "$(dirname "$0")/second-machine.sh"
second_machine_names peer 213
work=$(mktemp -d /tmp/larkspan-silent-peer.XXXXXX)
cleanup() {
  end_second_machine
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

setup_peer() {
  command -v socat >/dev/null || { echo "socat is not installed (scripts/setup.sh installs it)"; return 1; }
  make_second_machine || return 1
  # -u: from the connection to the file only, so nothing is ever written back.
  ip netns exec "$ns" socat -u "TCP-LISTEN:6501,bind=$peer,reuseaddr,fork" \
    "OPEN:$work/received,creat,append" </dev/null >"$work/socat.log" 2>&1 &
  for _ in $(seq 1 100); do
    [ -n "$(ip netns exec "$ns" ss -Hltn "sport = :6501")" ] && return 0
    sleep 0.05
  done
  echo "socat does not listen on $peer:6501: $(cat "$work/socat.log")"
  return 1
}

if setup_peer >"$work/why" 2>&1; then
  export LARKSPAN_SILENT_PEER=$peer LARKSPAN_SILENT_PEER_LOG=$work/received
else
  echo "No silent peer for this run: $(cat "$work/why")" >&2
  unset LARKSPAN_SILENT_PEER LARKSPAN_SILENT_PEER_LOG
fi
"$@" "$test_exe" "$tessaly" --gtest_filter='TessalySilentPeer.*'
