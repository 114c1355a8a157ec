#!/usr/bin/env bash
# Times zarnet-utf8 on web pages and books as whole processes, side by side in
# one run, and prints what it is asked to reach, each with its figure and
# whether it is met:
#   1. a chapter of a real book (the German debian-reference made into an
#      EPUB by pandoc, scripts/make_markup_pages.sh; its XHTML chapter nearest
#      90 KB): --format=html at most 1.3 times the wall time of --format=text
#      on the same file; xhtml mode (by the file's name) is shown too. Small
#      files, so many rounds: start-up is most of each run;
#   2. the same chapter: at least 50 times faster than the npm hyphen
#      package's HTML mode (bench/hyphen_html.js, a whole node process);
#   3. the whole book (the EPUB itself): at least 50 times faster than
#      calibre's `ebook-polish --add-soft-hyphens` (Debian's calibre, installed
#      here only);
#   4. MB/s of html mode, and its wall time over text mode's, on the larger
#      real pages: debian-reference's German chapter 1, developers-reference
#      in Russian (one chapter, and the whole manual on one page) and in German
#      (the whole manual).
# Commands of a part run in turn, round after round (bench/timed_runs.py);
# figures are medians, and ratios the medians of the ratios within a round.
#
#   bash bench/compare_markup.sh            (RUNS=5 rounds for the books and
#                                            npm, SMALL_RUNS=60 for the rest)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${RUNS:-5}
small_runs=${SMALL_RUNS:-60}
work=${TMPDIR:-/tmp}/zarnet-compare-markup
mkdir -p "$work"

node=(); command -v node >/dev/null || node+=(nodejs); command -v npm >/dev/null || node+=(npm)
bash scripts/deps.sh pandoc calibre time "${node[@]}"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=OFF -DZARNET_BENCH=ON \
  -DZARNET_LIBZIP_PREFIX="$(bash scripts/libzip_prefix.sh)" >/dev/null
cmake --build build-bench -j2 --target zarnet-utf8 >/dev/null
utf8=build-bench/zarnet-utf8
bash scripts/make_markup_pages.sh "$work/corpus" bench
[ -d "$work/npm/node_modules/hyphen" ] || npm install --prefix "$work/npm" --no-audit --no-fund hyphen@1.14.1 >/dev/null
export NODE_PATH=$work/npm/node_modules
chapter=$work/corpus/bench/chapter.xhtml
book=$work/corpus/bench/book.epub
share=$work/corpus/debs/root/usr/share
pages=("$work/corpus/pages/dr-ch01.de.html:de" "$work/corpus/pages/dev-pkgs.ru.html:ru"
       "$share/developers-reference/ru/developers-reference.html:ru"
       "$share/developers-reference/de/developers-reference.html:de")

size() { wc -c <"$1"; }
# field TIMES NAME COLUMN: a command's median wall seconds (2), CPU seconds (3)
field() { awk -F'\t' -v n="$2" -v c="$3" '$1 == n { print $c }' "$1"; }
# ratio TIMES A B [COLUMN]: the median over the rounds of A's wall time (4,
# the default) or CPU time (5) over B's
ratio() { awk -F'\t' -v a="$2" -v b="$3" -v c="${4:-4}" '$1 == "ratio" && $2 == a && $3 == b { print $c }' "$1"; }
# show TIMES NAME:BYTES...: each command's times, speed on its BYTES and peak memory
show() {
  local times=$1; shift
  printf '  %-22s %10s %10s %10s %10s\n' command "wall ms" "cpu ms" "MB/s" "peak MiB"
  for entry in "$@"; do
    awk -F'\t' -v n="${entry%%:*}" -v bytes="${entry#*:}" '$1 == n {
      printf "  %-22s %10.1f %10.1f %10.1f %10.1f\n", n, 1000 * $2, 1000 * $3, bytes / 1e6 / $2, $4 / 1024 }' "$times"
  done
}
table=$work/table.tsv
: >"$table"
# target TEXT FIGURE UNIT LIMIT: one row of the table; LIMIT is "<=X" or ">=X"
target() {
  awk -v text="$1" -v figure="$2" -v unit="$3" -v limit="$4" 'BEGIN {
    bound = substr(limit, 3) + 0
    met = (substr(limit, 1, 2) == "<=") ? figure <= bound : figure >= bound
    printf "%s\t%.2f%s\t%s%s\t%s\n", text, figure, unit, limit, unit, met ? "met" : "NOT MET" }' >>"$table"
}
# not_run TEXT LIMIT REASON: a target that could not be measured
not_run() { printf '%s\t-\t%s\tNOT MET (%s)\n' "$1" "$2" "$3" >>"$table"; }

# Parts 1 and 2: the chapter.
echo "== a chapter of the German debian-reference in EPUB: $(size "$chapter") bytes of XHTML, $small_runs rounds =="
python3 bench/timed_runs.py "$small_runs" \
  html "$utf8 --format=html de $chapter $work/out.html" \
  text "$utf8 --format=text de $chapter $work/out.text" \
  xhtml "$utf8 de $chapter $work/out.xhtml" >"$work/times.chapter"
show "$work/times.chapter" html:"$(size "$chapter")" text:"$(size "$chapter")" xhtml:"$(size "$chapter")"
target "wall, html / text mode, 90 KB chapter" "$(ratio "$work/times.chapter" html text)" x "<=1.3"
echo "  CPU, html / text mode: $(ratio "$work/times.chapter" html text 5); wall, xhtml / text mode:" \
  "$(ratio "$work/times.chapter" xhtml text)"
echo "== the same chapter: npm hyphen's HTML mode, $runs rounds =="
python3 bench/timed_runs.py "$runs" \
  html "$utf8 --format=html de $chapter $work/out.html" \
  npm_hyphen "node bench/hyphen_html.js de $chapter $work/out.npm" >"$work/times.npm"
show "$work/times.npm" html:"$(size "$chapter")" npm_hyphen:"$(size "$chapter")"
target "wall, npm hyphen HTML / html mode, 90 KB chapter" "$(ratio "$work/times.npm" npm_hyphen html)" x ">=50"
echo "  CPU, npm hyphen / html mode: $(ratio "$work/times.npm" npm_hyphen html 5)"

# Part 3: the whole book.
book_bytes=$(python3 -c 'import sys, zipfile; print(sum(i.file_size for i in zipfile.ZipFile(sys.argv[1]).infolist()))' \
  "$book")
echo "== the whole German debian-reference in EPUB: $(size "$book") bytes, $book_bytes unpacked, $runs rounds =="
rm -f "$work/out.epub"
if said=$("$utf8" de "$book" "$work/out.epub" 2>&1); then
  python3 bench/timed_runs.py "$runs" \
    epub "$utf8 de $book $work/out.epub" \
    calibre "ebook-polish --add-soft-hyphens $book $work/out-calibre.epub" >"$work/times.book"
  show "$work/times.book" epub:"$book_bytes" calibre:"$book_bytes"
  target "wall, calibre ebook-polish / epub mode, whole book" "$(ratio "$work/times.book" calibre epub)" x ">=50"
  echo "  CPU, calibre / epub mode: $(ratio "$work/times.book" calibre epub 5)"
else
  echo "  zarnet-utf8 cannot mark the book: $said"
  not_run "wall, calibre ebook-polish / epub mode, whole book" ">=50x" "no EPUB in this build"
fi

# Part 4: MB/s on the larger pages.
args=() entries=() k=0
for entry in "${pages[@]}"; do
  k=$((k + 1))
  file=${entry%:*} lang=${entry##*:}
  args+=(html$k "$utf8 --format=html $lang $file $work/out.page$k" text$k "$utf8 --format=text $lang $file $work/out.text$k")
  entries+=(html$k:"$(size "$file")" text$k:"$(size "$file")")
done
echo "== html mode on larger pages, $small_runs rounds =="
k=0
for entry in "${pages[@]}"; do
  k=$((k + 1))
  echo "  page $k: ${entry%:*} (${entry##*:}), $(size "${entry%:*}") bytes"
done
python3 bench/timed_runs.py "$small_runs" "${args[@]}" >"$work/times.pages"
show "$work/times.pages" "${entries[@]}"
k=0
for entry in "${pages[@]}"; do
  k=$((k + 1))
  echo "  page $k: html mode $(awk -v b="$(size "${entry%:*}")" -v s="$(field "$work/times.pages" html$k 2)" \
    'BEGIN { printf "%.1f", b / 1e6 / s }') MB/s, html / text mode $(ratio "$work/times.pages" html$k text$k)"
done

echo "== targets =="
awk -F'\t' 'NR == FNR { if (length($1) > w) w = length($1); if (length($2) > f) f = length($2); next }
  FNR == 1 { printf "%-" w "s  %-" f "s  %-12s %s\n", "target", "figure", "limit", "met" }
  { printf "%-" w "s  %-" f "s  %-12s %s\n", $1, $2, $3, $4 }' "$table" "$table"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r)," \
  "$(df -T "$work" | awk 'NR == 2 { print $2 }'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
