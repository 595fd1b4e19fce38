#!/usr/bin/env bash
# The run command: sets up, builds, brings up the lab (labA is the PC, labB
# the LAN with the simulated servers) and walks the whole installation in
# the wizard, as a person would: welcome page, detection page (and a look at
# the browse list), "Next >" installs the monitor from the simulated
# companion folder, the printer page moves the matching printer to "Remote
# Port", the completion page prints the test page (through Wine's spooler
# into the fixture monitor), "Done" makes it the default printer; then a
# second start shows the monitor on the welcome page and "Uninstall" removes
# it.  Each page, and each question on the way, is pictured in
# build/screenshots/run (NN-page.png), beside the received test page
# rendered by Ghostscript and a contact sheet of them all (contact-sheet.png).
# With $DISPLAY set the road is shown there as it goes; without it, it runs
# on Xvfb.  Runs as root without a terminal; non-zero when a step fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "${1:-}" != --inside ]; then
  bash tools/setup.sh
  # shellcheck source=tools/wine_env.sh
  source tools/wine_env.sh
  cmake --preset "$WIN_PRESET" >/dev/null
  cmake --build --preset "$WIN_PRESET" -j2 --target PrnWizard winctl answer_box simpc fixture_monitors
  # The lab and the wizard in a sandbox of their own (tools/sandbox.sh).
  exec bash tools/sandbox.sh bash "$0" --inside
fi
# shellcheck source=tools/wine_env.sh
source tools/wine_env.sh
echo "run: $WIN_BUILD/PrnWizard.exe under $WINEARCH Wine" \
  "$([ "$WINE_I386" = qemu ] && [ "$WINEARCH" = win32 ] && echo "(through qemu's user-mode emulation)")"

# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$WIN_BUILD" "$top/build/run"
shots=$top/build/screenshots/run
xvfb=""
cleanup() {
  road_cleanup
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # A display number that no X server holds.
  for n in $(seq 80 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  export DISPLAY=:$n
  Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  export ROAD_PAUSE=${ROAD_PAUSE:-0.6}
else
  echo "run: the road is shown on $DISPLAY"
  export ROAD_PAUSE=${ROAD_PAUSE:-1.5}
fi
export ROAD_DESKTOP=Wizard ROAD_SHOTS=$shots
rm -rf "$shots"
mkdir -p "$shots"

job=$ROAD_WORK/job.bin
rm -f "$job"*
failed=""
walk() {
  road_step_welcome || { failed="welcome page"; return 1; }
  road_step_detection browse || { failed="detection page"; return 1; }
  road_step_install || { failed="monitor installation (detection page's Next >)"; return 1; }
  road_step_port || { failed="port change (printer page's Next >)"; return 1; }
  road_step_print "$job" || { failed="test page (completion page's Print test page)"; return 1; }
  # The received page, rendered, beside the screenshots.
  road_job_split "$job" "$job"
  ROAD_SHOT_COUNT=$((ROAD_SHOT_COUNT + 1))
  page=$(printf '%s/%02d-test-page.png' "$shots" "$ROAD_SHOT_COUNT")
  if road_job_png "$job.ps" "$page"; then
    echo "run: the job '$(cat "$job.name")' rendered: $page"
  else
    failed="rendering the job"
    return 1
  fi
  road_step_done || { failed="Done on the completion page"; return 1; }
  road_step_uninstall || { failed="second start and Uninstall"; return 1; }
}

start=$SECONDS
road_lab_up
road_pc_fresh
road_servers
road_pc_printers LPT1: LPT1:
road_pc_companion 2
road_pc_jobfile
status=0
walk || status=1

# One contact sheet of every picture, named by its file.
pictures=("$shots"/[0-9]*.png)
if [ -e "${pictures[0]}" ]; then
  montage -label '%t' "${pictures[@]}" -geometry 400x300+6+6 -tile 4x -pointsize 14 \
    -background '#d8d8d8' "$shots/contact-sheet.png" && echo "run: $shots/contact-sheet.png"
fi
if [ "$status" = 0 ]; then
  echo "run: the whole road in $((SECONDS - start)) s; pictures in $shots"
else
  echo "run: the road stopped at the $failed; pictures so far in $shots" >&2
  road_lab_intact >/dev/null || echo "run: another run took the lab's namespaces meanwhile" >&2
fi
exit "$status"
