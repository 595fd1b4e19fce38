#!/usr/bin/env bash
# Network lab for the discovery tests: two network namespaces joined by a
# veth pair, with private test addresses only (10.77.0.0/16).  Nothing in
# the lab can reach the machine's own network namespace.
#
#   labA  the PC:   vethA 10.77.0.1/24, default route via 10.77.0.2 dev vethA
#   labB  the LAN:  vethB 10.77.0.2/24 and the extra addresses 10.77.0.3 ...
#                   (secondary /24), optionally 10.77.1.2/24 (another subnet)
#
# Usage (as root, no terminal needed):
#   lab.sh up [N_EXTRA] [--other-subnet]   (N_EXTRA past 252 continues on 10.77.1.3 ...)
#                      (re)create the lab; N_EXTRA (0..252, default 3) extra
#                      addresses 10.77.0.3 .. 10.77.0.(2+N) on vethB;
#                      --other-subnet adds 10.77.1.2/24 on vethB as well
#   lab.sh down        kill every process left in the lab namespaces (by the
#                      ids `ip netns pids` gives) and delete the namespaces
#                      (labA, labB and the self-test's labtest1/labtest2)
#   lab.sh guard NS    exit 0 only if NS holds nothing but lab networking:
#                      lo with 127.0.0.1/8 and ::1, veth interfaces whose peer
#                      is in labA/labB (or in NS), 10.77.x.x addresses on
#                      them, routes to 10.77.x.x/127.x via lab interfaces,
#                      the default policy rules; other interfaces only if
#                      they carry no address and lead to no other namespace
#   lab.sh exec NS CMD [ARG...]
#                      guard NS, then run CMD inside NS (exec's into it, so
#                      the pid of `lab.sh exec ... &` is the pid of CMD)
#   lab.sh prefix NS BASE_PREFIX
#                      copy the Wine prefix BASE_PREFIX to build/wine/NS, so
#                      that a wineserver started in NS owns that prefix
#                      (LAB_WINE_ROOT overrides build/wine)
#   lab.sh wine NS [WINE_ARG...]
#                      guard NS, then run wine in NS with WINEPREFIX set to
#                      the prefix made by `lab.sh prefix NS ...` (refused
#                      while a wineserver for that prefix runs in another
#                      namespace), e.g.
#                        WINEARCH=win32 lab.sh wine labA build/win32/app.exe
#   lab.sh status      show the lab namespaces, their addresses and pids
#
# Run lab.sh from the machine's own namespace: the guard takes the namespace
# it is called from as the machine's own one and refuses it (and refuses a
# lab whose labA/labB is that namespace).  `lab.sh exec` puts LAB_NS=NS into
# the environment; lansim.py and lansim_probe.py check that they really run
# in the namespace of that name.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
PY=/usr/bin/python3
NS_A=labA
NS_B=labB
LAB_NAMESPACES=("$NS_A" "$NS_B" labtest1 labtest2)
wine_root=${LAB_WINE_ROOT:-$top/build/wine}

die() { echo "lab.sh: $*" >&2; exit 1; }

ns_exists() { [ -e "/run/netns/$1" ]; }

valid_ns_name() { [[ "$1" =~ ^[A-Za-z0-9_-]{1,32}$ ]]; }

kill_ns_procs() {
  local ns=$1 pids i
  ns_exists "$ns" || return 0
  pids=$(ip netns pids "$ns" 2>/dev/null || true)
  [ -z "$pids" ] && return 0
  # shellcheck disable=SC2086
  kill -TERM $pids 2>/dev/null || true
  for i in $(seq 1 30); do          # at most 3 s
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    [ -z "$pids" ] && return 0
    sleep 0.1
  done
  # shellcheck disable=SC2086
  kill -KILL $pids 2>/dev/null || true
  for i in $(seq 1 20); do          # at most 2 s
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    [ -z "$pids" ] && return 0
    sleep 0.1
  done
  echo "lab.sh: processes still in $ns: $pids" >&2
  return 1
}

del_ns() {
  local ns=$1
  ns_exists "$ns" || return 0
  kill_ns_procs "$ns" || true
  ip netns delete "$ns"
}

cmd_down() {
  local ns rc=0
  for ns in "${LAB_NAMESPACES[@]}"; do
    del_ns "$ns" || rc=1
  done
  return $rc
}

cmd_up() {
  local n_extra=3 other=0 a i
  for a in "$@"; do
    case $a in
      --other-subnet) other=1 ;;
      ''|*[!0-9]*) die "up: bad argument '$a' (want N_EXTRA and/or --other-subnet)" ;;
      *) n_extra=$a ;;
    esac
  done
  [ "$n_extra" -le 504 ] || die "up: at most 504 extra addresses (10.77.0.3 .. 10.77.0.254, then 10.77.1.3 .. 10.77.1.254)"
  cmd_down
  ip netns add "$NS_A"
  ip netns add "$NS_B"
  # No IPv6 on the lab interfaces (no link-local addresses, no solicitations).
  for i in "$NS_A" "$NS_B"; do
    ip netns exec "$i" sh -c 'echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6' 2>/dev/null || true
  done
  # Created directly inside the namespaces: the root namespace never holds
  # either end of the pair.
  ip link add name vethA netns "$NS_A" type veth peer name vethB netns "$NS_B"
  for i in "$NS_A" "$NS_B"; do
    ip -n "$i" link set lo up
  done
  ip -n "$NS_A" addr add 10.77.0.1/24 brd + dev vethA
  ip -n "$NS_B" addr add 10.77.0.2/24 brd + dev vethB
  {
    for i in $(seq 3 $((2 + n_extra))); do
      if [ "$i" -le 254 ]; then
        echo "addr add 10.77.0.$i/24 brd + dev vethB"
      else
        echo "addr add 10.77.1.$((i - 252))/24 brd + dev vethB"
      fi
    done
    if [ "$other" = 1 ]; then
      echo "addr add 10.77.1.2/24 brd + dev vethB"
    fi
  } | ip -n "$NS_B" -batch -
  ip -n "$NS_A" link set vethA up
  ip -n "$NS_B" link set vethB up
  # The default route makes sends to 255.255.255.255 possible (without one
  # they fail with ENETUNREACH) and carries traffic to 10.77.1.0/24 through
  # 10.77.0.2, so a server on the other subnet is reachable both ways; labB
  # reaches 10.77.0.1 through its own 10.77.0.0/24 route.
  ip -n "$NS_A" route add default via 10.77.0.2 dev vethA
  cmd_guard "$NS_A" >/dev/null
  cmd_guard "$NS_B" >/dev/null
  echo "lab.sh: up: $NS_A 10.77.0.1/24; $NS_B 10.77.0.2 + $n_extra extra$([ "$other" = 1 ] && echo ' + 10.77.1.2/24')"
}

# Exit status 0 only if the namespace holds lab networking and nothing else.
cmd_guard() {
  local ns=${1:-}
  [ -n "$ns" ] || die "guard: namespace name missing"
  valid_ns_name "$ns" || die "guard: bad namespace name '$ns'"
  ns_exists "$ns" || die "guard: namespace '$ns' does not exist"
  # Neither NS nor a lab namespace its veth may lead to can be the
  # namespace lab.sh runs in (the machine's own one).
  local other oid self
  self=$(stat -L -c '%d:%i' /proc/self/ns/net) || die "guard: cannot stat /proc/self/ns/net"
  for other in "$ns" "$NS_A" "$NS_B"; do
    ns_exists "$other" || continue
    oid=$(stat -L -c '%d:%i' "/run/netns/$other") || die "guard: cannot stat /run/netns/$other"
    [ "$oid" != "$self" ] || die "guard: '$other' is the namespace lab.sh runs in (the machine's own one)"
  done
  local addr link ids route4 route6 rules
  addr=$(ip -j -n "$ns" addr show) || die "guard: cannot list addresses of $ns"
  link=$(ip -j -d -n "$ns" link show) || die "guard: cannot list links of $ns"
  ids=$(ip -j -n "$ns" netns list-id) || die "guard: cannot list namespace ids of $ns"
  route4=$(ip -j -n "$ns" -4 route show table all) || die "guard: cannot list routes of $ns"
  route6=$(ip -j -n "$ns" -6 route show table all 2>/dev/null || echo '[]')
  rules=$(ip -j -n "$ns" -4 rule show) || die "guard: cannot list rules of $ns"
  GUARD_NS=$ns GUARD_ADDR=$addr GUARD_LINK=$link GUARD_IDS=$ids GUARD_R4=$route4 GUARD_R6=$route6 \
  GUARD_RULES=$rules GUARD_LABS="${NS_A} ${NS_B}" "$PY" - <<'EOF'
import ipaddress, json, os, sys

ns = os.environ["GUARD_NS"]
labs = set(os.environ["GUARD_LABS"].split())
lab_net = ipaddress.ip_network("10.77.0.0/16")
loop_net = ipaddress.ip_network("127.0.0.0/8")
bad = []

def load(name):
    text = os.environ[name].strip()
    return json.loads(text) if text else []

links = load("GUARD_LINK")
# nsid -> name of the namespaces NS knows; a peer in an unnamed namespace
# (such as the machine's own one) has no name here.
nsid_names = {i.get("nsid"): i.get("name") for i in load("GUARD_IDS")}
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

for a in load("GUARD_ADDR"):
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

for r in load("GUARD_R4"):
    if not route_ok(r, 4):
        bad.append("foreign route " + json.dumps(r, sort_keys=True))
for r in load("GUARD_R6"):
    if not route_ok(r, 6):
        bad.append("foreign IPv6 route " + json.dumps(r, sort_keys=True))

std_rules = {(0, "local"), (32766, "main"), (32767, "default")}
for r in load("GUARD_RULES"):
    if (r.get("priority"), r.get("table")) not in std_rules or any(
            k in r for k in ("dst", "iif", "oif", "fwmark")) or r.get("src", "all") != "all":
        bad.append("foreign policy rule " + json.dumps(r, sort_keys=True))

if bad:
    for b in bad:
        print(f"lab.sh: guard {ns}: {b}", file=sys.stderr)
    sys.exit(1)
print(f"lab.sh: guard {ns}: ok ({', '.join(sorted(lab_ifs)) or 'lo only'})")
EOF
}

cmd_exec() {
  local ns=${1:-}
  [ $# -ge 2 ] || die "exec: usage: lab.sh exec NS CMD [ARG...]"
  shift
  cmd_guard "$ns" >/dev/null
  LAB_NS=$ns exec ip netns exec "$ns" "$@"
}

cmd_prefix() {
  local ns=${1:-} base=${2:-}
  { [ -n "$ns" ] && [ -n "$base" ]; } || die "prefix: usage: lab.sh prefix NS BASE_PREFIX"
  valid_ns_name "$ns" || die "prefix: bad namespace name '$ns'"
  [ -d "$base" ] || die "prefix: base Wine prefix '$base' does not exist (make one first, e.g. WINEPREFIX=DIR wineboot -i)"
  local dest=$wine_root/$ns
  case "$(cd "$base" && pwd -P)/" in
    "$(mkdir -p "$wine_root" && cd "$wine_root" && pwd -P)/"*) die "prefix: base '$base' lies inside $wine_root" ;;
  esac
  mkdir -p "$wine_root"
  if command -v rsync >/dev/null 2>&1; then
    rsync -a --delete "$base"/ "$dest"/
  else
    rm -rf "$dest"
    cp -a "$base" "$dest"
  fi
  echo "lab.sh: prefix: $dest"
}

cmd_wine() {
  local ns=${1:-}
  [ -n "$ns" ] || die "wine: usage: lab.sh wine NS [WINE_ARG...]"
  shift
  local pfx=$wine_root/$ns
  [ -d "$pfx" ] || die "wine: no prefix $pfx (run: lab.sh prefix $ns BASE_PREFIX)"
  cmd_guard "$ns" >/dev/null
  # wine hands its sockets to the wineserver of the prefix: one already
  # running in another namespace (the machine's own, say) would send from
  # there.  Its working directory is .../server-<dev>-<inode> of the prefix.
  local key nsid pid cwd dev ino
  read -r dev ino < <(stat -c '%d %i' "$pfx")
  key=$(printf 'server-%x-%x' "$dev" "$ino")
  nsid=$(stat -L -c '%d:%i' "/run/netns/$ns")
  for pid in $(pgrep wineserver || true); do
    cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null) || continue
    [ "${cwd##*/}" = "$key" ] || continue
    [ "$(stat -L -c '%d:%i' "/proc/$pid/ns/net" 2>/dev/null)" = "$nsid" ] \
      || die "wine: a wineserver (pid $pid) for $pfx runs outside $ns; stop it first: WINEPREFIX=$pfx wineserver -k"
  done
  LAB_NS=$ns WINEPREFIX=$pfx exec ip netns exec "$ns" wine "$@"
}

cmd_status() {
  local ns
  for ns in "${LAB_NAMESPACES[@]}"; do
    ns_exists "$ns" || continue
    echo "== $ns (pids: $(ip netns pids "$ns" | tr '\n' ' '))"
    ip -n "$ns" -br addr
    ip -n "$ns" route
  done
}

verb=${1:-}
[ $# -gt 0 ] && shift
case $verb in
  up) cmd_up "$@" ;;
  down) cmd_down ;;
  guard) cmd_guard "$@" ;;
  exec) cmd_exec "$@" ;;
  prefix) cmd_prefix "$@" ;;
  wine) cmd_wine "$@" ;;
  status) cmd_status ;;
  *) sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
