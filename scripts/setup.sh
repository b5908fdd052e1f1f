#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root).
# Idempotent: when every package is already present it only checks and returns.
# Both MinGW-w64 compilers are always installed (the release package holds both
# architectures); 32-bit Wine only where this host can run 32-bit programs.
# `setup.sh fuzz` adds clang and its libFuzzer runtime for scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/host.sh

packages=(
  cmake ninja-build make g++ googletest python3 zip
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  fonts-liberation libgif-dev
  # the Japanese locale that the portal's Shift JIS test builds for its run
  locales
  # the end-to-end tests' silent peer, in a network namespace of its own
  iproute2 socat
  # the independent multicast DNS peer of the discovery tests and benchmark
  # (a Debian package: it loads under /usr/bin/python3 only)
  python3-zeroconf
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
with_i386=0
if host_runs_32bit; then
  with_i386=1
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

if [ "$with_i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
