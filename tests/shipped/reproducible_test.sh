#!/usr/bin/env bash
# One commit, one build: the shipped files built again from a copy of the
# tree in another folder, later, with the same time (SOURCE_DATE_EPOCH) and
# the same signing key if any, are byte for byte the build's own (CTest
# shipped.reproducible).  Only what ships is built (the target `shipped`,
# about a minute).
#   reproducible_test.sh SOURCE_DIR BUILD_DIR TOOLCHAIN BUILD_TYPE EPOCH FILE...
set -euo pipefail
top=$1 build=$2 toolchain=$3 type=$4
export SOURCE_DATE_EPOCH=$5
shift 5
work=$top/build/reproducible-test
rm -rf "$work"
mkdir -p "$work/tree/build"
tar -C "$top" --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$work/tree"
# The C libraries built for Windows by tools/setup.sh, as they are.
ln -s "$top/build/deps" "$work/tree/build/deps"
cmake -S "$work/tree" -B "$work/again" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/tree/$toolchain" \
  -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$work/again" --target shipped >/dev/null
failures=0
for name in "$@"; do
  first=$(sha256sum < "$build/$name" | cut -d' ' -f1)
  again=$(sha256sum < "$work/again/$name" | cut -d' ' -f1)
  if [ "$first" = "$again" ]; then
    echo "ok: $name $first"
  else
    echo "FAIL: $name differs: $first in $build, $again in $work/again"
    cmp -l "$build/$name" "$work/again/$name" | head -n 5 || true
    failures=$((failures + 1))
  fi
done
[ "$failures" = 0 ] && rm -rf "$work"
echo "$failures failed"
[ "$failures" = 0 ]
