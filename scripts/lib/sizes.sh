# The size limit of a shipped executable and its check; sourced by the
# package and test scripts after scripts/lib/wine.sh (for arch_bits).
# Defines functions only.

# Strips Tessaly.exe and Brimwell.exe of a build's bin folder into `stage`,
# prints each stripped size against the 600 KB limit (614,400 bytes) and
# returns 1 when any is at or over it, 2 when a program could not be stripped.
strip_programs() {
  local bin=$1 arch=$2 stage=$3 limit=$((600 * 1024)) over=0 program size verdict
  for program in Tessaly Brimwell; do
    "${arch}-w64-mingw32-strip" -o "$stage/$program.exe" "$bin/$program.exe" || return 2
    size=$(stat -c %s "$stage/$program.exe") || return 2
    verdict="under the 600 KB limit"
    if [ "$size" -ge "$limit" ]; then
      verdict="OVER the 600 KB limit"
      over=1
    fi
    awk -v b="$(arch_bits "$arch")" -v p="$program" -v s="$size" -v v="$verdict" \
      'BEGIN { printf "%s %s.exe: %d bytes (%.1f KB), %s\n", b, p, s, s / 1024, v }'
  done
  return "$over"
}
