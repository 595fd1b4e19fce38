#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages,
# and builds the Windows copies of the C libraries from Debian's sources.
# Idempotent: a second run only checks.  Runs as root, needs no terminal.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export DEBIAN_FRONTEND=noninteractive

packages=(
  g++-mingw-w64-i686-posix wine
  g++-mingw-w64-x86-64-posix wine64
  xvfb xauth x11-utils xdotool imagemagick fonts-liberation iproute2 ghostscript
  cmake ninja-build dpkg-dev python3-pil
  libgtest-dev libgmock-dev libbenchmark-dev libjpeg62-turbo-dev libgif-dev libz-mingw-w64-dev
  libfreetype-dev zlib1g-dev
  clang libclang-rt-14-dev locales wixl msitools
  osslsigncode python3-olefile openssl
)
# 32-bit Wine, unless WIN_PRESET=win64 runs the Windows programs under 64-bit
# Wine (tools/wine_env.sh).
[ "${WIN_PRESET:-win32}" = win64 ] || packages+=(wine32:i386)

# A mirror caught mid-sync fails an index now and then: try again, then go
# on with what was fetched and let the install say what is missing.
update_index() {
  local attempt
  for attempt in 1 2 3; do
    apt-get update -q -o Acquire::Retries=3 && return 0
    [ "$attempt" = 3 ] || sleep 30
  done
}

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

src_list=/etc/apt/sources.list.d/debian-src.sources
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
if [ ! -f "$src_list" ]; then
  # The same archives and suites as the binary stanza, for source packages.
  sed -n '/^Types: deb$/,/^$/p' /etc/apt/sources.list.d/debian.sources \
    | sed 's/^Types: deb$/Types: deb-src/' | grep -v '^#' > "$src_list"
  need_update=1
fi
todo=$(missing)
if [ -n "$todo" ]; then need_update=1; fi
if [ "$need_update" = 1 ]; then
  update_index
fi
if [ -n "$todo" ]; then
  # shellcheck disable=SC2086
  apt-get install -y -q -o Acquire::Retries=3 $todo
fi

# libjpeg-turbo and giflib for the Windows builds, static, into the build
# tree: 32-bit for the wizard, 64-bit for the tests where 32-bit Wine cannot
# run (tools/wine_env.sh).
deps=$top/build/deps
mkdir -p "$deps/src"
for arch in i686:win32 x86_64:win64; do
  cpu=${arch%%:*}
  prefix=$deps/${arch#*:}
  if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    (cd "$deps/src" && { ls -d libjpeg-turbo-*/ >/dev/null 2>&1 || apt-get source -q libjpeg-turbo; })
    jsrc=$(ls -d "$deps"/src/libjpeg-turbo-*/ | head -n 1)
    cmake -S "$jsrc" -B "$deps/build-jpeg-$cpu" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$cpu.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
      -DWITH_SIMD=OFF -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_CROSSCOMPILING_EMULATOR= >/dev/null
    cmake --build "$deps/build-jpeg-$cpu" --target install >/dev/null
  fi
  if [ ! -f "$prefix/lib/libgif.a" ]; then
    (cd "$deps/src" && { ls -d giflib-*/ >/dev/null 2>&1 || apt-get source -q giflib; })
    gsrc=$(ls -d "$deps"/src/giflib-*/ | head -n 1)
    mkdir -p "$deps/build-gif-$cpu" "$prefix/include" "$prefix/lib"
    for f in dgif_lib egif_lib gifalloc gif_err gif_hash openbsd-reallocarray quantize; do
      [ -f "$gsrc/$f.c" ] && $cpu-w64-mingw32-gcc-posix -O2 -c "$gsrc/$f.c" -o "$deps/build-gif-$cpu/$f.o"
    done
    $cpu-w64-mingw32-ar rcs "$prefix/lib/libgif.a" "$deps"/build-gif-$cpu/*.o
    cp "$gsrc/gif_lib.h" "$prefix/include/"
  fi
done

# Where this machine has no 32-bit user mode, 32-bit Wine runs under qemu's
# user-mode emulation (tools/sandbox.sh).  bookworm's own qemu 7.2 spins in
# Wine's address-space reservation; bookworm-backports has 10.
if [ "${WIN_PRESET:-win32}" != win64 ] && ! (cd / && /usr/lib/wine/wine --version) >/dev/null 2>&1; then
  bpo=/etc/apt/sources.list.d/debian-backports.sources
  if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || echo 0)" ge 1:8; then
    if [ ! -f "$bpo" ]; then
      # The first binary stanza's archive, with the backports suite.
      sed -n '/^Types: deb$/,/^$/p' /etc/apt/sources.list.d/debian.sources | grep -v '^#' \
        | awk 'BEGIN{RS="";ORS="\n\n"} NR==1' | sed 's/^Suites: .*/Suites: bookworm-backports/' > "$bpo"
    fi
    update_index
    apt-get install -y -q -o Acquire::Retries=3 -t bookworm-backports qemu-user-static
  fi
fi

# A Wine prefix with the fonts the pages use; copied per namespace later,
# because a wineserver's sockets belong to the namespace it started in.
# Made for the Wine the Windows programs run with (tools/wine_env.sh), in
# the sandbox that runs them.
# shellcheck source=tools/wine_env.sh
source "$top/tools/wine_env.sh"
if [ "$(cat "$WINE_BASE/.ready" 2>/dev/null)" != "$WINEARCH" ]; then
  start=$SECONDS
  rm -rf "$WINE_BASE"
  mkdir -p "$WINE_BASE"
  WINEPREFIX=$WINE_BASE bash "$top/tools/sandbox.sh" bash -c '
    set -e
    cd /
    timeout 600 wine wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    cp /usr/share/fonts/truetype/liberation/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    key="HKCU\Software\Wine\Fonts\Replacements"
    wine reg add "$key" /v "Times New Roman" /t REG_SZ /d "Liberation Serif" /f >/dev/null 2>&1
    wine reg add "$key" /v Arial /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1
    wineserver -w'
  echo "$WINEARCH" > "$WINE_BASE/.ready"
  echo "setup: the $WINEARCH Wine prefix made in $((SECONDS - start)) s"
fi
# A Russian locale of the project's own (LOCPATH), not the machine's: one
# Windows test runs under the system code page 1251 that Wine derives from it.
if [ ! -f "$top/build/locale/ru_RU.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$top/build/locale"
  localedef -i ru_RU -f UTF-8 "$top/build/locale/ru_RU.UTF-8"
fi
if [ "$WINE_QEMU" = 1 ]; then
  echo "setup: this machine has no 32-bit user mode: 32-bit Wine runs under qemu's" \
       "user-mode emulation, inside the sandbox of tools/sandbox.sh"
fi
echo "setup: ready"
