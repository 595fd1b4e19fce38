#!/usr/bin/env bash
# The MSI package under Wine's msiexec, in the lab (CTest lab.msi, from the
# test suite's namespace; needs $DISPLAY), on a fresh simulated PC:
#   1. /i /qn SERVER=... DEFAULT=1: the files, the shortcut, and the PC
#      configured as the road checks it;
#   2. a newer package upgrades it; the old product's removal in an upgrade
#      leaves the monitor in place;
#   3. /x: the monitor removed, the printer back on "LPT1:", nothing left;
#   4. an unattended step that fails, before or after the monitor's
#      installation, fails the installation with the step's message in the
#      MSI log, and leaves no product and nothing of the run behind;
#   5. maintenance: the package installed again with a new SERVER
#      reconfigures; "Repair" and "Change" are not offered; another
#      installation in progress fails the installation with the reason.
#   msi_test.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/msi-test"
address() { road_reg_value "$ROAD_MONITOR_KEY" "Server Address"; }
exe=$(road_unix 'C:\Program Files\Printer Sharing Server Setup Wizard\PrnWizard.exe')
present() { if [ -e "$1" ]; then echo present; else echo absent; fi; }
shortcut() { find "$ROAD_PFX/drive_c" -name "Printer Sharing Server Setup Wizard.lnk" -print -quit; }
# How many installed products carry the package's name.
products() {
  road_reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null \
    | tr -d '\r' | grep -c 'DisplayName.*Varn PRN WIZARD' || true
}
# The installed product's version (the test PC has no other product).
versions() {
  road_reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null \
    | tr -d '\r' | sed -n 's/^ *DisplayVersion *REG_SZ *//p' | sort -u | tr '\n' ' ' | sed 's/ $//'
}


[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }
road_pc LPT1: LPT1: || { echo "FAIL: no simulated PC"; exit 1; }
mkdir -p "$(road_unix 'C:\road')"

echo "== 0. the package"
properties=$(msiinfo export "$ROAD_BIN/PrnWizard.msi" Property | tr -d '\r')
contains "the public properties are secure" "$properties" \
  "SecureCustomProperties	WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SERVER;PRINTER;DEFAULT;TESTPAGE;WAIT"
contains "no Repair" "$properties" "ARPNOREPAIR	1"
contains "no Change" "$properties" "ARPNOMODIFY	1"

echo "== 1. install and configure"
# PRINTER names the printer, blanks and all, as an administrator types it.
# Only "1" turns a switch on: TESTPAGE=0 prints nothing.
rm -f "$(road_unix "$ROAD_JOB_WIN")"
msiexec install /i "$(package "$ROAD_BIN/PrnWizard.msi")" /qn SERVER=$ROAD_SERVER DEFAULT=1 \
  TESTPAGE=0 WAIT=7 "PRINTER=$ROAD_PRINTER"
check "install: exit code" 0 "$MSI_EXIT"
contains "install: the wizard's log in the MSI log" "$MSI_LOG" "PrnWizard: Exit code 0: done."
contains "install: the switches" "$MSI_LOG" "\"/printer:$ROAD_PRINTER\" /default \"/wait:7\" \"/log:"
contains "install: the given printer" "$MSI_LOG" "PrnWizard: The printer is \"$ROAD_PRINTER\"."
check "TESTPAGE=0: no job" absent "$(present "$(road_unix "$ROAD_JOB_WIN")")"
check "the exe under Program Files" present "$(present "$exe")"
if cmp -s "$exe" "$ROAD_BIN/PrnWizard.exe"; then pass "the installed exe is the built one"
else fail "the installed exe differs from the built one"; fi
check "the Start-menu shortcut" present "$(present "$(shortcut)")"
check "products registered" 1 "$(products)"
check "monitor" listed "$(listed)"
check "Server Address" "$ROAD_SERVER" "$(address)"
check "printer's port" "Remote Port" "$(port "$ROAD_PRINTER")"
check "default printer" "$ROAD_PRINTER" "$(road_simpc default)"
status() {
  STATUS_EXIT=0
  (cd / && timeout "$(road_slow 120)" bash "$ROAD_TOP/tools/lab.sh" wine labA "$exe" /quiet /status \
    "$@") </dev/null >/dev/null 2>&1 || STATUS_EXIT=$?
}
status /server:$ROAD_SERVER
check "the installed wizard's /status" 0 "$STATUS_EXIT"

echo "== 2. a newer package upgrades it"
(cd "$ROAD_BIN" && wixl -o "$ROAD_WORK/PrnWizard-next.msi" -D Version=99.0.0 \
  -D ProductCode={D0000000-0000-4000-8000-000000000099} -D Exe=PrnWizard.exe \
  -D Actions=msi_actions.dll -D Arch=x86 "$ROAD_TOP/app/msi/PrnWizard.wxs")
next=$(package "$ROAD_WORK/PrnWizard-next.msi")
msiexec upgrade /i "$next" /qn SERVER=$ROAD_SERVER
check "upgrade: exit code" 0 "$MSI_EXIT"
check "products registered after the upgrade" 1 "$(products)"
check "the version after the upgrade" "99.0.0" "$(versions)"
check "the exe after the upgrade" present "$(present "$exe")"
check "monitor after the upgrade" listed "$(listed)"
check "printer's port after the upgrade" "Remote Port" "$(port "$ROAD_PRINTER")"

# Windows removes the old product of a major upgrade with UPGRADINGPRODUCTCODE
# set, and that removal must leave the monitor.  (Wine's RemoveExistingProducts
# runs "msiexec /qn /i {product} REMOVE=ALL" without it, so the upgrade above
# took the monitor away and the new package's SERVER put it back.)
msiexec upgraded /x "$next" /qn "UPGRADINGPRODUCTCODE={D0000000-0000-4000-8000-000000000001}"
check "old product's removal in an upgrade: exit code" 0 "$MSI_EXIT"
check "products registered after it" 0 "$(products)"
check "monitor after it" listed "$(listed)"
check "printer's port after it" "Remote Port" "$(port "$ROAD_PRINTER")"

echo "== 3. remove"
msiexec reinstall /i "$next" /qn
check "install without SERVER: exit code" 0 "$MSI_EXIT"
check "install without SERVER leaves the port" "Remote Port" "$(port "$ROAD_PRINTER")"
msiexec remove /x "$next" /qn
check "remove: exit code" 0 "$MSI_EXIT"
contains "remove: the uninstall in the MSI log" "$MSI_LOG" "PrnWizard: Exit code 0: done."
check "the exe after removal" absent "$(present "$exe")"
check "the shortcut after removal" "" "$(shortcut)"
check "products registered after removal" 0 "$(products)"
check "monitor after removal" absent "$(listed)"
check "printer's port after removal" "LPT1:" "$(port "$ROAD_PRINTER")"

echo "== 4. a failing step"
msiexec failing /i "$(package "$ROAD_BIN/PrnWizard.msi")" /qn SERVER=10.77.0.3
if [ "$MSI_EXIT" != 0 ]; then pass "failing: msiexec fails ($MSI_EXIT)"; else fail "failing: msiexec succeeded"; fi
contains "failing: the step's message in the MSI log" "$MSI_LOG" "The server reports no printer"
contains "failing: the code in the MSI log" "$MSI_LOG" "(exit code 5)"
check "products registered after the failure" 0 "$(products)"
check "the exe after the failure" absent "$(present "$exe")"
check "monitor after the failure" absent "$(listed)"
check "printer's port after the failure" "LPT1:" "$(port "$ROAD_PRINTER")"

# A step after the monitor's installation fails: with the printer missing from
# the user's device list, Windows cannot make it the default (code 7).  The
# wizard puts back all it changed (the run is one step), so the package has
# no monitor of its own to remove.
road_reg delete 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Devices' /v "$ROAD_PRINTER" /f \
  >/dev/null
msiexec late /i "$(package "$ROAD_BIN/PrnWizard.msi")" /qn SERVER=$ROAD_SERVER DEFAULT=1
if [ "$MSI_EXIT" != 0 ]; then pass "late: msiexec fails ($MSI_EXIT)"; else fail "late: msiexec succeeded"; fi
contains "late: the code in the MSI log" "$MSI_LOG" "(exit code 7)"
contains "late: all put back by the wizard" "$MSI_LOG" "PrnWizard: Nothing was changed."
check "products registered after the late failure" 0 "$(products)"
check "monitor after the late failure" absent "$(listed)"
check "printer's port after the late failure" "LPT1:" "$(port "$ROAD_PRINTER")"

echo "== 5. maintenance"
msiexec install2 /i "$(package "$ROAD_BIN/PrnWizard.msi")" /qn SERVER=$ROAD_SERVER \
  "PRINTER=$ROAD_PRINTER"
check "install again: exit code" 0 "$MSI_EXIT"
check "Server Address" "$ROAD_SERVER" "$(address)"
uninstall_keys() {
  road_reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r'
}
contains "Repair is not offered" "$(uninstall_keys)" "NoRepair    REG_DWORD    0x1"
contains "Change is not offered" "$(uninstall_keys)" "NoModify    REG_DWORD    0x1"
# The installed package again, with a new SERVER: the PC is reconfigured.
msiexec reconfigure /i "$(package "$ROAD_BIN/PrnWizard.msi")" /qn SERVER=10.77.0.5 \
  "PRINTER=$ROAD_PRINTER"
check "reconfigure: exit code" 0 "$MSI_EXIT"
contains "reconfigure: the wizard ran" "$MSI_LOG" "PrnWizard: The server address 10.77.0.5 is stored."
check "products registered after it" 1 "$(products)"
check "Server Address after it" 10.77.0.5 "$(address)"
status /server:10.77.0.5
check "/status after it" 0 "$STATUS_EXIT"
# Another installation in progress (the hold_guard fixture): the
# installation fails with the wizard's reason in the MSI log.
# lab.sh execs the fixture: $! is its own pid, and killing that ends it.
rm -f "$ROAD_WORK/guard.out"
WINEDEBUG=-all bash "$ROAD_TOP/tools/lab.sh" wine labA "$ROAD_BIN/hold_guard.exe" \
  $((240 * WINE_SLOW)) </dev/null >"$ROAD_WORK/guard.out" 2>&1 &
guard=$!
for _ in $(seq "$(road_slow 100)"); do grep -q held "$ROAD_WORK/guard.out" 2>/dev/null && break; sleep 0.2; done
contains "the fixture holds the guard" "$(cat "$ROAD_WORK/guard.out")" held
msiexec busy /i "$(package "$ROAD_BIN/PrnWizard.msi")" /qn SERVER=$ROAD_SERVER "PRINTER=$ROAD_PRINTER"
kill "$guard" 2>/dev/null || true
wait "$guard" 2>/dev/null || true
if [ "$MSI_EXIT" != 0 ]; then pass "busy: msiexec fails ($MSI_EXIT)"; else fail "busy: msiexec succeeded"; fi
contains "busy: the code in the MSI log" "$MSI_LOG" "(exit code 1618)"
contains "busy: the reason in the MSI log" "$MSI_LOG" "Another installation of the Printer Sharing Server driver is in progress"
check "busy: the address stays" 10.77.0.5 "$(address)"
check "busy: the monitor stays" listed "$(listed)"
msiexec remove2 /x "$(package "$ROAD_BIN/PrnWizard.msi")" /qn
check "remove at the end: exit code" 0 "$MSI_EXIT"
check "monitor at the end" absent "$(listed)"

echo "$failures failed"
[ "$failures" = 0 ]
