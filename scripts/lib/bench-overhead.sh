#!/usr/bin/env bash
# Brimwell's sampling cost: the CPU time of its process over BENCH_SECONDS
# (60 by default) as a share of one core, next to an idle Tessaly of the same
# width (same toolkit, no timer) measured in the same span. Each width gets a
# Wine prefix and a display of its own, one width after the other, so that
# neither disturbs the other's figures.
#   bench-overhead.sh [ARCHITECTURE...]
# Without arguments: both widths where this host runs 32-bit programs, the
# 64-bit one otherwise. Builds the two programs of each width first.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
source scripts/lib/wine.sh

seconds=${BENCH_SECONDS:-60}
target=0.3  # percent of one core
if [ $# -eq 0 ]; then
  if host_runs_32bit; then set -- i686 x86_64; else set -- x86_64; fi
fi

measure() {
  local arch=$1 dir folder brimwell tessaly b0 b1 t0 t1
  dir=$(build_dir "$arch")
  start_throwaway_wine "$arch" >/dev/null
  folder=$(mktemp -d /tmp/larkspan-bench.XXXXXX)
  THROWAWAY_PATHS+=("$folder")
  cp "$dir/bin/Brimwell.exe" "$dir/bin/Tessaly.exe" "$folder/"
  make_program_folder "$folder"
  # The loader becomes the program: these are the programs' own process ids.
  "$WINE" "$folder/Brimwell.exe" </dev/null >/dev/null 2>&1 &
  brimwell=$!
  "$WINE" "$folder/Tessaly.exe" </dev/null >/dev/null 2>&1 &
  tessaly=$!
  sleep 5  # started and sampling: what follows is the steady state
  kill -0 "$brimwell" 2>/dev/null && kill -0 "$tessaly" 2>/dev/null || { echo "Brimwell or Tessaly did not start"; return 1; }
  b0=$(cpu_ticks "$brimwell") t0=$(cpu_ticks "$tessaly")
  sleep "$seconds"
  b1=$(cpu_ticks "$brimwell") t1=$(cpu_ticks "$tessaly")
  kill "$brimwell" "$tessaly" 2>/dev/null || true
  wait "$brimwell" "$tessaly" 2>/dev/null || true
  awk -v bits="$(arch_bits "$arch")" -v b="$((b1 - b0))" -v t="$((t1 - t0))" -v hz="$(getconf CLK_TCK)" \
    -v s="$seconds" -v target="$target" 'BEGIN {
    share = 100 / hz / s
    printf "%s Brimwell: %.2f %% of one core; idle Tessaly: %.2f %%; target under %s %% (%s; resolution %.3f %%)\n",
      bits, b * share, t * share, target, b * share < target ? "met" : "MISSED", share
  }'
}

for arch in "$@"; do
  configure_windows "$arch"
  cmake --build "$(build_dir "$arch")" -j2 --target Brimwell Tessaly >/dev/null
done
echo "== Sampling overhead over ${seconds} s"
failed=0
for arch in "$@"; do
  # A subshell each: its exit ends that width's Wine, display and folders. A
  # width that cannot be measured does not keep the other from it.
  (measure "$arch") || { echo "$(arch_bits "$arch"): not measured"; failed=1; }
done
exit "$failed"
