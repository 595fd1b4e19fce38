# shellcheck shell=bash
# Which Wine runs the Windows programs, and a session of it, for every script
# that starts one (sourced).  The wizard is a 32-bit program, run under
# 32-bit Wine, and that is the build every Windows test runs.  Some virtual
# machines have no 32-bit user mode (a 32-bit program fails with "Exec format
# error"): there 32-bit Wine runs under qemu's user-mode emulation,
# registered only inside the sandbox of tools/sandbox.sh.
#
# Sets WIN_PRESET (the CMake preset of the Windows build), WIN_BUILD (its
# folder), WINE_QEMU (1: 32-bit programs need the sandbox's emulation),
# WINE_SLOW (how many times longer than natively a wait should allow: 1, or 4
# under emulation), WINE_BASE (the base prefix tools/setup.sh makes) and the
# WINE* variables.  WIN_PRESET=win64 runs the same sources as a 64-bit build
# under 64-bit Wine instead: a fast local loop, never what the tests vouch for.
wine_env_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WIN_PRESET=${WIN_PRESET:-win32}
export WIN_BUILD=$wine_env_top/build/$WIN_PRESET
if [ "$WIN_PRESET" = win64 ]; then
  export WINEARCH=win64 WINE_QEMU=0
  case ":$PATH:" in *":$wine_env_top/tools/wine64:"*) ;; *) PATH=$wine_env_top/tools/wine64:$PATH ;; esac
  export PATH
else
  export WINEARCH=win32
  # Decided once, outside the sandbox: inside, its own emulation answers.
  if [ -z "${WINE_QEMU:-}" ]; then
    WINE_QEMU=1
    (cd / && /usr/lib/wine/wine --version) >/dev/null 2>&1 \
      && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && WINE_QEMU=0
  fi
  export WINE_QEMU
fi
export WINE_SLOW=$((1 + 3 * WINE_QEMU))
export WINE_BASE=$wine_env_top/build/wine-base-$WINEARCH
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
# How the Windows programs run, for the scripts' first line.
wine_how() {
  echo "$WIN_BUILD/PrnWizard.exe under $WINEARCH Wine$([ "$WINE_QEMU" = 1 ] &&
    echo " (through qemu's user-mode emulation: this machine has no 32-bit user mode)")"
}

# --- a 64-bit Windows ---------------------------------------------------------
#   wine_win64               from now on, prefixes are 64-bit Windows: 64-bit
#                            Wine (native here) for 64-bit programs, and
#                            32-bit programs as its guests under 32-bit Wine
#                            (emulated where the machine needs it: run inside
#                            tools/sandbox.sh); WINE_BASE is
#                            build/wine-base-wow64, made once (about 30 s;
#                            not build/wine-base-win64, the win64 preset's,
#                            which tools/setup.sh makes without 32-bit Wine)
wine_win64() {
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  case ":$PATH:" in *":$wine_env_top/tools/wine64:"*) ;; *) PATH=$wine_env_top/tools/wine64:$PATH ;; esac
  export PATH
  export WINE_BASE=$wine_env_top/build/wine-base-wow64
  [ -f "$WINE_BASE/drive_c/windows/syswow64/kernel32.dll" ] && return 0
  rm -rf "$WINE_BASE"
  local made=$WINE_BASE.making.$$
  rm -rf "$made"
  # Its own wineserver, ended before the copy is taken as the base.
  if ! (cd / && WINEPREFIX=$made timeout $((300 * WINE_SLOW)) /usr/lib/wine/wine64 wineboot -i \
          >/dev/null 2>&1 </dev/null); then
    WINEPREFIX=$made timeout 20 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$made"
    echo "wine: could not make the 64-bit base prefix" >&2
    return 1
  fi
  WINEPREFIX=$made timeout 60 wineserver -w >/dev/null 2>&1 || true
  # The 32-bit system DLLs, which only a run with 32-bit Wine at hand puts there.
  [ -f "$made/drive_c/windows/syswow64/kernel32.dll" ] ||
    { rm -rf "$made"; echo "wine: the 64-bit prefix has no 32-bit DLLs (is 32-bit Wine at hand?)" >&2; return 1; }
  # Another run may have made it meanwhile: theirs stays.
  mv -T "$made" "$WINE_BASE" 2>/dev/null || rm -rf "$made"
  return 0
}

# --- a session ---------------------------------------------------------------
#   wine_display [WxH]       an Xvfb display of its own (DISPLAY, WINE_XVFB)
#   wine_prefix DIR [CMD...] DIR a fresh copy of the base prefix (WINEPREFIX),
#                            and a persistent wineserver for it, started
#                            through CMD (`lab.sh exec labA` starts it in
#                            labA, where its sockets then belong)
#   wine_session_end         stops both; safe in an EXIT trap under set -e
WINE_XVFB=""
WINE_PFX=""

wine_display() {
  local fd_file
  # Inside the sandbox (a mount namespace of its own) the displays' socket
  # folder is the sandbox's own.  Programs in the lab's namespaces reach
  # Xvfb by its socket file (the abstract socket belongs to the sandbox's
  # network), and Xvfb in another sandbox may take the same display number:
  # in a shared /tmp/.X11-unix the last one started would get every lab's
  # windows, and a run that ends would take the others' socket with it.
  if [ "${SANDBOX_INSIDE:-}" = 1 ] && ! mountpoint -q /tmp/.X11-unix; then
    mkdir -p /tmp/.X11-unix
    mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
  fi
  fd_file=$(mktemp)
  # Xvfb picks a free display number and writes it once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  WINE_XVFB=$!
  for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$fd_file")
  rm -f "$fd_file"
  xdpyinfo >/dev/null 2>&1 && return 0
  echo "wine: no Xvfb display within 10 s" >&2
  return 1
}

wine_prefix() {
  local dir=$1
  shift
  wine_server_stop
  [ -d "$WINE_BASE" ] || { echo "wine: the base prefix $WINE_BASE does not exist (tools/setup.sh makes it)" >&2; return 1; }
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  cp -a "$WINE_BASE" "$dir" || return 1
  export WINEPREFIX=$dir
  WINE_PFX=$dir
  "$@" wineserver -p >/dev/null 2>&1 </dev/null || return 1
  # One start, so that the server's helper services run before a caller
  # (CTest) watches output pipes that they would otherwise inherit.
  (cd / && timeout $((60 * WINE_SLOW)) "$@" wine wineboot >/dev/null 2>&1 </dev/null) || true
}

# The wineserver and its programs (found by the prefix, from any namespace).
wine_server_stop() {
  [ -n "$WINE_PFX" ] || return 0
  WINEPREFIX=$WINE_PFX timeout 20 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$WINE_PFX timeout 20 wineserver -w >/dev/null 2>&1 || true
}

wine_session_end() {
  wine_server_stop
  if [ -n "$WINE_XVFB" ]; then
    kill "$WINE_XVFB" 2>/dev/null || true
    wait "$WINE_XVFB" 2>/dev/null || true
  fi
  WINE_XVFB=""
  return 0
}
