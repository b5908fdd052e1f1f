#!/usr/bin/env bash
# Starts Tessaly under Xvfb with a few recent documents and saves a picture of
# the widget to docs/tessaly.png (and the whole screen to build/screens/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

configure_win32
cmake --build build/win32 --target Tessaly MakeRecentShortcuts

out=build/screens
mkdir -p "$out" docs
program=$(mktemp -d /tmp/tessaly-shot.XXXXXX)
start_throwaway_wine "$program"

cp build/win32/bin/Tessaly.exe "$program/"
printf 'C:\\Work\\Quarterly Budget.vts\r\nC:\\Work\\Sales 2026.xls\r\n' >"$program/SumvexFileList.dat"
printf 'C:\\Work\\Letter to Anna.rtf\r\nC:\\Work\\Minutes.doc\r\n' >"$program/QuilloFileList.dat"
wine build/win32/tools/MakeRecentShortcuts.exe 'C:\docs\Holiday.jpg' 'C:\docs\Notes.txt' \
  'C:\docs\Report.pdf' 'C:\music\Evening Song.mp3' 'C:\docs\index.htm' 'C:\video\Trip.avi' \
  'C:\docs\Archive.zip' </dev/null >/dev/null 2>&1

wine "$program/Tessaly.exe" </dev/null >/dev/null 2>&1 &
sleep 4
import -window root "$out/tessaly-screen.png"
# The widget stands at 1168, 255 (178 x 417) on a first run.
convert "$out/tessaly-screen.png" -crop 218x457+1148+235 +repage docs/tessaly.png

# The context menu, opened on the list, and its "List Only" submenu.
xdotool mousemove 1200 330 click 3
sleep 1.5
import -window root "$out/tessaly-menu.png"
xdotool mousemove 1230 382
sleep 1.5
import -window root "$out/tessaly-submenu.png"
convert "$out/tessaly-submenu.png" -crop 566x520+800+235 +repage docs/tessaly-menu.png
xdotool key Escape key Escape
echo "Saved docs/tessaly.png, docs/tessaly-menu.png and $out/"
