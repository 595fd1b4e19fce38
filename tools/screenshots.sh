#!/usr/bin/env bash
# Shows every wizard page under Wine and Xvfb, inside a network namespace of
# its own, and writes one PNG per page into build/screenshots/pages/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

# shellcheck source=tools/wine_env.sh
source "$top/tools/wine_env.sh"
if [ "${1:-}" != "--inside" ]; then
  cmake --preset "$WIN_PRESET" >/dev/null
  cmake --build --preset "$WIN_PRESET" --target pageshots
  exec bash tools/sandbox.sh bash ${SCREENSHOTS_TRACE:+-x} "$0" --inside
fi

out=$top/build/screenshots/pages
trap wine_session_end EXIT
wine_display 800x600
wine_prefix "$top/build/wine/shots"
raw=$WINEPREFIX/drive_c/shots
mkdir -p "$raw"
cp "$WIN_BUILD/pageshots.exe" "$raw/"
rm -rf "$out"
mkdir -p "$out"
# Each page alone on a virtual desktop (which gives it its title bar); the
# screen is taken as the X server shows it and cut to the page's window.
pages="MainForm TaloWizard PrnForm PrnWizard EndForm FormNoPrn FormHelpInstPrn BrowTaloForm
       FormServerIP FormAskPrn FormHelpWizAddPrn FormHelpCDAddPrn FormHelpNetError FormHelpLex
       FormHelpLex98 BrowTaloForm:40"
count=0
missing=0
for entry in $pages; do
  # PAGE, or PAGE:N for the browse list with N servers (its scroll bar).
  page=${entry%%:*}
  servers=""
  [ "$entry" != "$page" ] && servers=${entry#*:}
  count=$((count + 1))
  # shellcheck disable=SC2086
  (cd / && timeout $((60 * WINE_SLOW)) wine explorer /desktop=Shots,800x600 'C:\shots\pageshots.exe' \
    show "$page" $servers >/dev/null 2>&1 </dev/null) &
  job=$!
  name=$(printf '%02d-%s%s' "$count" "$page" "${servers:+-$servers}")
  # The screen, with the desktop's plain colour around the page cut away.
  shot() {
    import -window root "$raw/$name.png"
    convert "$raw/$name.png" -bordercolor "$(convert "$raw/$name.png" -format '%[pixel:p{2,2}]' info:)" \
      -border 1 -fuzz 3% -trim +repage "$out/$name.png" 2>/dev/null
  }
  # Until the page is on the screen (under load that takes a while), then
  # once more when it is drawn and its pictures have animated once.
  shown=0
  for _ in $(seq $((40 * WINE_SLOW))); do
    sleep 0.5
    shot
    [ "$(identify -format '%w' "$out/$name.png" 2>/dev/null || echo 1)" -gt 1 ] && { shown=1; break; }
  done
  sleep 2.5
  shot
  wineserver -k 2>/dev/null || true
  wait "$job" 2>/dev/null || true
  [ "$shown" = 1 ] || { echo "screenshots: $page did not show" >&2; missing=$((missing + 1)); }
done
count=$(ls "$out"/*.png 2>/dev/null | wc -l)
echo "screenshots: $count pictures of the 15 pages in $out"
[ "$count" -eq 16 ] && [ "$missing" = 0 ]
