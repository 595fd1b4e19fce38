#!/usr/bin/env bash
# A stranger's DLLs beside the wizard (CTest lab.planted, from the test
# suite's namespace; needs $DISPLAY): the exe is started from a download
# folder that holds stand-ins for winspool.drv, wsock32.dll and iphlpapi.dll
# (tools/fixtures/planted.c, which mark each load), with another set in the
# current folder, and Wine told to prefer such DLLs to its own as Windows
# does for DLLs that are not known DLLs.  It installs unattended and shows
# its welcome page, and loads none of them.  (version.dll is left out: Wine's
# own user32 imports it, so Wine would load a planted one before the wizard
# runs; Windows' user32 does not.)
#   planted_test.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/planted-test"

planted_names=(winspool.drv wsock32.dll iphlpapi.dll)
downloads=$(road_unix 'C:\Users\Public\Downloads')
current=$(road_unix 'C:\Users\Public\Documents')
# The native-first load order for the planted names, as Windows has it.
overrides="$WINEDLLOVERRIDES;winspool.drv,wsock32,iphlpapi=n,b"

# The exe of the download folder, started from the other folder.
planted_wine() {
  (cd "$current" && WINEDLLOVERRIDES=$overrides timeout "$(road_slow 120)" \
    bash "$ROAD_TOP/tools/lab.sh" wine labA "$downloads/PrnWizard.exe" "$@")
}
# The stand-ins that were loaded, one path a line, in lower case (a stand-in
# names itself as the program asked for it).
loaded() {
  find "$downloads" "$current" -name '*.loaded' | sed 's/\.loaded$//' | tr 'A-Z' 'a-z' | sort
}

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }
road_pc LPT1: LPT1: || { echo "FAIL: no simulated PC"; exit 1; }
mkdir -p "$downloads" "$current" "$(road_unix 'C:\road')"
cp "$ROAD_BIN/PrnWizard.exe" "$downloads/"
for name in "${planted_names[@]}"; do
  cp "$ROAD_BIN/fixture_planted.dll" "$downloads/$name"
  cp "$ROAD_BIN/fixture_planted.dll" "$current/$name"
done
# The check can fail: a program that imports winspool.drv by name (the
# simulated PC's tool), started from the download folder, takes the stand-in
# there, and it says so.
cp "$ROAD_BIN/simpc.exe" "$downloads/"
(cd "$current" && WINEDLLOVERRIDES=$overrides timeout "$(road_slow 60)" \
  bash "$ROAD_TOP/tools/lab.sh" wine labA "$downloads/simpc.exe") </dev/null >/dev/null 2>&1 || true
want=$downloads/winspool.drv
check "a program importing winspool.drv takes the stand-in" "${want,,}" "$(loaded)"
rm -f "$downloads"/*.loaded "$downloads/simpc.exe"

echo "== an unattended installation from the download folder"
code=0
planted_wine /quiet /server:$ROAD_SERVER "/log:C:\\road\\planted.log" </dev/null >/dev/null 2>&1 \
  || code=$?
log=$(tr -d '\r' < "$(road_unix 'C:\road\planted.log')" 2>/dev/null || echo "(no log)")
check "exit code" 0 "$code"
contains "the log" "$log" "Exit code 0: done."
check "monitor" listed "$(listed)"
check "printer's port" "Remote Port" "$(road_simpc port "$ROAD_PRINTER")"

echo "== the welcome page from the download folder"
planted_wine </dev/null >/dev/null 2>&1 &
ROAD_WIZ=$!
# As road_wizard_start: the process first, then its window.
for _ in $(seq "$(road_slow 100)"); do
  road_wizard_process && break
  sleep 0.2
done
if road_wait_for "$T_WELCOME" "Next >" && road_wait_for "$T_WELCOME" "$ROAD_SERVER" 5000; then
  pass "the welcome page shows the installed monitor's server"
else
  fail "no welcome page"
fi
road_wizard_kill

check "stand-ins loaded" "" "$(loaded)"

echo "$failures failed"
[ "$failures" = 0 ]
