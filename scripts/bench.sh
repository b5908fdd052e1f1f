#!/usr/bin/env bash
# Builds the benchmark programs and runs them under Wine on Xvfb in a fresh
# prefix; each prints its figures next to a floor measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh

cmake -S . -B build/win32 -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
cmake --build build/win32 --target ListAllBenchmark PaintBenchmark

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/larkspan-wine.XXXXXX)
cleanup() { stop_wine; stop_xvfb; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
start_xvfb
prepare_prefix without-window-manager

echo "== List All Recent Documents"
wine build/win32/bench/ListAllBenchmark.exe </dev/null

echo "== Panel and list painting"
wine build/win32/bench/PaintBenchmark.exe </dev/null
