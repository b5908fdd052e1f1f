#!/usr/bin/env bash
# Builds Tessaly and starts it under Wine. On an X desktop it uses the
# existing display; otherwise it starts Xvfb (see the README for screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

cmake -S . -B build/win32 -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/win32 --target Tessaly

export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/larkspan/wineprefix}"
mkdir -p "$(dirname "$WINEPREFIX")"
wm=
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  trap stop_xvfb EXIT
  wm=without-window-manager
  echo "No X display: running on Xvfb $DISPLAY"
fi
prepare_prefix $wm
trap 'stop_wine; stop_xvfb' EXIT
wine build/win32/bin/Tessaly.exe
