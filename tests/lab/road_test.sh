#!/usr/bin/env bash
# The whole installation under Wine, in the lab, walked as a person walks it
# and checked on the way (CTest lab.road, from the test suite's namespace;
# needs $DISPLAY):
#   1. a fresh PC: the monitor installed from the companion folder, the
#      printer moved to "Remote Port", the test page printed through the
#      spooler into the fixture monitor, the default printer, then a second
#      start and "Uninstall";
#   2. a PC with an older monitor (fixture version 1) registered and its
#      printers on "Remote Port": the replacement question answered Yes.
#   road_test.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tools/road.sh
source "$top/tools/road.sh"
road_init "$top" "$1" "$top/build/road-test"
bin=$ROAD_BIN
work=$ROAD_WORK
# A step of the road; when it fails the rest of this road cannot follow.
step() {
  local name=$1
  shift
  if "$@"; then pass "step: $name"; return 0; fi
  fail "step: $name"
  return 1
}

sysdir=$ROAD_PFX/drive_c/windows/system32
address() { road_reg_value "$ROAD_MONITOR_KEY" "Server Address"; }
monitors() { road_simpc monitors; }
# Whether system32\$1 is the fixture DLL $2 byte for byte.
same_file() {
  if cmp -s "$sysdir/$1" "$bin/$2"; then pass "$1 in the system directory is $2"
  else fail "$1 in the system directory is not $2"; fi
}
computer=$(hostname | tr '[:lower:]' '[:upper:]' | cut -c1-15)

# The received job: its name, an A4 page, the texts in their boxes.
check_job() {
  local job=$1 driver=$2 size
  road_job_split "$job" "$job"
  check "job name" "Test Page" "$(cat "$job.name")"
  contains "PostScript title" "$(head -c 4096 "$job.ps")" "%%Title: Test Page"
  if road_job_png "$job.ps" "$job.png"; then
    size=$(identify -format '%wx%h' "$job.png" 2>/dev/null || true)
    check "A4 page at 100 dpi" "826x1169" "$size"
  else
    fail "Ghostscript cannot render the job"
  fi
  # The page's boxes as the layout puts them (the native build's preview).
  if python3 "$top/tests/lab/road_page.py" "$job.ps" "$top/build/native/tools/testpage_preview/testpage_preview" \
       --ip "$ROAD_SERVER" --printer "$ROAD_PRINTER" --computer "$computer" --driver "$driver" \
       > "$job.texts"; then
    pass "the test page's texts and values in their boxes"
  else
    fail "test page texts:"
  fi
  grep -E '^(ok|FAIL)' "$job.texts" | sed 's/^/  /'
}

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (the test suite provides Xvfb)"; exit 1; }
road_lab_up || { echo "FAIL: no lab"; exit 1; }
road_servers || { echo "FAIL: no simulated servers"; exit 1; }

# --- 1. A fresh PC ------------------------------------------------------------
road1() {
  echo "== road 1: a fresh PC"
  step "a fresh PC: printers, companion folder, job file" road_pc LPT1: LPT1: || return 1
  check "monitor before" absent "$(listed)"
  check "printer's port before" "LPT1:" "$(port "$ROAD_PRINTER")"

  step "welcome page" road_step_welcome || return 1
  local texts
  texts=$(road_ctl texts "$T_WELCOME")
  if grep -qx Uninstall <<<"$texts"; then fail "Uninstall shown without a monitor"
  else pass "no Uninstall without a monitor"; fi
  step "detection page" road_step_detection || return 1
  step "monitor installed, printer page" road_step_install || return 1
  contains "spooler's monitor list" "$(monitors)" "$ROAD_MONITOR"
  contains "spooler's monitor list keeps Local Port" "$(monitors)" "Local Port"
  same_file talomon.dll fixture_talomon_v2.dll
  same_file taloui.dll fixture_taloui.dll
  check "Server Address" "$ROAD_SERVER" "$(address)"
  check "printer's port on the printer page" "LPT1:" "$(port "$ROAD_PRINTER")"

  step "port changed, completion page" road_step_port || return 1
  contains "port question" "$ROAD_PORT_TEXT" "Change $ROAD_PRINTER port setting"
  contains "port question's ports" "$ROAD_PORT_TEXT" 'from "LPT1:" to "Remote Port" ?'
  check "printer's port after" "Remote Port" "$(port "$ROAD_PRINTER")"
  check "the other printer's port" "LPT1:" "$(port "$ROAD_OTHER_PRINTER")"

  step "test page printed" road_step_print "$work/job1.bin" || return 1
  check "print message" "Test page printed" "$ROAD_PRINT_TEXT"
  check_job "$work/job1.bin" 0

  step "Done" road_step_done || return 1
  check "exit code after Done" 0 "$ROAD_EXIT"
  check "default printer" "$ROAD_PRINTER" "$(road_simpc default)"

  step "second start, Uninstall" road_step_uninstall || return 1
  grep -qx 2 <<<"$ROAD_WELCOME_TEXTS" && pass "welcome page: driver version 2" \
    || fail "welcome page without version 2: $(tr '\n' '|' <<<"$ROAD_WELCOME_TEXTS")"
  grep -qx "$ROAD_SERVER" <<<"$ROAD_WELCOME_TEXTS" && pass "welcome page: server $ROAD_SERVER" \
    || fail "welcome page without the address"
  contains "uninstall question" "$ROAD_UNINSTALL_QUESTION" \
    "You have some printers using the printer sharing server!"
  contains "uninstall message" "$ROAD_UNINSTALL_TEXT" "unistall successfully."
  check "exit code after Uninstall" 0 "$ROAD_EXIT"
  check "printer's port after Uninstall" "LPT1:" "$(port "$ROAD_PRINTER")"
  check "monitor after Uninstall" absent "$(listed)"
}

# --- 2. An older monitor and printers on "Remote Port" ----------------------
road2() {
  echo "== road 2: a PC with monitor version 1 and printers on Remote Port"
  step "a fresh PC: printers, companion folder, job file" road_pc "Remote Port" "Remote Port" || return 1
  step "monitor version 1 installed" road_pc_old_monitor 1 10.77.0.3 || return 1
  check "monitor before" listed "$(listed)"
  same_file talomon.dll fixture_talomon_v1.dll
  check "printer's port before" "Remote Port" "$(port "$ROAD_PRINTER")"
  check "the other printer's port before" "Remote Port" "$(port "$ROAD_OTHER_PRINTER")"

  step "welcome page" road_step_welcome || return 1
  local texts
  texts=$(road_ctl texts "$T_WELCOME")
  grep -qx 1 <<<"$texts" && pass "welcome page: driver version 1" \
    || fail "welcome page without version 1: $(tr '\n' '|' <<<"$texts")"
  grep -qx 10.77.0.3 <<<"$texts" && pass "welcome page: the old address" \
    || fail "welcome page without 10.77.0.3"
  step "detection page" road_step_detection || return 1
  step "replacement, printer page" road_step_install replace || return 1
  check "replacement question" "Replace the old driver with newer one ?" "$ROAD_REPLACE_TEXT"
  contains "spooler's monitor list" "$(monitors)" "$ROAD_MONITOR"
  same_file talomon.dll fixture_talomon_v2.dll
  same_file taloui.dll fixture_taloui.dll
  check "Server Address" "$ROAD_SERVER" "$(address)"
  check "printer moved off Remote Port by the replacement" "LPT1:" "$(port "$ROAD_PRINTER")"
  check "other printer moved off Remote Port" "LPT1:" "$(port "$ROAD_OTHER_PRINTER")"

  step "port changed, completion page" road_step_port || return 1
  contains "port question's ports" "$ROAD_PORT_TEXT" 'from "LPT1:" to "Remote Port" ?'
  check "printer's port after" "Remote Port" "$(port "$ROAD_PRINTER")"
  check "the other printer stays on LPT1:" "LPT1:" "$(port "$ROAD_OTHER_PRINTER")"

  step "test page printed" road_step_print "$work/job2.bin" || return 1
  check_job "$work/job2.bin" 2

  step "Done" road_step_done || return 1
  check "exit code after Done" 0 "$ROAD_EXIT"
  check "default printer" "$ROAD_PRINTER" "$(road_simpc default)"
}

road1 || true
road2 || true
echo "$failures failed"
[ "$failures" = 0 ]
