#!/usr/bin/env bash
# Runs a command in a sandbox of its own:
#  - a network namespace that holds only loopback, so nothing reaches the
#    machine's network, with a private /run/netns for the lab namespaces
#    the command makes (their names are fixed; another run's are not seen);
#  - where the machine has no 32-bit user mode (tools/wine_env.sh), a user
#    namespace whose own binfmt_misc runs 32-bit programs through qemu's
#    user-mode emulation; the machine's own binfmt_misc is not touched.
# Usage: sandbox.sh COMMAND [ARG...]; the command's exit code is returned.
set -euo pipefail
if [ "${SANDBOX_INSIDE:-}" != 1 ]; then
  # shellcheck source=tools/wine_env.sh
  source "$(dirname "$0")/wine_env.sh"
  user=()
  [ "$WINE_QEMU" = 1 ] && user=(--user --map-root-user)
  mkdir -p /run/netns
  SANDBOX_INSIDE=1 exec unshare "${user[@]}" --net --mount --propagation private --fork \
    bash "$0" "$@"
fi
mount -t tmpfs -o mode=755 tmpfs /run/netns
ip link set lo up
if [ "$WINE_QEMU" = 1 ]; then
  qemu=/usr/bin/qemu-i386-static
  [ -x "$qemu" ] || { echo "sandbox: $qemu is missing (tools/setup.sh installs it)" >&2; exit 1; }
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # i386 ELF executables and shared objects; F opens the interpreter now, so
  # it runs in every mount namespace made below.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":qemu-i386:M::$magic:$mask:$qemu:F" > /proc/sys/fs/binfmt_misc/register
fi
exec "$@"
