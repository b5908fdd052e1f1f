#!/usr/bin/env bash
# Runs the end-to-end tests of discovery against the independent
# python3-zeroconf library: the real Tessaly and the test that drives it on
# one machine, the library on another, each a network namespace of its own,
# joined by a veth pair (local-network.sh). The library registers "Zeroconf
# Peer" at its own address and "Café Peer ☃" at another one, and browses
# when the test asks it to. Where this machine refuses the namespaces, the
# tests run without a peer and skip, saying why.
#   zeroconf-interop.sh TEST_EXE TESSALY_EXE EMULATOR ARCHITECTURE
set -euo pipefail
test_exe=$1 tessaly=$2
shift 2
wine=("$@")
here_dir=$(cd "$(dirname "$0")" && pwd)

source "$here_dir/local-network.sh"
local_network_names zeroconf 215
other=198.51.100.7
work=$(mktemp -d /tmp/larkspan-zeroconf.XXXXXX)
cleanup() {
  end_local_network
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

setup() {
  /usr/bin/python3 -c 'import zeroconf' 2>&1 ||
    { echo "python3-zeroconf is not installed (scripts/setup.sh installs it)"; return 1; }
  make_local_network || return 1
  mkdir "$work/talk"
  ip netns exec "$ns_b" /usr/bin/python3 "$here_dir/zeroconf-peer.py" --address "$addr_b" \
    --register "Zeroconf Peer" --register-at "Café Peer ☃" "$other" \
    --talk "$work/talk" --ready "$work/ready" </dev/null >"$work/peer.log" 2>&1 &
  start_wine_machine "$ns_a" "$work/prefix" "${wine[1]}" || { echo "no Wine in the namespace"; return 1; }
  for _ in $(seq 1 300); do
    [ -e "$work/ready" ] && return 0
    sleep 0.1
  done
  echo "the library registered nothing: $(cat "$work/peer.log")"
  return 1
}

if setup >"$work/why" 2>&1; then
  echo "Tessaly at $addr_a, python3-zeroconf at $addr_b"
  status=0
  LARKSPAN_ZEROCONF_PEER=$addr_b LARKSPAN_ZEROCONF_OTHER=$other LARKSPAN_ZEROCONF_TALK=$work/talk \
    LARKSPAN_ZEROCONF_HERE=$addr_a WINEPREFIX=$work/prefix \
    ip netns exec "$ns_a" "${wine[@]}" "$test_exe" "$tessaly" --gtest_filter='TessalyZeroconf.*' || status=$?
  [ "$status" = 0 ] || { echo "== the library's log"; cat "$work/peer.log"; }
  exit "$status"
else
  echo "No multicast DNS peer for this run: $(cat "$work/why")" >&2
  "${wine[@]}" "$test_exe" "$tessaly" --gtest_filter='TessalyZeroconf.*'
fi
