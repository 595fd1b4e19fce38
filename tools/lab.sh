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
#   lab.sh up [N_EXTRA] [--other-subnet]
#                      (re)create the lab; N_EXTRA (0..504, default 3) extra
#                      addresses 10.77.0.3 .. 10.77.0.254, then 10.77.1.3 ...
#                      on vethB; --other-subnet adds 10.77.1.2/24 as well
#   lab.sh down        kill every process left in the lab namespaces (by the
#                      ids `ip netns pids` gives) and delete the namespaces
#                      (labA, labB and the self-test's labtest1/labtest2)
#   lab.sh guard NS    exit 0 only if NS holds nothing but lab networking
#                      (tools/lab_guard.py)
#   lab.sh exec NS CMD [ARG...]
#                      guard NS, then run CMD inside NS (exec's into it, so
#                      the pid of `lab.sh exec ... &` is the pid of CMD)
#   lab.sh wine NS [WINE_ARG...]
#                      guard NS, then run wine in NS with WINEPREFIX set to
#                      build/wine/NS (LAB_WINE_ROOT overrides build/wine; the
#                      wine_prefix of tools/wine_env.sh makes it), refused
#                      while a wineserver for that prefix runs in another
#                      namespace, e.g.
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

kill_ns_procs() {
  local ns=$1 pids sig
  ns_exists "$ns" || return 0
  for sig in TERM KILL; do          # at most 3 s each
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    [ -z "$pids" ] && return 0
    # shellcheck disable=SC2086
    kill -$sig $pids 2>/dev/null || true
    for _ in $(seq 30); do
      [ -z "$(ip netns pids "$ns" 2>/dev/null)" ] && return 0
      sleep 0.1
    done
  done
  echo "lab.sh: processes still in $ns: $(ip netns pids "$ns" 2>/dev/null | tr '\n' ' ')" >&2
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
cmd_guard() { "$PY" "$top/tools/lab_guard.py" "${1:-}" "$NS_A" "$NS_B"; }

cmd_exec() {
  local ns=${1:-}
  [ $# -ge 2 ] || die "exec: usage: lab.sh exec NS CMD [ARG...]"
  shift
  cmd_guard "$ns" >/dev/null
  LAB_NS=$ns exec ip netns exec "$ns" "$@"
}

cmd_wine() {
  local ns=${1:-}
  [ -n "$ns" ] || die "wine: usage: lab.sh wine NS [WINE_ARG...]"
  shift
  local pfx=$wine_root/$ns
  [ -d "$pfx" ] || die "wine: no prefix $pfx (wine_prefix of tools/wine_env.sh makes it)"
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
  wine) cmd_wine "$@" ;;
  status) cmd_status ;;
  *) sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
