#!/usr/bin/env bash
# Builds both widths in Release, strips the programs and writes one zip per
# width into dist/: Tessaly.exe, Brimwell.exe, the suite's two (empty) list
# files and a short readme. Prints the size of every executable and fails
# when any is 600 KB or more.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh
source scripts/lib/sizes.sh
version=$(sed -n 's/^project(Larkspan VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
oversized=0
mkdir -p dist
for arch in i686 x86_64; do
  bits=$(arch_bits "$arch")
  dir=build/release-$arch
  echo "== $bits Release build"
  configure_windows_in "$dir" "$arch" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  cmake --build "$dir" -j "$(nproc)" --target Tessaly Brimwell

  stage=$(mktemp -d /tmp/larkspan-package.XXXXXX)
  status=0
  strip_programs "$dir/bin" "$arch" "$stage" || status=$?
  [ "$status" -ne 2 ] || exit 1
  [ "$status" -eq 0 ] || oversized=1
  make_program_folder "$stage"
  sed -e "s/@VERSION@/$version/" -e "s/@BITS@/$bits/" scripts/lib/package-readme.txt | sed 's/$/\r/' >"$stage/ReadMe.txt"
  zip_name="dist/Larkspan-$version-win${bits%-bit}.zip"
  rm -f "$zip_name"
  (cd "$stage" && zip -q -X "$OLDPWD/$zip_name" Tessaly.exe Brimwell.exe SumvexFileList.dat QuilloFileList.dat IPAddress.dat \
    ReadMe.txt)
  rm -rf "$stage"
  echo "Wrote $zip_name"
done
if [ "$oversized" -ne 0 ]; then
  echo "An executable is 600 KB (614,400 bytes) or more: see the sizes above" >&2
  exit 1
fi
