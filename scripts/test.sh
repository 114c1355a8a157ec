#!/usr/bin/env bash
# Builds zarnet and runs the whole test suite twice: in a plain optimised
# build (whose Debian package lintian then checks) and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build; the
# tests of the threaded pass under ThreadSanitizer (unit tests only); then
# the end-to-end tests once more against the Windows build, under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
for variant in plain sanitize; do
  if [ "$variant" = plain ]; then
    dir=build; flags=(-DCMAKE_BUILD_TYPE=Release -DZARNET_LIBZIP_PREFIX="$(bash scripts/libzip_prefix.sh)")
  else
    dir=build-sanitize; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNET_SANITIZE=ON)
  fi
  echo "== $variant build =="
  cmake -S . -B "$dir" -DZARNET_TESTS=ON "${flags[@]}" >/dev/null
  cmake --build "$dir" -j"$jobs"
  if [ "$variant" = plain ]; then labels=(-LE windows); else labels=(-LE 'large|windows'); fi
  (cd "$dir" && ctest --output-on-failure -j"$jobs" "${labels[@]}")
  if [ "$variant" = plain ]; then
    # The Debian package, checked by Debian's own checker: an error fails the run.
    echo "== Debian package =="
    rm -f "$dir"/zarnet_*.deb
    (cd "$dir" && cpack -G DEB >/dev/null)
    lintian --allow-root --fail-on error "$dir"/zarnet_*.deb
  fi
done
echo "== thread sanitizer build =="
cmake -S . -B build-tsan -DZARNET_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNET_TSAN=ON >/dev/null
cmake --build build-tsan -j"$jobs" --target zarnet_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  build-tsan/zarnet_tests --gtest_filter='ParallelPass.*:StreamPass.*:LetterMask.*:MarkExpand.*:NarrowForm.*'
# zarnet-utf8's threads: many texts and pages in place (one of them failing),
# and one large text on every processor.
cmake --build build-tsan -j"$jobs" --target zarnet-utf8
tsan_files=$(mktemp -d)
for k in $(seq 24); do head -c 300000 tests/data/utf8/de-1996.words >"$tsan_files/f$k.txt"; done
printf 'not UTF-8: \xff\n' >"$tsan_files/f7.txt"
# Pages in several languages, each set loaded by the first thread that needs it.
for k in $(seq 12); do
  for set in de-1996 en-us fr ru el-monoton hi; do
    printf '<p lang="%s">' "$set"; head -c 20000 "tests/data/utf8/$set.words" | sed 's/[<&]/ /g'; printf '</p>\n'
  done >"$tsan_files/p$k.html"
done
for k in $(seq 60); do cat tests/data/utf8/*.words; done >"$tsan_files/large.txt"
status=0
TSAN_OPTIONS=halt_on_error=1:exitcode=66 build-tsan/zarnet-utf8 --in-place de "$tsan_files"/f*.txt "$tsan_files"/p*.html || status=$?
[ "$status" -eq 1 ] || { echo "zarnet-utf8 --in-place under ThreadSanitizer ended with $status" >&2; exit 1; }
TSAN_OPTIONS=halt_on_error=1 build-tsan/zarnet-utf8 de "$tsan_files/large.txt" "$tsan_files/large.out"
rm -rf "$tsan_files"
bash scripts/test_windows.sh
