#!/usr/bin/env bash
# 64-bit Windows in the lab (CTest lab.win64, from the test suite's
# namespace; needs $DISPLAY): a 64-bit prefix, 64-bit Wine for the 64-bit
# programs and the 32-bit wizard as its guest, with the simulated servers and
# a simulated printer.  The companion folder ships the 64-bit fixture monitor
# in its x64 subfolder, and "AppPath" is in the 32-bit registry view, where
# the companion utility (a 32-bit program) writes it.  Wine's spooler takes
# any environment from any process, so the files and keys are what counts:
#   1. PrnWizard64.exe /quiet /server:...: the monitor registered, its files
#      in the native system folder and none in SysWOW64, the address stored,
#      the printer on "Remote Port"; /quiet /uninstall undoes it;
#   2. the same through the 32-bit PrnWizard.exe, with the 64-bit exe beside
#      it as shipped: it hands over and ends the same;
#   3. the 32-bit exe alone, and beside a PrnWizard64.exe that is not its
#      own (one byte changed): exit code 30, the PC exactly as before;
#   4. PrnWizard64.msi installs under the 64-bit Program Files and removes;
#      PrnWizard.msi is refused, and installs nothing.
#   win64_test.sh BUILD_DIR [road|handover|refusal|msi]...   (all when none)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "$1" && pwd)
shift
sections=" ${*:-road handover refusal msi} "
wanted() { [[ $sections == *" $1 "* ]]; }
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
# The road's tools (simpc) and the fixture monitors of the 64-bit build.
road_init "$top" "$bin/x64" "$top/build/win64-test"
for section in $sections; do
  case $section in road|handover|refusal|msi) ;; *) echo "FAIL: no section $section"; exit 1 ;; esac
done
wine_win64 || { echo "FAIL: no 64-bit base prefix"; exit 1; }
echo "64-bit prefix: PrnWizard64.exe under 64-bit Wine, PrnWizard.exe as its guest$(
  [ "$WINE_QEMU" = 1 ] && echo " (32-bit Wine through qemu's user-mode emulation)")"

sys64=$ROAD_PFX/drive_c/windows/system32
wow=$ROAD_PFX/drive_c/windows/syswow64
address() { road_reg_value "$ROAD_MONITOR_KEY" "Server Address"; }
present() { if [ -e "$1" ]; then echo present; else echo absent; fi; }
# Everything a run could change: the monitor's files in both system
# folders, its key, the spooler's list, and each printer's port.
pc_state() {
  local f
  for f in talomon.dll taloui.dll; do
    echo "system32\\$f $(present "$sys64/$f")"
    echo "syswow64\\$f $(present "$wow/$f")"
  done
  if road_reg query "$ROAD_MONITOR_KEY" >/dev/null 2>&1; then echo "key present"; else echo "key absent"; fi
  echo "monitor $(listed)"
  for p in "$ROAD_PRINTER" "$ROAD_OTHER_PRINTER" "Canon BJC-1000"; do echo "$p: $(port "$p")"; done
}

# A fresh 64-bit PC: its printers, and the companion folder with the x86
# files in it and the x64 ones in its x64 subfolder.
pc() {
  road_pc_fresh || return 1
  road_pc_printers LPT1: LPT1: || return 1
  local dir
  dir=$(road_unix "$ROAD_APPPATH")
  mkdir -p "$dir/x64" "$(road_unix 'C:\road')"
  cp "$bin/fixture_talomon_v2.dll" "$dir/talomon.dl_"
  cp "$bin/fixture_taloui.dll" "$dir/taloui.dl_"
  cp "$bin/x64/fixture_talomon_v2.dll" "$dir/x64/talomon.dl_"
  cp "$bin/x64/fixture_taloui.dll" "$dir/x64/taloui.dl_"
  road_trusted "$dir" "$dir/x64" "$dir"/*.dl_ "$dir"/x64/*.dl_
  road_reg add "$ROAD_COMPANION_KEY" /v AppPath /t REG_SZ /d "$ROAD_APPPATH" /f /reg:32 >/dev/null
}

# A folder as a user gets it: $1 (a folder under the work folder) with the
# named files of the build.
shipped() {
  local dir=$ROAD_WORK/$1
  shift
  rm -rf "$dir"
  mkdir -p "$dir"
  for f in "$@"; do cp "$bin/$f" "$dir/"; done
}
# run EXE NAME ARGS...: EXE /quiet ARGS /log:C:\road\NAME.log in labA;
# RUN_EXIT is its exit code, RUN_LOG its log.
run() {
  local exe=$1 name=$2
  shift 2
  RUN_EXIT=0
  (cd / && timeout "$(road_slow 180)" bash "$ROAD_TOP/tools/lab.sh" wine labA "$exe" /quiet "$@" \
    "/log:C:\\road\\$name.log") </dev/null >/dev/null 2>&1 || RUN_EXIT=$?
  RUN_LOG=$(tr -d '\r' < "$(road_unix "C:\\road\\$name.log")" 2>/dev/null || echo "(no log)")
}
# installed WHAT: the 64-bit monitor installed as the x64 family puts it.
installed() {
  check "$1: monitor" listed "$(listed)"
  if cmp -s "$sys64/talomon.dll" "$bin/x64/fixture_talomon_v2.dll"; then
    pass "$1: the 64-bit talomon.dll in system32"
  else fail "$1: system32\\talomon.dll is not the shipped 64-bit one"; fi
  if cmp -s "$sys64/taloui.dll" "$bin/x64/fixture_taloui.dll"; then
    pass "$1: the 64-bit taloui.dll in system32"
  else fail "$1: system32\\taloui.dll is not the shipped 64-bit one"; fi
  check "$1: syswow64\\talomon.dll" absent "$(present "$wow/talomon.dll")"
  check "$1: syswow64\\taloui.dll" absent "$(present "$wow/taloui.dll")"
  check "$1: Server Address" "$ROAD_SERVER" "$(address)"
  check "$1: printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
  check "$1: the other printer's port" "LPT1:" "$(port "$ROAD_OTHER_PRINTER")"
}

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
for f in "$bin/PrnWizard.exe" "$bin/PrnWizard64.exe" "$bin/PrnWizard64.msi" "$bin/x64/simpc.exe"; do
  [ -f "$f" ] || { echo "FAIL: no $f (the win32 build makes it)"; exit 1; }
done
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }
started=$SECONDS

if wanted road; then
echo "== 1. the 64-bit wizard"
pc || { echo "FAIL: no simulated PC"; exit 1; }
before=$(pc_state)
contains "a fresh PC: no monitor" "$before" "monitor absent"
shipped one PrnWizard64.exe
run "$ROAD_WORK/one/PrnWizard64.exe" install64 "/server:$ROAD_SERVER"
check "PrnWizard64.exe /quiet /server: exit code" 0 "$RUN_EXIT"
contains "install: the log" "$RUN_LOG" "Exit code 0: done."
installed "PrnWizard64.exe"
run "$ROAD_WORK/one/PrnWizard64.exe" uninstall64 /uninstall
check "PrnWizard64.exe /quiet /uninstall: exit code" 0 "$RUN_EXIT"
check "after the uninstall: monitor" absent "$(listed)"
check "after the uninstall: printer's port" "LPT1:" "$(port "$ROAD_PRINTER")"

fi

if wanted handover; then
echo "== 2. the 32-bit wizard hands over to the 64-bit one beside it"
pc || { echo "FAIL: no simulated PC"; exit 1; }
shipped both PrnWizard.exe PrnWizard64.exe
t0=$SECONDS
run "$ROAD_WORK/both/PrnWizard.exe" handover "/server:$ROAD_SERVER"
echo "(the run through the 32-bit exe took $((SECONDS - t0)) s)"
check "PrnWizard.exe /quiet /server: with PrnWizard64.exe beside it: exit code" 0 "$RUN_EXIT"
contains "hand-over: the log" "$RUN_LOG" "Exit code 0: done."
installed "through PrnWizard.exe"

fi

if wanted refusal; then
echo "== 3. the 32-bit wizard with no 64-bit wizard of its own changes nothing"
pc || { echo "FAIL: no simulated PC"; exit 1; }
before=$(pc_state)
shipped alone PrnWizard.exe
run "$ROAD_WORK/alone/PrnWizard.exe" alone "/server:$ROAD_SERVER"
check "PrnWizard.exe alone: exit code" 30 "$RUN_EXIT"
check "PrnWizard.exe alone: the PC as before" "$before" "$(pc_state)"
shipped forged PrnWizard.exe PrnWizard64.exe
# One byte of the 64-bit exe changed (in its DOS stub's text).
printf 'X' | dd of="$ROAD_WORK/forged/PrnWizard64.exe" bs=1 seek=100 conv=notrunc status=none
if cmp -s "$ROAD_WORK/forged/PrnWizard64.exe" "$bin/PrnWizard64.exe"; then
  fail "the changed PrnWizard64.exe is still the built one"
fi
run "$ROAD_WORK/forged/PrnWizard.exe" forged "/server:$ROAD_SERVER"
check "PrnWizard.exe beside another PrnWizard64.exe: exit code" 30 "$RUN_EXIT"
check "PrnWizard.exe beside another PrnWizard64.exe: the PC as before" "$before" "$(pc_state)"

fi

if wanted msi; then
echo "== 4. the packages"
folder64=$ROAD_PFX/drive_c/Program\ Files/Printer\ Sharing\ Server\ Setup\ Wizard
folder32=$ROAD_PFX/drive_c/Program\ Files\ \(x86\)/Printer\ Sharing\ Server\ Setup\ Wizard
pc || { echo "FAIL: no simulated PC"; exit 1; }
before=$(pc_state)
msiexec x86 /i "$(package "$bin/PrnWizard.msi")" /qn "SERVER=$ROAD_SERVER"
if [ "$MSI_EXIT" != 0 ]; then pass "PrnWizard.msi refused ($MSI_EXIT)"
else fail "PrnWizard.msi installed on 64-bit Windows"; fi
# Wine's log leaves the launch condition's message out: the package holds it,
# and the log shows the installation ending at the launch conditions.
contains "PrnWizard.msi: the launch condition names PrnWizard64.msi" \
  "$(msiinfo export "$bin/PrnWizard.msi" LaunchCondition | tr -d '\r')" \
  "NOT VersionNT64	This package is for 32-bit Windows. On 64-bit Windows, install PrnWizard64.msi."
contains "PrnWizard.msi: refused at the launch conditions" "$MSI_LOG" "LaunchConditions. Return value 0."
if grep -q "InstallFiles" <<<"$MSI_LOG"; then fail "PrnWizard.msi went on past the launch conditions"
else pass "PrnWizard.msi: no file installed"; fi
check "PrnWizard.msi: no 32-bit folder" absent "$(present "$folder32")"
check "PrnWizard.msi: no 64-bit folder" absent "$(present "$folder64")"
check "PrnWizard.msi: the PC as before" "$before" "$(pc_state)"
msiexec x64 /i "$(package "$bin/PrnWizard64.msi")" /qn "SERVER=$ROAD_SERVER"
check "PrnWizard64.msi /i: exit code" 0 "$MSI_EXIT"
if cmp -s "$folder64/PrnWizard64.exe" "$bin/PrnWizard64.exe"; then
  pass "PrnWizard64.exe installed under the 64-bit Program Files"
else fail "no PrnWizard64.exe as built under the 64-bit Program Files"; fi
check "PrnWizard64.msi: nothing under Program Files (x86)" absent "$(present "$folder32")"
installed "PrnWizard64.msi"
msiexec x64-remove /x "$(package "$bin/PrnWizard64.msi")" /qn
check "PrnWizard64.msi /x: exit code" 0 "$MSI_EXIT"
check "PrnWizard64.msi /x: the folder" absent "$(present "$folder64/PrnWizard64.exe")"
check "PrnWizard64.msi /x: monitor" absent "$(listed)"
check "PrnWizard64.msi /x: printer's port" "LPT1:" "$(port "$ROAD_PRINTER")"
fi

echo "(the lab's steps took $((SECONDS - started)) s)"
echo "$failures failed"
[ "$failures" = 0 ]
