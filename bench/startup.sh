#!/usr/bin/env bash
# Whole-process times where loading the patterns is most of the work:
#   1. a 20 KB German text with the German patterns: zarnet against the
#      marker on Debian's libhyphen (scripts/peer) with the same patterns;
#   2. a 20 KB English text with the US English patterns, the same way;
#   3. loading random pattern files of 10,000, 100,000, 200,000 and 1,000,000
#      lines of up to 78 letters (with a one-word text), to show how loading
#      grows;
#   4. zarnet's peak resident memory with the German patterns;
#   5. the floor: /bin/true, and zarnet with nothing to load or mark.
# Commands run side by side in one run (A B A B ...), pinned to one core,
# after a warm-up round; each line gives the median, fastest and slowest wall
# time and the peak memory. It checks that zarnet and the peer write the same
# bytes.
#
#   bash bench/startup.sh            (RUNS=21 by default; CURVE=0 skips part 3)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${RUNS:-21}
work=${TMPDIR:-/tmp}/zarnet-startup
mkdir -p "$work"

bash scripts/deps.sh libbenchmark-dev groff-base libhyphen-dev perl python3 util-linux
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=OFF -DZARNET_BENCH=ON \
  -DZARNET_LIBZIP_PREFIX="$(bash scripts/libzip_prefix.sh)" >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
bash scripts/peer/build.sh "$work/peer" >/dev/null
timer=build-bench/whole_run
core=$(( $(nproc) > 1 ? 1 : 0 ))

# The texts: Debian's manual pages (packages "manpages" and "manpages-de"),
# rendered to plain text in the encoding of the patterns, the first 20,000
# bytes up to a line end.
render() {  # package, groff device, output
  local pages=$work/pages-$1
  if [ ! -s "$3" ]; then
    rm -rf "$pages" && mkdir -p "$pages"
    (cd "$pages" && apt-get download "$1" >/dev/null 2>&1 && dpkg-deb -x "$1"_*.deb root)
    : >"$3.all"
    for page in $(find "$pages/root/usr/share/man" -path '*man1/*.gz' | sort); do
      zcat "$page" | groff -T"$2" -mandoc -rHY=0 -P-cbou 2>/dev/null >>"$3.all" || true
      [ "$(wc -c <"$3.all")" -gt 40000 ] && break
    done
    head -c 20000 "$3.all" | sed '$d' >"$3"
  fi
}
render manpages-de latin1 "$work/de.txt"
render manpages ascii "$work/en.txt"

de_small=$(cat tests/data/real/de-1996.small) de_large=$(cat tests/data/real/de-1996.large)
en_small=abcdefghijklmnopqrstuvwxyz en_large=ABCDEFGHIJKLMNOPQRSTUVWXYZ

echo "German: $(wc -c <"$work/de.txt") bytes of text, patterns/de-1996.pat ($(grep -cv '^%' patterns/de-1996.pat) patterns)"
taskset -c "$core" "$timer" "$runs" \
  zarnet -- build-bench/zarnet "$work/de.txt" "$work/de.zarnet" patterns/de-1996.pat "$de_small" "$de_large" \
  peer -- "$work/peer/zarnet_peer" "$work/peer/de-1996.dic" tests/data/real/de-1996.small \
    tests/data/real/de-1996.large "$work/de.txt" "$work/de.peer" | tee "$work/de.times"
cmp "$work/de.zarnet" "$work/de.peer"

echo "English: $(wc -c <"$work/en.txt") bytes of text, patterns/en-us.pat ($(grep -cv '^%' patterns/en-us.pat) patterns)"
taskset -c "$core" "$timer" "$runs" \
  zarnet -- build-bench/zarnet "$work/en.txt" "$work/en.zarnet" patterns/en-us.pat "$en_small" "$en_large" \
  peer -- "$work/peer/zarnet_peer" "$work/peer/en-us.dic" tests/data/real/en-us.small \
    tests/data/real/en-us.large "$work/en.txt" "$work/en.peer" | tee "$work/en.times"
cmp "$work/en.zarnet" "$work/en.peer"
echo "outputs: zarnet and peer identical on both texts"

# The floor under every run: starting a program that does nothing, and
# zarnet with an empty text and an empty pattern file.
: >"$work/empty.pat"
taskset -c "$core" "$timer" "$runs" true -- /bin/true \
  empty -- build-bench/zarnet /dev/null "$work/empty.out" "$work/empty.pat" "$en_small" "$en_large" >"$work/floor.times"

awk '{ t[$1] = $2; m[$1] = $5 } END {
  printf "German: zarnet %.2f ms, peer %.2f ms, peer / zarnet %.1f (target at least 6); zarnet peak memory %.1f MiB (limit 16)\n",
         t["zarnet"], t["peer"], t["peer"] / t["zarnet"], m["zarnet"] / 1024 }' "$work/de.times"
awk '{ t[$1] = $2 } END {
  printf "English: zarnet %.2f ms (target under 1.5), peer %.2f ms, peer / zarnet %.1f\n",
         t["zarnet"], t["peer"], t["peer"] / t["zarnet"] }' "$work/en.times"
awk '{ t[$1] = $2 } END {
  printf "Floor: /bin/true %.2f ms; zarnet on an empty text with no patterns %.2f ms\n", t["true"], t["empty"] }' \
  "$work/floor.times"

[ "${CURVE:-1}" = 0 ] && exit 0
# Random pattern files: lines of 1 to 78 letters a-z, a digit before about
# one letter in ten; the same seed gives the same files.
echo "Loading random pattern files (median of 3 runs each):"
printf 'text\n' >"$work/word.txt"
previous=
previous_lines=
for lines in 10000 100000 200000 1000000; do
  file=$work/random-$lines.pat
  [ -s "$file" ] || python3 - "$lines" >"$file" <<'EOF'
import random, sys
lines = int(sys.argv[1])
r = random.Random(lines)
out = []
for _ in range(lines):
    pattern = []
    for _ in range(r.randint(1, 78)):
        if r.random() < 0.1:
            pattern.append(str(r.randint(1, 9)))
        pattern.append(r.choice('abcdefghijklmnopqrstuvwxyz'))
    out.append(''.join(pattern)[:78])
sys.stdout.write('\n'.join(out) + '\n')
EOF
  line=$(taskset -c "$core" "$timer" 3 "$lines" -- build-bench/zarnet "$work/word.txt" "$work/word.out" "$file" \
    "$en_small" "$en_large")
  set -- $line
  growth=
  [ -n "$previous" ] && growth=$(awk -v a="$2" -v b="$previous" -v n="$lines" -v m="$previous_lines" \
    'BEGIN { printf "; %g x the lines, %.1f x the time", n / m, a / b }')
  printf '%8s lines (%s bytes): %.0f ms, peak memory %.0f MiB%s\n' "$lines" "$(wc -c <"$file")" "$2" \
    "$(( $5 / 1024 ))" "$growth"
  previous=$2
  previous_lines=$lines
done
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r)"
