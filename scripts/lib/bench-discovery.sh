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
half=$((seconds / 2))
echo "== Discovery: the idle cost of announcing, $seconds s with Announce=1 against $seconds s with Announce=0"
# Two machines side by side, one announcing and one not, their settings
# swapped half-way: each setting runs on both machines and both places on
# the screen for half of the period, so that what differs between them
# counts for neither setting.
start_wine_machine "$ns_b" "$work/prefix-b" "$arch"
# The processes of a namespace by the name the kernel gives them.
pid_of() { ip netns pids "$1" | while read -r p; do grep -qi "$2" "/proc/$p/comm" 2>/dev/null && echo "$p"; done | head -n 1 || true; }
declare -A used=([1]=0 [0]=0) served=([1]=0 [0]=0)
for half_run in 1 2; do
  declare -A announce=([a]=$((half_run == 1 ? 1 : 0)) [b]=$((half_run == 1 ? 0 : 1)))
  declare -A place=([a]="Left Side=1168\r\nTop Side=255" [b]="Left Side=300\r\nTop Side=100")
  declare -A ns=([a]=$ns_a [b]=$ns_b)
  for side in a b; do
    folder=$work/tessaly-$side-$half_run
    make_program_folder "$folder"
    cp "$root/$dir/bin/Tessaly.exe" "$folder/"
    printf "[Tessaly]\r\n${place[$side]}\r\n[File Portal]\r\nAnnounce=%s\r\n" "${announce[$side]}" >"$folder/Larkspan.ini"
    (cd "$folder" && WINEPREFIX=$work/prefix-$side exec ip netns exec "${ns[$side]}" "$WINE" Tessaly.exe) \
      </dev/null >/dev/null 2>&1 &
  done
  sleep 30  # started, names claimed and announced: what follows is idle
  declare -A program=() server=() t0=() s0=()
  for side in a b; do
    program[$side]=$(pid_of "${ns[$side]}" tessaly)
    server[$side]=$(pid_of "${ns[$side]}" wineserver)
    [ -n "${program[$side]}" ] && [ -n "${server[$side]}" ] || { echo "no Tessaly or wineserver on machine $side"; exit 1; }
    t0[$side]=$(cpu_ticks "${program[$side]}") s0[$side]=$(cpu_ticks "${server[$side]}")
  done
  sleep "$half"
  for side in a b; do
    t=$(($(cpu_ticks "${program[$side]}") - t0[$side])) s=$(($(cpu_ticks "${server[$side]}") - s0[$side]))
    used[${announce[$side]}]=$((used[${announce[$side]}] + t))
    served[${announce[$side]}]=$((served[${announce[$side]}] + s))
    kill "${program[$side]}"
  done
  for side in a b; do
    while kill -0 "${program[$side]}" 2>/dev/null; do sleep 0.1; done
  done
done
awk -v on="${used[1]}" -v off="${used[0]}" -v son="${served[1]}" -v soff="${served[0]}" -v hz="$(getconf CLK_TCK)" \
  -v s="$((half * 2))" 'BEGIN {
  share = 100 / hz / s
  printf "Announce=1: Tessaly %.4f %% of one core, with its wineserver %.4f %%\n", on * share, (on + son) * share
  printf "Announce=0: Tessaly %.4f %% of one core, with its wineserver %.4f %%\n", off * share, (off + soff) * share
  d = (on - off) * share; dw = (on + son - off - soff) * share
  printf "announcing costs %.4f %% of one core (%.4f %% with the wineserver); limit 0.05 %%, resolution %.4f %%: %s\n",
    d, dw, share, (d < 0.05 && dw < 0.05) ? "within" : "OVER"
}'
