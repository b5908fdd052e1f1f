#!/usr/bin/env bash
# The real Tessaly receives a file from the independent Linux peer on
# 127.0.0.1:6501 while its portal is hidden: the file lands in C:\ with the
# same content, the received list shows it and the host field names the peer.
#   portal-receive.sh POSIX_PEER TESSALY_EXE PORTAL_READER_EXE EMULATOR [ARGUMENTS...]
set -euo pipefail
peer=$1 tessaly=$2 reader=$3
shift 3
wine=("$@")
work=$(mktemp -d /tmp/larkspan-portal.XXXXXX)
name="portal e2e $$.bin"
target="$WINEPREFIX/drive_c/$name"
program=
cleanup() {
  if [ -n "$program" ]; then
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
  fi
  rm -rf "$work" "$target"
}
trap cleanup EXIT

mkdir "$work/program"
cp "$tessaly" "$work/program/Tessaly.exe"
: >"$work/program/SumvexFileList.dat"
: >"$work/program/QuilloFileList.dat"
: >"$work/program/IPAddress.dat"
"${wine[@]}" "$work/program/Tessaly.exe" </dev/null >/dev/null 2>&1 &
program=$!

# Listening on 6501 (hexadecimal 1965, state 0A) from the start.
for _ in $(seq 1 200); do
  grep -qi ':1965 00000000:0000 0A' /proc/net/tcp && break
  sleep 0.05
done
"${wine[@]}" "$reader" host 0.0.0.0

head -c 300000 /dev/urandom >"$work/content"
"$peer" send 6501 "$name" "$work/content"
for _ in $(seq 1 200); do
  [ -f "$target" ] && cmp -s "$work/content" "$target" && break
  sleep 0.05
done
cmp "$work/content" "$target"

for _ in $(seq 1 50); do
  "${wine[@]}" "$reader" show | tr -d '\r' >"$work/portal.txt"
  grep -qxF "item: C:\\$name" "$work/portal.txt" && break
  sleep 0.1
done
grep -qxF "item: C:\\$name" "$work/portal.txt" || { cat "$work/portal.txt"; exit 1; }
grep -qxF "host: 127.0.0.1" "$work/portal.txt" || { cat "$work/portal.txt"; exit 1; }
echo "1 passed, 0 failed: the portal received from the Linux peer"
