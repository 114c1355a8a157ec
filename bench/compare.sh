#!/usr/bin/env bash
# Times the whole zarnet program on a real English text of about 48 MB with
# the US English patterns, side by side in one run with:
#   cp            the floor: reading and writing the same bytes
#   zarnet        the program as shipped (compiled matcher, streamed pass)
#   zarnet_plain  the same program with the plain automaton walk
#   peer          a marker on Debian's libhyphen (scripts/peer)
# Every command runs pinned to one core; the script prints the median wall
# time of each, the ratios, zarnet's peak memory, and checks that every
# output is identical (zarnet = zarnet_plain = peer, cp = input).
#
#   bash bench/compare.sh            (RUNS=7 by default)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${RUNS:-7}
work=${TMPDIR:-/tmp}/zarnet-compare
mkdir -p "$work"

bash scripts/deps.sh libbenchmark-dev groff-base libhyphen-dev perl time util-linux
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=OFF -DZARNET_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
bash scripts/peer/build.sh "$work/peer" >/dev/null

# The text: Debian's English manual pages (package "manpages"), rendered to
# plain ASCII text, repeated to about 48 MB.
corpus=$work/corpus.txt
if [ ! -s "$corpus" ]; then
  pages=$work/pages
  rm -rf "$pages" && mkdir -p "$pages"
  (cd "$pages" && apt-get download manpages >/dev/null 2>&1 && dpkg-deb -x manpages_*.deb root)
  : >"$work/pages.txt"
  for page in "$pages"/root/usr/share/man/man*/*.gz; do
    zcat "$page" | groff -Tascii -mandoc -rHY=0 -P-cbou 2>/dev/null >>"$work/pages.txt" || true
  done
  size=$(wc -c <"$work/pages.txt")
  : >"$corpus"
  while [ "$(wc -c <"$corpus")" -lt $((48 * 1000 * 1000)) ]; do cat "$work/pages.txt" >>"$corpus"; done
  echo "corpus: $(wc -c <"$corpus") bytes ($size bytes of distinct text from $(ls "$pages"/root/usr/share/man/man*/*.gz | wc -l) pages)"
fi

small=abcdefghijklmnopqrstuvwxyz
large=ABCDEFGHIJKLMNOPQRSTUVWXYZ
printf %s "$small" >"$work/small" && printf %s "$large" >"$work/large"
core=$(( $(nproc) > 1 ? 1 : 0 ))

declare -A command
command[cp]="cp $corpus $work/out.cp"
command[zarnet]="build-bench/zarnet $corpus $work/out.zarnet patterns/en-us.pat $small $large"
command[zarnet_plain]="build-bench/bench/zarnet_plain $corpus $work/out.plain patterns/en-us.pat $small $large"
command[peer]="$work/peer/zarnet_peer $work/peer/en-us.dic $work/small $work/large $corpus $work/out.peer"
order=(cp zarnet zarnet_plain peer)

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A seconds
for round in $(seq 0 "$runs"); do
  for name in "${order[@]}"; do
    start=$(date +%s%N)
    taskset -c "$core" ${command[$name]}
    end=$(date +%s%N)
    # Round 0 only warms the page cache.
    [ "$round" -gt 0 ] && seconds[$name]+="$(( (end - start) / 1000 )) "
  done
done

cmp "$corpus" "$work/out.cp"
cmp "$work/out.zarnet" "$work/out.plain"
cmp "$work/out.zarnet" "$work/out.peer"
echo "outputs: zarnet, zarnet_plain and peer identical ($(wc -c <"$work/out.zarnet") bytes); cp identical to the input"

bytes=$(wc -c <"$corpus")
declare -A med
printf '%-14s %12s %12s %12s\n' tool "median ms" "MB/s" "x zarnet"
for name in "${order[@]}"; do
  med[$name]=$(printf '%s\n' ${seconds[$name]} | median)
done
for name in "${order[@]}"; do
  awk -v n="$name" -v us="${med[$name]}" -v z="${med[zarnet]}" -v b="$bytes" \
    'BEGIN { printf "%-14s %12.1f %12.1f %12.2f\n", n, us / 1000, b / us, us / z }'
done
awk -v z="${med[zarnet]}" -v c="${med[cp]}" -v p="${med[peer]}" -v q="${med[zarnet_plain]}" 'BEGIN {
  printf "zarnet wall time / cp: %.2f (target at most 3)\n", z / c
  printf "zarnet throughput / libhyphen peer: %.1f (target at least 40)\n", p / z
  printf "zarnet throughput / plain walk: %.1f\n", q / z }'

peak=$( { /usr/bin/time -f %M taskset -c "$core" ${command[zarnet]} ; } 2>&1 >/dev/null | tail -n 1)
awk -v k="$peak" -v b="$bytes" 'BEGIN {
  printf "zarnet peak resident memory: %.1f MiB (limit 2.2 x input + 32 MiB = %.1f MiB)\n", k / 1024, (2.2 * b) / 1048576 + 32 }'
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r)"
