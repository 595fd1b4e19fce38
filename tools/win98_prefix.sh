#!/usr/bin/env bash
# Runs a Win32 test program in a copy of the base Wine prefix set to report
# a version-4 system (Windows 98), with a wineserver of its own that is
# stopped afterwards.  Usage: win98_prefix.sh PROGRAM.exe [arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift

# shellcheck source=tools/wine_env.sh
source "$top/tools/wine_env.sh"
export WINEPREFIX
mkdir -p "$top/build/wine"
WINEPREFIX=$(mktemp -d "$top/build/wine/win98.XXXXXX")
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
cp -a "$WINE_BASE/." "$WINEPREFIX/"
(cd / && wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win98 /f >/dev/null 2>&1 \
   </dev/null)
wineserver -w
# A persistent server, warmed up, so its helper services hold no pipe of ours.
wineserver -p
(cd / && wine wineboot >/dev/null 2>&1 </dev/null) || true
cd "$(dirname "$exe")"
timeout 240 wine "$exe" "$@"
