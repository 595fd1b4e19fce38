#!/usr/bin/env bash
# Shows every wizard page under Wine and Xvfb, inside a network namespace of
# its own, and writes one PNG per page into build/screenshots/pages/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "${1:-}" != "--inside" ]; then
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target pageshots
  exec unshare --net --fork bash "$0" --inside
fi

ip link set lo up
out=$top/build/screenshots/pages
prefix=$(mktemp -d /tmp/pageshots-prefix.XXXXXX)
raw=$(mktemp -d /tmp/pageshots-raw.XXXXXX)
cp -a "$top/build/wine-base/." "$prefix/"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=:$((60 + RANDOM % 9))
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$prefix" "$raw"
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cp "$top/build/win32/pageshots.exe" "$raw/"
# A virtual desktop gives the pages their title bars; bounded in time.
(cd / && timeout 120 wine explorer /desktop=Shots,800x600 "$(winepath -w "$raw/pageshots.exe")" \
  shots "$(winepath -w "$raw")" >/dev/null 2>&1 </dev/null) || true

rm -rf "$out"
mkdir -p "$out"
count=0
for bmp in "$raw"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
  count=$((count + 1))
done
echo "screenshots: $count pages in $out"
[ "$count" -eq 15 ]
