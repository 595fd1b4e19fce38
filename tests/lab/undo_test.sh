#!/usr/bin/env bash
# All or nothing under Wine, in the lab (CTest lab.undo, from the test
# suite's namespace; needs $DISPLAY): the real exe, unattended, with the
# fixture monitor, checked at the spooler, the registry and the system
# folder:
#   1. a companion folder users may write is refused, by name;
#   2. an update whose files cannot be replaced (the installed taloui.dll
#      read-only) leaves the old monitor working, its printer on "Remote
#      Port": a test page still reaches it;
#   3. a first installation whose registration fails (a monitor whose start
#      fails) leaves no file in the system folder;
#   4. "Uninstall" gives a printer moved from "FILE:" its port back;
#   5. a run ended while its new monitor starts (the files copied and in
#      place), then the same command again: installed, nothing of the ended
#      run left over.
#   undo_test.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/undo-test"
sysdir=$ROAD_PFX/drive_c/windows/system32
appdir=$(road_unix "$ROAD_APPPATH")
journal_key='HKLM\Software\Varn\PRN WIZARD\Journal'
address() { road_reg_value "$ROAD_MONITOR_KEY" "Server Address"; }
key() { if road_reg query "$1" >/dev/null; then echo there; else echo missing; fi; }

# quiet NAME ARGS...: PrnWizard.exe /quiet ARGS /log:C:\road\NAME.log;
# QUIET_EXIT is its exit code, QUIET_LOG its log.
quiet() {
  local name=$1
  shift
  QUIET_EXIT=0
  ROAD_LIMIT=$(road_slow 120) road_wine PrnWizard.exe /quiet "$@" "/log:C:\\road\\$name.log" \
    </dev/null >/dev/null 2>&1 || QUIET_EXIT=$?
  QUIET_LOG=$(tr -d '\r' < "$(road_unix "C:\\road\\$name.log")" 2>/dev/null || echo "(no log)")
}
expect() {
  check "$1: exit code" "$2" "$QUIET_EXIT"
  contains "$1: log says '$3'" "$QUIET_LOG" "$3"
}
# The fixture monitor fixture_talomon_$1.dll shipped in the companion folder.
ship() {
  cp "$ROAD_BIN/fixture_talomon_$1.dll" "$appdir/talomon.dl_"
  road_trusted "$appdir/talomon.dl_"
}
# Whether system32\$1 is the fixture DLL $2 byte for byte.
same_file() {
  if cmp -s "$sysdir/$1" "$ROAD_BIN/$2"; then pass "$3: $1 is $2"
  else fail "$3: $1 is not $2"; fi
}
# Nothing of a run's own is left: no journal, no folder or file of its own
# in the system folder.
no_leftovers() {
  check "$1: the journal" missing "$(key "$journal_key")"
  check "$1: temporary files" "" "$(cd "$sysdir" && ls -d PrnWizard.* ./*.new ./*.old 2>/dev/null | tr '\n' ' ')"
}

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }
road_pc LPT1: LPT1: || { echo "FAIL: no simulated PC"; exit 1; }

echo "== 1. a companion folder users may write"
chmod 0757 "$appdir"
quiet open /server:$ROAD_SERVER
road_trusted "$appdir"
expect "writable folder" 4 "are not used: users other than the administrators can change that folder"
contains "writable folder: named" "$QUIET_LOG" "$ROAD_APPPATH"
contains "writable folder: nothing changed" "$QUIET_LOG" "Nothing was changed."
check "writable folder: monitor" absent "$(listed)"
check "writable folder: no file copied" "" "$(cd "$sysdir" && ls talomon.dll taloui.dll 2>/dev/null)"

echo "== 2. an update whose files cannot be replaced"
ship v1
quiet v1 /server:$ROAD_SERVER
expect "version 1" 0 "Exit code 0: done."
check "version 1: printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
ship v2
chmod a-w "$sysdir/taloui.dll"
quiet update /server:$ROAD_SERVER
chmod u+w "$sysdir/taloui.dll"
expect "update" 4 "Failed to Copy file !"
contains "update: nothing changed" "$QUIET_LOG" "Nothing was changed."
check "update: monitor" listed "$(listed)"
same_file talomon.dll fixture_talomon_v1.dll "update"
check "update: printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
check "update: Server Address" "$ROAD_SERVER" "$(address)"
check "update: the port's key" there "$(key "$ROAD_MONITOR_KEY\\Ports\\Remote Port")"
no_leftovers "update"
# Still at work: the same version shipped, a test page reaches it.
ship v1
rm -f "$(road_unix "$ROAD_JOB_WIN")"
quiet print /server:$ROAD_SERVER /testpage
expect "the old monitor prints" 0 "Test page printed"
if road_job_wait "$ROAD_WORK/job.bin"; then
  road_job_split "$ROAD_WORK/job.bin" "$ROAD_WORK/job"
  check "the job's name" "Test Page" "$(cat "$ROAD_WORK/job.name")"
else
  fail "no test page reached the old monitor"
fi
quiet remove1 /uninstall
check "uninstall after the update" 0 "$QUIET_EXIT"

echo "== 3. a first installation whose registration fails"
rm -f "$sysdir/talomon.dll" "$sysdir/taloui.dll"  # left by the removal, as ever
ship v2_badinit
quiet badinit /server:$ROAD_SERVER
expect "registration" 4 "AddMonitor Failed"
contains "registration: nothing changed" "$QUIET_LOG" "Nothing was changed."
check "registration: monitor" absent "$(listed)"
check "registration: files in the system folder" "" "$(cd "$sysdir" && ls talomon.dll taloui.dll 2>/dev/null)"
check "registration: printer's port" "LPT1:" "$(port "$ROAD_PRINTER")"
check "registration: the monitor's key" missing "$(key "$ROAD_MONITOR_KEY")"
no_leftovers "registration"

echo "== 4. Uninstall gives a printer its own port back"
ship v2
quiet file /server:$ROAD_SERVER "/printer:Canon BJC-1000"
expect "from FILE:" 0 "Exit code 0: done."
check "from FILE: moved" "Remote Port" "$(port "Canon BJC-1000")"
quiet back /uninstall
expect "uninstall" 0 "unistall successfully."
check "uninstall: back on its own port" "FILE:" "$(port "Canon BJC-1000")"
check "uninstall: the other printer" "LPT1:" "$(port "$ROAD_PRINTER")"
no_leftovers "uninstall"

echo "== 5. a run ended in the middle, then the same command again"
marker=$(road_unix 'C:\road\blocked')
rm -f "$marker"
road_reg add "$ROAD_JOB_KEY" /v "Block Init" /t REG_SZ /d 'C:\road\blocked' /f >/dev/null
quiet ended /server:$ROAD_SERVER &
run=$!
# The fixture says when the run is inside its start; bounded.
for _ in $(seq "$(road_slow 600)"); do
  [ -e "$marker" ] && break
  kill -0 "$run" 2>/dev/null || break
  sleep 0.2
done
if [ -e "$marker" ]; then
  pids=$(road_wizard_pids)
  [ -n "$pids" ] && kill -9 $pids 2>/dev/null
  pass "the run was ended inside the monitor's start"
else
  fail "the run never reached the monitor's start"
fi
wait "$run" 2>/dev/null || true
check "ended: its journal is left" there "$(key "$journal_key")"
same_file talomon.dll fixture_talomon_v2.dll "ended: copied and in place"
quiet again /server:$ROAD_SERVER
expect "again" 0 "Exit code 0: done."
contains "again: the ended run undone" "$QUIET_LOG" "was ended before it finished the unattended installation"
check "again: monitor" listed "$(listed)"
same_file talomon.dll fixture_talomon_v2.dll "again"
check "again: Server Address" "$ROAD_SERVER" "$(address)"
check "again: printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
no_leftovers "again"
quiet remove2 /uninstall
check "the last uninstall" 0 "$QUIET_EXIT"

echo "$failures failed"
[ "$failures" = 0 ]
