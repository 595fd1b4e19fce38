#!/usr/bin/env bash
# The test command: sets up, builds both presets, and runs every native and
# Win32 test inside a network namespace of its own.  Non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash tools/setup.sh
for preset in native native-tsan win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# A namespace of its own: no test can reach the machine's network.
exec unshare --net --fork bash tools/test_in_namespace.sh "$@"
