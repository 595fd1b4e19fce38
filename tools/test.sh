#!/usr/bin/env bash
# The test command: sets up, builds both presets, and runs every native and
# Win32 test inside a network namespace of its own.  Non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "${1:-}" != --inside ]; then
  bash tools/setup.sh
  # shellcheck source=tools/wine_env.sh
  source tools/wine_env.sh
  # The Windows tests run on the 32-bit build, the wizard users get;
  # WIN_PRESET=win64 adds the 64-bit build as a fast local loop.
  presets="native native-tsan win32"
  [ "$WIN_PRESET" = win64 ] && presets="$presets win64"
  # The Windows build is signed, with a throwaway code-signing certificate
  # made here once (build/test-signing); shipped.signatures verifies every
  # signature against it.
  signing=$top/build/test-signing
  if [ ! -s "$signing/cert.pem" ] || [ ! -s "$signing/key.pem" ]; then
    mkdir -p "$signing"
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 \
      -subj "/CN=PrnWizard throwaway test signing" \
      -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
      -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
  fi
  export PRNWIZARD_SIGN_KEY=$signing/key.pem PRNWIZARD_SIGN_CERT=$signing/cert.pem
  unset PRNWIZARD_SIGN_TIMESTAMP
  for preset in $presets; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
  done
  # A sandbox of its own (tools/sandbox.sh): no test can reach the machine's
  # network, the lab namespaces the tests make are this run's alone, and
  # 32-bit programs run there even on a machine without 32-bit user mode.
  exec bash tools/sandbox.sh bash "$0" --inside
fi
if [ -n "$(ip -o addr show | grep -v ' lo ' || true)" ]; then
  echo "test: this namespace has interfaces besides lo; refusing to run" >&2
  exit 1
fi
# One display and one persistent wineserver for every Windows test.
# shellcheck source=tools/wine_env.sh
source tools/wine_env.sh
trap wine_session_end EXIT
wine_display
wine_prefix "$top/build/wine/suite"

status=0
ctest --preset native || status=1
ctest --preset native-tsan || status=1
echo "test: the Windows tests run $(wine_how) and its tests"
ctest --preset "$WIN_PRESET" || status=1
# A short bounded pass of the datagram fuzz target.
bash tools/fuzz.sh 20000 || status=1
exit $status
