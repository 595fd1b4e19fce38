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
# shellcheck source=tools/road.sh
source tools/road.sh
road_init "$top" "$WIN_BUILD" "$top/build/run"
echo "run: $(wine_how)"
shots=$top/build/screenshots/run
if [ -n "${DISPLAY:-}" ]; then
  echo "run: the road is shown on $DISPLAY"
  export ROAD_PAUSE=${ROAD_PAUSE:-1.5}
else
  wine_display 800x600
  export ROAD_PAUSE=${ROAD_PAUSE:-0.6}
fi
export ROAD_DESKTOP=Wizard ROAD_SHOTS=$shots
rm -rf "$shots"
mkdir -p "$shots"

job=$ROAD_WORK/job.bin
failed=""
walk() {
  failed="welcome page"; road_step_welcome || return 1
  failed="detection page"; road_step_detection browse || return 1
  failed="monitor installation (detection page's Next >)"; road_step_install || return 1
  failed="port change (printer page's Next >)"; road_step_port || return 1
  failed="test page (completion page's Print test page)"; road_step_print "$job" || return 1
  # The received page, rendered, beside the screenshots.
  failed="rendering the job"
  road_job_split "$job" "$job"
  ROAD_SHOT_COUNT=$((ROAD_SHOT_COUNT + 1))
  page=$(printf '%s/%02d-test-page.png' "$shots" "$ROAD_SHOT_COUNT")
  road_job_png "$job.ps" "$page" || return 1
  echo "run: the job '$(cat "$job.name")' rendered: $page"
  failed="Done on the completion page"; road_step_done || return 1
  failed="second start and Uninstall"; road_step_uninstall
}

start=$SECONDS
status=0
{ failed="lab and simulated PC"; road_lab_up && road_pc && road_servers && walk; } || status=1

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
fi
exit "$status"
