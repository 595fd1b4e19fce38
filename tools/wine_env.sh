# Which Wine this machine runs Windows programs with, for every script that
# starts one (sourced).  The wizard is a 32-bit program, run under 32-bit
# Wine.  Some virtual machines have no 32-bit user mode (a 32-bit program
# fails with "Exec format error"): there 32-bit Wine cannot start at all,
# and the Windows tests run on a 64-bit build of the same sources under
# 64-bit Wine instead.  WIN_PRESET=win32 or win64 chooses by hand.
#
# Sets WIN_PRESET (the CMake preset of the Windows build), WIN_BUILD (its
# folder) and the WINE* variables; on win64, `wine` on PATH is 64-bit Wine.
wine_env_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${WIN_PRESET:-}" ]; then
  if (cd / && /usr/lib/wine/wine --version) >/dev/null 2>&1; then
    WIN_PRESET=win32
  else
    WIN_PRESET=win64
  fi
fi
export WIN_PRESET
export WIN_BUILD=$wine_env_top/build/$WIN_PRESET
if [ "$WIN_PRESET" = win64 ]; then
  export WINEARCH=win64
  case ":$PATH:" in *":$wine_env_top/tools/wine64:"*) ;; *) PATH=$wine_env_top/tools/wine64:$PATH ;; esac
  export PATH
else
  export WINEARCH=win32
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
