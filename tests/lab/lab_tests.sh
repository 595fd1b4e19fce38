#!/usr/bin/env bash
# Discovery on real Winsock under Wine, in the lab: labA is the PC, labB the
# LAN with simulated servers.  Run by CTest (win32 preset) from the test
# suite's namespace; needs $DISPLAY (message boxes and the companion window).
#   lab_tests.sh BUILD_DIR            the tests
# (The speed figures, receive capacity included, are tools/bench.sh.)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# The lab and a fresh PC of tools/road.sh.
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/lab-tests"
bin=$ROAD_BIN
work=$ROAD_WORK
road_lab_up "${LAB_EXTRA:-3}"
road_pc_fresh

# Starts the simulator in labB with the given options; waits until ready.
start_sim() { road_sim_start "$1" 120 "${@:2}"; }
# wine in labA (started directly where its pid matters).
w() { WINEDEBUG=-all bash "$top/tools/lab.sh" wine labA "$@"; }
probe() { w "$bin/discovery_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# 1. Replies land in the table; each burst reaches both destinations 5 times.
cat > "$work/servers.json" <<'JSON'
{"servers": [
  {"addr": "10.77.0.3", "model": "KX220", "name": "HP LaserJet 1100"},
  {"addr": "10.77.0.4", "model": "KX230", "name": ""},
  {"addr": "10.77.0.5", "model": 256, "name_hex": "436166e920447275636b6572"},
  {"addr": "10.77.1.2", "model": "KX220", "name": "Far Printer"}
]}
JSON
start_sim "$work/sim1.log" "$work/servers.json"
out=$(probe 1)
road_sim_stop
echo "$out" > "$work/probe1.out"
grep -qx 'setup Ready' <<<"$out" || fail "setup not ready: $out"
for want in 'entry 10.77.0.3|KX220|HP LaserJet 1100' 'entry 10.77.0.4|KX230|' \
            'entry 10.77.1.2|KX220|Far Printer'; do
  grep -qxF "$want" <<<"$out" && pass "$want" || fail "missing: $want"
done
grep -q '^entry 10.77.0.5|No Info|Caf' <<<"$out" && pass "8-bit name" || fail "10.77.0.5 missing"
[ "$(grep -c '^entry' <<<"$out")" = 4 ] || fail "expected 4 entries: $out"
limited=$(grep '"request"' "$work/sim1.log" | grep -c '"dst": "255.255.255.255"' || true)
directed=$(grep '"request"' "$work/sim1.log" | grep -c '"dst": "10.77.0.255"' || true)
[ "$limited" = 5 ] && [ "$directed" = 5 ] && pass "5 limited + 5 directed requests" \
  || fail "requests: $limited to 255.255.255.255, $directed to 10.77.0.255"

# 2. The companion utility holds the port: Yes closes it and discovery works.
WINEDEBUG=-all bash "$top/tools/lab.sh" wine labA "$bin/companion.exe" >/dev/null 2>&1 &
comp=$!
sleep 2
start_sim "$work/sim2.log" --server '{"addr": "10.77.0.3", "model": "KX220", "name": "P"}'
probe 1 > "$work/probe2.out" &
p=$!
text=$(w "$bin/answer_box.exe" Information "&Yes" 2>/dev/null | tr -d '\r')
wait $p || true
road_sim_stop
grep -q "Please close the Varn Lanwarden Discovery utility" <<<"$text" \
  && pass "companion question" || fail "companion question: $text"
grep -qx 'setup Ready' "$work/probe2.out" && grep -qx 'entry 10.77.0.3|KX220|P' "$work/probe2.out" \
  && pass "discovery after closing the companion" || fail "after Yes: $(cat "$work/probe2.out")"
wait $comp 2>/dev/null && pass "companion closed" || fail "companion did not end"

# 3. No: the real wizard ends with 0 after the second box; nothing else runs.
WINEDEBUG=-all bash "$top/tools/lab.sh" wine labA "$bin/companion.exe" >/dev/null 2>&1 &
comp=$!
sleep 2
WINEDEBUG=-all bash "$top/tools/lab.sh" wine labA "$bin/PrnWizard.exe" >/dev/null 2>&1 &
wiz=$!
w "$bin/answer_box.exe" Information "&No" >/dev/null 2>&1 || fail "no question box"
text=$(w "$bin/answer_box.exe" Information OK 2>/dev/null | tr -d '\r')
grep -q "We cannot run the Varn Lanwarden Discovery" <<<"$text" && pass "second box" \
  || fail "second box: $text"
code=0
wait $wiz || code=$?
[ "$code" = 0 ] && pass "wizard ended with 0" || fail "wizard exit code $code"
kill $comp 2>/dev/null || true
wait $comp 2>/dev/null || true

# 4. A program that holds the port without the companion's window.
WINEDEBUG=-all bash "$top/tools/lab.sh" wine labA "$bin/companion.exe" nowindow >/dev/null 2>&1 &
comp=$!
sleep 2
probe 1 > "$work/probe4.out" &
p=$!
text=$(w "$bin/answer_box.exe" Error OK 2>/dev/null | tr -d '\r')
wait $p || true
grep -q "Bind failed!!" <<<"$text" && pass "Bind failed!!" || fail "bind box: $text"
grep -qx 'setup NoDiscovery' "$work/probe4.out" && pass "no discovery" \
  || fail "after bind failure: $(cat "$work/probe4.out")"
kill $comp 2>/dev/null || true

# 5. The real wizard: the detection page and the browse list find the servers.
ctl() { w "$bin/winctl.exe" "$@" 2>/dev/null | tr -d '\r'; }
requests_to() { grep '"request"' "$1" | grep -c "\"dst\": \"$2\"" || true; }
wizard() {
  WINEDEBUG=-all bash "$top/tools/lab.sh" wine labA "$bin/PrnWizard.exe" >/dev/null 2>&1 &
  wiz=$!
}
detection="Driver Installation "
browse="Brwose for all Printer Sharing Server"
cat > "$work/lan.json" <<'JSON'
{"servers": [
  {"addr": "10.77.0.3", "model": "KX220", "name": ""},
  {"addr": "10.77.0.4", "model": "KX230", "name": "HP LaserJet 1100"},
  {"addr": "10.77.1.2", "model": "KX220", "name": "Far Printer"}
]}
JSON
start_sim "$work/sim5.log" "$work/lan.json"
wizard
ctl click "Printer Sharing Server Setup Wizard" "Next >" >/dev/null
ms=$(ctl wait "$detection" 10.77.0.4 2000) && pass "detection shows 10.77.0.4 after ${ms} ms" \
  || fail "detection did not show 10.77.0.4 within 2 s: $(ctl texts "$detection" | tr '\n' '|')"
ctl wait "$detection" "HP LaserJet 1100" 1000 >/dev/null && pass "its printer" || fail "printer label"
ctl click "$detection" "More..." >/dev/null
ctl rows "$browse" 3 3000 >/dev/null && ctl wait "$browse" 3 1000 >/dev/null \
  && pass "browse list: 3 rows, count 3" || fail "browse list: $(ctl texts "$browse" | tr '\n' '|')"
# The current server's row (first: it names a printer and answered first)
# is the focused and selected row.
cur=$(ctl current "$browse")
grep -q '^focused 0 selected 0' <<<"$cur" && pass "current server highlighted" || fail "rows: $cur"
limited=$(requests_to "$work/sim5.log" 255.255.255.255)
directed=$(requests_to "$work/sim5.log" 10.77.0.255)
ctl click "$browse" Refresh >/dev/null
sleep 1.5
ctl rows "$browse" 3 3000 >/dev/null || fail "the list did not refill after Refresh"
l2=$(requests_to "$work/sim5.log" 255.255.255.255)
d2=$(requests_to "$work/sim5.log" 10.77.0.255)
[ "$((l2 - limited))" = 5 ] && [ "$((d2 - directed))" = 0 ] \
  && pass "Refresh: 5 limited, no directed" || fail "Refresh sent $((l2 - limited)) limited, $((d2 - directed)) directed"
ctl click "$browse" Cancel >/dev/null
code=0
wait $wiz || code=$?
[ "$code" = 0 ] && pass "Cancel on the browse list ends with 0" || fail "exit code $code"
road_sim_stop

# 6. The only server is in another subnet: its address is drawn red.
start_sim "$work/sim6.log" --server '{"addr": "10.77.1.2", "model": "KX220", "name": "Far"}'
wizard
ctl click "Printer Sharing Server Setup Wizard" "Next >" >/dev/null
ctl wait "$detection" 10.77.1.2 2000 >/dev/null || fail "no far server"
ctl wait "$detection" warning 2000 >/dev/null && pass "warning shown" || fail "no warning button"
sleep 0.5
out=$(ctl red "$detection" 10.77.1.2) && pass "address drawn red ($out)" || fail "address not red: $out"
ctl click "$detection" Cancel >/dev/null
wait $wiz || true
road_sim_stop

# 7. Foreign datagrams (wrong service id, packet type or op code) before and
# in the middle of the replies: the queue behind each is flushed, and every
# reply that comes after the flush is stored, in this run and the next ones.
# A burst is 5 limited + 5 directed requests: run 1 is requests 1-10, run 2
# 11-20, run 3 21-30.  The real servers answer 300 ms late, so the first
# flush (started by the foreign datagram at once) takes the first replies.
cat > "$work/foreign.json" <<'JSON'
{"servers": [
  {"addr": "10.77.0.5", "repeats": 0, "cues": [{"kind": "foreign", "requests": [1]}]},
  {"addr": "10.77.0.3", "model": "KX220", "name": "Alpha", "delay_ms": 300},
  {"addr": "10.77.0.3", "repeats": 0, "delay_ms": 300, "cues": [{"kind": "bad-type", "requests": [2]}]},
  {"addr": "10.77.0.4", "model": "KX230", "name": "Beta", "delay_ms": 300},
  {"addr": "10.77.0.4", "repeats": 0, "delay_ms": 300,
   "cues": [{"kind": "bad-opcode", "requests": [11, 12, 13, 14]}]},
  {"addr": "10.77.0.5", "model": "KX220", "name": "", "delay_ms": 300}
]}
JSON
start_sim "$work/sim7.log" "$work/foreign.json"
out=$(probe 3)
road_sim_stop
echo "$out" > "$work/probe7.out"
for what in foreign bad-type bad-opcode; do
  # One grep on the file: under pipefail a producer piped into grep -q dies
  # of SIGPIPE when grep -q has matched early, and the check fails at random.
  grep -q "\"event\": \"sent\".*\"what\": \"$what\"" "$work/sim7.log" \
    || fail "the simulator sent no $what datagram"
done
for run in 1 2 3; do
  got=$(awk -v r="$run" '/^run /{on = ($2 == r)} on && /^entry /' <<<"$out" | sort | tr '\n' ' ')
  want='entry 10.77.0.3|KX220|Alpha entry 10.77.0.4|KX230|Beta entry 10.77.0.5|KX220| '
  [ "$got" = "$want" ] && pass "foreign datagrams, run $run: all three servers" \
    || fail "foreign datagrams, run $run: $got"
done

# 8. The real wizard: every burst starts with a foreign datagram; the
# detection page, the browse list and its Refresh still find the servers.
cat > "$work/foreign-lan.json" <<'JSON'
{"servers": [
  {"addr": "10.77.0.5", "repeats": 0, "cues": [{"kind": "foreign"}]},
  {"addr": "10.77.0.3", "model": "KX220", "name": "", "delay_ms": 300},
  {"addr": "10.77.0.4", "model": "KX230", "name": "HP LaserJet 1100", "delay_ms": 300},
  {"addr": "10.77.1.2", "model": "KX220", "name": "Far Printer", "delay_ms": 300}
]}
JSON
start_sim "$work/sim8.log" "$work/foreign-lan.json"
wizard
ctl click "Printer Sharing Server Setup Wizard" "Next >" >/dev/null
ctl wait "$detection" 10.77.0.4 3000 >/dev/null && pass "foreign first: detection shows 10.77.0.4" \
  || fail "foreign first: detection: $(ctl texts "$detection" | tr '\n' '|')"
ctl click "$detection" "More..." >/dev/null
ctl rows "$browse" 1 3000 >/dev/null && pass "foreign first: the browse list shows what was found" \
  || fail "foreign first: browse list: $(ctl texts "$browse" | tr '\n' '|')"
# A foreign datagram flushes what is queued behind it: a receiver that a
# busy machine holds back loses a whole burst's replies, and the user
# searches again.  Each refill may take up to three Refreshes.
for refresh in 1 2; do
  filled=0
  for _ in 1 2 3; do
    ctl click "$browse" Refresh >/dev/null
    sleep 1.5
    ctl rows "$browse" 3 3000 >/dev/null && { filled=1; break; }
  done
  [ "$filled" = 1 ] && pass "foreign first: Refresh $refresh refills 3 rows" \
    || fail "foreign first: Refresh $refresh: $(ctl texts "$browse" | tr '\n' '|')"
done
n=$(grep '"event": "sent"' "$work/sim8.log" | grep -c '"what": "foreign"' || true)
[ "$n" -ge 20 ] && pass "foreign first: $n foreign datagrams sent" || fail "only $n foreign datagrams"
ctl click "$browse" Cancel >/dev/null
code=0
wait $wiz || code=$?
[ "$code" = 0 ] && pass "foreign first: exit 0" || fail "foreign first: exit code $code"
road_sim_stop

# 9. Datagrams keep arriving while the wizard ends: the receiver, busy with
# them, is not waited for, and must not touch what the exit tears down.
# Bounded: each run is given 20 s to end, then killed.
start_sim "$work/sim9.log" --max-sent 2000000 --server '{"addr": "10.77.0.3", "model": "KX220", "name": "P"}' \
  --flood '{"from": "10.77.0.3", "to": "10.77.0.1", "kind": "foreign", "rate": 20000, "seconds": 60}'
clean=0
for run in 1 2 3 4 5; do
  wizard
  code=""
  ctl wait "Printer Sharing Server Setup Wizard" "Next >" 20000 >/dev/null || code=no-window
  sleep 1
  ctl click "Printer Sharing Server Setup Wizard" Cancel >/dev/null || code=${code:-no-cancel}
  for _ in $(seq 200); do
    kill -0 "$wiz" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$wiz" 2>/dev/null; then
    kill -KILL "$wiz" 2>/dev/null || true
    code=hung
  fi
  wait "$wiz" 2>/dev/null && code=${code:-0} || code=${code:-$?}
  [ "$code" = 0 ] && clean=$((clean + 1)) || echo "run $run: exit $code"
done
road_sim_stop
grep -q '"event": "flood"' "$work/sim9.log" || fail "no flood"
[ "$clean" = 5 ] && pass "exit during a flood: 5 of 5 runs end with 0" \
  || fail "exit during a flood: $clean of 5 runs end with 0"

echo "$failures failed"
[ "$failures" = 0 ]
