#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each on a copy of its seed corpus.
#   bash scripts/fuzz.sh            (FUZZ_SECONDS=60 per target by default)
# Fails on the first finding; the input that found it is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang libclang-rt-14-dev

seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNET_FUZZ=ON -DZARNET_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc 2>/dev/null || echo 2)"
mkdir -p build-fuzz/findings
for target in load mark differential utf8 markup; do
  corpus=build-fuzz/corpus/$target
  rm -rf "$corpus" && mkdir -p "$corpus"
  cp tests/fuzz/corpus/$target/* "$corpus/"
  echo "== fuzzing $target for $seconds s =="
  build-fuzz/${target}_fuzz -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/$target- "$corpus" 2>&1 | grep -E '^(#[0-9]+ +DONE|Done|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' || true
  if ls build-fuzz/findings/$target-* >/dev/null 2>&1; then
    echo "fuzzing $target found a failing input: $(ls build-fuzz/findings/$target-*)" >&2
    exit 1
  fi
done
