#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for
# FUZZ_SECONDS (default 180). Findings and the grown corpus stay in build/fuzz;
# the repository keeps only its small seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
command -v clang++ >/dev/null || { export DEBIAN_FRONTEND=noninteractive; apt-get install -y -qq clang; }

cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLARKSPAN_FUZZ=ON -DLARKSPAN_SANITIZE=OFF -DBUILD_TESTING=OFF >/dev/null
targets=(StreamHeaderFuzz:stream-header ReceivedNameFuzz:received-name GifImageFuzz:gif-image)
cmake --build build/fuzz --target "${targets[@]%%:*}"

for entry in "${targets[@]}"; do
  target=${entry%%:*} corpus=${entry#*:}
  echo "== $target for ${FUZZ_SECONDS:-180} s"
  mkdir -p "build/fuzz/corpus/$corpus"
  cp -n "fuzz/corpus/$corpus"/* "build/fuzz/corpus/$corpus/" 2>/dev/null || true
  "build/fuzz/bin/$target" -max_total_time="${FUZZ_SECONDS:-180}" -artifact_prefix=build/fuzz/ \
    "build/fuzz/corpus/$corpus"
done
