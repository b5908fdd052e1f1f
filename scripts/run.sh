#!/usr/bin/env bash
# Builds Tessaly and Brimwell and starts both under Wine, side by side in one
# program folder as a user installs them. On an X desktop it uses the
# existing display; otherwise it starts Xvfb (see the README for screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

arch=$(runnable_arch)
dir=$(build_dir "$arch")
echo "Running the $(arch_bits "$arch") build under $(arch_bits "$arch") Wine"
configure_windows "$arch"
cmake --build "$dir" --target Tessaly Brimwell
select_wine "$arch"

export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/larkspan/wineprefix-$arch}"
wm=
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  trap stop_xvfb EXIT
  wm=without-window-manager
  echo "No X display: running on Xvfb $DISPLAY"
fi
prepare_prefix $wm
trap 'stop_wine; stop_xvfb' EXIT
make_program_folder "$dir/bin"
"$WINE" "$dir/bin/Brimwell.exe" &
"$WINE" "$dir/bin/Tessaly.exe"
wait
