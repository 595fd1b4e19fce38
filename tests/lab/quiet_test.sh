#!/usr/bin/env bash
# The unattended mode under Wine, in the lab (CTest lab.quiet, from the test
# suite's namespace; needs $DISPLAY): the real exe with the fixture monitor,
# checked at the spooler, the registry and the system folder as the road
# checks them:
#   1. mistaken command lines and the quiet switches of other installers:
#      each its code and log line, never a window, nothing changed;
#   2. /status, /quiet /server:... /default, /status, /quiet /uninstall;
#   3. /quiet with the search, the printer naming the server, /testpage;
#   4. a failure for each step the lab can make fail;
#   5. the servers are not guessed at, and a discovery port held by the
#      companion utility is reported with the utility left open;
#   6. one installation at a time: the guard held by another process (the
#      hold_guard fixture), two quiet runs at once, the wizard and a quiet
#      run beside each other.
#   quiet_test.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/quiet-test"
sysdir=$ROAD_PFX/drive_c/windows/system32
kept_log=$(road_unix 'C:\ProgramData\Varn\PRN WIZARD\PrnWizard.log')
address() { road_reg_value "$ROAD_MONITOR_KEY" "Server Address"; }

# quiet NAME ARGS...: runs PrnWizard.exe /quiet ARGS /log:C:\road\NAME.log;
# QUIET_EXIT is its exit code, QUIET_LOG its log.
quiet() {
  local name=$1
  shift
  raw "$name" /quiet "$@" "/log:C:\\road\\$name.log"
  QUIET_LOG=$(tr -d '\r' < "$(road_unix "C:\\road\\$name.log")" 2>/dev/null || echo "(no log)")
}
# raw NAME ARGS...: runs PrnWizard.exe ARGS as they are; QUIET_EXIT is its
# exit code, QUIET_LOG the kept log (removed before, unless KEEP_KEPT is
# set).  A window would never be answered: the run would be stopped at the
# bound and its code be 124.
raw() {
  local name=$1
  shift
  QUIET_EXIT=0
  [ -n "${KEEP_KEPT:-}" ] || rm -f "$kept_log"
  ROAD_LIMIT=$(road_slow 120) road_wine PrnWizard.exe "$@" </dev/null >/dev/null 2>&1 ||
    QUIET_EXIT=$?
  QUIET_LOG=$(tr -d '\r' < "$kept_log" 2>/dev/null || echo "(no kept log)")
  cp "$kept_log" "$ROAD_WORK/$name.kept.log" 2>/dev/null || true
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
# A program of the build folder in labA, in the background: lab.sh execs
# it, so $! is its own pid, and killing that ends it.
bg_wine() { WINEDEBUG=-all exec bash "$ROAD_TOP/tools/lab.sh" wine labA "$ROAD_BIN/$1" "${@:2}"; }
# The exit code of a process as the shell sees it: its low byte (1618, the
# code deployment tools retry, is 82 here; the logs and msiexec see 1618).
retry=$((1618 % 256))
# The hold_guard fixture in the background, holding the guard for $1
# seconds once it prints "held" (waited for); GUARD is its pid.
guard_hold() {
  rm -f "$ROAD_WORK/guard.out"
  bg_wine hold_guard.exe "$1" </dev/null >"$ROAD_WORK/guard.out" 2>&1 &
  GUARD=$!
  for _ in $(seq "$(road_slow 100)"); do
    grep -q held "$ROAD_WORK/guard.out" 2>/dev/null && return 0
    sleep 0.2
  done
  fail "the fixture did not take the guard: $(cat "$ROAD_WORK/guard.out")"
}
guard_release() { kill "$GUARD" 2>/dev/null || true; wait "$GUARD" 2>/dev/null || true; }
# Waits (bounded) until some process holds the guard.
guard_taken() {
  for _ in $(seq "$(road_slow 100)"); do
    ROAD_LIMIT=$(road_slow 30) road_wine hold_guard.exe probe </dev/null >/dev/null 2>&1 || return 0
    sleep 0.3
  done
  return 1
}

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }
road_pc LPT1: LPT1: || { echo "FAIL: no simulated PC"; exit 1; }

echo "== 1. mistaken command lines, no window"
quiet bad1 /bogus
expect "unknown switch" 1 'Unknown switch "/bogus"'
quiet bad2 /server
expect "missing value" 1 "/server: needs a value."
quiet bad3 "/server:$(printf '1%.0s' $(seq 300))"
expect "300-character address" 1 "is not an IPv4 address"
quiet bad4 /server:$ROAD_SERVER /printer:Nonesuch
expect "a printer that does not exist" 1 'No local printer is named "Nonesuch".'
# Without /quiet, or with other installers' switches: the kept log has it.
raw help /help
expect "/help" 1 'Unknown switch "/help"'
raw uninstall-alone /uninstall
expect "/uninstall without /quiet" 1 "The switches work only with /quiet."
raw help-and-more "/?" /quiet
expect "/? with more" 1 "/? stands alone."
for alias in /q /qn /s /silent; do
  raw "alias$alias" "$alias" /norestart /server:$ROAD_SERVER /printer:Nonesuch
  expect "$alias /norestart" 1 'No local printer is named "Nonesuch".'
done
untouched "after the mistaken lines"

echo "== 2. /status, install with /server, /status, uninstall"
quiet status-before /status
expect "/status before" 13 "is not registered."
quiet install /server:$ROAD_SERVER /default
expect "install" 0 "Exit code 0: done."
contains "install: the server's printer asked for" "$QUIET_LOG" "reports the printer \"$ROAD_PRINTER\""
contains "install: the kept log" "$(tr -d '\r' < "$kept_log")" "Exit code 0: done."
check "monitor" listed "$(listed)"
if cmp -s "$sysdir/talomon.dll" "$ROAD_BIN/fixture_talomon_v2.dll"; then pass "talomon.dll installed"
else fail "talomon.dll in the system directory is not the shipped one"; fi
check "Server Address" "$ROAD_SERVER" "$(address)"
check "printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
check "the other printer's port" "LPT1:" "$(port "$ROAD_OTHER_PRINTER")"
check "default printer" "$ROAD_PRINTER" "$(road_simpc default)"
quiet status-after /status /server:$ROAD_SERVER
expect "/status after" 0 "The PC is set up."
quiet status-other /status /server:10.77.0.5
expect "/status, another server" 14 "The stored server address is $ROAD_SERVER, not 10.77.0.5."
quiet uninstall /uninstall
expect "uninstall" 0 "unistall successfully."
check "monitor after uninstall" absent "$(listed)"
check "printer's port after uninstall" "LPT1:" "$(port "$ROAD_PRINTER")"
quiet status-removed /status
expect "/status after the uninstall" 13 "is not registered."

echo "== 3. install with the search and the test page"
rm -f "$(road_unix "$ROAD_JOB_WIN")"
quiet search /testpage "/printer:$ROAD_PRINTER"
expect "search" 0 "Test page printed"
contains "search: the one server that fits" "$QUIET_LOG" \
  "servers answered; only $ROAD_SERVER reports a printer that fits"
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

echo "== 5. no guessing"
quiet several /wait:2
expect "several servers answering" 11 "servers answered; /server: names the one to use."
for server in "$ROAD_SERVER" 10.77.0.3 10.77.0.5 10.77.1.2; do
  contains "several: $server listed" "$QUIET_LOG" "  $server ("
done
untouched "after several servers"
# The companion utility holds the discovery port (here with its window on
# this desktop; in another session the wizard would not see it): the run
# says so and leaves it open.
# A run's socket may stay bound a moment after its process has ended (the
# stand-in then ends at once): it is started again until it holds the port
# and shows its window.
for _ in $(seq 10); do
  bg_wine companion.exe </dev/null >/dev/null 2>&1 &
  companion=$!
  for _ in $(seq "$(road_slow 100)"); do
    [ "$(road_ctl state - "Varn Lanwarden Discovery")" = none ] || break 2
    kill -0 "$companion" 2>/dev/null || break
    sleep 0.2
  done
  sleep 1
done
if [ "$(road_ctl state - "Varn Lanwarden Discovery")" != none ]; then pass "the companion's window"
else fail "the companion stand-in made no window"; fi
quiet held /wait:2
expect "the port held by the companion" 12 "is held by the Varn Lanwarden Discovery utility, which is left open."
if kill -0 "$companion" 2>/dev/null; then pass "the companion still runs"
else fail "the quiet run closed the companion utility"; fi
kill "$companion" 2>/dev/null || true
wait "$companion" 2>/dev/null || true
road_sim_stop
quiet noserver /wait:2
expect "no server answering" 3 "No server answered."
untouched "after no server"
road_servers || fail "the simulated servers did not start again"

echo "== 6. one installation at a time"
# Another process holds the guard for good: a quiet run waits its 30 s,
# changes nothing and exits 1618; the wizard says an installation is in
# progress.
guard_hold $((120 * WINE_SLOW))
quiet guarded /server:$ROAD_SERVER "/printer:$ROAD_PRINTER"
expect "a quiet run while the guard is held" $retry "Another installation of the Printer Sharing Server driver is in progress; waiting up to 30 s for it to end."
contains "the guarded run gave up" "$QUIET_LOG" "It did not end within 30 s.  Nothing is changed."
contains "the guarded run's code in its log" "$QUIET_LOG" "Exit code 1618: another installation is in progress"
untouched "after the guard"
road_wizard_start || fail "the wizard did not start"
# Its box, once it is up (a start under emulation may outlast the answerer's
# own wait).
for _ in $(seq "$(road_slow 150)"); do
  [ "$(road_ctl state "#32770" "Varn PRN WIZARD")" = none ] && road_wizard_running || break
  sleep 0.2
done
if road_box "Varn PRN WIZARD" OK in-progress; then
  contains "the wizard: an installation in progress" "$ROAD_BOX_TEXT" "Another installation of the Printer Sharing Server driver is in progress."
else
  fail "the wizard showed no box while the guard was held"
fi
road_wizard_wait_exit 30 || fail "the wizard did not end"
check "the wizard's code" $retry "$ROAD_EXIT"
check "the welcome page never shown" none "$(road_ctl state - "$T_WELCOME")"
# Let go while the run waits (its log says so): the run goes on after it.
after_log=$(road_unix 'C:\road\after-guard.log')
rm -f "$after_log"
bg_wine PrnWizard.exe /quiet /server:$ROAD_SERVER "/printer:$ROAD_PRINTER" \
  '/log:C:\road\after-guard.log' </dev/null >/dev/null 2>&1 &
after=$!
for _ in $(seq "$(road_slow 100)"); do
  grep -q "waiting up to 30 s" "$after_log" 2>/dev/null && break
  sleep 0.2
done
contains "the run waits for the guard" "$(tr -d '\r' < "$after_log" 2>/dev/null)" "waiting up to 30 s for it to end."
guard_release
after_exit=0
wait "$after" || after_exit=$?
QUIET_EXIT=$after_exit
QUIET_LOG=$(tr -d '\r' < "$after_log" 2>/dev/null || echo "(no log)")
cp "$kept_log" "$ROAD_WORK/after-guard.kept.log" 2>/dev/null || true
expect "a quiet run once the guard is let go" 0 "It has ended."
contains "it then did the work" "$QUIET_LOG" "Exit code 0: done."
quiet uninstall3 /uninstall
check "uninstall after the guard" 0 "$QUIET_EXIT"

# Two quiet runs at once: the first holds the guard through a search that
# outlasts the second's wait; the second exits 1618 having changed nothing,
# the first then does the work.
first_wait=$((40 + 20 * WINE_SLOW))
bg_wine PrnWizard.exe /quiet /wait:$first_wait "/printer:$ROAD_PRINTER" \
  "/log:C:\\road\\first.log" </dev/null >/dev/null 2>&1 &
first=$!
guard_taken || fail "the first run never took the guard"
KEEP_KEPT=1 quiet second /server:$ROAD_SERVER "/printer:$ROAD_PRINTER"
expect "the second quiet run" $retry "It did not end within 30 s.  Nothing is changed."
check "the second changed nothing: monitor" absent "$(listed)"
first_exit=0
wait "$first" || first_exit=$?
check "the first quiet run" 0 "$first_exit"
cp "$kept_log" "$ROAD_WORK/first.kept.log" 2>/dev/null || true
# The kept log is the first run's, from its start to its end; the second
# added its lines without cutting it.
first_kept=$(tr -d '\r' < "$kept_log" 2>/dev/null || echo "(no kept log)")
contains "the kept log starts with the first run" "$(head -n 1 <<<"$first_kept")" \
  "started with: /quiet /wait:$first_wait "
contains "the kept log: the second run's lines" "$first_kept" "It did not end within 30 s.  Nothing is changed."
contains "the kept log: the first run's end" "$first_kept" "Exit code 0: done."
check "the first run's work: Server Address" "$ROAD_SERVER" "$(address)"
check "the first run's work: port" "Remote Port" "$(port "$ROAD_PRINTER")"
quiet uninstall4 /uninstall
check "uninstall after the two runs" 0 "$QUIET_EXIT"

# The wizard holds the guard for its life: a quiet run beside it waits and
# leaves.
road_wizard_start && road_wait_for "$T_WELCOME" "Next >" || fail "the wizard did not start"
quiet beside /server:$ROAD_SERVER "/printer:$ROAD_PRINTER"
expect "a quiet run beside the wizard" $retry "Another installation of the Printer Sharing Server driver is in progress"
if road_wizard_running; then pass "the wizard still runs beside it"
else road_wizard_wait_exit 1; fail "the wizard ended meanwhile (code $ROAD_EXIT)"; fi
road_wizard_kill
untouched "after the guard"

echo "$failures failed"
[ "$failures" = 0 ]
