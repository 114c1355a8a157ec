#!/usr/bin/env bash
# Times the whole zarnet program side by side in one run, on two corpora:
#   kjv  the King James Bible (Debian's bible-kjv-text, printed by bible-kjv),
#        4.4 MB repeated 10 times, with the US English patterns
#   de   Debian's German manual pages (package manpages-de) rendered to
#        ISO-8859-1 plain text, 12.8 MB repeated 3 times, with the German
#        patterns (de-1996)
# and, on each, these commands, run in turn round after round:
#   cp            the floor: the same bytes read and written by cp
#   zarnet        the program as shipped (both cores on a large input)
#   zarnet_1core  the same program held to one core (taskset), so single-threaded
#   copy_floor    finds the letter runs and copies each word with one byte added
#   zarnet_plain  the program with the plain automaton walk
#   libhyphen     a marker on Debian's libhyphen (scripts/peer)
#   rust          a marker on the Rust hyphenation crate (scripts/peer-rust)
# Every output goes to the same file system as the input and replaces a file
# left there by the round before, as a normal run does. The script checks
# that zarnet, zarnet_1core, the plain walk and both peers write identical
# bytes, and prints median wall and CPU times, the ratios asked of zarnet
# (medians of the ratios within each round) and zarnet's peak memory.
#
#   bash bench/compare.sh            (RUNS=7 rounds by default; SLOW=0 leaves
#                                     out the plain walk and libhyphen)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${RUNS:-7}
slow=${SLOW:-1}
work=${TMPDIR:-/tmp}/zarnet-compare
mkdir -p "$work"

rust=(); command -v cargo >/dev/null || rust=(cargo)
bash scripts/deps.sh libbenchmark-dev groff-base libhyphen-dev perl time util-linux bible-kjv bible-kjv-text \
  librust-hyphenation-dev "${rust[@]}"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=OFF -DZARNET_BENCH=ON \
  -DZARNET_LIBZIP_PREFIX="$(bash scripts/libzip_prefix.sh)" >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
bash scripts/peer/build.sh "$work/peer" >/dev/null
bash scripts/peer-rust/build.sh "$work/rust-peer" >/dev/null

# repeat FILE TIMES OUT
repeat() {
  : >"$3"
  for _ in $(seq "$2"); do cat "$1" >>"$3"; done
}

kjv=$work/kjv10.txt
if [ ! -s "$kjv" ]; then
  bible -f -l79 gen1:1-rev22:21 >"$work/kjv.txt"
  repeat "$work/kjv.txt" 10 "$kjv"
fi
de=$work/de3.txt
if [ ! -s "$de" ]; then
  pages=$work/pages-de
  rm -rf "$pages" && mkdir -p "$pages"
  (cd "$pages" && apt-get download manpages-de >/dev/null 2>&1 && dpkg-deb -x manpages-de_*.deb root)
  for page in "$pages"/root/usr/share/man/de/man*/*.gz; do
    zcat "$page" | preconv -e UTF-8 | groff -Tlatin1 -mandoc -rHY=0 -P-cbou 2>/dev/null || true
  done >"$work/de.txt"
  repeat "$work/de.txt" 3 "$de"
fi

core=$(( $(nproc) > 1 ? 1 : 0 ))
data=tests/data/real
summary=$work/summary.txt
: >"$summary"
for corpus in kjv de; do
  if [ "$corpus" = kjv ]; then text=$kjv set=en-us; else text=$de set=de-1996; fi
  small=$(cat "$data/$set.small") large=$(cat "$data/$set.large")
  out=$work/out.$corpus
  names=(cp zarnet zarnet_1core copy_floor rust)
  declare -A command=(
    [cp]="cp $text $out.cp"
    [zarnet]="build-bench/zarnet $text $out.zarnet patterns/$set.pat $small $large"
    [zarnet_1core]="taskset -c $core build-bench/zarnet $text $out.zarnet_1core patterns/$set.pat $small $large"
    [copy_floor]="build-bench/copy_floor $text $out.floor $small $large"
    [rust]="$work/rust-peer/zarnet_rust_peer patterns/$set.pat $data/$set.small $data/$set.large $text $out.rust"
    [zarnet_plain]="build-bench/zarnet_plain $text $out.plain patterns/$set.pat $small $large"
    [libhyphen]="$work/peer/zarnet_peer $work/peer/$set.dic $data/$set.small $data/$set.large $text $out.libhyphen"
  )
  if [ "$slow" = 1 ]; then names+=(zarnet_plain libhyphen); fi
  args=()
  for name in "${names[@]}"; do args+=("$name" "${command[$name]}"); done
  echo "== $corpus: $(wc -c <"$text") bytes, patterns/$set.pat, $runs rounds =="
  python3 bench/timed_runs.py "$runs" "${args[@]}" >"$work/times.$corpus"

  cmp "$text" "$out.cp"
  checks=(zarnet_1core rust)
  if [ "$slow" = 1 ]; then checks+=(plain libhyphen); fi
  for suffix in "${checks[@]}"; do cmp "$out.zarnet" "$out.$suffix"; done
  echo "outputs: zarnet, zarnet_1core, rust$([ "$slow" = 1 ] && echo ", zarnet_plain, libhyphen") identical ($(wc -c <"$out.zarnet") bytes)"

  awk -F'\t' -v corpus="$corpus" -v bytes="$(wc -c <"$text")" -v summary="$summary" '
    $1 != "ratio" { wall[$1] = $2; cpu[$1] = $3; peak[$1] = $4; order[++n] = $1 }
    $1 == "ratio" { rw[$2 "/" $3] = $4; rc[$2 "/" $3] = $5 }
    END {
      printf "%-14s %10s %10s %10s %10s\n", "command", "wall ms", "cpu ms", "MB/s", "peak MiB"
      for (i = 1; i <= n; i++) {
        c = order[i]
        printf "%-14s %10.1f %10.1f %10.1f %10.1f\n", c, 1000 * wall[c], 1000 * cpu[c], bytes / 1e6 / wall[c], peak[c] / 1024
      }
      printf "zarnet wall / cp wall: %.2f\n", rw["zarnet/cp"]
      printf "zarnet_1core wall / cp wall: %.2f\n", rw["zarnet_1core/cp"]
      printf "zarnet CPU / copy_floor CPU: %.2f (one core: %.2f)\n", rc["zarnet/copy_floor"], rc["zarnet_1core/copy_floor"]
      printf "rust CPU / zarnet CPU: %.1f (one core: %.1f)\n", rc["rust/zarnet"], rc["rust/zarnet_1core"]
      if ("libhyphen/zarnet" in rc) printf "libhyphen CPU / zarnet CPU: %.1f\n", rc["libhyphen/zarnet"]
      if ("zarnet_plain/zarnet" in rc) printf "plain walk CPU / zarnet CPU: %.1f\n", rc["zarnet_plain/zarnet"]
      printf "zarnet wall, one core / both: %.2f\n", rw["zarnet_1core/zarnet"]
      printf "zarnet peak memory: %.1f MiB (one core: %.1f MiB)\n", peak["zarnet"] / 1024, peak["zarnet_1core"] / 1024
      printf "%s\t%.2f\t%.2f\t%.2f\t%.1f\t%.1f\t%.1f\t%.1f\n", corpus, rw["zarnet/cp"], rw["zarnet_1core/cp"],
        rc["zarnet/copy_floor"], rc["rust/zarnet"], rc["rust/zarnet_1core"], peak["zarnet"] / 1024,
        peak["zarnet_1core"] / 1024 >> summary
    }' "$work/times.$corpus"
  unset command
done
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r)," \
  "$(df -T "$work" | awk 'NR == 2 { print $2 }')"
