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
#   bash tools/bench.sh steps      only the step rows
#   bash tools/bench.sh handover   only the hand-over rows
#
# It times the fastest build the machine runs natively (win32; win64 under
# 64-bit Wine where 32-bit Wine needs emulation) and says which; the size row
# is always the shipped build/win32/PrnWizard.exe.  The hand-over rows time
# the shipped pair of build/win32 in a 64-bit prefix: the 32-bit exe
# starting the 64-bit one, against the 64-bit one alone (where 32-bit Wine
# runs only under qemu's emulation, the rows say so).  It sets up and builds
# what it needs (tools/setup.sh, the presets), then runs in a sandbox of its own (tools/sandbox.sh) with its own lab
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
case $mode in table|timeline|startup|tick|steps|handover) ;; *) echo "usage: bench.sh [timeline|startup|tick|steps|handover]" >&2; exit 2 ;; esac

if [ -z "${BENCH_INSIDE:-}" ]; then
  # BENCH_BIN measures the programs of another build folder instead.
  # The fastest build the machine runs natively: the shipped win32 one, or
  # win64 under 64-bit Wine where 32-bit Wine would need emulation.
  # shellcheck source=tools/wine_env.sh
  source tools/wine_env.sh
  # Whether 32-bit programs need the sandbox's emulation (the hand-over).
  export BENCH_QEMU32=$WINE_QEMU
  if [ -z "${BENCH_BIN:-}" ] && [ "$WIN_PRESET" = win32 ] && [ "$WINE_QEMU" = 1 ]; then
    export WIN_PRESET=win64
    export BENCH_WHY="the shipped win32 build would run under qemu's emulation here"
    source tools/wine_env.sh
  fi
  bash tools/setup.sh >/dev/null
  if [ -z "${BENCH_BIN:-}" ]; then
    for preset in "$WIN_PRESET" win32; do  # win32 for the size row
      cmake --preset "$preset" >/dev/null
      cmake --build --preset "$preset" -j2 >/dev/null
    done
  fi
  # The sandbox as the win32 build needs it (the hand-over's 32-bit exe: qemu
  # where the machine needs it), the timed build's preset inside.
  BENCH_INSIDE=1 WIN_PRESET=win32 WINE_QEMU=$BENCH_QEMU32 exec bash tools/sandbox.sh \
    env WIN_PRESET="$WIN_PRESET" WIN_BUILD="$WIN_BUILD" bash "$0" "$mode"
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
fi

if [ "$mode" = table ] || [ "$mode" = timeline ] || [ "$mode" = steps ]; then

# 3. The steps as a user sees them, on the Wine desktop the run command uses
#    (tools/run.sh): step_probe starts the wizard, clicks, and times each
#    click to the next page or question shown and taking input, and the last
#    click to the last window gone and the process gone.  The spooler, file
#    and send calls of each step (with Sleep: the discovery burst's pauses)
#    are traced (Wine's relay trace of those calls only) and their time given
#    beside it; BENCH_TRACE=-all times the walks untraced (tracing adds some
#    10 %), without that column.  5 fresh PCs, each walked through the
#    installation, the uninstallation and a start ended with Cancel.
  wiz=$(winpath "$bin/PrnWizard.exe")
  tab=$'\t'
  walk() { local IFS=$tab; printf '%s\n' "$*"; }
  {
    walk "start to welcome page" run "$wiz"
    walk "start to welcome page" ready "$T_WELCOME" "Next >"
    walk "welcome Next > to detection page" click "$T_WELCOME" "Next >"
    walk "welcome Next > to detection page" ready "$T_DETECTION" "Cancel"
    walk "welcome Next > to the server shown (the page's 1 s timer)" ready "$T_DETECTION" "$ROAD_PRINTER"
    walk "detection Next > to printer page" click "$T_DETECTION" "Next >"
    walk "detection Next > to printer page" ready "$T_PRINTER" "$ROAD_PRINTER"
    walk "printer Next > to the port question" click "$T_PRINTER" "Next >"
    walk "printer Next > to the port question" box Information "&Yes"
    walk "Yes to completion page" ready "$T_COMPLETION" "$ROAD_SERVER"
    walk "Print test page to its message" click "$T_COMPLETION" "Print test page"
    walk "Print test page to its message" box Information OK
    walk "OK to the job received" file "$ROAD_JOB_WIN"
    walk "Done to" click "$T_COMPLETION" "Done"
    walk "Done to" gone
    walk "second start to welcome page" run "$wiz"
    walk "second start to welcome page" ready "$T_WELCOME" "Uninstall"
    walk "Uninstall to its question" click "$T_WELCOME" "Uninstall"
    walk "Uninstall to its question" box Information "&Yes"
    walk "Yes to the uninstalled message" box Information OK
    walk "OK (end of Uninstall) to" gone
    walk "third start to welcome page" run "$wiz"
    walk "third start to welcome page" ready "$T_WELCOME" "Next >"
    walk "Cancel to" click "$T_WELCOME" "Cancel"
    walk "Cancel to" gone
  } > "$work/walk.txt"
  calls="winspool.drv.AddMonitorA;winspool.drv.DeleteMonitorA;winspool.drv.EnumMonitorsA"
  calls="$calls;winspool.drv.EnumPrintersA;winspool.drv.OpenPrinterA;winspool.drv.ClosePrinter"
  calls="$calls;winspool.drv.GetPrinterA;winspool.drv.SetPrinterA;winspool.drv.DocumentPropertiesA"
  calls="$calls;winspool.drv.SetDefaultPrinterA;winspool.drv.StartDocPrinterW;winspool.drv.EndDocPrinter"
  calls="$calls;kernel32.CopyFileA;kernel32.DeleteFileA;kernelbase.CopyFileA;kernelbase.DeleteFileA"
  # The discovery burst: its sends and the pauses between them.
  calls="$calls;ws2_32.sendto;kernel32.Sleep"
  : > "$work/steps.txt"
  for run in 1 2 3 4 5; do
    road_pc && road_servers || break
    road_reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /f /d "$calls" >/dev/null || true
    ROAD_DESKTOP=Wizard WINEDEBUG=${BENCH_TRACE:-+pid,+timestamp,+relay} road_wine step_probe.exe \
      "$(winpath "$work/walk.txt")" 20000 > "$work/probe$run.out" 2> "$work/probe$run.trace" </dev/null || true
    grep step_probe: "$work/probe$run.out" >&2 || true
    /usr/bin/python3 "$top/tools/bench_steps.py" "$work/probe$run.out" "$work/probe$run.trace" >> "$work/steps.txt" \
      || say "walk $run: no figures"
    road_sim_stop
  done
  step_stats() { grep -F "$1 " "$work/steps.txt" | awk -v k="$1" 'substr($0, 1, length(k) + 1) == k " " && NF {
    r = substr($0, length(k) + 2); if (r ~ /^[0-9.]+$/) print r }' | stats; }
  while IFS= read -r label; do
    case $label in
      *" to") row "step: $label last window gone" "$(step_stats "$label window") ms"
              row "step: $label process gone" "$(step_stats "$label process") ms" ;;
      *) row "step: $label" "$(step_stats "$label") ms; in spooler, file and send calls $(step_stats "$label work") ms" ;;
    esac
  done < <(cut -f1 "$work/walk.txt" | awk '!seen[$0]++')
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
fair=$(winpath "$bin/fair_window.exe")
wizard=$(winpath "$bin/PrnWizard.exe")
fp() { w 60 "$bin/first_paint.exe" "$1" 20000 "$2" | head -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 > 0 && a != "-") printf "%.2f", a / b; else print "?" }'; }
startup_rows() {  # SUFFIX
  local fb=$work/bare$1.txt ff=$work/fair$1.txt fw=$work/wizard$1.txt b f p
  fp "Bare window" "$bare" >/dev/null || true
  fp "Fair window" "$fair" >/dev/null || true
  fp "Printer Sharing Server Setup Wizard" "$wizard" >/dev/null || true
  : > "$fb"
  : > "$fw"
  : > "$ff"
  for _ in $(seq 12); do
    sleep 0.3
    fp "Bare window" "$bare" >> "$fb" || true
    sleep 0.3
    fp "Fair window" "$fair" >> "$ff" || true
    sleep 0.3
    fp "Printer Sharing Server Setup Wizard" "$wizard" >> "$fw" || true
  done
  b=$(stats < "$fb" | cut -d/ -f2)
  f=$(stats < "$ff" | cut -d/ -f2)
  p=$(stats < "$fw" | cut -d/ -f2)
  row "start-up: bare window, first paint$1" "$(stats < "$fb") ms after the process start"
  row "start-up: fair window, first paint$1" "$(stats < "$ff") ms after the process start"
  row "start-up: welcome page, first paint$1" "$(stats < "$fw") ms after the process start"
  row "start-up: welcome/bare$1" "$(ratio "$p" "$b") (medians; target 1.3)"
  row "start-up: welcome/fair$1" "$(ratio "$p" "$f") (medians; goal 1.1 or less)"
}

case $mode in table|timeline|tick) tick_rows "" ;; esac
case $mode in table|timeline|startup) startup_rows "" ;; esac
# Once more with the programs, the wineserver and the display all on one CPU.
pin_all() { local p; for p in $WINE_XVFB $(ip netns pids labA); do taskset -acp 0 "$p" >/dev/null 2>&1 || true; done; }
pin_all
pin=(taskset -c 0)
case $mode in table|timeline|tick) tick_rows " (one CPU)" ;; esac
case $mode in table|timeline|startup) startup_rows " (one CPU)" ;; esac

# 6. Size: the shipped 32-bit exe, whichever build was timed.
case $mode in table|timeline|startup)
  row "PrnWizard.exe size (build/win32)" "$(stat -c %s "$top/build/win32/PrnWizard.exe" 2>/dev/null || echo '?') bytes"
  row "PrnWizard64.exe size (build/win32)" "$(stat -c %s "$top/build/win32/PrnWizard64.exe" 2>/dev/null || echo '?') bytes" ;;
esac

# 7. The hand-over on 64-bit Windows, in a 64-bit prefix of its own: the
#    shipped pair (build/win32) in one folder, PrnWizard.exe /quiet /status
#    (which hands over) against PrnWizard64.exe /quiet /status, alternating,
#    8 runs each after one unmeasured start; the process's start to its end.
handover_rows() {
  local ship=$work/handover t0 t1 saved
  # The timed build's Wine comes back after (the timeline uses it).
  saved=$(export -p | grep -E ' (WINEARCH|WINELOADER|WINE_BASE|PATH)=' | sed 's/^declare -x /declare -gx /')
  if [ ! -f "$top/build/win32/PrnWizard64.exe" ]; then
    row "hand-over: PrnWizard.exe /quiet /status" "? (no build/win32/PrnWizard64.exe)"
    return 0
  fi
  mkdir -p "$ship"
  cp "$top/build/win32/PrnWizard.exe" "$top/build/win32/PrnWizard64.exe" "$ship/"
  wine_win64 || { row "hand-over: PrnWizard.exe /quiet /status" "? (no 64-bit prefix)"; return 0; }
  road_pc_fresh
  pin_all
  : > "$work/direct.txt"
  : > "$work/handed.txt"
  w 120 "$ship/PrnWizard64.exe" /quiet /status >/dev/null || true
  w 120 "$ship/PrnWizard.exe" /quiet /status >/dev/null || true
  for _ in $(seq 8); do
    sleep 0.3
    t0=$(now_ms); w 120 "$ship/PrnWizard64.exe" /quiet /status >/dev/null || true; t1=$(now_ms)
    echo $((t1 - t0)) >> "$work/direct.txt"
    sleep 0.3
    t0=$(now_ms); w 120 "$ship/PrnWizard.exe" /quiet /status >/dev/null || true; t1=$(now_ms)
    echo $((t1 - t0)) >> "$work/handed.txt"
  done
  # Both runs end with the same code, or the 32-bit exe refused (30-32)
  # and timed no hand-over.
  local d h how="" code64=0 code32=0
  (cd / && timeout 120 bash "$top/tools/lab.sh" wine labA "$ship/PrnWizard64.exe" /quiet /status \
    >/dev/null 2>&1 </dev/null) || code64=$?
  (cd / && timeout 120 bash "$top/tools/lab.sh" wine labA "$ship/PrnWizard.exe" /quiet /status \
    >/dev/null 2>&1 </dev/null) || code32=$?
  [ "$code32" = "$code64" ] || how="; NO hand-over: PrnWizard.exe ended with $code32, PrnWizard64.exe with $code64"
  d=$(stats < "$work/direct.txt" | cut -d/ -f2)
  h=$(stats < "$work/handed.txt" | cut -d/ -f2)
  [ "${BENCH_QEMU32:-0}" = 1 ] && how="$how; the 32-bit exe under qemu's emulation here (no 32-bit user mode), so the cost is the emulation's too"
  row "hand-over: PrnWizard64.exe /quiet /status" "$(stats < "$work/direct.txt") ms, start to end (64-bit Wine$( [ ${#pin[@]} -gt 0 ] && echo ', one CPU'))"
  row "hand-over: PrnWizard.exe /quiet /status" "$(stats < "$work/handed.txt") ms, start to end, through PrnWizard64.exe"
  unset WINELOADER
  eval "$saved"
  road_pc_fresh
  row "hand-over: its cost" "$(awk -v a="$h" -v b="$d" 'BEGIN { if (a != "" && b != "") printf "%d", a - b; else print "?" }') ms (medians)$how"
}
case $mode in table|timeline|handover) handover_rows ;; esac

echo
echo "Benchmark ($(date -u +%Y-%m-%dT%H:%MZ), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
echo "Timed: $bin/PrnWizard.exe under $WINEARCH Wine${BENCH_WHY:+ ($BENCH_WHY)}"
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
