#!/usr/bin/env bash
# Runs the end-to-end tests that send between two real portals on two
# machines: a second Tessaly, the receiver, runs in a network namespace of its
# own joined to this one by a veth pair, so that both listen on port 6501.
# Wine's sockets are made by the wineserver, so the receiver has a wineserver
# of its own in the namespace, and with it a Wine prefix of its own (on the
# same display). The receiver's widget stands apart from the sender's, placed
# by the Larkspan.ini of its own program folder.
# The test finds the receiver's address in LARKSPAN_RECEIVER, the place of its
# widget in LARKSPAN_RECEIVER_PLACE ("left,top") and its drive C: (a Unix
# path) in LARKSPAN_RECEIVER_DRIVE_C. Where this machine refuses the
# namespace, the tests run without a receiver and skip, saying why; a
# receiver that does not come up fails the run.
#   two-portals.sh TEST_EXE TESSALY_EXE EMULATOR ARCHITECTURE
set -euo pipefail
test_exe=$1 tessaly=$2
shift 2
wine=("$@")
source "$(dirname "$0")/../../scripts/lib/wine.sh"

source "$(dirname "$0")/second-machine.sh"
second_machine_names portal 214
left=300 top=100
work=$(mktemp -d /tmp/larkspan-two-portals.XXXXXX)
cleanup() {
  end_second_machine
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# In the namespace: a prefix and a wineserver of the receiver's own, and the
# receiving Tessaly listening.
start_receiver() {
  WINEPREFIX=$work/prefix ip netns exec "$ns" bash -c \
    "source '$(dirname "$0")/../../scripts/lib/wine.sh'; select_wine '${wine[1]}' && prepare_prefix without-window-manager" ||
    return 1
  make_program_folder "$work/receiver"
  cp "$tessaly" "$work/receiver/Tessaly.exe"
  printf '[Tessaly]\r\nLeft Side=%s\r\nTop Side=%s\r\n' "$left" "$top" >"$work/receiver/Larkspan.ini"
  (cd "$work/receiver" && WINEPREFIX=$work/prefix exec ip netns exec "$ns" "${wine[@]}" "$work/receiver/Tessaly.exe") </dev/null >"$work/receiver.log" 2>&1 &
  for _ in $(seq 1 300); do
    [ -n "$(ip netns exec "$ns" ss -Hltn "sport = :6501")" ] && return 0
    sleep 0.05
  done
  echo "the receiving Tessaly does not listen on $peer:6501: $(cat "$work/receiver.log")"
  return 1
}

if make_second_machine >"$work/why" 2>&1; then
  start_receiver || exit 1
  export LARKSPAN_RECEIVER=$peer LARKSPAN_RECEIVER_PLACE=$left,$top LARKSPAN_RECEIVER_DRIVE_C=$work/prefix/drive_c
else
  echo "No receiving portal for this run: $(cat "$work/why")" >&2
  unset LARKSPAN_RECEIVER LARKSPAN_RECEIVER_PLACE LARKSPAN_RECEIVER_DRIVE_C
fi
"${wine[@]}" "$test_exe" "$tessaly" --gtest_filter='TessalyTwoPortals.*'
