# Source me: a local network of two machines of their own for an end-to-end
# test of discovery, made of two network namespaces joined by a veth pair
# (and not to this machine, whose other programs stay out of it), with names
# and a /30 of this run's own. A Wine program on one of them needs a
# wineserver started in its namespace, and so a prefix of its own, since
# Wine's sockets are made by the wineserver.
# Defines ns_a, ns_b (the namespaces), addr_a, addr_b (their addresses) and
# removes everything it made when end_local_network runs.
#   local_network_names PREFIX NET    (NET: the 10.NET.0.0/16 to take from)
#   make_local_network                 (says why and fails where refused)
#   start_wine_machine NS PREFIX ARCH  (a prefix made and its wineserver
#                                       kept alive in the namespace)
#   end_local_network                  (for the caller's own exit trap)

local_network_names() {
  ns_a=larkspan-$1-a-$$
  ns_b=larkspan-$1-b-$$
  link_a=l${1:0:1}a$$
  link_b=l${1:0:1}b$$
  local n=$(($$ % 16384))
  addr_a=10.$2.$((n / 64)).$((n % 64 * 4 + 1))
  addr_b=10.$2.$((n / 64)).$((n % 64 * 4 + 2))
  made_a=0 made_b=0 made_pair=0
}

make_local_network() {
  command -v ip >/dev/null || { echo "ip (iproute2) is not installed"; return 1; }
  ip netns add "$ns_a" 2>&1 || return 1
  made_a=1
  ip netns add "$ns_b" 2>&1 || return 1
  made_b=1
  ip link add "$link_a" type veth peer name "$link_b" 2>&1 || return 1
  made_pair=1
  # Multicast needs nothing more: the senders name the interface of each
  # packet and the receivers join the group on it, so no route is added.
  ip link set "$link_a" netns "$ns_a" 2>&1 &&
    ip link set "$link_b" netns "$ns_b" 2>&1 &&
    ip -n "$ns_a" address add "$addr_a/30" dev "$link_a" 2>&1 &&
    ip -n "$ns_b" address add "$addr_b/30" dev "$link_b" 2>&1 &&
    ip -n "$ns_a" link set "$link_a" up 2>&1 &&
    ip -n "$ns_b" link set "$link_b" up 2>&1 &&
    ip -n "$ns_a" link set lo up 2>&1 &&
    ip -n "$ns_b" link set lo up 2>&1
}

# The prefix is made (or updated) inside the namespace; the wineserver that
# prepare_prefix keeps alive lives there, and with it every Wine program
# later started in that namespace with that prefix.
start_wine_machine() {
  local ns=$1 prefix=$2 arch=$3
  WINEPREFIX=$prefix ip netns exec "$ns" bash -c \
    "source '$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine.sh'; select_wine '$arch' && prepare_prefix without-window-manager"
}

end_local_network() {
  local ns
  for ns in "$ns_a" "$ns_b"; do
    # Only what this run started lives in the namespace: asked to end, then
    # made to after five seconds.
    ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null || true
  done
  for _ in $(seq 1 50); do
    [ -z "$(ip netns pids "$ns_a" 2>/dev/null)$(ip netns pids "$ns_b" 2>/dev/null)" ] && break
    sleep 0.1
  done
  for ns in "$ns_a" "$ns_b"; do
    ip netns pids "$ns" 2>/dev/null | xargs -r kill -KILL 2>/dev/null || true
  done
  [ "$made_a" = 1 ] && ip netns delete "$ns_a" 2>/dev/null || true
  [ "$made_b" = 1 ] && ip netns delete "$ns_b" 2>/dev/null || true
  # The pair goes with its namespaces; this is for one made but not moved.
  [ "$made_pair" = 1 ] && ip link delete "$link_a" 2>/dev/null || true
}
