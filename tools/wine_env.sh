# Which Wine this machine runs Windows programs with, for every script that
# starts one (sourced).  The wizard is a 32-bit program, run under 32-bit
# Wine, and that is the build every Windows test runs.  Some virtual
# machines have no 32-bit user mode (a 32-bit program fails with "Exec
# format error"): there 32-bit Wine runs under qemu's user-mode emulation,
# registered only inside the sandbox of tools/sandbox.sh.
#
# Sets WIN_PRESET (the CMake preset of the Windows build), WIN_BUILD (its
# folder), WINE_I386 (native, or qemu: 32-bit programs need the sandbox's
# emulation), WINE_SLOW (how many times longer than natively a wait should
# allow: 1, or 4 under emulation) and the WINE* variables.
#
# WIN_PRESET=win64 runs the same sources as a 64-bit build under 64-bit Wine
# instead: a fast local loop, never what the tests vouch for.
wine_env_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${WINE_I386:-}" ]; then
  if (cd / && /usr/lib/wine/wine --version) >/dev/null 2>&1 \
     && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    WINE_I386=native
  else
    WINE_I386=qemu
  fi
fi
export WINE_I386
export WIN_PRESET=${WIN_PRESET:-win32}
export WIN_BUILD=$wine_env_top/build/$WIN_PRESET
if [ "$WIN_PRESET" = win64 ]; then
  export WINEARCH=win64 WINE_SLOW=1
  case ":$PATH:" in *":$wine_env_top/tools/wine64:"*) ;; *) PATH=$wine_env_top/tools/wine64:$PATH ;; esac
  export PATH
else
  export WINEARCH=win32
  if [ "$WINE_I386" = qemu ]; then export WINE_SLOW=4; else export WINE_SLOW=1; fi
fi
# The base prefix of this Wine (tools/setup.sh makes it).
export WINE_BASE=$wine_env_top/build/wine-base-$WINEARCH
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
