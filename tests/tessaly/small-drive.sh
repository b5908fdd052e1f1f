#!/usr/bin/env bash
# Runs a Windows test with a small drive that a transfer can fill: a tmpfs of
# 4 MiB, mounted for the run and mapped to a free drive letter of the Wine
# prefix in WINEPREFIX; the test finds the drive's root in
# LARKSPAN_SMALL_DRIVE. Where this machine does not allow the mount, the test
# runs without the drive and skips what needs it, saying why.
#   small-drive.sh TEST_EXE GTEST_FILTER EMULATOR [EMULATOR ARGUMENTS...]
set -euo pipefail
test_exe=$1 filter=$2
shift 2
: "${WINEPREFIX:?is the Wine prefix to map the drive in}"

mnt=$(mktemp -d /tmp/larkspan-small-drive.XXXXXX)
link=
cleanup() {
  [ -n "$link" ] && rm -f "$link"
  mountpoint -q "$mnt" && umount "$mnt"
  rmdir "$mnt"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

drive=
if why=$(mount -t tmpfs -o size=4m,mode=0777 larkspan-small-drive "$mnt" 2>&1); then
  for letter in r s t u v w x y; do
    if [ ! -e "$WINEPREFIX/dosdevices/$letter:" ] && [ ! -L "$WINEPREFIX/dosdevices/$letter:" ]; then
      link="$WINEPREFIX/dosdevices/$letter:"
      ln -s "$mnt" "$link"
      drive="${letter^^}:\\"
      break
    fi
  done
  [ -n "$drive" ] || why="no drive letter is free in $WINEPREFIX"
fi
if [ -n "$drive" ]; then
  export LARKSPAN_SMALL_DRIVE="$drive"
else
  echo "No small drive for this run: ${why:-mounting failed}" >&2
  unset LARKSPAN_SMALL_DRIVE
fi
"$@" "$test_exe" --gtest_filter="$filter"
