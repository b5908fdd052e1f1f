#!/usr/bin/python3
# Another machine's multicast DNS, made by the independent python3-zeroconf
# library (Debian's package, so it must run under /usr/bin/python3): it
# registers Tessaly services of its own and, on request, browses for the
# Tessaly services that answer on its network.
#
#   zeroconf-peer.py --address A [--register NAME]... [--register-at NAME B]...
#                    [--port P] [--count N] [--talk DIR] [--ready FILE]
#
# Each --register NAME is an instance of "_tessaly._tcp.local." on port P
# (6501) with TXT v=1 whose host is "<label>.local." at address A (the
# peer's own, where it sends and receives); --register-at gives the host
# another address B; --count N registers N more at A, "Peer 001" ... Once
# all are registered, FILE (--ready) is created. With --talk DIR the peer
# then takes requests: for each file DIR/ask-ID that appears, it browses
# for the number of seconds the file holds (with an empty cache, so only
# what answers now is found) and writes one line per service it resolved
# to DIR/found-ID, "name<TAB>addresses<TAB>port<TAB>txt", as a whole
# (written beside and renamed). It runs until it
# is terminated, and then withdraws its services.
import argparse
import os
import re
import signal
import sys
import time

from zeroconf import ServiceBrowser, ServiceInfo, ServiceStateChange, Zeroconf

SERVICE = "_tessaly._tcp.local."


def label(name):
    host = re.sub(r"[^a-z0-9-]", "", name.lower().replace(" ", "-")).strip("-")
    return host or "peer"


def browse(address, seconds):
    zc = Zeroconf(interfaces=[address])
    names = []

    def changed(zeroconf, service_type, name, state_change):
        if state_change is ServiceStateChange.Added and name not in names:
            names.append(name)

    browser = ServiceBrowser(zc, SERVICE, handlers=[changed])
    time.sleep(seconds)
    lines = []
    for name in list(names):
        info = zc.get_service_info(SERVICE, name, timeout=2000)
        if info is None:
            lines.append(f"{name}\t\t0\t")
            continue
        txt = " ".join(
            (k.decode("utf-8", "replace") + ("" if v is None else "=" + v.decode("utf-8", "replace")))
            for k, v in sorted(info.properties.items())
        )
        lines.append(f"{name}\t{','.join(info.parsed_addresses())}\t{info.port}\t{txt}")
    browser.cancel()
    zc.close()
    return lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--register", action="append", default=[])
    parser.add_argument("--register-at", nargs=2, action="append", default=[])
    parser.add_argument("--count", type=int, default=0)
    parser.add_argument("--port", type=int, default=6501)
    parser.add_argument("--talk")
    parser.add_argument("--ready")
    args = parser.parse_args()

    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))

    services = [(name, args.address) for name in args.register] + [tuple(s) for s in args.register_at]
    services += [(f"Peer {i:03d}", args.address) for i in range(1, args.count + 1)]
    names = [name for name, _ in services]
    zc = Zeroconf(interfaces=[args.address])
    infos = []
    for name, address in services:
        info = ServiceInfo(
            SERVICE,
            f"{name}.{SERVICE}",
            port=args.port,
            properties={"v": "1"},
            server=f"{label(name)}.local.",
            parsed_addresses=[address],
        )
        # Our own names: probing each would only take time.
        zc.register_service(info, cooperating_responders=len(names) > 1)
        infos.append(info)
    if args.ready:
        with open(args.ready + ".part", "w") as f:
            f.write("\n".join(names) + "\n")
        os.rename(args.ready + ".part", args.ready)
    print(f"registered {len(names)} services at {args.address}", flush=True)

    done = set()
    while not stop:
        if args.talk:
            for entry in sorted(os.listdir(args.talk)):
                if not entry.startswith("ask-") or entry in done:
                    continue
                done.add(entry)
                ident = entry[4:]
                with open(os.path.join(args.talk, entry)) as f:
                    seconds = float(f.read().strip() or "3")
                lines = browse(args.address, seconds)
                part = os.path.join(args.talk, f"found-{ident}.part")
                with open(part, "w") as f:
                    f.write("".join(line + "\n" for line in lines))
                os.rename(part, os.path.join(args.talk, f"found-{ident}"))
        time.sleep(0.1)

    for info in infos:
        zc.unregister_service(info)
    zc.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
