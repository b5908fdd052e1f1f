#!/usr/bin/env bash
# The figures of local network discovery, on a network of two machines of
# their own (two network namespaces joined by a veth pair), on the display
# and with the Wine width that scripts/bench.sh chose:
#  - a browse (DiscoveryBenchmark, what "Who's Online?" starts) until it
#    lists 1, 10 and 50 instances that python3-zeroconf registers on the
#    other machine, next to the 1.5 s the discovery window waits anyway;
#  - the idle cost of announcing: Tessaly with Announce=1 on one machine and
#    with Announce=0 on the other, side by side for DISCOVERY_IDLE_SECONDS
#    (600 by default), their CPU time as a share of one core.
#   bench-discovery.sh ARCHITECTURE BUILD_DIR
set -euo pipefail
arch=$1 dir=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/wine.sh"
source "$root/tests/e2e/local-network.sh"
select_wine "$arch"

local_network_names bench 218
work=$(mktemp -d /tmp/larkspan-bench-discovery.XXXXXX)
trap 'end_local_network; rm -rf "$work"' EXIT
if ! /usr/bin/python3 -c 'import zeroconf' 2>/dev/null; then
  echo "== Discovery: skipped, python3-zeroconf is not installed (scripts/setup.sh installs it)"
  exit 0
fi
if ! make_local_network >"$work/why" 2>&1; then
  echo "== Discovery: skipped, this machine refuses network namespaces: $(cat "$work/why")"
  exit 0
fi
start_wine_machine "$ns_a" "$work/prefix-a" "$arch"

echo "== Discovery: a browse until every answering instance is listed"
for count in 1 10 50; do
  rm -f "$work/ready"
  ip netns exec "$ns_b" /usr/bin/python3 "$root/tests/e2e/zeroconf-peer.py" --address "$addr_b" --count "$count" \
    --ready "$work/ready" </dev/null >"$work/peer.log" 2>&1 &
  peer=$!
  for _ in $(seq 1 600); do
    [ -e "$work/ready" ] && break
    sleep 0.1
  done
  [ -e "$work/ready" ] || { echo "python3-zeroconf registered nothing: $(cat "$work/peer.log")"; exit 1; }
  sleep 1
  WINEPREFIX=$work/prefix-a ip netns exec "$ns_a" "$WINE" "$root/$dir/bench/DiscoveryBenchmark.exe" "$count" 5 \
    </dev/null || echo "(some browse did not list them all)"
  kill "$peer"
  wait "$peer" || true
done

seconds=${DISCOVERY_IDLE_SECONDS:-600}
echo "== Discovery: the idle cost of announcing over $seconds s"
start_wine_machine "$ns_b" "$work/prefix-b" "$arch"
for side in a b; do
  make_program_folder "$work/tessaly-$side"
  cp "$root/$dir/bin/Tessaly.exe" "$work/tessaly-$side/"
done
# Apart on the screen, so that neither covers the other.
printf '[Tessaly]\r\nLeft Side=1168\r\nTop Side=255\r\n' >"$work/tessaly-a/Larkspan.ini"
printf '[Tessaly]\r\nLeft Side=300\r\nTop Side=100\r\n[File Portal]\r\nAnnounce=0\r\n' >"$work/tessaly-b/Larkspan.ini"
(cd "$work/tessaly-a" && WINEPREFIX=$work/prefix-a exec ip netns exec "$ns_a" "$WINE" Tessaly.exe) </dev/null >/dev/null 2>&1 &
(cd "$work/tessaly-b" && WINEPREFIX=$work/prefix-b exec ip netns exec "$ns_b" "$WINE" Tessaly.exe) </dev/null >/dev/null 2>&1 &
sleep 10  # started, names claimed and announced
# The processes of a namespace by the name the kernel gives them.
pid_of() { ip netns pids "$1" | while read -r p; do grep -qi "$2" "/proc/$p/comm" 2>/dev/null && echo "$p"; done | head -n 1 || true; }
tessaly_a=$(pid_of "$ns_a" tessaly) tessaly_b=$(pid_of "$ns_b" tessaly)
server_a=$(pid_of "$ns_a" wineserver) server_b=$(pid_of "$ns_b" wineserver)
for p in tessaly_a tessaly_b server_a server_b; do
  [ -n "${!p}" ] || { echo "no $p process"; exit 1; }
done
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
ta0=$(ticks "$tessaly_a") tb0=$(ticks "$tessaly_b") sa0=$(ticks "$server_a") sb0=$(ticks "$server_b")
sleep "$seconds"
ta1=$(ticks "$tessaly_a") tb1=$(ticks "$tessaly_b") sa1=$(ticks "$server_a") sb1=$(ticks "$server_b")
awk -v ta=$((ta1 - ta0)) -v tb=$((tb1 - tb0)) -v sa=$((sa1 - sa0)) -v sb=$((sb1 - sb0)) -v hz="$(getconf CLK_TCK)" \
  -v s="$seconds" 'BEGIN {
  share = 100 / hz / s
  printf "Announce=1: Tessaly %.4f %% of one core, with its wineserver %.4f %%\n", ta * share, (ta + sa) * share
  printf "Announce=0: Tessaly %.4f %% of one core, with its wineserver %.4f %%\n", tb * share, (tb + sb) * share
  d = (ta - tb) * share; dw = (ta + sa - tb - sb) * share
  printf "announcing costs %.4f %% of one core (%.4f %% with the wineservers); limit 0.05 %%, resolution %.4f %%: %s\n",
    d, dw, share, (d < 0.05 && dw < 0.05) ? "within" : "OVER"
}'
