#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan; the core they
# test is instrumented too) and runs each for FUZZ_SECONDS (default 180).
# Prints each target's run count and final coverage; exits non-zero when any
# target reports a finding, whose reproducer stays in build/fuzz/findings.
# The grown corpus stays in build/fuzz; the repository keeps only its seeds.
# FUZZ_TARGETS (names, space separated) runs a subset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh fuzz

cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLARKSPAN_FUZZ=ON -DLARKSPAN_SANITIZE=OFF -DBUILD_TESTING=OFF >/dev/null
# Each line of fuzz/targets.txt: a target and its seed corpus folder.
targets=()
while read -r target corpus; do
  [[ -z ${FUZZ_TARGETS:-} || " $FUZZ_TARGETS " == *" $target "* ]] && targets+=("$target:$corpus")
done <fuzz/targets.txt
cmake --build build/fuzz --target "${targets[@]%%:*}"

mkdir -p build/fuzz/findings
failed=()
summary=()
for entry in "${targets[@]}"; do
  target=${entry%%:*} corpus=${entry#*:}
  echo "== $target for ${FUZZ_SECONDS:-180} s"
  mkdir -p "build/fuzz/corpus/$corpus"
  cp -n "fuzz/corpus/$corpus"/* "build/fuzz/corpus/$corpus/" 2>/dev/null || true
  log=build/fuzz/$target.log
  status=0
  "build/fuzz/bin/$target" -max_total_time="${FUZZ_SECONDS:-180}" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/findings/ "build/fuzz/corpus/$corpus" >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" || true
  # The last status line holds the final coverage; the final stats the runs.
  last=$(grep -E '^#[0-9]+[[:space:]]' "$log" | tail -n 1 || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  edges=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  if ((status != 0)) || grep -qE '^(==[0-9]+==ERROR|SUMMARY: )|runtime error:' "$log"; then
    failed+=("$target")
    sed -n '/==[0-9]*==ERROR\|runtime error:\|^SUMMARY\|^artifact_prefix\|Test unit written/p' "$log"
    summary+=("$target: FINDING after ${runs:-?} runs (log: $log)")
  else
    summary+=("$target: ${runs:-?} runs, ${edges:-?} edges, ${features:-?} features, no finding")
  fi
done

echo "== summary"
printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "findings in: ${failed[*]}" >&2
  exit 1
fi
