#!/usr/bin/env bash
# Builds the benchmark programs and runs them under Wine on Xvfb in a fresh
# prefix; each prints its figures next to a floor measured in the same run.
# `bench.sh discovery` runs only the figures of local network discovery,
# `bench.sh overhead` only Brimwell's sampling cost (of both widths).
set -euo pipefail
only=${1:-}
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ "$only" = overhead ]; then
  exec bash scripts/lib/bench-overhead.sh
fi
source scripts/lib/wine.sh

# The 32-bit build where this host runs it, the 64-bit one otherwise;
# ARCH=i686 or ARCH=x86_64 chooses.
arch=${ARCH:-$(runnable_arch)}
dir=$(build_dir "$arch")
echo "Benchmarks of the $(arch_bits "$arch") build"
configure_windows "$arch"
if [ "$only" = discovery ]; then
  cmake --build "$dir" --target DiscoveryBenchmark Tessaly
else
  cmake --build "$dir" --target ListAllBenchmark PaintBenchmark GaugeBenchmark TransferBenchmark PortalBenchmark \
    DiscoveryBenchmark Brimwell Tessaly
fi

start_throwaway_wine "$arch"
if [ "$only" = discovery ]; then
  bash scripts/lib/bench-discovery.sh "$arch" "$dir"
  exit 0
fi
# The benchmarks that start Tessaly's forms find an empty address book.
: >"$dir/bench/IPAddress.dat"

echo "== List All Recent Documents"
"$WINE" "$dir"/bench/ListAllBenchmark.exe </dev/null

echo "== Panel and list painting"
"$WINE" "$dir"/bench/PaintBenchmark.exe </dev/null

echo "== Stream transfer over loopback"
"$WINE" "$dir"/bench/TransferBenchmark.exe </dev/null

echo "== File portal: sending and receiving through its handlers"
"$WINE" "$dir"/bench/PortalBenchmark.exe </dev/null

echo "== GIF decoding against giflib (native)"
cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release -DLARKSPAN_SANITIZE=OFF -DBUILD_TESTING=OFF \
  -DLARKSPAN_GIF_BENCH=ON >/dev/null
cmake --build build/bench-native --target GifBenchmark >/dev/null
gifs=$(mktemp -d /tmp/larkspan-gif.XXXXXX)
THROWAWAY_PATHS+=("$gifs")
# 50 frames of 800 x 600, each with 256 colours of its own.
for i in $(seq 0 49); do
  convert -size 800x600 gradient:"#$(printf '%02x' $((i * 5)))2040-#f0e0d0" -swirl $((i * 7)) -attenuate 0.3 \
    +noise Gaussian -colors 256 "$gifs/f$(printf '%02d' "$i").gif"
done
convert -delay 4 -loop 0 "$gifs"/f*.gif "$gifs/big.gif"
build/bench-native/bench/GifBenchmark "$gifs/big.gif"

echo "== Cylinder gauge painting"
"$WINE" "$dir"/bench/GaugeBenchmark.exe </dev/null

# Brimwell's sampling cost, for each width this host runs.
bash scripts/lib/bench-overhead.sh

bash scripts/lib/bench-discovery.sh "$arch" "$dir"
