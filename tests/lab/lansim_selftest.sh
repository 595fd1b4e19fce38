#!/usr/bin/env bash
# Self-test of the network lab (tools/lab.sh), the LAN server simulator
# (tools/lansim.py) and the lab client (tools/lansim_probe.py).
#
# Usage (as root, no terminal needed):  tests/lab/lansim_selftest.sh
#   LANSIM_SELFTEST_KEEP=1 keeps the work directory (logs) afterwards.
#
# It builds the lab (labA = PC, labB = LAN) with private 10.77.x.x addresses
# only, runs the simulator in labB and the client in labA, and checks replies
# byte for byte, their sources and ports, the simulator's request log, the
# cues, delays and repeats, the limits, the guard (it must refuse a namespace
# with a foreign address, route, rule or link) and `down`.  The lab is torn
# down on exit, also on failure.  Exit status 0 only if every check passed.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
lab=$top/tools/lab.sh
sim=$top/tools/lansim.py
probe=$top/tools/lansim_probe.py
PY=/usr/bin/python3
work=$(mktemp -d /tmp/lansim-selftest.XXXXXX)
sim_pid=
wine_pfx=
step=setup

cleanup() {
  local rc=$?
  trap - EXIT
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  if [ -n "$wine_pfx" ]; then
    WINEPREFIX=$wine_pfx wineserver -k 2>/dev/null || true
  fi
  "$lab" down || rc=1
  if ip netns list | grep -Eq '^(labA|labB|labtest1|labtest2)( |$)'; then
    echo "selftest: lab namespaces left behind: $(ip netns list | tr '\n' ' ')" >&2
    rc=1
  fi
  if [ "${LANSIM_SELFTEST_KEEP:-0}" = 1 ]; then
    echo "selftest: logs kept in $work" >&2
  else
    rm -rf "$work"
  fi
  if [ $rc = 0 ]; then echo "selftest: PASS"; else echo "selftest: FAIL (at: $step)" >&2; fi
  exit $rc
}
trap cleanup EXIT

fail() { echo "selftest: FAIL: $*" >&2; exit 1; }
note() { step=$*; echo "selftest: -- $*"; }
must_fail() {  # must_fail WHAT CMD...: CMD must exit non-zero
  local what=$1; shift
  if "$@" >"$work/must_fail.out" 2>&1; then
    cat "$work/must_fail.out" >&2
    fail "$what: succeeded, should have failed"
  fi
}

# start_sim LOG ARGS...: simulator in labB, waits for its "ready" line.
start_sim() {
  local log=$1; shift
  : >"$log"
  "$lab" exec labB "$PY" "$sim" --log "$log" "$@" 2>"$log.err" &
  sim_pid=$!
  for _ in $(seq 1 100); do          # at most 10 s
    grep -q '"event": "ready"' "$log" && return 0
    kill -0 "$sim_pid" 2>/dev/null || { cat "$log.err" >&2; fail "simulator died at start"; }
    sleep 0.1
  done
  fail "simulator not ready after 10 s"
}

# stop_sim LOG: SIGTERM; the simulator must log exit reason sigterm and end.
stop_sim() {
  local log=$1
  kill -TERM "$sim_pid"
  for _ in $(seq 1 30); do           # at most 3 s
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$sim_pid" 2>/dev/null && fail "simulator still running 3 s after SIGTERM"
  wait "$sim_pid" || fail "simulator exit status $? after SIGTERM"
  sim_pid=
  tail -n 1 "$log" | grep -q '"reason": "sigterm"' || fail "simulator did not log exit on sigterm: $(tail -n 1 "$log")"
}

run_probe() {  # run_probe OUT ARGS...
  local out=$1; shift
  "$lab" exec labA "$PY" "$probe" probe --out "$out" "$@"
}

check() {  # check EXPECT PROBE SIMLOG
  "$PY" "$probe" check --expect "$1" --probe "$2" --simlog "$3"
}

# ---------------------------------------------------------------- lab, guard
note "lab up with 4 extra addresses and the other subnet"
"$lab" up 4 --other-subnet
"$lab" guard labA >/dev/null
"$lab" guard labB >/dev/null
[ "$(ip -n labA -4 -o addr show dev vethA | awk '{print $4}')" = 10.77.0.1/24 ] || fail "labA address"
ip -n labA route show default | grep -Eqx 'default via 10\.77\.0\.2 dev vethA *' \
  || fail "labA default route: $(ip -n labA route show default)"
want_b="10.77.0.2/24 10.77.0.3/24 10.77.0.4/24 10.77.0.5/24 10.77.0.6/24 10.77.1.2/24"
got_b=$(ip -n labB -4 -o addr show dev vethB | awk '{print $4}' | sort -V | tr '\n' ' ' | sed 's/ $//')
[ "$got_b" = "$want_b" ] || fail "labB addresses: '$got_b', want '$want_b'"
ip link show vethA >/dev/null 2>&1 && fail "vethA is in the machine's own namespace"
ip link show vethB >/dev/null 2>&1 && fail "vethB is in the machine's own namespace"

note "guard refuses what is not lab networking"
must_fail "guard of a missing namespace" "$lab" guard labNone
must_fail "guard of a bad name" "$lab" guard ../x
ip netns add labtest1
ip netns exec labtest1 sh -c 'echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6' 2>/dev/null || true
ip -n labtest1 link set lo up
"$lab" guard labtest1 >/dev/null || fail "guard refused a namespace with lo only"
if ip -n labtest1 link add d0 type dummy 2>/dev/null; then
  scratch_if=dummy
else   # no dummy driver here: a veth pair with both ends in labtest1
  ip -n labtest1 link add d0 type veth peer name d1
  scratch_if=veth
fi
"$lab" guard labtest1 >/dev/null || fail "guard refused an interface without address ($scratch_if)"
ip -n labtest1 addr add 192.0.2.1/32 dev d0
must_fail "guard with 192.0.2.1/32 on a $scratch_if" "$lab" guard labtest1
grep -q '192.0.2.1/32 on d0' "$work/must_fail.out" || fail "guard did not name the foreign address: $(cat "$work/must_fail.out")"
ip -n labtest1 addr del 192.0.2.1/32 dev d0
"$lab" guard labtest1 >/dev/null || fail "guard still refuses after the address is gone"
ip -n labtest1 route add 192.0.2.0/24 dev lo
must_fail "guard with a route to 192.0.2.0/24" "$lab" guard labtest1
ip -n labtest1 route del 192.0.2.0/24 dev lo
ip -n labtest1 rule add to 192.0.2.0/24 table 100 priority 100
must_fail "guard with a policy rule" "$lab" guard labtest1
ip -n labtest1 rule del priority 100
ip -n labtest1 addr add 127.0.0.2/8 dev lo
must_fail "guard with a second address on lo" "$lab" guard labtest1
ip -n labtest1 addr del 127.0.0.2/8 dev lo
ip netns add labtest2
ip link add name e0 netns labtest1 type veth peer name e1 netns labtest2
must_fail "guard with a veth into a namespace outside the lab" "$lab" guard labtest1
grep -q 'tied to namespace labtest2' "$work/must_fail.out" || fail "guard did not name the peer: $(cat "$work/must_fail.out")"
ip -n labtest1 link del e0
"$lab" guard labtest1 >/dev/null || fail "guard still refuses after the veth is gone"
must_fail "guard of the namespace it runs in" ip netns exec labtest1 "$lab" guard labtest1
grep -q 'namespace lab.sh runs in' "$work/must_fail.out" || fail "guard did not refuse its own namespace: $(cat "$work/must_fail.out")"
ip netns delete labtest1
ip netns delete labtest2
# A foreign address in labA itself: guard and exec (which must guard) refuse.
ip -n labA addr add 192.0.2.1/32 dev vethA
must_fail "guard labA with 192.0.2.1/32" "$lab" guard labA
must_fail "exec in labA with 192.0.2.1/32" "$lab" exec labA true
ip -n labA addr del 192.0.2.1/32 dev vethA
"$lab" exec labA true || fail "exec refused after the address is gone"
# The simulator and the client refuse to run outside their lab namespace.
must_fail "lansim in the own namespace" "$PY" "$sim" --count-servers 1 --log "$work/x.log" --max-seconds 1
must_fail "lansim in labB without lab.sh" ip netns exec labB "$PY" "$sim" --count-servers 1 --log "$work/x.log" --max-seconds 1
must_fail "probe in the own namespace" "$PY" "$probe" probe --out "$work/x.jsonl" --collect 0
# ... also when LAB_NS names a lab namespace they are not in.
LAB_NS=labB must_fail "lansim in the own namespace with LAB_NS=labB" "$PY" "$sim" --count-servers 1 --log "$work/x.log" --max-seconds 1
LAB_NS=labA must_fail "probe in labB with LAB_NS=labA" ip netns exec labB "$PY" "$probe" probe --out "$work/x.jsonl" --collect 0
must_fail "probe to a foreign address" "$lab" exec labA "$PY" "$probe" probe --to 192.0.2.1 --out "$work/x.jsonl" --collect 0
must_fail "lansim bound outside the lab net" "$lab" exec labB "$PY" "$sim" --server '{"addr":"192.0.2.1"}' --log "$work/x.log" --max-seconds 1

note "prefix copies (wine_prefix of tools/wine_env.sh, starting no wineserver)"
mkdir -p "$work/base/drive_c/windows"
echo reg >"$work/base/system.reg"
prefix() { bash -c 'source "$1/tools/wine_env.sh"; WINE_BASE=$2 wine_prefix "$3" true' _ "$top" "$@"; }
prefix "$work/base" "$work/wine/labA" || fail "wine_prefix failed"
diff -r "$work/base" "$work/wine/labA" || fail "prefix copy differs"
must_fail "prefix from a missing base" prefix "$work/nonexistent" "$work/wine/labA"
grep -q 'does not exist' "$work/must_fail.out" || fail "prefix: unclear message: $(cat "$work/must_fail.out")"
if command -v wineserver >/dev/null 2>&1; then
  # A wineserver for the prefix in the machine's own namespace: `lab.sh wine`
  # must refuse, since wine in labA would then send from here.
  wine_pfx=$work/wine/labA
  WINEPREFIX=$wine_pfx wineserver -p 10
  LAB_WINE_ROOT=$work/wine must_fail "wine while the prefix's wineserver runs outside labA" "$lab" wine labA --version
  grep -q 'runs outside labA' "$work/must_fail.out" || fail "wine: unclear message: $(cat "$work/must_fail.out")"
  WINEPREFIX=$wine_pfx wineserver -k || true
  WINEPREFIX=$wine_pfx wineserver -w || true
  wine_pfx=
else
  echo "selftest: wineserver not installed: the check of lab.sh wine is skipped"
fi

# ------------------------------------------------------- the three servers
name300=$("$PY" -c 'print(("Long printer name %03d " * 20 % tuple(range(20)))[:300], end="")')
[ ${#name300} = 300 ] || fail "name300 is ${#name300} chars"
cat >"$work/three.json" <<EOF
{"servers": [
  {"addr": "10.77.0.3", "model": "KX220", "name": ""},
  {"addr": "10.77.0.4", "model": "0x00020000", "name": "$name300"},
  {"addr": "10.77.0.5", "model": 196608, "name": "B\u00fcro-Drucker \u00c4rger Stra\u00dfe \u00f1", "encoding": "latin-1"}
]}
EOF
# Expected bytes, written out independently of the simulator's encoder
# (the last name is B u-umlaut r o - D r u c k e r, A-umlaut r g e r,
# S t r a sharp-s e, n-tilde in Latin-1).
hex300=$(printf '%s' "$name300" | od -An -tx1 -v | tr -d ' \n')
cat >"$work/three.expect.json" <<EOF
{"servers": [
  {"addr": "10.77.0.3", "model": 65536, "name_hex": "", "count": 10},
  {"addr": "10.77.0.4", "model": 131072, "name_hex": "$hex300", "count": 10},
  {"addr": "10.77.0.5", "model": 196608, "name_hex": "42fc726f2d447275636b657220c4726765722053747261df6520f1", "count": 10}
],
 "requests": {"255.255.255.255": 5, "10.77.0.255": 5}}
EOF
note "three servers: 5 requests to 255.255.255.255 and 5 to 10.77.0.255"
start_sim "$work/three.log" "$work/three.json" --max-seconds 30
run_probe "$work/three.probe" --collect 1.0
stop_sim "$work/three.log"
check "$work/three.expect.json" "$work/three.probe" "$work/three.log"
awk '/"event": "request"/ && !/"sock": "0.0.0.0"/ {hit = 1} END {exit !hit}' "$work/three.log" && fail "a broadcast request came in on a per-server socket"

note "the checker catches wrong results"
"$PY" - "$work" <<'EOF'
import json, sys
w = sys.argv[1]
e = json.load(open(f"{w}/three.expect.json"))
variants = []
v = json.loads(json.dumps(e)); v["servers"][1]["name_hex"] = v["servers"][1]["name_hex"][:-2] + "41"; variants.append(("name", v))
v = json.loads(json.dumps(e)); v["servers"][0]["model"] = 131072; variants.append(("model", v))
v = json.loads(json.dumps(e)); v["servers"][2]["count"] = 9; variants.append(("count", v))
v = json.loads(json.dumps(e)); v["requests"]["10.77.0.255"] = 4; variants.append(("requests", v))
v = json.loads(json.dumps(e)); v["servers"][0]["nul"] = False; variants.append(("nul", v))
v = json.loads(json.dumps(e)); v["servers"][0]["sport"] = 0; variants.append(("sport", v))
v = json.loads(json.dumps(e)); del v["servers"][1]; variants.append(("unexpected source", v))
for n, (what, v) in enumerate(variants):
    json.dump(v, open(f"{w}/wrong{n}.json", "w"))
    print(f"selftest: wrong expectation {n}: {what}")
EOF
for f in "$work"/wrong*.json; do
  must_fail "checker with a wrong expectation $(basename "$f")" check "$f" "$work/three.probe" "$work/three.log"
done

note "malformed requests are not answered"
start_sim "$work/bad.log" "$work/three.json" --max-seconds 30
req=0c151f0000000000$(printf '%01008d' 0)
run_probe "$work/bad.probe" --to 10.77.0.255 --times 1 --collect 0.5 \
  --payload-hex "${req:0:1022}" \
  --payload-hex "${req}00" \
  --payload-hex "0c161f00${req:8}" \
  --payload-hex "0c171f00${req:8}" \
  --payload-hex "0c152000${req:8}" \
  --payload-hex "0c151f0000000100${req:16}" \
  --payload-hex "${req:0:1022}01" \
  --payload-hex "0d151f00${req:8}" \
  --payload-hex "0c151f"
stop_sim "$work/bad.log"
cat >"$work/bad.expect.json" <<'EOF'
{"servers": [
  {"addr": "10.77.0.3", "model": 65536, "count": 0},
  {"addr": "10.77.0.4", "model": 131072, "count": 0},
  {"addr": "10.77.0.5", "model": 196608, "count": 0}],
 "requests": {},
 "ignored": {"length": 2, "reply": 1, "packet-type": 1, "opcode": 1, "product-id": 1,
             "padding": 1, "service-id": 1, "short": 1}}
EOF
check "$work/bad.expect.json" "$work/bad.probe" "$work/bad.log"

note "a unicast request is answered by that server only"
start_sim "$work/uni.log" "$work/three.json" --max-seconds 30
run_probe "$work/uni.probe" --to 10.77.0.4 --times 1 --collect 0.5
stop_sim "$work/uni.log"
"$PY" - "$work" <<'EOF'
import json, sys
w = sys.argv[1]
e = json.load(open(f"{w}/three.expect.json"))
for s in e["servers"]:
    s["count"] = 1 if s["addr"] == "10.77.0.4" else 0
e["requests"] = {"10.77.0.4": 1}
json.dump(e, open(f"{w}/uni.expect.json", "w"))
EOF
check "$work/uni.expect.json" "$work/uni.probe" "$work/uni.log"

note "limits: --max-sent 7 stops after 7 datagrams, --max-seconds ends it"
start_sim "$work/lim.log" "$work/three.json" --max-seconds 30 --max-sent 7
run_probe "$work/lim.probe" --collect 0.5
for _ in $(seq 1 30); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$sim_pid" 2>/dev/null && fail "simulator still running after --max-sent"
wait "$sim_pid" || fail "simulator exit status after --max-sent"
sim_pid=
tail -n 1 "$work/lim.log" | grep -q '"reason": "max-sent"' || fail "no max-sent exit: $(tail -n 1 "$work/lim.log")"
"$PY" - "$work" <<'EOF'
import json, sys
w = sys.argv[1]
e = json.load(open(f"{w}/three.expect.json"))
for s, n in zip(e["servers"], (3, 2, 2)):   # requests 1, 2 fully, then one
    s["count"] = n
e["requests"] = {"255.255.255.255": 3}
json.dump(e, open(f"{w}/lim.expect.json", "w"))
EOF
check "$work/lim.expect.json" "$work/lim.probe" "$work/lim.log"
t0=$(date +%s.%N)
start_sim "$work/time.log" "$work/three.json" --max-seconds 1.5
for _ in $(seq 1 50); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$sim_pid" 2>/dev/null && fail "simulator still running after --max-seconds 1.5"
wait "$sim_pid" || fail "simulator exit status after --max-seconds"
sim_pid=
tail -n 1 "$work/time.log" | grep -q '"reason": "max-seconds"' || fail "no max-seconds exit"
"$PY" -c "import sys; d = float(sys.argv[2]) - float(sys.argv[1]); sys.exit(0 if 1.4 <= d <= 4 else 1)" \
  "$t0" "$(date +%s.%N)" || fail "--max-seconds 1.5 did not take about 1.5 s"

# ------------------------------------ cues, delays, repeats, other subnet
note "cues, delay, repeats, NUL-less and overlong names, other subnet"
"$PY" - "$work" <<'EOF'
import json, sys
w = sys.argv[1]
long600 = "".join(chr(0x41 + i % 26) for i in range(600))
cfg = {"servers": [
    {"addr": "10.77.0.3", "model": "KX220", "name": "Delayed", "repeats": 3, "delay_ms": 300,
     "cues": [{"kind": "foreign", "at": "before"}, {"kind": "oversize", "at": "after"}]},
    {"addr": "10.77.0.4", "model": "KX230", "name": "Odd",
     "cues": [{"kind": "short", "at": "before", "every": "first"},
              {"kind": "bad-type", "at": "instead"},
              {"kind": "request", "at": "after", "every": "first"}]},
    {"addr": "10.77.0.5", "model": "KX230", "name": "NoNul", "nul": False,
     "cues": [{"kind": "bad-opcode", "at": "before"}]},
    {"addr": "10.77.0.6", "model": "KX220", "name": long600},
    {"addr": "10.77.0.2", "model": "KX220", "name": long600, "overlong": "cut"},
    {"addr": "10.77.1.2", "model": "KX230", "name": "Remote box"},
]}
json.dump(cfg, open(f"{w}/cues.json", "w"))
A = bytes(range(0x41, 0x41 + 26))
lb = (A * 24)[:600]
exp = {"servers": [
    {"addr": "10.77.0.3", "model": 0x10000, "name_hex": b"Delayed".hex(), "count": 30,
     "sequence": ["foreign", "reply", "reply", "reply", "oversize"] * 10, "min_delay_ms": 280},
    {"addr": "10.77.0.4", "model": 0x20000, "name_hex": b"Odd".hex(), "count": 0,
     "sequence": ["short", "bad-type", "request"] + ["bad-type"] * 9},
    {"addr": "10.77.0.5", "model": 0x20000, "name_hex": b"NoNul".hex(), "nul": False, "count": 10,
     "sequence": ["bad-opcode", "reply"] * 10},
    # 8 + 503 + NUL = 512 bytes
    {"addr": "10.77.0.6", "model": 0x10000, "name_hex": lb[:503].hex(), "count": 10},
    # cut at 512 bytes, no NUL
    {"addr": "10.77.0.2", "model": 0x10000, "name_hex": lb[:504].hex(), "nul": False, "count": 10},
    # another subnet: answers 255.255.255.255 only, not 10.77.0.255
    {"addr": "10.77.1.2", "model": 0x20000, "name_hex": b"Remote box".hex(), "count": 5},
], "requests": {"255.255.255.255": 5, "10.77.0.255": 5}}
json.dump(exp, open(f"{w}/cues.expect.json", "w"))
EOF
start_sim "$work/cues.log" "$work/cues.json" --max-seconds 30
run_probe "$work/cues.probe" --collect 1.0
stop_sim "$work/cues.log"
check "$work/cues.expect.json" "$work/cues.probe" "$work/cues.log"
"$PY" - "$work/cues.probe" <<'EOF' || fail "reply sizes"
import json, sys
sizes = {}
for r in map(json.loads, open(sys.argv[1])):
    if r["event"] == "recv":
        sizes.setdefault(r["src"], set()).add(r["len"])
want = {"10.77.0.6": {512}, "10.77.0.2": {512}, "10.77.0.3": {16, 600}}
bad = {a: sizes.get(a) for a, s in want.items() if sizes.get(a) != s}
if bad:
    print("selftest: sizes", bad, file=sys.stderr)
    sys.exit(1)
EOF

# ---------------------------------------------------------- 252 servers
note "lab up again (idempotent) with 252 extra addresses; down kills leftovers"
"$lab" exec labB sleep 60 &
left_pid=$!
sleep 0.3
kill -0 "$left_pid" 2>/dev/null || fail "leftover process did not start"
"$lab" up 252 >/dev/null
kill -0 "$left_pid" 2>/dev/null && fail "up left a process of the old lab running"
wait "$left_pid" 2>/dev/null || true
[ "$(ip -n labB -4 -o addr show dev vethB | wc -l)" = 253 ] || fail "labB does not have 253 addresses"
ip -n labB -4 -o addr show dev vethB | grep -q 10.77.1.2 && fail "10.77.1.2 survived a re-up without --other-subnet"

note "252 servers x 10 requests: 2,520 replies, fast"
start_sim "$work/many.log" --count-servers 252 --first-addr 10.77.0.3 --models KX220,KX230 \
  --name-format 'HP LaserJet 1100 #{k}' --empty-every 3 --max-seconds 30
run_probe "$work/many.probe" --collect 1.0
stop_sim "$work/many.log"
"$PY" - "$work" <<'EOF'
import json, sys
w = sys.argv[1]
servers = []
for k in range(1, 253):
    name = b"" if k % 3 == 0 else b"HP LaserJet 1100 #" + str(k).encode()
    servers.append({"addr": f"10.77.0.{2 + k}", "model": (0x10000, 0x20000)[(k - 1) % 2],
                    "name_hex": name.hex(), "count": 10})
json.dump({"servers": servers, "requests": {"255.255.255.255": 5, "10.77.0.255": 5},
           "max_reply_span_ms": 500}, open(f"{w}/many.expect.json", "w"))
EOF
check "$work/many.expect.json" "$work/many.probe" "$work/many.log"

note "down"
"$lab" down
ip netns list | grep -Eq '^(labA|labB)( |$)' && fail "namespaces left after down"
# This tree's simulators only: another checkout's tests may run at the same time.
pgrep -f "$top/tools/lansim.py" >/dev/null && fail "lansim processes left after down"
step="done"
