#!/usr/bin/env bash
# Builds the benchmark programs and runs them under Wine on Xvfb in a fresh
# prefix; each prints its figures next to a floor measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

configure_win32
cmake --build build/win32 --target ListAllBenchmark PaintBenchmark

start_throwaway_wine

echo "== List All Recent Documents"
wine build/win32/bench/ListAllBenchmark.exe </dev/null

echo "== Panel and list painting"
wine build/win32/bench/PaintBenchmark.exe </dev/null
