#!/usr/bin/env bash
# Builds everything and runs every test headless: the portable core natively
# with AddressSanitizer and UBSan, then the Windows programs and their tests
# under Wine on Xvfb (1366 x 768 x 24) in a fresh temporary prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh
jobs=$(nproc)

echo "== Native core (ASan + UBSan)"
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/host -j "$jobs"
ctest --test-dir build/host --output-on-failure -j "$jobs"

echo "== Windows programs under Wine"
configure_win32 -DLARKSPAN_POSIX_PEER="$PWD/build/host/bin/posix_peer"
cmake --build build/win32 -j "$jobs"

start_throwaway_wine
ctest --test-dir build/win32 --output-on-failure
