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
cmake --build --preset win32 --target PrnWizard winctl

shots=$top/build/screenshots/run
lab() { bash "$top/tools/lab.sh" "$@"; }
xvfb=""
sim=""
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null
  lab exec labA env WINEPREFIX="$top/build/wine/labA" wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  lab down >/dev/null 2>&1 || true
}
trap cleanup EXIT

lab up 3 --other-subnet >/dev/null
lab prefix labA "$top/build/wine-base" >/dev/null

# Simulated servers on the LAN; the last one is on another subnet.
mkdir -p "$top/build/run"
cat > "$top/build/run/servers.json" <<'JSON'
{"servers": [
  {"addr": "10.77.0.3", "model": "KX220", "name": ""},
  {"addr": "10.77.0.4", "model": "KX230", "name": "HP LaserJet 1100"},
  {"addr": "10.77.0.5", "model": "KX220", "name": "EPSON Stylus C60"},
  {"addr": "10.77.1.2", "model": "KX230", "name": "Lexmark Z34 Color Jetprinter"}
]}
JSON
bash "$top/tools/lab.sh" exec labB /usr/bin/python3 "$top/tools/lansim.py" \
  --log "$top/build/run/lansim.log" --max-seconds 3600 "$top/build/run/servers.json" >/dev/null 2>&1 &
sim=$!

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

ctl() { bash "$top/tools/lab.sh" wine labA explorer /desktop=Wizard,800x600 "$top/build/win32/winctl.exe" "$@" 2>/dev/null | tr -d '\r'; }
wait_title "Printer Sharing Server Setup Wizard"
shot 01-welcome
ctl click "Printer Sharing Server Setup Wizard" "Next >" >/dev/null
ctl wait "Driver Installation " 10.77.0.4 5000 >/dev/null || echo "run: no server shown" >&2
shot 02-detection
ctl click "Driver Installation " "More..." >/dev/null
ctl rows "Brwose for all Printer Sharing Server" 4 5000 >/dev/null || echo "run: the list is short" >&2
shot 03-browse-list
ctl current "Brwose for all Printer Sharing Server" >/dev/null
ctl click "Brwose for all Printer Sharing Server" Cancel >/dev/null
wait "$wizard" || true
echo "run: screenshots are in $shots"
