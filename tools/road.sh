# shellcheck shell=bash
# The road of one installation, as a person walks it, in the lab (labA is
# the PC, labB the LAN with the simulated servers), and the lab, PC and
# simulator it needs.  Sourced by tools/run.sh (which shows the road and
# takes pictures), tests/lab/road_test.sh (which checks it), tools/bench.sh
# (which times it) and tests/lab/lab_tests.sh (the lab alone); none copies a
# step.
#
#   road_init TOP BIN WORK      the tree, the Windows build folder, a work
#                               folder (emptied); its EXIT trap cleans up
#   ROAD_DESKTOP=NAME           start the wizard and the window drivers on the
#                               Wine desktop NAME (title bars; no exit codes)
#   ROAD_SHOTS=DIR              road_shot writes DIR/NN-NAME.png
#   ROAD_PAUSE=S                seconds to let each page be seen (run command)
#
# Every wait is bounded; a step that does not see what it waits for says so
# on stderr ("road: ...") and returns 1.  The wizard runs only in labA, the
# servers only in labB; nothing reaches the machine's own network.

ROAD_MONITOR="Printer Sharing Port Monitor"
ROAD_MONITOR_KEY='HKLM\System\CurrentControlSet\Control\Print\Monitors\Printer Sharing Port Monitor'
ROAD_COMPANION_KEY='HKLM\Software\Varn\Varn Vuvarode Lanwarden Utilities'
ROAD_JOB_KEY='HKLM\Software\Fixture Port Monitor'
# The companion utilities' folder on the simulated PC, and where the fixture
# monitor writes each job it receives.
ROAD_APPPATH='C:\Program Files\Varn\Lanwarden Utilities'
ROAD_JOB_WIN='C:\road\job.bin'
# The simulated LAN (road_servers): the first server that answers names the
# PC's printer; the others answer later (one without a printer, one on
# another subnet), so the detection page settles on the first.
ROAD_SERVER=10.77.0.4
ROAD_PRINTER="HP LaserJet 1100"
ROAD_OTHER_PRINTER="EPSON Stylus C60"

T_WELCOME="Printer Sharing Server Setup Wizard"
T_DETECTION="Driver Installation "
T_BROWSE="Brwose for all Printer Sharing Server"
T_PRINTER="Printer Settings Setup Wizard"
T_COMPLETION="Setup Completed"

road_say() { echo "road: $*" >&2; }
# A bound for a wait: $1 times WINE_SLOW (longer under emulation).
road_slow() { echo $(($1 * ${WINE_SLOW:-1})); }

# A test's verdicts: `pass WHAT` and `fail WHAT`, counted in $failures;
# `check` compares, `contains` looks for a text.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# check WHAT WANT GOT
check() {
  if [ "$3" = "$2" ]; then pass "$1: $3"; else fail "$1: want '$2', got '$3'"; fi
}
# contains WHAT TEXT NEEDLE
contains() {
  if grep -qF -- "$3" <<<"$2"; then pass "$1"; else fail "$1: no '$3' in: $(tr '\n' '|' <<<"$2")"; fi
}

road_init() {
  ROAD_TOP=$1
  ROAD_BIN=$(cd "$2" && pwd)
  ROAD_WORK=$3
  rm -rf "$ROAD_WORK"
  mkdir -p "$ROAD_WORK"
  export LAB_WINE_ROOT=$ROAD_TOP/build/wine
  # shellcheck source=tools/wine_env.sh
  source "$ROAD_TOP/tools/wine_env.sh"
  ROAD_PFX=$LAB_WINE_ROOT/labA
  ROAD_WIZ=""
  ROAD_SIM=""
  ROAD_SHOT_COUNT=0
  ROAD_EXIT=""
  # Whatever the caller does next, the lab and the Wine session go with it.
  trap road_cleanup EXIT
}

road_lab() { bash "$ROAD_TOP/tools/lab.sh" "$@"; }

# --- the lab ---------------------------------------------------------------

# The lab with N extra server addresses (3) and one on another subnet.
road_lab_up() { road_lab up "${1:-3}" --other-subnet >/dev/null; }

# Safe in an EXIT trap under `set -e`: every command's failure is ignored.
road_cleanup() {
  road_wizard_kill
  road_sim_stop
  wine_session_end
  road_lab down >/dev/null 2>&1 || true
}

# A fresh PC: the base prefix copied for labA, with a persistent wineserver
# that started in labA (its sockets live there).
road_pc_fresh() { wine_prefix "$ROAD_PFX" bash "$ROAD_TOP/tools/lab.sh" exec labA; }

# The simulated servers (tools/lansim.py) in labB, started; waits (5 s at
# most) until they listen.  ROAD_SIM is the simulator's own pid (lab.sh
# execs it): $! of a shell function would be a subshell, and killing that
# would leave the simulator answering.
road_sim_start() {  # LOG MAX_SECONDS [lansim.py ARGS]
  local log=$1 seconds=$2
  shift 2
  road_sim_stop
  rm -f "$log"
  bash "$ROAD_TOP/tools/lab.sh" exec labB /usr/bin/python3 "$ROAD_TOP/tools/lansim.py" --log "$log" \
    --max-seconds "$seconds" "$@" >/dev/null 2>&1 &
  ROAD_SIM=$!
  for _ in $(seq 100); do
    grep -q '"ready"' "$log" 2>/dev/null && return 0
    sleep 0.05
  done
  road_say "the simulated servers did not start"
  return 1
}

road_sim_stop() {
  if [ -n "$ROAD_SIM" ]; then
    kill "$ROAD_SIM" 2>/dev/null || true
    wait "$ROAD_SIM" 2>/dev/null || true
  fi
  ROAD_SIM=""
  return 0
}

road_servers() {
  cat > "$ROAD_WORK/servers.json" <<JSON
{"servers": [
  {"addr": "$ROAD_SERVER", "model": "KX230", "name": "$ROAD_PRINTER"},
  {"addr": "10.77.0.3", "model": "KX220", "name": "", "delay_ms": 300},
  {"addr": "10.77.0.5", "model": "KX220", "name": "Canon BJC-1000", "delay_ms": 400},
  {"addr": "10.77.1.2", "model": "KX230", "name": "Lexmark Z34 Color Jetprinter", "delay_ms": 400}
]}
JSON
  road_sim_start "$ROAD_WORK/lansim.log" "${ROAD_SIM_SECONDS:-900}" "$ROAD_WORK/servers.json"
}

# --- wine in labA ------------------------------------------------------------

# A program of the build folder in labA, on the desktop when there is one,
# ended after ROAD_LIMIT seconds (60) at the latest.
road_wine() {
  local exe=$ROAD_BIN/$1 limit=${ROAD_LIMIT:-$(road_slow 60)} desktop=()
  shift
  [ -n "${ROAD_DESKTOP:-}" ] && desktop=(explorer "/desktop=$ROAD_DESKTOP,800x600")
  (cd / && timeout "$limit" bash "$ROAD_TOP/tools/lab.sh" wine labA "${desktop[@]}" "$exe" "$@")
}

# Output of a window driver, without carriage returns; fails when the driver
# says so (through the desktop its exit code is lost, its words are not).
road_run_tool() {
  local out rc=0
  out=$(road_wine "$@" 2>/dev/null </dev/null | tr -d '\r'; exit "${PIPESTATUS[0]}") || rc=$?
  printf '%s\n' "$out"
  [ "$rc" = 0 ] || return 1
  case $out in winctl:*|"no box titled"*) return 1 ;; esac
  return 0
}

road_ctl() { road_run_tool winctl.exe "$@"; }
# Answers the message box titled $1 with the button $2; prints its text.
road_answer() { road_run_tool answer_box.exe "$@"; }
road_simpc() { road_run_tool simpc.exe "$@"; }
# The lab tests' readers of the simulated PC.  A reader that fails says so:
# an empty port or an absent monitor must be a finding, not a failed read.
port() { local p; p=$(road_simpc port "$1") || p="(simpc failed: $p)"; echo "$p"; }
listed() {
  local names
  names=$(road_simpc monitors) || { echo "(simpc failed: $names)"; return; }
  if grep -qxF "$ROAD_MONITOR" <<<"$names"; then echo listed; else echo absent; fi
}

road_reg() {
  (cd / && timeout "$(road_slow 60)" bash "$ROAD_TOP/tools/lab.sh" wine labA reg "$@" </dev/null 2>/dev/null \
    | tr -d '\r')
}

# A REG_SZ value of the simulated PC; empty when missing.
road_reg_value() {
  road_reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | head -n 1
}

road_unix() { local p=${1#C:\\}; echo "$ROAD_PFX/drive_c/${p//\\//}"; }

# msiexec NAME ARGS...: Wine's msiexec in labA with a verbose log
# C:\road\NAME.log; MSI_EXIT is its exit code, MSI_LOG its log.
msiexec() {
  local name=$1
  shift
  MSI_EXIT=0
  (cd / && timeout "$(road_slow 300)" bash "$ROAD_TOP/tools/lab.sh" wine labA msiexec "$@" \
    /l*v "C:\\road\\$name.log") </dev/null >/dev/null 2>&1 || MSI_EXIT=$?
  MSI_LOG=$(tr -d '\r' < "$(road_unix "C:\\road\\$name.log")" 2>/dev/null || echo "(no log)")
}
# package UNIX_PATH: its Windows path on Wine's Z: drive.
package() { echo "Z:${1//\//\\}"; }

# --- the simulated PC ----------------------------------------------------------

# A fresh PC with its printers (on ports $1 and $2, "LPT1:"), the companion
# folder and the job file (below).
road_pc() { road_pc_fresh && road_pc_printers "$@" && road_pc_companion && road_pc_jobfile; }

# Printers on the generic PostScript driver, the chosen one on "LPT1:".
road_pc_printers() {
  local port=${1:-LPT1:} other=${2:-LPT1:}
  road_simpc printer "$ROAD_PRINTER" "$port" >/dev/null || return 1
  road_simpc printer "$ROAD_OTHER_PRINTER" "$other" >/dev/null || return 1
  road_simpc printer "Canon BJC-1000" "FILE:" >/dev/null
}

# The companion utilities' folder with the shipped monitor files (the
# fixture monitor of version 2), and "AppPath" naming it.  As an installer
# leaves it, only administrators may change it: Wine reports rights from the
# Unix mode and always lets the owner change a file's DACL, so no owner bits
# (road_trusted).
road_pc_companion() {
  local dir
  dir=$(road_unix "$ROAD_APPPATH")
  mkdir -p "$dir"
  cp "$ROAD_BIN/fixture_talomon_v2.dll" "$dir/talomon.dl_"
  cp "$ROAD_BIN/fixture_taloui.dll" "$dir/taloui.dl_"
  cp "$ROAD_BIN/fixture_lprmon_v2.dll" "$dir/lprmon.dl_"
  road_trusted "$dir" "$dir"/*.dl_
  road_reg add "$ROAD_COMPANION_KEY" /v AppPath /t REG_SZ /d "$ROAD_APPPATH" /f >/dev/null
}

# Files and folders only administrators may change, as Wine shows rights.
road_trusted() { chmod 0055 "$@"; }

# Where the fixture monitor records jobs (a key that outlives the monitor's),
# and no spooler mapping for "Remote Port", so a job goes to the monitor.
road_pc_jobfile() {
  mkdir -p "$(dirname "$(road_unix "$ROAD_JOB_WIN")")"
  rm -f "$(road_unix "$ROAD_JOB_WIN")"
  road_reg add "$ROAD_JOB_KEY" /v "Job File" /t REG_SZ /d "$ROAD_JOB_WIN" /f >/dev/null
  road_reg delete 'HKCU\Software\Wine\Printing\Spooler' /v "Remote Port" /f >/dev/null 2>&1 || true
}

# A monitor of fixture version $1 installed earlier: its DLLs in the system
# directory, registered, and the server address it was given ($2).
road_pc_old_monitor() {
  local version=$1 address=$2 sys=$ROAD_PFX/drive_c/windows/system32
  cp "$ROAD_BIN/fixture_talomon_v$version.dll" "$sys/talomon.dll"
  cp "$ROAD_BIN/fixture_taloui.dll" "$sys/taloui.dll"
  road_simpc addmonitor "$ROAD_MONITOR" "Windows NT x86" talomon.dll >/dev/null || return 1
  road_reg add "$ROAD_MONITOR_KEY" /v "Server Address" /t REG_SZ /d "$address" /f >/dev/null
}

# The job the fixture monitor recorded, copied to $1 (name line + bytes).
road_job_wait() {
  local src
  src=$(road_unix "$ROAD_JOB_WIN")
  for _ in $(seq "$(road_slow 100)"); do
    [ -s "$src" ] && { sleep 0.3; cp "$src" "$1"; return 0; }
    sleep 0.1
  done
  road_say "no job reached the monitor ($src)"
  return 1
}

# --- the wizard ------------------------------------------------------------------

# Starts the wizard and waits (at most 20 s, natively) for its process, so that the
# window drivers started next find the desktop it made.
road_wizard_start() {
  ROAD_EXIT=""
  ROAD_LIMIT=$(road_slow 600) road_wine PrnWizard.exe >/dev/null 2>&1 </dev/null &
  ROAD_WIZ=$!
  for _ in $(seq "$(road_slow 100)"); do
    road_wizard_process && return 0
    sleep 0.2
  done
  road_say "the wizard did not start"
  return 1
}

road_wizard_kill() {
  if [ -n "$ROAD_WIZ" ]; then kill "$ROAD_WIZ" 2>/dev/null || true; fi
  ROAD_WIZ=""
}

# The processes of labA that run the wizard: those whose program (its first
# argument after qemu's and Wine's loaders when emulated; the desktop's
# explorer names the wizard later) is PrnWizard.exe.
road_wizard_pids() {
  local pid program
  for pid in $(ip netns pids labA 2>/dev/null); do
    program=$(tr '\0' '\n' < "/proc/$pid/cmdline" 2>/dev/null \
              | grep -v -m 1 -x -E '.*/qemu-i386-static|/usr/lib/wine/wine(64)?(-preloader)?')
    case $program in *PrnWizard.exe) echo "$pid" ;; esac
  done
}
road_wizard_process() { [ -n "$(road_wizard_pids)" ]; }

# Whether the wizard still runs (without the desktop: the process started).
road_wizard_running() {
  if [ -n "${ROAD_DESKTOP:-}" ]; then road_wizard_process; else [ -n "$ROAD_WIZ" ] && kill -0 "$ROAD_WIZ" 2>/dev/null; fi
}

# Waits (at most $1 seconds) for the wizard to end; ROAD_EXIT is its exit
# code when it was started without the desktop.
road_wizard_wait_exit() {
  local limit start=$SECONDS
  limit=$(road_slow "$1")
  while road_wizard_running; do
    if [ $((SECONDS - start)) -ge "$limit" ]; then
      road_say "the wizard did not end within $limit s"
      return 1
    fi
    sleep 0.2
  done
  ROAD_EXIT=0
  wait "$ROAD_WIZ" 2>/dev/null || ROAD_EXIT=$?
  [ -n "${ROAD_DESKTOP:-}" ] && ROAD_EXIT=""
  ROAD_WIZ=""
  return 0
}

# A screenshot of the whole Wine desktop (the virtual screen under Xvfb).
road_shot() {
  [ -n "${ROAD_SHOTS:-}" ] || return 0
  sleep "${ROAD_PAUSE:-0.6}"
  ROAD_SHOT_COUNT=$((ROAD_SHOT_COUNT + 1))
  local file window
  file=$(printf '%s/%02d-%s.png' "$ROAD_SHOTS" "$ROAD_SHOT_COUNT" "$1")
  window=""
  [ -n "${ROAD_DESKTOP:-}" ] &&
    window=$(xdotool search --name "^$ROAD_DESKTOP - " 2>/dev/null | head -n 1 || true)
  import -window "${window:-root}" "$file" 2>/dev/null && road_say "$file"
}

# Waits for the top-level window $1 to show the text $2 (at most $3 ms).
road_wait_for() {
  road_ctl wait "$1" "$2" "$(road_slow "${3:-20000}")" >/dev/null && return 0
  road_say "'$1' did not show '$2'; it shows: $(road_ctl texts "$1" | tr '\n' '|')"
  return 1
}

road_click() {
  road_ctl click "$1" "$2" >/dev/null && return 0
  road_say "no '$2' to click on '$1'"
  return 1
}

# A message box titled $1: shown (ROAD_BOX_TEXT gets its text), pictured as
# $3, answered with $2.
road_box() {
  ROAD_BOX_TEXT=""
  if [ -n "${ROAD_SHOTS:-}" ]; then
    road_ctl texts "$1" >/dev/null || { road_say "no message box '$1'"; return 1; }
    road_shot "$3"
  fi
  ROAD_BOX_TEXT=$(road_answer "$1" "$2") && return 0
  road_say "no message box '$1' with '$2'"
  return 1
}

# --- the steps ---------------------------------------------------------------------

# 1. The welcome page.
road_step_welcome() {
  road_wizard_start || return 1
  road_wait_for "$T_WELCOME" "Next >" || return 1
  road_shot "${1:-welcome}"
}

# 2. "Next >": the detection page finds the servers and shows the one that
# names the PC's printer; with "browse", a look at the browse list too.
road_step_detection() {
  road_click "$T_WELCOME" "Next >" || return 1
  road_wait_for "$T_DETECTION" "$ROAD_SERVER" 10000 || return 1
  road_wait_for "$T_DETECTION" "$ROAD_PRINTER" 3000 || return 1
  road_shot detection
  if [ "${1:-}" = browse ]; then
    road_click "$T_DETECTION" "More..." || return 1
    road_ctl rows "$T_BROWSE" 4 "$(road_slow 5000)" >/dev/null || road_say "the browse list did not fill"
    road_shot browse-list
    road_click "$T_BROWSE" "< Back" || return 1
    road_wait_for "$T_DETECTION" "$ROAD_SERVER" 5000 || return 1
  fi
}

# 3. "Next >" on the detection page installs the monitor (answering the
# replacement question with Yes when $1 is "replace") and opens the printer
# page with the PC's matching printer.
road_step_install() {
  road_click "$T_DETECTION" "Next >" || return 1
  if [ "${1:-}" = replace ]; then
    road_box Information "&Yes" replace-question || return 1
    ROAD_REPLACE_TEXT=$ROAD_BOX_TEXT
  fi
  road_wait_for "$T_PRINTER" "$ROAD_PRINTER" 20000 || return 1
  road_shot printer-page
}

# 4. "Next >" on the printer page: Yes moves the printer to "Remote Port";
# the completion page opens.
road_step_port() {
  road_click "$T_PRINTER" "Next >" || return 1
  road_box Information "&Yes" port-question || return 1
  ROAD_PORT_TEXT=$ROAD_BOX_TEXT
  road_wait_for "$T_COMPLETION" "$ROAD_PRINTER" 20000 || return 1
  road_wait_for "$T_COMPLETION" "$ROAD_SERVER" 3000 || return 1
  road_shot completion
}

# 5. "Print test page": the job goes through Wine's spooler to the fixture
# monitor; the page says "Test page printed" (or why not).
road_step_print() {
  road_click "$T_COMPLETION" "Print test page" || return 1
  if ! road_box Information OK test-page-printed; then
    road_say "printing failed: $(road_answer Error OK)"
    return 1
  fi
  ROAD_PRINT_TEXT=$ROAD_BOX_TEXT
  road_job_wait "$1"
}

# 6. "Done" with "Set this printer as default printer" ticked: the program
# ends.
road_step_done() {
  road_click "$T_COMPLETION" "Done" || return 1
  road_wizard_wait_exit 30
}

# 7. A second start: the welcome page shows the monitor's version and
# address (ROAD_WELCOME_TEXTS); "Uninstall", Yes to the printers question,
# the success message, and the program ends.
road_step_uninstall() {
  road_wizard_start || return 1
  road_wait_for "$T_WELCOME" "Uninstall" || return 1
  road_wait_for "$T_WELCOME" "$ROAD_SERVER" 5000 || return 1
  ROAD_WELCOME_TEXTS=$(road_ctl texts "$T_WELCOME")
  road_shot welcome-installed
  road_click "$T_WELCOME" "Uninstall" || return 1
  road_box Information "&Yes" uninstall-question || return 1
  ROAD_UNINSTALL_QUESTION=$ROAD_BOX_TEXT
  road_box Information OK uninstalled || return 1
  ROAD_UNINSTALL_TEXT=$ROAD_BOX_TEXT
  road_wizard_wait_exit 30
}

# --- the received job ----------------------------------------------------------------

# Splits a recorded job into its name ($2.name) and its PostScript ($2.ps).
road_job_split() {
  head -n 1 "$1" > "$2.name"
  tail -n +2 "$1" > "$2.ps"
}

road_job_png() {
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r100 -sOutputFile="$2" "$1"
}
