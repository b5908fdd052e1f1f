#!/usr/bin/env bash
# The Windows components against the Linux peer, both ways, over loopback.
#   interop.sh POSIX_PEER STREAM_TOOL_EXE EMULATOR [EMULATOR ARGUMENTS...]
set -euo pipefail
peer=$1 tool=$2
shift 2
wine=("$@")
work=$(mktemp -d /tmp/larkspan-interop.XXXXXX)
trap 'rm -rf "$work"' EXIT
head -c 300000 /dev/urandom >"$work/content"

wait_listening() {  # file that the listener prints "listening" to
  for _ in $(seq 1 300); do grep -q listening "$1" 2>/dev/null && return 0; sleep 0.05; done
  echo "listener did not start" >&2; return 1
}

# Windows receives from Linux.
"${wine[@]}" "$tool" receive 47301 "$work/from-linux" >"$work/tool.out" 2>&1 &
receiver=$!
wait_listening "$work/tool.out"
sleep 0.5
"$peer" send 47301 "linux name.txt" "$work/content"
wait "$receiver"
grep -qx 'linux name.txt' <(tr -d '\r' <"$work/tool.out")
cmp "$work/content" "$work/from-linux"

# Linux receives from Windows.
"$peer" receive 47302 "$work/from-windows" >"$work/peer.out" &
receiver=$!
wait_listening "$work/peer.out"
"${wine[@]}" "$tool" send 47302 "windows.bin" "$work/content"
wait "$receiver"
grep -qx 'windows.bin' "$work/peer.out"
cmp "$work/content" "$work/from-windows"
echo "1 passed, 0 failed: interop both ways"
