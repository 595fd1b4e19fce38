#!/usr/bin/env bash
# Runs the test suites; called by test.sh inside its sandbox (a fresh
# network namespace that holds only the loopback interface).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if ip -o addr show | grep -v ' lo ' | grep -q .; then
  echo "test: this namespace has interfaces besides lo; refusing to run" >&2
  exit 1
fi

# shellcheck source=tools/wine_env.sh
source "$top/tools/wine_env.sh"
export WINEPREFIX=$top/build/wine/suite
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
cp -a "$WINE_BASE" "$WINEPREFIX"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A persistent wineserver, warmed up once so that its helper services are
# running before CTest starts watching output pipes.
wineserver -p
(cd / && wine wineboot >/dev/null 2>&1 </dev/null) || true

status=0
ctest --preset native || status=1
ctest --preset native-tsan || status=1
echo "test: the Windows tests run $WIN_BUILD/PrnWizard.exe and its tests under $WINEARCH Wine" \
     "$([ "$WINE_I386" = qemu ] && [ "$WINEARCH" = win32 ] && echo "(through qemu's user-mode emulation: this machine has no 32-bit user mode)")"
ctest --preset "$WIN_PRESET" || status=1
# A short bounded pass of the datagram fuzz target.
bash tools/fuzz.sh 20000 || status=1
exit $status
