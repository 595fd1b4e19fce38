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
mkdir -p "$top/build/wine"
pfx=$(mktemp -d "$top/build/wine/win98.XXXXXX")
trap 'wine_session_end; rm -rf "$pfx"' EXIT
wine_prefix "$pfx"
# Read by each program as it starts.
(cd / && timeout 60 wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win98 /f >/dev/null 2>&1 </dev/null)
cd "$(dirname "$exe")"
timeout 240 wine "$exe" "$@"
