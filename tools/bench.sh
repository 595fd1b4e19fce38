#!/usr/bin/env bash
# The benchmark: every speed figure of the wizard in one table.  Not part of
# the test suite (a benchmark, not a test: nothing here passes or fails).
#
#   bash tools/bench.sh            the table
#   bash tools/bench.sh timeline   the table and the start-up timeline, from
#                                  traced starts (Wine's relay trace of a few
#                                  calls and its DLL loads; tracing slows the
#                                  start, so read the gaps, not the total)
#   bash tools/bench.sh startup    only the start-up rows (and the size)
#   bash tools/bench.sh tick       only the browse-list tick rows
#
# It sets up and builds what it needs (tools/setup.sh, the win32 preset),
# then runs in a sandbox of its own (tools/sandbox.sh), so
# its lab (labA the PC, labB the LAN with 255 simulated servers) is its own
# whatever else runs on the machine.  It starts an Xvfb display and the
# simulator itself and removes everything at the end.  Measurements run at
# nice -10 (BENCH_NICE); the tick and start-up rows are taken twice, as the
# machine schedules them and with every program on one CPU, where the
# figures hold still (on a virtual machine a wake-up on the other CPU is
# dear, and whether the scheduler pays it varies from run to run).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mode=${1:-table}
case $mode in table|timeline|startup|tick) ;; *) echo "usage: bench.sh [timeline|startup|tick]" >&2; exit 2 ;; esac

if [ -z "${BENCH_INSIDE:-}" ]; then
  # BENCH_BIN measures the programs of another build folder instead.
  bash tools/setup.sh >/dev/null
  # shellcheck source=tools/wine_env.sh
  source tools/wine_env.sh
  if [ -z "${BENCH_BIN:-}" ]; then
    cmake --preset "$WIN_PRESET" >/dev/null
    cmake --build --preset "$WIN_PRESET" >/dev/null
  fi
  BENCH_INSIDE=1 exec bash tools/sandbox.sh bash "$0" "$mode"
fi

nice_level=${BENCH_NICE:--10}
# shellcheck source=tools/wine_env.sh
source "$top/tools/wine_env.sh"
bin=$(cd "${BENCH_BIN:-$WIN_BUILD}" && pwd)
work=$top/build/bench
rm -rf "$work"
mkdir -p "$work"
export LAB_WINE_ROOT=$top/build/wine
pfx=$LAB_WINE_ROOT/labA
lab() { bash "$top/tools/lab.sh" "$@"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
say() { echo "bench: $*" >&2; }

# The road of tools/road.sh (section 3) with its fresh PC, and the
# simulated servers (tools/lab_sim.sh, sourced by it).
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$bin" "$work/road"
xvfb=""
cleanup() {
  lab_sim_stop
  WINEPREFIX=$pfx timeout 20 wineserver -k >/dev/null 2>&1 || true
  lab down >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT

lab up 255 --other-subnet >/dev/null
export DISPLAY=:$((70 + RANDOM % 9))
nice -n "$nice_level" Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { say "the display $DISPLAY did not start"; exit 1; }

# A fresh PC, its wineserver at the benchmark's priority.
pc_fresh() {
  road_pc_fresh
  local p
  for p in $(ip netns pids labA); do
    case $(cat "/proc/$p/comm" 2>/dev/null) in
      wineserver*) renice -n "$nice_level" -p "$p" >/dev/null 2>&1 || true ;;
    esac
  done
}
pc_fresh
# wine in labA, bounded in time, output without carriage returns.
w() { local t=$1; shift; (cd / && timeout "$t" nice -n "$nice_level" bash "$top/tools/lab.sh" wine labA "$@" 2>/dev/null | tr -d '\r'); }

start_sim() { lab_sim_start "$1" 600 "${@:2}"; }
servers_json() {  # N servers on 10.77.0.3 and up, past 10.77.0.254 on 10.77.1.3 and up
  /usr/bin/python3 - "$1" <<'PY'
import json, sys
n = int(sys.argv[1])
addrs = [f"10.77.0.{i}" for i in range(3, 255)] + [f"10.77.1.{i}" for i in range(3, 255)]
print(json.dumps({"servers": [{"addr": a, "model": "KX220", "name": f"HP LaserJet 1100 #{k}"}
                              for k, a in enumerate(addrs[:n], 1)]}))
PY
}
stats() {  # numbers on stdin -> "min/median/max (n)" or "-"
  /usr/bin/python3 -c '
import statistics, sys
v = [float(x) for x in sys.stdin.read().split()]
print("%g/%g/%g (%d)" % (min(v), statistics.median(v), max(v), len(v)) if v else "-")'
}
median() { /usr/bin/python3 -c '
import statistics, sys
v = [float(x) for x in sys.stdin.read().split()]
print("%.1f" % statistics.median(v) if v else "-")'; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

rows=()
row() { rows+=("$(printf '%-46s %s' "$1" "$2")"); }

if [ "$mode" = table ] || [ "$mode" = timeline ]; then
  # 1. Receive capacity: the discovery alone (discovery_probe), 20 bursts.
  for n in 1 16 64 255; do
    servers_json "$n" > "$work/servers-$n.json"
    start_sim "$work/sim-$n.log" "$work/servers-$n.json"
    out=$(w 120 "$bin/discovery_probe.exe" 20 || true)
    lab_sim_stop
    rcv=$(echo "$out" | awk '/^rcvbuf/{print $2}')
    counts=$(echo "$out" | awk '/^run/{print $3}')
    full=$(echo "$counts" | grep -cx "$n" || true)
    row "receive capacity, $n servers" \
        "entries after 1 s min/median/max $(echo "$counts" | stats); complete in $full of 20; rcvbuf ${rcv:-?}"
  done

  # 2. The wizard with 255 servers: the first on the detection page, and the
  #    full browse list (5 runs).
  start_sim "$work/sim-pages.log" "$work/servers-255.json"
  : > "$work/first.txt"
  : > "$work/rows.txt"
  for run in 1 2 3 4 5; do
    (cd / && timeout 60 bash "$top/tools/lab.sh" wine labA "$bin/PrnWizard.exe" >/dev/null 2>&1) &
    wiz=$!
    w 30 "$bin/winctl.exe" click "Printer Sharing Server Setup Wizard" "Next >" >/dev/null || true
    w 30 "$bin/winctl.exe" wait "Driver Installation " KX220 5000 >> "$work/first.txt" || true
    w 30 "$bin/winctl.exe" click "Driver Installation " "More..." >/dev/null || true
    w 30 "$bin/winctl.exe" rows "Brwose for all Printer Sharing Server" 255 10000 >> "$work/rows.txt" || true
    w 30 "$bin/winctl.exe" click "Brwose for all Printer Sharing Server" Cancel >/dev/null || true
    wait "$wiz" 2>/dev/null || true
  done
  lab_sim_stop
  row "first server on screen (255 servers)" "$(grep -E '^[0-9]+$' "$work/first.txt" | stats) ms after Next >"
  row "255 rows in the browse list" "$(grep -E '^[0-9]+$' "$work/rows.txt" | stats) ms after More..."
fi

# 3. The printer, monitor and test-page steps, walked as a person does (the
#    road of tools/road.sh on a fresh PC, 3 times; then a fresh PC again).  Each step is timed from
#    its click to what it waits for; the window tools a step starts (one per
#    click, wait and answered box) are included, so their start is given too.
if [ "$mode" = table ] || [ "$mode" = timeline ]; then
  declare -A step_ms=()
  step() {  # NAME FUNCTION ARGS...
    local name=$1 t0
    shift
    t0=$(now_ms)
    "$@" || { say "the road stopped at: $name"; return 1; }
    step_ms[$name]="${step_ms[$name]:-} $(( $(now_ms) - t0 ))"
  }
  tool_ms=""
  for run in 1 2 3; do
    road_pc_fresh
    road_servers || break
    road_pc_printers LPT1: LPT1: && road_pc_companion 2 && road_pc_jobfile || break
    ok=0
    {
      step "start to welcome page" road_step_welcome &&
      step "detection: Next > to the server shown" road_step_detection &&
      step "monitor installation: Next > to printer page" road_step_install &&
      step "port change: Next >, Yes, completion page" road_step_port &&
      { t0=$(now_ms); road_ctl texts "$T_COMPLETION" >/dev/null; tool_ms="$tool_ms $(( $(now_ms) - t0 ))"; } &&
      step "test page: click to printed, job received" road_step_print "$work/road/job$run.bin" &&
      step "Done to the program's end" road_step_done &&
      step "Uninstall: start to the program's end" road_step_uninstall && ok=1
    } || true
    road_sim_stop
    if [ -n "$ROAD_WIZ" ]; then kill "$ROAD_WIZ" 2>/dev/null || true; ROAD_WIZ=""; fi
    [ "$ok" = 1 ] || { say "road run $run did not finish"; break; }
  done
  for name in "start to welcome page" "detection: Next > to the server shown" \
              "monitor installation: Next > to printer page" "port change: Next >, Yes, completion page" \
              "test page: click to printed, job received" "Done to the program's end" \
              "Uninstall: start to the program's end"; do
    row "step: $name" "$(echo "${step_ms[$name]:-}" | stats) ms (window tools included)"
  done
  row "step: one window tool's start (in each above)" "$(echo "$tool_ms" | stats) ms"
  pc_fresh
fi

# 4. The browse list's tick with 255 servers in the table (page viewer), 3
#    runs of 20 ticks: the median of each run.
tick_rows() {  # SUFFIX
  local f=$work/tick$1.txt adding steady fastest current
  : > "$f"
  for _ in 1 2 3; do w 120 "$bin/pageshots.exe" browsebench 255 >> "$f" || true; done
  adding=$(awk '/^tick adding every row/{print $9}' "$f")
  steady=$(awk '/^tick with nothing new/{print $9}' "$f")
  fastest=$(awk '/^tick adding every row/{print $6}' "$f" | sort -n | head -n1)
  row "browse tick adding 255 rows$1" "$(echo "$adding" | stats) ms, repaint included (run medians; fastest tick ${fastest:-?} ms)"
  row "browse tick adding nothing$1" "$(echo "$steady" | stats) ms (run medians)"
  current=$(grep -m1 '^current row' "$f" || echo "current row not reported")
  row "browse list after the adding tick$1" "${current#current row }"
}

# 5. Start-up: the welcome page's first complete paint against a bare
#    one-button window, alternating, 12 runs each after one unmeasured start.
bare=$(winpath "$bin/bare_window.exe")
wizard=$(winpath "$bin/PrnWizard.exe")
fp() { w 60 "$bin/first_paint.exe" "$1" 20000 "$2" | head -n1; }
startup_rows() {  # SUFFIX
  local fb=$work/bare$1.txt fw=$work/wizard$1.txt b p ratio
  fp "Bare window" "$bare" >/dev/null || true
  fp "Printer Sharing Server Setup Wizard" "$wizard" >/dev/null || true
  : > "$fb"
  : > "$fw"
  for _ in $(seq 12); do
    sleep 0.3
    fp "Bare window" "$bare" >> "$fb" || true
    sleep 0.3
    fp "Printer Sharing Server Setup Wizard" "$wizard" >> "$fw" || true
  done
  b=$(median < "$fb")
  p=$(median < "$fw")
  row "start-up: bare window, first paint$1" "$(stats < "$fb") ms after the process start"
  row "start-up: welcome page, first paint$1" "$(stats < "$fw") ms after the process start"
  ratio=$(/usr/bin/python3 -c "import sys; b, p = sys.argv[1:]; print('%.2f' % (float(p) / float(b)))" \
          "$b" "$p" 2>/dev/null || echo "?")
  row "start-up: welcome page / bare window$1" "$ratio (medians)"
}

[ "$mode" != startup ] && tick_rows ""
[ "$mode" != tick ] && startup_rows ""
# Once more with the programs, the wineserver and the display all on one CPU.
pin_all() { local p; for p in $xvfb $(ip netns pids labA); do taskset -acp 0 "$p" >/dev/null 2>&1 || true; done; }
pin_all
w() { local t=$1; shift; (cd / && timeout "$t" taskset -c 0 nice -n "$nice_level" bash "$top/tools/lab.sh" wine labA "$@" 2>/dev/null | tr -d '\r'); }
[ "$mode" != startup ] && tick_rows " (one CPU)"
[ "$mode" != tick ] && startup_rows " (one CPU)"

# 6. Size.
row "PrnWizard.exe size" "$(stat -c %s "$bin/PrnWizard.exe") bytes"

echo
echo "Benchmark ($(date -u +%Y-%m-%dT%H:%MZ), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%s\n' "${rows[@]}"

if [ "$mode" = timeline ]; then
  pc_fresh
  pin_all
  # Wine's relay trace of the calls that mark the steps, with timestamps.
  calls="user32.FindWindowA;user32.SetWindowTextA;user32.CreateWindowExA;kernel32.FindResourceA"
  calls="$calls;wsock32.WSAStartup;ws2_32.socket;ws2_32.bind;kernel32.CreateThread"
  calls="$calls;user32.BeginPaint;user32.ShowWindow;winspool.drv.EnumMonitorsA;comctl32.InitCommonControlsEx"
  (cd / && WINEDEBUG=-all lab wine labA reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
     /f /d "$calls" >/dev/null 2>&1) || true
  for run in 1 2 3 4 5; do
    sleep 0.3
    (cd / && WINEDEBUG=+timestamp,+loaddll,+relay timeout 60 taskset -c 0 bash "$top/tools/lab.sh" wine labA \
      "$bin/first_paint.exe" "Printer Sharing Server Setup Wizard" 20000 "$wizard" \
      > "$work/trace$run.out" 2> "$work/trace$run.trace") || true
  done
  (cd / && WINEDEBUG=-all lab wine labA reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f \
     >/dev/null 2>&1) || true
  echo
  echo "Start-up timeline (traced, on one CPU; ms after the process start, medians of 5)"
  /usr/bin/python3 "$top/tools/bench_timeline.py" "$work" PrnWizard.exe
fi
