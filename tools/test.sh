#!/usr/bin/env bash
# The test command: sets up, builds both presets, and runs every native and
# Win32 test inside a network namespace of its own.  Non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash tools/setup.sh
# shellcheck source=tools/wine_env.sh
source tools/wine_env.sh
# The 32-bit build is the wizard and is always built; where 32-bit Wine
# cannot run, the Windows tests run on the 64-bit build.
presets="native native-tsan win32"
[ "$WIN_PRESET" = win64 ] && presets="$presets win64"
for preset in $presets; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# A network namespace of its own: no test can reach the machine's network.
# And a private /run/netns: the lab namespaces the tests make (fixed names,
# labA and labB) are this run's alone, whatever another run on the machine
# holds or left behind.
mkdir -p /run/netns
exec unshare --net --mount --propagation private --fork \
  bash -c 'mount -t tmpfs -o mode=755 tmpfs /run/netns && exec bash tools/test_in_namespace.sh "$@"' \
  test_in_namespace "$@"
