#!/usr/bin/env bash
# Builds everything and runs every test headless: the portable core natively
# with AddressSanitizer and UBSan, then the Windows programs and their tests
# under Wine on Xvfb (1366 x 768 x 24), each width in a fresh temporary prefix
# of its own, after checking that every program strips to under 600 KB.
# The 64-bit suite always runs; the 32-bit one where this host can
# run 32-bit programs (LARKSPAN_ONLY_64=1 skips it). The 32-bit build is
# compiled in any case, so both widths keep building.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh
source scripts/lib/sizes.sh
jobs=$(nproc)

echo "== Native core (ASan + UBSan)"
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/host -j "$jobs"
ctest --test-dir build/host --output-on-failure -j "$jobs"

oversized=()
arches=(x86_64)
host_runs_32bit && arches+=(i686)
for arch in x86_64 i686; do
  echo "== Windows build, $arch"
  configure_windows "$arch" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLARKSPAN_POSIX_PEER="$PWD/build/host/bin/posix_peer"
  cmake --build "$(build_dir "$arch")" -j "$jobs"
  # The test build differs from the release build only by its debugging
  # information, which stripping removes: these are the sizes that ship.
  # An oversized program fails the run at its end, after every test.
  echo "== Program sizes, $arch"
  stripped=$(mktemp -d /tmp/larkspan-sizes.XXXXXX)
  status=0
  strip_programs "$(build_dir "$arch")/bin" "$arch" "$stripped" || status=$?
  rm -rf "$stripped"
  [ "$status" -ne 2 ] || exit 1
  [ "$status" -eq 0 ] || oversized+=("$arch")
done

for arch in "${arches[@]}"; do
  echo "== Windows tests under Wine, $arch"
  (
    start_throwaway_wine "$arch"
    ctest --test-dir "$(build_dir "$arch")" --output-on-failure
  )
done
why=
if [ "${LARKSPAN_ONLY_64:-0}" = 1 ]; then
  why=" (64-bit only, as LARKSPAN_ONLY_64=1 asks)"
elif [ ${#arches[@]} = 1 ]; then
  why=" (this host cannot run 32-bit programs)"
fi
echo "== Windows suites run: ${arches[*]}$why"
if [ ${#oversized[@]} -gt 0 ]; then
  echo "Programs of 600 KB or more: ${oversized[*]} (sizes above)" >&2
  exit 1
fi
