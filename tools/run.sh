#!/usr/bin/env bash
# The run command: sets up, builds, brings up the lab (labA is the PC,
# labB the LAN) and shows the wizard in labA.  With $DISPLAY set it shows
# there until the wizard is closed; otherwise it runs on Xvfb, writes
# screenshots into build/screenshots/run and ends by itself.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target PrnWizard

shots=$top/build/screenshots/run
lab() { bash "$top/tools/lab.sh" "$@"; }
xvfb=""
cleanup() {
  lab exec labA env WINEPREFIX="$top/build/wine/labA" wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  lab down >/dev/null 2>&1 || true
}
trap cleanup EXIT

lab up 3 --other-subnet >/dev/null
lab prefix labA "$top/build/wine-base" >/dev/null

interactive=1
if [ -z "${DISPLAY:-}" ]; then
  interactive=0
  export DISPLAY=:$((80 + RANDOM % 9))
  Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

exe=$top/build/win32/PrnWizard.exe
lab wine labA explorer /desktop=Wizard,800x600 "$exe" >/dev/null 2>&1 &
wizard=$!

if [ "$interactive" = 1 ]; then
  echo "run: the wizard is on $DISPLAY; close it to end"
  wait "$wizard" || true
  exit 0
fi

rm -rf "$shots"
mkdir -p "$shots"
# Waits (bounded) for a window title to appear on the virtual screen.
wait_title() {
  for _ in $(seq 100); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "run: no window titled '$1'" >&2
  return 1
}
shot() { sleep 0.5; import -window root "$shots/$1.png"; echo "run: $shots/$1.png"; }

wait_title "Printer Sharing Server Setup Wizard"
shot 01-welcome
echo "run: screenshots are in $shots"
