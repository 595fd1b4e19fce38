#!/usr/bin/env bash
# Builds the datagram fuzz target with clang's libFuzzer and runs it.
#   tools/fuzz.sh [RUNS]   (default 200000; CI runs a short bounded pass)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-200000}
out=$top/build/fuzz
mkdir -p "$out/corpus"
src=(tools/fuzz/datagram_fuzz.cpp discovery/protocol.cpp discovery/device_table.cpp
     discovery/receiver.cpp platform/*.cpp platform/fake/*.cpp)
bin=$out/datagram_fuzz
if [ ! -x "$bin" ] || [ -n "$(cd "$top" && find "${src[@]}" discovery platform/*.h platform/fake -newer "$bin" | head -n 1)" ]; then
  (cd "$top" && clang++ -std=c++20 -O1 -g -I. -Wall -Wextra -Werror \
     -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all "${src[@]}" -o "$bin")
fi
# Seeds: a valid reply, our own request, a foreign datagram.
printf '\x05\x0c\x00\x0c\x16\x1f\x00\x00\x00\x01\x00HP\x00' > "$out/corpus/reply"
head -c 512 /dev/zero | { printf '\x01\x00\x02\x0c\x15\x1f\x00'; cat; } > "$out/corpus/request"
printf '\x02\x08\x00\x0c\x17\x1f\x00\x00\x00\x00\x00' > "$out/corpus/foreign"
"$bin" -artifact_prefix="$out/" -runs="$runs" -max_len=4096 -timeout=10 -print_final_stats=1 "$out/corpus" 2>&1 \
  | grep -E 'stat::number_of_executed_units|Done|ERROR|SUMMARY' || true
test "${PIPESTATUS[0]}" -eq 0
