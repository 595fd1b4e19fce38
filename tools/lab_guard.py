#!/usr/bin/env python3
"""The guard of tools/lab.sh: exit 0 only if the network namespace NS holds
lab networking and nothing else: lo with 127.0.0.1/8 and ::1, veth
interfaces whose peer is in a lab namespace (or in NS), 10.77.x.x addresses
on them, routes to 10.77.x.x/127.x via lab interfaces, the default policy
rules; other interfaces only if they carry no address and lead to no other
namespace.

  lab_guard.py NS LAB_NS...   LAB_NS: the lab's namespaces (labA labB)

Neither NS nor a lab namespace its veth may lead to can be the namespace the
guard runs in (the machine's own one)."""
import ipaddress, json, os, re, subprocess, sys

def die(msg):
    print(f"lab.sh: guard: {msg}", file=sys.stderr)
    sys.exit(1)

if len(sys.argv) < 2 or not sys.argv[1]:
    die("namespace name missing")
ns = sys.argv[1]
labs = set(sys.argv[2:])
if not re.fullmatch(r"[A-Za-z0-9_-]{1,32}", ns):
    die(f"bad namespace name '{ns}'")
if not os.path.exists(f"/run/netns/{ns}"):
    die(f"namespace '{ns}' does not exist")

def ns_id(path):
    try:
        st = os.stat(path)
    except OSError:
        die(f"cannot stat {path}")
    return (st.st_dev, st.st_ino)

self_id = ns_id("/proc/self/ns/net")
for other in [ns, *sorted(labs)]:
    if os.path.exists(f"/run/netns/{other}") and ns_id(f"/run/netns/{other}") == self_id:
        die(f"'{other}' is the namespace lab.sh runs in (the machine's own one)")

def ip(what, *args, fallback=None):
    r = subprocess.run(["ip", "-j", "-n", ns, *args], capture_output=True, text=True)
    if r.returncode != 0:
        if fallback is not None:
            return fallback
        die(f"cannot list {what} of {ns}")
    return json.loads(r.stdout) if r.stdout.strip() else []

addrs = ip("addresses", "addr", "show")
links = ip("links", "-d", "link", "show")
ids = ip("namespace ids", "netns", "list-id")
routes4 = ip("routes", "-4", "route", "show", "table", "all")
routes6 = ip("IPv6 routes", "-6", "route", "show", "table", "all", fallback=[])
rules = ip("rules", "-4", "rule", "show")

lab_net = ipaddress.ip_network("10.77.0.0/16")
loop_net = ipaddress.ip_network("127.0.0.0/8")
bad = []

# nsid -> name of the namespaces NS knows; a peer in an unnamed namespace
# (such as the machine's own one) has no name here.
nsid_names = {i.get("nsid"): i.get("name") for i in ids}
lab_ifs = set()
for l in links:
    name = l.get("ifname")
    kind = (l.get("linkinfo") or {}).get("info_kind")
    if name == "lo":
        continue
    peer_ns = None
    if "link_netnsid" in l:
        peer_ns = nsid_names.get(l["link_netnsid"])
        if peer_ns is None:
            bad.append(f"interface {name} is tied to an unnamed namespace (link-netnsid {l['link_netnsid']})")
            continue
    if kind == "veth" and (peer_ns is None or peer_ns in labs):
        lab_ifs.add(name)
    elif peer_ns is not None and peer_ns not in labs:
        bad.append(f"interface {name} ({kind}) is tied to namespace {peer_ns}")
    # other interfaces are tolerated only while they carry no address

for a in addrs:
    name = a.get("ifname")
    for info in a.get("addr_info", []):
        fam, local, plen = info.get("family"), info.get("local"), info.get("prefixlen")
        where = f"{local}/{plen} on {name}"
        if name == "lo":
            if (fam, local, plen) in (("inet", "127.0.0.1", 8), ("inet6", "::1", 128)):
                continue
            bad.append(f"foreign address {where}")
        elif name in lab_ifs and fam == "inet" and ipaddress.ip_address(local) in lab_net:
            continue
        else:
            bad.append(f"foreign address {where}")

def route_ok(r, fam):
    dev = r.get("dev")
    dst = r.get("dst", "")
    gw = r.get("gateway")
    if dev is not None and dev != "lo" and dev not in lab_ifs:
        return False
    if gw is not None and ipaddress.ip_address(gw) not in lab_net:
        return False
    if fam == 4:
        if dst == "default":
            return dev in lab_ifs
        try:
            net = ipaddress.ip_network(dst, strict=False)
        except ValueError:
            return False
        if net.subnet_of(lab_net) or net.subnet_of(loop_net):
            return True
        # the 127.255.255.255 broadcast of lo is in loop_net already
        return False
    # IPv6: only loopback and link-local/multicast housekeeping on lo
    return dev == "lo" and dst in ("::1", "fe80::/64", "ff00::/8", "multicast ff00::/8")

for r in routes4:
    if not route_ok(r, 4):
        bad.append("foreign route " + json.dumps(r, sort_keys=True))
for r in routes6:
    if not route_ok(r, 6):
        bad.append("foreign IPv6 route " + json.dumps(r, sort_keys=True))

std_rules = {(0, "local"), (32766, "main"), (32767, "default")}
for r in rules:
    if (r.get("priority"), r.get("table")) not in std_rules or any(
            k in r for k in ("dst", "iif", "oif", "fwmark")) or r.get("src", "all") != "all":
        bad.append("foreign policy rule " + json.dumps(r, sort_keys=True))

if bad:
    for b in bad:
        print(f"lab.sh: guard {ns}: {b}", file=sys.stderr)
    sys.exit(1)
print(f"lab.sh: guard {ns}: ok ({', '.join(sorted(lab_ifs)) or 'lo only'})")
