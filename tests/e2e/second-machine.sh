# Source me: a second machine for an end-to-end test, made of a network
# namespace joined to this one by a veth pair, with names and a /30 of this
# run's own. Defines ns, veth, here (this side's address) and peer (the
# namespace's), and removes everything it made when the script exits.
#   second_machine_names PREFIX NET    (NET: the 10.NET.0.0/16 to take from)
#   make_second_machine                (says why and fails where refused)
#   end_second_machine                 (for the caller's own exit trap)

second_machine_names() {
  ns=larkspan-$1-$$
  veth=lk${1:0:1}$$
  local n=$(($$ % 16384))
  here=10.$2.$((n / 64)).$((n % 64 * 4 + 1))
  peer=10.$2.$((n / 64)).$((n % 64 * 4 + 2))
  made_ns=0 made_link=0
}

make_second_machine() {
  command -v ip >/dev/null || { echo "ip (iproute2) is not installed"; return 1; }
  ip netns add "$ns" 2>&1 || return 1
  made_ns=1
  ip link add "$veth" type veth peer name "${veth}p" 2>&1 || return 1
  made_link=1
  ip link set "${veth}p" netns "$ns" 2>&1 &&
    ip address add "$here/30" dev "$veth" 2>&1 &&
    ip link set "$veth" up 2>&1 &&
    ip -n "$ns" address add "$peer/30" dev "${veth}p" 2>&1 &&
    ip -n "$ns" link set "${veth}p" up 2>&1 &&
    ip -n "$ns" link set lo up 2>&1
}

end_second_machine() {
  if [ "$made_ns" = 1 ]; then
    # Only what this run started lives in the namespace: asked to end, then
    # made to after five seconds.
    ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null || true
    for _ in $(seq 1 50); do
      [ -z "$(ip netns pids "$ns" 2>/dev/null)" ] && break
      sleep 0.1
    done
    ip netns pids "$ns" 2>/dev/null | xargs -r kill -KILL 2>/dev/null || true
    ip netns delete "$ns" 2>/dev/null || true
  fi
  [ "$made_link" = 1 ] && ip link delete "$veth" 2>/dev/null || true
}
