#!/usr/bin/env bash
# Starts Brimwell, then Tessaly (with a few recent documents) under Xvfb and
# saves pictures of them: docs/brimwell.png, docs/tessaly.png,
# docs/tessaly-menu.png (the context menu with its submenu) and
# docs/tessaly-portal.png (the file portal docked to the left of the widget,
# after a few files have arrived), docs/tessaly-addresses.png (the
# portal's address book), and docs/tessaly-search.png and
# docs/tessaly-discovery.png (the network search over a sample network,
# whose provider answers slowly), and docs/tessaly-discovery-local.png
# (Who's Online? listing the machines that python3-zeroconf registers on a
# local network of two namespaces); whole screens go to build/screens/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

arch=$(runnable_arch)
dir=$(build_dir "$arch")
echo "Pictures of the $(arch_bits "$arch") build"
configure_windows "$arch"
cmake --build "$dir" --target Tessaly Brimwell MakeRecentShortcuts StreamTool DiscoveryPreview

out=build/screens
mkdir -p "$out" docs
program=$(mktemp -d /tmp/larkspan-shot.XXXXXX)
start_throwaway_wine "$arch" "$program"
cp "$dir/bin/Tessaly.exe" "$dir/bin/Brimwell.exe" "$program/"

# Brimwell stands at 1164, 216 (182 x 191) on a first run; its readings
# arrive within two seconds.
"$WINE" "$program/Brimwell.exe" </dev/null >/dev/null 2>&1 &
sleep 5
import -window root "$out/brimwell-screen.png"
convert "$out/brimwell-screen.png" -crop 222x231+1144+196 +repage docs/brimwell.png
xdotool mousemove 1328 229 click 1  # its close button
sleep 2

printf 'C:\\Work\\Quarterly Budget.vts\r\nC:\\Work\\Sales 2026.xls\r\n' >"$program/SumvexFileList.dat"
printf 'C:\\Work\\Letter to Anna.rtf\r\nC:\\Work\\Minutes.doc\r\n' >"$program/QuilloFileList.dat"
printf 'Front Desk <192.168.1.20>\r\nLab <10.0.0.5>\r\nPrinter Room <printer-2>\r\nStudio <192.168.1.44>\r\n' \
  >"$program/IPAddress.dat"
"$WINE" "$dir"/tools/MakeRecentShortcuts.exe 'C:\docs\Holiday.jpg' 'C:\docs\Notes.txt' \
  'C:\docs\Report.pdf' 'C:\music\Evening Song.mp3' 'C:\docs\index.htm' 'C:\video\Trip.avi' \
  'C:\docs\Archive.zip' </dev/null >/dev/null 2>&1

# Tessaly stands at 1168, 255 (178 x 417) on a first run.
"$WINE" "$program/Tessaly.exe" </dev/null >/dev/null 2>&1 &
tessaly=$!  # the Wine process that runs it
sleep 4
import -window root "$out/tessaly-screen.png"
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

# The portal: "<" on the widget's button bar, then three files from a peer.
xdotool mousemove 1178 625 click 1
sleep 1.5
printf 'A sample document.\r\n' >"$program/sample.txt"
sample="Z:$(echo "$program/sample.txt" | tr '/' '\\')"
for name in "Site Plan.pdf" "Budget 2027.xls" "Team Photo.jpg"; do
  "$WINE" "$dir"/tools/StreamTool.exe send 6501 "$name" "$sample" </dev/null >/dev/null 2>&1
done
sleep 2
xdotool mousemove 700 600
sleep 1
import -window root "$out/tessaly-portal-screen.png"
convert "$out/tessaly-portal-screen.png" -crop 396x457+970+235 +repage docs/tessaly-portal.png

# The address book: the portal's "...", centred on the screen.
xdotool mousemove 1144 317 click 1
sleep 1.5
xdotool mousemove 700 700
sleep 1
import -window root "$out/tessaly-addresses-screen.png"
convert "$out/tessaly-addresses-screen.png" -crop 502x381+432+193 +repage docs/tessaly-addresses.png
xdotool mousemove 863 532 click 1  # its Close
sleep 1
# Out of the way of the windows below: only the Tessaly started here, not
# one the user may have open.
kill "$tessaly" 2>/dev/null || true
wait "$tessaly" 2>/dev/null || true
sleep 2  # Wine's desktop process ends a moment after the last program

# The search window while the sample network's provider takes its time
# (the picture moves on meanwhile), then the machines it listed.
cp "$dir/bin/DiscoveryPreview.exe" "$program/"
: >"$program/IPAddress.dat"
"$WINE" "$program/DiscoveryPreview.exe" </dev/null >/dev/null 2>&1 &
sleep 3
import -window root "$out/tessaly-search-screen.png"
convert "$out/tessaly-search-screen.png" -crop 352x192+507+288 +repage docs/tessaly-search.png
sleep 6
import -window root "$out/tessaly-discovery-screen.png"
convert "$out/tessaly-discovery-screen.png" -crop 701x440+333+165 +repage docs/tessaly-discovery.png
xdotool key Escape
sleep 2

# Who's Online? on a local network of its own: Tessaly on one machine (a
# namespace with a wineserver and prefix of its own), python3-zeroconf on
# the other registering three machines; "<", "...", "Who's Online?" clicked.
source tests/e2e/local-network.sh
local_network_names shots 219
THROWAWAY_PATHS+=("$program/local")
trap 'end_local_network; stop_wine; stop_xvfb; rm -rf "${THROWAWAY_PATHS[@]}"' EXIT
if make_local_network >"$program/why" 2>&1; then
  mkdir -p "$program/local/tessaly"
  ip netns exec "$ns_b" /usr/bin/python3 tests/e2e/zeroconf-peer.py --address "$addr_b" \
    --register "Anna's Laptop" --register-at "Design Studio" 192.168.1.44 --register-at "Büro Köln" 192.168.1.61 \
    --ready "$program/local/ready" </dev/null >/dev/null 2>&1 &
  start_wine_machine "$ns_a" "$program/local/prefix" "$arch"
  make_program_folder "$program/local/tessaly"
  cp "$dir/bin/Tessaly.exe" "$program/local/tessaly/"
  (cd "$program/local/tessaly" && WINEPREFIX=$program/local/prefix exec ip netns exec "$ns_a" "$WINE" Tessaly.exe) \
    </dev/null >/dev/null 2>&1 &
  sleep 5
  xdotool mousemove 1178 625 click 1  # "<"
  sleep 1.5
  xdotool mousemove 1144 317 click 1  # "..."
  sleep 1.5
  xdotool mousemove 683 532 click 1  # "Who's Online?"
  sleep 4
  xdotool mousemove 1300 740
  sleep 1
  import -window root "$out/tessaly-discovery-local-screen.png"
  convert "$out/tessaly-discovery-local-screen.png" -crop 701x440+333+165 +repage docs/tessaly-discovery-local.png
else
  echo "No docs/tessaly-discovery-local.png: this machine refuses network namespaces: $(cat "$program/why")" >&2
fi
echo "Saved docs/brimwell.png, docs/tessaly.png, docs/tessaly-menu.png, docs/tessaly-portal.png," \
  "docs/tessaly-addresses.png, docs/tessaly-search.png, docs/tessaly-discovery.png," \
  "docs/tessaly-discovery-local.png and $out/"
