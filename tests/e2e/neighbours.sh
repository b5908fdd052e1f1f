#!/usr/bin/env bash
# Runs the end-to-end test of two real Tessaly machines that find each other
# on their local network: two network namespaces joined by a veth pair
# (local-network.sh), each with a wineserver and a Wine prefix of its own,
# on one display. The same test runs on both at once, each driving its own
# Tessaly; they take turns at the screen through a folder both see. Where
# this machine refuses the namespaces, the test runs once without a
# neighbour and skips, saying why.
#   neighbours.sh TEST_EXE TESSALY_EXE EMULATOR ARCHITECTURE
set -euo pipefail
test_exe=$1 tessaly=$2
shift 2
wine=("$@")
here_dir=$(cd "$(dirname "$0")" && pwd)

source "$here_dir/local-network.sh"
local_network_names neighbours 216
work=$(mktemp -d /tmp/larkspan-neighbours.XXXXXX)
cleanup() {
  end_local_network
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

setup() {
  make_local_network || return 1
  mkdir "$work/meeting"
  start_wine_machine "$ns_a" "$work/prefix-a" "${wine[1]}" || { echo "no Wine in the first namespace"; return 1; }
  start_wine_machine "$ns_b" "$work/prefix-b" "${wine[1]}" || { echo "no Wine in the second namespace"; return 1; }
}

# One machine's run of the test: its name, namespace, neighbour's address
# and the place of its widget.
run() {
  LARKSPAN_ME=$1 LARKSPAN_NEIGHBOUR=$3 LARKSPAN_PLACE=$4 LARKSPAN_MEETING=$work/meeting WINEPREFIX=$work/prefix-$1 \
    ip netns exec "$2" "${wine[@]}" "$test_exe" "$tessaly" --gtest_filter='TessalyNeighbours.*' </dev/null \
    >"$work/$1.log" 2>&1
}

if setup >"$work/why" 2>&1; then
  echo "Tessaly a at $addr_a, Tessaly b at $addr_b"
  run a "$ns_a" "$addr_b" 1168,255 &
  first=$!
  run b "$ns_b" "$addr_a" 300,100 &
  second=$!
  status=0
  wait "$first" || status=1
  wait "$second" || status=1
  echo "== machine a"
  cat "$work/a.log"
  echo "== machine b"
  cat "$work/b.log"
  exit "$status"
else
  echo "No neighbour for this run: $(cat "$work/why")" >&2
  "${wine[@]}" "$test_exe" "$tessaly" --gtest_filter='TessalyNeighbours.*'
fi
