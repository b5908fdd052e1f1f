#!/usr/bin/env bash
# Builds both widths in Release, strips the programs and writes one zip per
# width into dist/: Tessaly.exe, Brimwell.exe, the suite's two (empty) list
# files and a short readme. Prints the size of every executable.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib/wine.sh
version=$(sed -n 's/^project(Larkspan VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
limit=$((1536 * 1024))
mkdir -p dist
for arch in i686 x86_64; do
  bits=$(arch_bits "$arch")
  dir=build/release-$arch
  echo "== $bits Release build"
  configure_windows_in "$dir" "$arch" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  cmake --build "$dir" -j "$(nproc)" --target Tessaly Brimwell

  stage=$(mktemp -d /tmp/larkspan-package.XXXXXX)
  for program in Tessaly Brimwell; do
    "${arch}-w64-mingw32-strip" -o "$stage/$program.exe" "$dir/bin/$program.exe"
    size=$(stat -c %s "$stage/$program.exe")
    verdict="under the 1.5 MB target"
    [ "$size" -lt "$limit" ] || verdict="OVER the 1.5 MB target"
    awk -v b="$bits" -v p="$program" -v s="$size" -v v="$verdict" \
      'BEGIN { printf "%s %s.exe: %d bytes (%.2f MB), %s\n", b, p, s, s / 1048576, v }'
  done
  make_program_folder "$stage"
  sed -e "s/@VERSION@/$version/" -e "s/@BITS@/$bits/" scripts/lib/package-readme.txt | sed 's/$/\r/' >"$stage/ReadMe.txt"
  zip_name="dist/Larkspan-$version-win${bits%-bit}.zip"
  rm -f "$zip_name"
  (cd "$stage" && zip -q -X "$OLDPWD/$zip_name" Tessaly.exe Brimwell.exe SumvexFileList.dat QuilloFileList.dat IPAddress.dat \
    ReadMe.txt)
  rm -rf "$stage"
  echo "Wrote $zip_name"
done
