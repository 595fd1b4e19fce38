#!/usr/bin/env bash
# The unattended mode under Wine, in the lab (CTest lab.quiet, from the test
# suite's namespace; needs $DISPLAY): the real exe with the fixture monitor,
# checked at the spooler, the registry and the system folder as the road
# checks them:
#   1. mistaken command lines: each its code and log line, nothing changed;
#   2. /quiet /server:... /default, then /quiet /uninstall;
#   3. /quiet with the search and /testpage, the job at the monitor;
#   4. a failure for each step the lab can make fail, and the single-instance
#      guard in both directions.
#   quiet_test.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/quiet-test"
sysdir=$ROAD_PFX/drive_c/windows/system32
port() { road_simpc port "$1"; }
address() { road_reg_value "$ROAD_MONITOR_KEY" "Server Address"; }
listed() { if road_simpc monitor "$ROAD_MONITOR" >/dev/null; then echo listed; else echo absent; fi; }

# quiet NAME ARGS...: runs PrnWizard.exe /quiet ARGS /log:C:\road\NAME.log;
# QUIET_EXIT is its exit code, QUIET_LOG its log.
quiet() {
  local name=$1
  shift
  QUIET_EXIT=0
  ROAD_LIMIT=$(road_slow 120) road_wine PrnWizard.exe /quiet "$@" "/log:C:\\road\\$name.log" \
    </dev/null >/dev/null 2>&1 || QUIET_EXIT=$?
  QUIET_LOG=$(tr -d '\r' < "$(road_unix "C:\\road\\$name.log")" 2>/dev/null || echo "(no log)")
}
# expect WHAT CODE LOG_TEXT: the last run's code, and a line of its log.
expect() {
  check "$1: exit code" "$2" "$QUIET_EXIT"
  contains "$1: log says '$3'" "$QUIET_LOG" "$3"
}
# The PC as it was before any installation (the monitor's removal takes its
# key, and the address with it).
untouched() {
  check "$1: monitor" absent "$(listed)"
  check "$1: printer's port" "LPT1:" "$(port "$ROAD_PRINTER")"
  check "$1: Server Address" "" "$(address)"
}

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }
road_pc LPT1: LPT1: || { echo "FAIL: no simulated PC"; exit 1; }

echo "== 1. mistaken command lines"
quiet bad1 /bogus
expect "unknown switch" 1 'Unknown switch "/bogus"'
quiet bad2 /server
expect "missing value" 1 "/server: needs a value."
quiet bad3 "/server:$(printf '1%.0s' $(seq 300))"
expect "300-character address" 1 "is not an IPv4 address"
quiet bad4 /server:$ROAD_SERVER /printer:Nonesuch
expect "a printer that does not exist" 1 'No local printer is named "Nonesuch".'
untouched "after the mistaken lines"

echo "== 2. install with /server, then uninstall"
quiet install /server:$ROAD_SERVER /default
expect "install" 0 "Exit code 0: done."
contains "install: the server's printer asked for" "$QUIET_LOG" "reports the printer \"$ROAD_PRINTER\""
check "monitor" listed "$(listed)"
if cmp -s "$sysdir/talomon.dll" "$ROAD_BIN/fixture_talomon_v2.dll"; then pass "talomon.dll installed"
else fail "talomon.dll in the system directory is not the shipped one"; fi
check "Server Address" "$ROAD_SERVER" "$(address)"
check "printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
check "the other printer's port" "LPT1:" "$(port "$ROAD_OTHER_PRINTER")"
check "default printer" "$ROAD_PRINTER" "$(road_simpc default)"
quiet uninstall /uninstall
expect "uninstall" 0 "unistall successfully."
check "monitor after uninstall" absent "$(listed)"
check "printer's port after uninstall" "LPT1:" "$(port "$ROAD_PRINTER")"

echo "== 3. install with the search and the test page"
rm -f "$(road_unix "$ROAD_JOB_WIN")"
quiet search /testpage
expect "search" 0 "Test page printed"
contains "search: the server chosen" "$QUIET_LOG" "The server $ROAD_SERVER (KX230)"
if road_job_wait "$ROAD_WORK/job.bin"; then
  road_job_split "$ROAD_WORK/job.bin" "$ROAD_WORK/job"
  check "the job's name" "Test Page" "$(cat "$ROAD_WORK/job.name")"
else
  fail "no test page reached the monitor"
fi
check "printer's port after the search" "Remote Port" "$(port "$ROAD_PRINTER")"
quiet uninstall2 /uninstall
check "uninstall after the search" 0 "$QUIET_EXIT"

echo "== 4. failures"
quiet noprinter /server:10.77.0.3
expect "a server without a printer" 5 "The server reports no printer"
untouched "after no matching printer"
shipped=$(road_unix "$ROAD_APPPATH")/talomon.dl_
mv "$shipped" "$shipped.away"
quiet nofiles /server:$ROAD_SERVER
mv "$shipped.away" "$shipped"
expect "the monitor's files missing" 4 "Failed to Copy file !"
check "monitor after the failed copy" absent "$(listed)"
road_sim_stop
quiet noserver /wait:2
expect "no server answering" 3 "No server answered."
untouched "after no server"

# The guard: a quiet run searching (nobody answers) is the running copy for
# the wizard started meanwhile and for a second quiet run; it shows nothing.
ROAD_LIMIT=$(road_slow 120) road_wine PrnWizard.exe /quiet /wait:$(road_slow 10) \
  "/log:C:\\road\\long.log" </dev/null >/dev/null 2>&1 &
long=$!
for _ in $(seq "$(road_slow 50)"); do
  [ "$(road_ctl state TApplication "Varn PRN WIZARD")" = none ] || break
  sleep 0.2
done
check "the quiet run's application window" hidden "$(road_ctl state TApplication "Varn PRN WIZARD")"
quiet second /server:$ROAD_SERVER
expect "a second quiet run" 2 "Another copy of the wizard is running."
gui_exit=0
ROAD_LIMIT=$(road_slow 60) road_wine PrnWizard.exe </dev/null >/dev/null 2>&1 || gui_exit=$?
check "the wizard started beside it ends at once" 0 "$gui_exit"
check "the welcome page never shown" none "$(road_ctl state - "$T_WELCOME")"
long_exit=0
wait "$long" || long_exit=$?
check "the searching quiet run" 3 "$long_exit"

# And the other way: the wizard running, a quiet run leaves.
road_wizard_start && road_wait_for "$T_WELCOME" "Next >" || fail "the wizard did not start"
quiet beside /server:$ROAD_SERVER
expect "a quiet run beside the wizard" 2 "Another copy of the wizard is running."
road_wizard_kill
untouched "after the guard"

echo "$failures failed"
[ "$failures" = 0 ]
