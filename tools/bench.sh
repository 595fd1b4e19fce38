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
# then runs in a sandbox of its own (tools/sandbox.sh) with its own lab
# (labA the PC, labB the LAN with 255 simulated servers), display and
# simulator, and removes everything at the end.  It runs at nice -10
# (BENCH_NICE), its programs with it; the tick and start-up rows are taken twice, as the
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

# shellcheck source=tools/road.sh
source tools/road.sh
work=$top/build/bench
rm -rf "$work"
mkdir -p "$work"
road_init "$top" "${BENCH_BIN:-$WIN_BUILD}" "$work/road"
bin=$ROAD_BIN
say() { echo "bench: $*" >&2; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The benchmark and all it starts (display, wineserver, programs) at its
# priority.
nice_level=${BENCH_NICE:--10}
renice -n "$nice_level" -p $$ >/dev/null 2>&1 || say "the figures are taken at the default priority"
road_lab_up 255
wine_display
road_pc_fresh
# wine in labA, bounded in time, output without carriage returns; pinned to
# one CPU once pin=(taskset -c 0).
pin=()
w() { local t=$1; shift; (cd / && timeout "$t" "${pin[@]}" bash "$top/tools/lab.sh" wine labA "$@" 2>/dev/null | tr -d '\r'); }

start_sim() { road_sim_start "$1" 600 "${@:2}"; }
servers_json() {  # N servers on 10.77.0.3 and up, past 10.77.0.254 on 10.77.1.3 and up
  local k sep=""
  printf '{"servers": ['
  for k in $(seq "$1"); do
    printf '%s{"addr": "10.77.%d.%d", "model": "KX220", "name": "HP LaserJet 1100 #%d"}' \
      "$sep" $((k > 252)) $(((k - 1) % 252 + 3)) "$k"
    sep=", "
  done
  echo ']}'
}
stats() {  # numbers on stdin -> "min/median/max (n)", or "-"
  tr -s '[:space:]' '\n' | sort -g | awk 'NF {v[++n] = $1} END {
    if (!n) { print "-"; exit }
    printf "%g/%g/%g (%d)\n", v[1], (v[int((n + 1) / 2)] + v[int(n / 2) + 1]) / 2, v[n], n }'
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

rows=()
row() { rows+=("$(printf '%-46s %s' "$1" "$2")"); }

if [ "$mode" = table ] || [ "$mode" = timeline ]; then
  # 1. Receive capacity: the discovery alone (discovery_probe), 20 bursts.
  for n in 1 16 64 255; do
    servers_json "$n" > "$work/servers-$n.json"
    start_sim "$work/sim-$n.log" "$work/servers-$n.json"
    out=$(w 120 "$bin/discovery_probe.exe" 20 || true)
    road_sim_stop
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
    road_wizard_start || continue
    road_click "$T_WELCOME" "Next >" || true
    road_ctl wait "$T_DETECTION" KX220 5000 >> "$work/first.txt" || true
    road_click "$T_DETECTION" "More..." || true
    road_ctl rows "$T_BROWSE" 255 10000 >> "$work/rows.txt" || true
    road_click "$T_BROWSE" Cancel || true
    road_wizard_wait_exit 30 || road_wizard_kill
  done
  road_sim_stop
  row "first server on screen (255 servers)" "$(grep -E '^[0-9]+$' "$work/first.txt" | stats) ms after Next >"
  row "255 rows in the browse list" "$(grep -E '^[0-9]+$' "$work/rows.txt" | stats) ms after More..."

# 3. The printer, monitor and test-page steps, walked as a person does (the
#    road of tools/road.sh on a fresh PC, 3 times; then a fresh PC again).
#    Each step is timed from its click to what it waits for; the window tools a step starts (one per
#    click, wait and answered box) are included, so their start is given too.
  names=("start to welcome page" "detection: Next > to the server shown"
         "monitor installation: Next > to printer page" "port change: Next >, Yes, completion page"
         "one window tool's start (in each step)" "test page: click to printed, job received"
         "Done to the program's end" "Uninstall: start to the program's end")
  tool_start() { road_ctl texts "$T_COMPLETION" >/dev/null; }
  print_page() { road_step_print "$work/road/job$run.bin"; }
  steps=(road_step_welcome road_step_detection road_step_install road_step_port tool_start print_page
         road_step_done road_step_uninstall)
  step_ms=()
  for run in 1 2 3; do
    road_pc && road_servers || break
    for i in "${!steps[@]}"; do
      t0=$(now_ms)
      "${steps[$i]}" || { say "road run $run stopped at: ${names[$i]}"; break 2; }
      step_ms[i]="${step_ms[i]:-} $(($(now_ms) - t0))"
    done
    road_wizard_kill
  done
  road_sim_stop
  road_wizard_kill
  for i in "${!names[@]}"; do
    row "step: ${names[$i]}" "$(echo "${step_ms[i]:-}" | stats) ms (window tools included)"
  done
  road_pc_fresh
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
  b=$(stats < "$fb" | cut -d/ -f2)
  p=$(stats < "$fw" | cut -d/ -f2)
  row "start-up: bare window, first paint$1" "$(stats < "$fb") ms after the process start"
  row "start-up: welcome page, first paint$1" "$(stats < "$fw") ms after the process start"
  ratio=$(awk -v b="$b" -v p="$p" 'BEGIN { if (b + 0 > 0 && p != "-") printf "%.2f", p / b; else print "?" }')
  row "start-up: welcome page / bare window$1" "$ratio (medians)"
}

[ "$mode" != startup ] && tick_rows ""
[ "$mode" != tick ] && startup_rows ""
# Once more with the programs, the wineserver and the display all on one CPU.
pin_all() { local p; for p in $WINE_XVFB $(ip netns pids labA); do taskset -acp 0 "$p" >/dev/null 2>&1 || true; done; }
pin_all
pin=(taskset -c 0)
[ "$mode" != startup ] && tick_rows " (one CPU)"
[ "$mode" != tick ] && startup_rows " (one CPU)"

# 6. Size.
row "PrnWizard.exe size" "$(stat -c %s "$bin/PrnWizard.exe") bytes"

echo
echo "Benchmark ($(date -u +%Y-%m-%dT%H:%MZ), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%s\n' "${rows[@]}"

if [ "$mode" = timeline ]; then
  road_pc_fresh
  pin_all
  # Wine's relay trace of the calls that mark the steps, with timestamps.
  calls="user32.FindWindowA;user32.SetWindowTextA;user32.CreateWindowExA;kernel32.FindResourceA"
  calls="$calls;wsock32.WSAStartup;ws2_32.socket;ws2_32.bind;kernel32.CreateThread"
  calls="$calls;user32.BeginPaint;user32.ShowWindow;winspool.drv.EnumMonitorsA;comctl32.InitCommonControlsEx"
  road_reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /f /d "$calls" >/dev/null || true
  for run in 1 2 3 4 5; do
    sleep 0.3
    (cd / && WINEDEBUG=+timestamp,+loaddll,+relay timeout 60 taskset -c 0 bash "$top/tools/lab.sh" wine labA \
      "$bin/first_paint.exe" "Printer Sharing Server Setup Wizard" 20000 "$wizard" \
      > "$work/trace$run.out" 2> "$work/trace$run.trace") || true
  done
  road_reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null || true
  echo
  echo "Start-up timeline (traced, on one CPU; ms after the process start, medians of 5)"
  /usr/bin/python3 "$top/tools/bench_timeline.py" "$work" PrnWizard.exe
fi
