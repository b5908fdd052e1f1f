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

# Names and a /30 of 10.213.0.0/16 of this run's own.
ns=larkspan-peer-$$
veth=lkp$$
n=$(($$ % 16384))
here=10.213.$((n / 64)).$((n % 64 * 4 + 1))
peer=10.213.$((n / 64)).$((n % 64 * 4 + 2))
work=$(mktemp -d /tmp/larkspan-silent-peer.XXXXXX)
made_ns=0 made_link=0
cleanup() {
  if [ "$made_ns" = 1 ]; then
    # Only what this run started lives in the namespace: the peer and the
    # copies it forked for its connections.
    ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null || true
    ip netns delete "$ns" 2>/dev/null || true
  fi
  [ "$made_link" = 1 ] && ip link delete "$veth" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

setup_peer() {
  command -v ip >/dev/null || { echo "ip (iproute2) is not installed"; return 1; }
  command -v socat >/dev/null || { echo "socat is not installed (scripts/setup.sh installs it)"; return 1; }
  ip netns add "$ns" 2>&1 || return 1
  made_ns=1
  ip link add "$veth" type veth peer name "${veth}p" 2>&1 || return 1
  made_link=1
  ip link set "${veth}p" netns "$ns" 2>&1 &&
    ip address add "$here/30" dev "$veth" 2>&1 &&
    ip link set "$veth" up 2>&1 &&
    ip -n "$ns" address add "$peer/30" dev "${veth}p" 2>&1 &&
    ip -n "$ns" link set "${veth}p" up 2>&1 &&
    ip -n "$ns" link set lo up 2>&1 || return 1
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
