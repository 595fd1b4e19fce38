#!/usr/bin/env bash
# The test command: sets up, builds both presets, and runs every native and
# Win32 test inside a network namespace of its own.  Non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash tools/setup.sh
# shellcheck source=tools/wine_env.sh
source tools/wine_env.sh
# The Windows tests run on the 32-bit build, the wizard users get;
# WIN_PRESET=win64 adds the 64-bit build as a fast local loop.
presets="native native-tsan win32"
[ "$WIN_PRESET" = win64 ] && presets="$presets win64"
for preset in $presets; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# A sandbox of its own (tools/sandbox.sh): no test can reach the machine's
# network, the lab namespaces the tests make are this run's alone, and
# 32-bit programs run there even on a machine without 32-bit user mode.
exec bash tools/sandbox.sh bash tools/test_in_namespace.sh "$@"
