#!/usr/bin/env bash
# Builds the benchmark programs and runs them under Wine on Xvfb in a fresh
# prefix; each prints its figures next to a floor measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

configure_win32
cmake --build build/win32 --target ListAllBenchmark PaintBenchmark GaugeBenchmark TransferBenchmark Brimwell Tessaly

start_throwaway_wine

echo "== List All Recent Documents"
wine build/win32/bench/ListAllBenchmark.exe </dev/null

echo "== Panel and list painting"
wine build/win32/bench/PaintBenchmark.exe </dev/null

echo "== Stream transfer over loopback"
wine build/win32/bench/TransferBenchmark.exe </dev/null

echo "== Cylinder gauge painting"
wine build/win32/bench/GaugeBenchmark.exe </dev/null

# Brimwell's sampling cost: CPU time of its process over a minute as a share
# of one core, next to an idle Tessaly (same toolkit, no timer) measured in
# the same minute.
seconds="${BENCH_SECONDS:-60}"
echo "== Sampling overhead over ${seconds} s"
folder=$(mktemp -d /tmp/larkspan-bench.XXXXXX)
THROWAWAY_PATHS+=("$folder")
cp build/win32/bin/Brimwell.exe build/win32/bin/Tessaly.exe "$folder/"
: >"$folder/SumvexFileList.dat"
: >"$folder/QuilloFileList.dat"
wine "$folder/Brimwell.exe" </dev/null >/dev/null 2>&1 &
wine "$folder/Tessaly.exe" </dev/null >/dev/null 2>&1 &
sleep 5
brimwell=$(pgrep -f 'larkspan-bench.*Brimwell.exe' | head -n 1)
tessaly=$(pgrep -f 'larkspan-bench.*Tessaly.exe' | head -n 1)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
b0=$(ticks "$brimwell"); t0=$(ticks "$tessaly")
sleep "$seconds"
b1=$(ticks "$brimwell"); t1=$(ticks "$tessaly")
hz=$(getconf CLK_TCK)
awk -v b="$((b1 - b0))" -v t="$((t1 - t0))" -v hz="$hz" -v s="$seconds" 'BEGIN {
  printf "Brimwell: %.2f %% of one core; idle Tessaly: %.2f %%; target under 1 %%\n", 100 * b / hz / s, 100 * t / hz / s
}'
