#!/usr/bin/env bash
# Times zarnet-utf8 as whole processes, side by side in one run, and prints
# what it is asked to reach, each with its figure and whether it is met:
#   1. the same text and patterns with minima 2 and 2, zarnet-utf8 on the
#      UTF-8 text against zarnet on the single-byte text (wall time), on
#        kjv  the King James Bible (Debian's bible-kjv-text, printed by
#             bible-kjv), 4.4 MB repeated 10 times, ASCII: the same bytes for
#             both, patterns/en-us.pat
#        de   Debian's German manual pages (manpages-de) rendered to
#             ISO-8859-1, 12.8 MB repeated 3 times; zarnet-utf8 reads the
#             same text and patterns (patterns/de-1996.pat) converted to UTF-8
#        ru   Debian's Russian manual pages (manpages-ru) rendered to UTF-8,
#             brought to Windows-1251 (a character it lacks becomes its
#             nearest ASCII or "?") and back, so both texts hold the same
#             characters; 3.4 MB repeated 10 times, patterns/ru.pat
#      (zarnet with the alphabets of tests/data/real, where the Russian ones
#      leave out the hyphen: zarnet-utf8 never takes it for a letter);
#      and, on de and ru, the Rust hyphenation crate (scripts/peer-rust, in
#      its UTF-8 form) on the same UTF-8 text with the same patterns;
#   2. MB/s of zarnet-utf8 with its own sets and their own minima on Greek
#      (el) and Hindi (hi) against Russian (ru): the Greek, Hindi and Russian
#      names of Debian's iso-codes (its translations, unpacked with
#      msgunfmt), each repeated to 20 MB or more, and the Russian manual
#      pages above;
#   3. a thousand German files of about 20 KB (cut from the de text at line
#      ends) marked in place: one `zarnet-utf8 --in-place de` run against a
#      thousand zarnet runs (each file its own output), every run on fresh
#      copies laid out before its timing starts;
#   4. zarnet-utf8's peak memory on every text, and with each of its sets on
#      the German text.
# Commands of a part run in turn, round after round (bench/timed_runs.py);
# figures are medians, and ratios the medians of the ratios within a round.
# The script checks that zarnet-utf8 puts its marks (U+00AD) where zarnet
# puts its own (0xAC) and where the Rust crate puts them, and says how many
# differ.
#
#   bash bench/compare_utf8.sh            (RUNS=5 rounds by default)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${RUNS:-5}
work=${TMPDIR:-/tmp}/zarnet-compare-utf8
mkdir -p "$work"

rust=(); command -v cargo >/dev/null || rust=(cargo)
bash scripts/deps.sh libbenchmark-dev libutf8proc-dev groff-base gettext time util-linux bible-kjv \
  bible-kjv-text librust-hyphenation-dev "${rust[@]}"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=OFF -DZARNET_BENCH=ON \
  -DZARNET_LIBZIP_PREFIX="$(bash scripts/libzip_prefix.sh)" >/dev/null
cmake --build build-bench -j2 --target zarnet zarnet-utf8 >/dev/null
bash scripts/peer-rust/build.sh "$work/rust-peer" >/dev/null
zarnet=build-bench/zarnet
utf8=build-bench/zarnet-utf8
peer=$work/rust-peer/zarnet_rust_peer
data=tests/data/real

# repeat FILE TIMES OUT
repeat() {
  : >"$3"
  for _ in $(seq "$2"); do cat "$1" >>"$3"; done
}
# repeat_to FILE BYTES OUT: FILE repeated until OUT holds at least BYTES
repeat_to() {
  repeat "$1" $(( ($2 + $(wc -c <"$1") - 1) / $(wc -c <"$1") )) "$3"
}
# unpack PACKAGE: the package's files, under $work/PACKAGE/root
unpack() {
  if [ ! -d "$work/$1/root" ]; then
    rm -rf "${work:?}/$1" && mkdir -p "$work/$1"
    (cd "$work/$1" && apt-get download "$1" >/dev/null 2>&1 && dpkg-deb -x "$1"_*.deb root)
  fi
}
# to_utf8 ENCODING FILE OUT
to_utf8() { iconv -f "$1" -t UTF-8 "$2" >"$3"; }

# The texts. Every single-byte text has a UTF-8 twin made from it by iconv.
kjv=$work/kjv10.txt
if [ ! -s "$kjv" ]; then
  bible -f -l79 gen1:1-rev22:21 >"$work/kjv.txt"
  repeat "$work/kjv.txt" 10 "$kjv"
fi
de=$work/de3.txt
if [ ! -s "$de" ]; then
  unpack manpages-de
  for page in "$work"/manpages-de/root/usr/share/man/de/man*/*.gz; do
    zcat "$page" | preconv -e UTF-8 | groff -Tlatin1 -mandoc -rHY=0 -P-cbou 2>/dev/null || true
  done >"$work/de.txt"
  repeat "$work/de.txt" 3 "$de"
fi
ru=$work/ru10.txt
if [ ! -s "$ru" ]; then
  unpack manpages-ru
  for page in "$work"/manpages-ru/root/usr/share/man/ru/man*/*.gz; do
    zcat "$page" | preconv -e UTF-8 | groff -Tutf8 -mandoc -rHY=0 -P-cbou 2>/dev/null || true
  done | iconv -f UTF-8 -t CP1251//TRANSLIT >"$work/ru.txt"
  repeat "$work/ru.txt" 10 "$ru"
fi
[ -s "$de.utf8" ] || to_utf8 ISO-8859-1 "$de" "$de.utf8"
[ -s "$ru.utf8" ] || to_utf8 CP1251 "$ru" "$ru.utf8"
to_utf8 ISO-8859-1 patterns/de-1996.pat "$work/de-1996.pat"
to_utf8 CP1251 patterns/ru.pat "$work/ru.pat"
for set in de-1996 ru; do
  encoding=ISO-8859-1; [ "$set" = ru ] && encoding=CP1251
  to_utf8 $encoding $data/$set.small "$work/$set.small"
  to_utf8 $encoding $data/$set.large "$work/$set.large"
done
# The translated names of iso-codes (its msgstr strings, the header left out).
unpack iso-codes
for lang in el hi ru; do
  if [ ! -s "$work/iso-$lang.txt" ]; then
    for mo in $(find "$work/iso-codes/root/usr/share/locale/$lang" -type f -name 'iso_*.mo' | sort); do
      msgunfmt --no-wrap "$mo"
    done | awk '/^msgid / { id = $0 } /^msgstr / && id != "msgid \"\"" { sub(/^msgstr "/, ""); sub(/"$/, ""); print }' \
      >"$work/iso-$lang.one"
    repeat_to "$work/iso-$lang.one" 20000000 "$work/iso-$lang.txt"
  fi
done
# A thousand files of about 20 KB, cut from the German text at line ends.
files=$work/files
if [ ! -s "$work/pristine/b/1000.txt" ]; then
  rm -rf "$work/pristine" && mkdir -p "$work/pristine/b" "$work/pristine/u"
  python3 - "$de" "$work/pristine/b" <<'EOF'
import sys
text = open(sys.argv[1], "rb").read()
at = 0
for n in range(1, 1001):
    end = text.rindex(b"\n", at, at + 20000) + 1
    with open(f"{sys.argv[2]}/{n:04}.txt", "wb") as f:
        f.write(text[at:end])
    at = end
EOF
  for file in "$work"/pristine/b/*.txt; do to_utf8 ISO-8859-1 "$file" "$work/pristine/u/${file##*/}"; done
fi
rm -rf "$files" && mkdir -p "$files"
for file in "$work"/pristine/b/*.txt; do echo "$files/b/${file##*/}"; done >"$work/files.list"
utf8_files=()
for file in "$work"/pristine/u/*.txt; do utf8_files+=("$files/u/${file##*/}"); done

size() { wc -c <"$1"; }
# beyond_ascii FILE: the share of its bytes outside ASCII, in per cent
beyond_ascii() {
  awk -v n="$(tr -d '\000-\177' <"$1" | wc -c)" -v all="$(size "$1")" 'BEGIN { printf "%.0f", 100 * n / all }'
}
# field TIMES NAME COLUMN: a command's median wall seconds (2), CPU seconds
# (3) or peak memory in KiB (4)
field() { awk -F'\t' -v n="$2" -v c="$3" '$1 == n { print $c }' "$1"; }
# ratio TIMES A B [COLUMN]: the median over the rounds of A's wall time (4,
# the default) or CPU time (5) over B's
ratio() { awk -F'\t' -v a="$2" -v b="$3" -v c="${4:-4}" '$1 == "ratio" && $2 == a && $3 == b { print $c }' "$1"; }
# show TIMES NAME:BYTES...: each command's times, speed on its BYTES of input
# and peak memory
show() {
  local times=$1; shift
  printf '  %-16s %10s %10s %10s %10s\n' command "wall ms" "cpu ms" "MB/s" "peak MiB"
  for entry in "$@"; do
    awk -F'\t' -v n="${entry%%:*}" -v bytes="${entry#*:}" '$1 == n {
      printf "  %-16s %10.1f %10.1f %10.1f %10.1f\n", n, 1000 * $2, 1000 * $3, bytes / 1e6 / $2, $4 / 1024 }' "$times"
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
# check NAME A... B...: the marks of two outputs compared (mark_diff.py's
# eight arguments after NAME), one row of the table
check() {
  local name=$1; shift
  local said
  said=$(python3 bench/mark_diff.py "$@") || true
  echo "  marks, $name: $said"
  echo "$said" | awk -v name="$name" '{
    same = $1; differ = 0
    for (i = 2; i <= NF; i++) if ($i == "only") differ += $(i - 1)
    if (same !~ /^[0-9]+$/) { same = "?"; differ = "?" }
    printf "marks: %s\t%s of %s differ\tnone differ\t%s\n", name, differ, same + differ,
      differ == "0" ? "met" : "NOT MET" }' >>"$table"
}
memory() {  # LABEL KIB
  target "peak memory, zarnet-utf8, $1" "$(awk -v k="$2" 'BEGIN { print k / 1024 }')" " MiB" "<=32"
}

# Part 1: the same text and patterns on both sides.
for corpus in kjv de ru; do
  case $corpus in
    kjv) text=$kjv encoding=latin-1 set=en-us lang=en-us limit=1.15 pat=patterns/en-us.pat name="KJV x10" ;;
    de) text=$de encoding=latin-1 set=de-1996 lang=de limit=1.3 pat=$work/de-1996.pat name="German x3" ;;
    ru) text=$ru encoding=cp1251 set=ru lang=ru limit=1.5 pat=$work/ru.pat name="Russian x10" ;;
  esac
  u=$text.utf8; [ "$corpus" = kjv ] && u=$text
  out=$work/out.$corpus
  args=(zarnet "$zarnet $text $out.zarnet patterns/$set.pat $(cat "$data/$set.small") $(cat "$data/$set.large")"
        zarnet_utf8 "$utf8 --patterns=$pat --left=2 --right=2 $lang $u $out.utf8")
  [ "$corpus" = kjv ] || args+=(rust "$peer --utf8 $pat $work/$set.small $work/$set.large $u $out.rust")
  echo "== $name: $(size "$text") bytes single-byte, $(size "$u") bytes UTF-8 ($(beyond_ascii "$u")% beyond ASCII)," \
    "$runs rounds =="
  python3 bench/timed_runs.py "$runs" "${args[@]}" >"$work/times.$corpus"
  entries=(zarnet:"$(size "$text")" zarnet_utf8:"$(size "$u")")
  [ "$corpus" = kjv ] || entries+=(rust:"$(size "$u")")
  show "$work/times.$corpus" "${entries[@]}"
  check "zarnet-utf8 = zarnet, $name" "$text" "$encoding" "$out.zarnet" U+00AC "$u" utf-8 "$out.utf8" U+00AD
  echo "  CPU, zarnet-utf8 / zarnet: $(ratio "$work/times.$corpus" zarnet_utf8 zarnet 5)"
  target "wall, zarnet-utf8 / zarnet, $name" "$(ratio "$work/times.$corpus" zarnet_utf8 zarnet)" x "<=$limit"
  if [ "$corpus" != kjv ]; then
    check "zarnet-utf8 = Rust crate, $name" "$u" utf-8 "$out.rust" U+00AD "$u" utf-8 "$out.utf8" U+00AD
    target "wall, Rust crate / zarnet-utf8, $name" "$(ratio "$work/times.$corpus" rust zarnet_utf8)" x ">=20"
    echo "  CPU, Rust crate / zarnet-utf8: $(ratio "$work/times.$corpus" rust zarnet_utf8 5)"
  fi
  memory "$name" "$(field "$work/times.$corpus" zarnet_utf8 4)"
done

# Part 2: MB/s with the sets' own minima and exceptions, Greek and Hindi
# against Russian.
echo "== Greek, Hindi and Russian with their own sets: $runs rounds; bytes beyond ASCII: el $(beyond_ascii \
  "$work/iso-el.txt")%, hi $(beyond_ascii "$work/iso-hi.txt")%, ru $(beyond_ascii "$ru.utf8")%, ru_iso $(beyond_ascii \
  "$work/iso-ru.txt")% =="
python3 bench/timed_runs.py "$runs" \
  el "$utf8 el $work/iso-el.txt $work/out.el" \
  hi "$utf8 hi $work/iso-hi.txt $work/out.hi" \
  ru "$utf8 ru $ru.utf8 $work/out.ru-own" \
  ru_iso "$utf8 ru $work/iso-ru.txt $work/out.ru-iso" >"$work/times.scripts"
show "$work/times.scripts" el:"$(size "$work/iso-el.txt")" hi:"$(size "$work/iso-hi.txt")" ru:"$(size "$ru.utf8")" \
  ru_iso:"$(size "$work/iso-ru.txt")"
# MB/s of A over MB/s of B: bytes over bytes, times B's wall over A's
speed() {
  awk -v a="$(size "$1")" -v b="$(size "$2")" -v r="$(ratio "$work/times.scripts" "$4" "$3")" \
    'BEGIN { print a / b * r }'
}
target "MB/s, Greek / Russian manual pages" "$(speed "$work/iso-el.txt" "$ru.utf8" el ru)" x ">=0.5"
target "MB/s, Hindi / Russian manual pages" "$(speed "$work/iso-hi.txt" "$ru.utf8" hi ru)" x ">=0.5"
target "MB/s, Greek / Russian iso-codes" "$(speed "$work/iso-el.txt" "$work/iso-ru.txt" el ru_iso)" x ">=0.5"
target "MB/s, Hindi / Russian iso-codes" "$(speed "$work/iso-hi.txt" "$work/iso-ru.txt" hi ru_iso)" x ">=0.5"
memory "Greek iso-codes" "$(field "$work/times.scripts" el 4)"
memory "Hindi iso-codes" "$(field "$work/times.scripts" hi 4)"
memory "Russian x10, own set" "$(field "$work/times.scripts" ru 4)"

# Part 3: a thousand files in place.
echo "== 1000 German files of $(( $(cat "$work"/pristine/b/*.txt | wc -c) / 1000 )) bytes on average, $runs rounds =="
python3 bench/timed_runs.py --before "cp -r $work/pristine/. $files/" "$runs" \
  zarnet_x1000 "xargs -a $work/files.list -I{} $zarnet {} {} patterns/de-1996.pat $(cat $data/de-1996.small) \
$(cat $data/de-1996.large)" \
  utf8_in_place "$utf8 --in-place de ${utf8_files[*]}" >"$work/times.files"
show "$work/times.files" zarnet_x1000:"$(cat "$work"/pristine/b/*.txt | wc -c)" \
  utf8_in_place:"$(cat "$work"/pristine/u/*.txt | wc -c)"
# Once more on fresh copies, for the outputs.
cp -r "$work/pristine/." "$files/"
xargs -a "$work/files.list" -I{} $zarnet {} {} patterns/de-1996.pat "$(cat $data/de-1996.small)" \
  "$(cat $data/de-1996.large)"
$utf8 --in-place de "${utf8_files[@]}"
cat "$work"/pristine/b/*.txt >"$work/files.b" && cat "$work"/pristine/u/*.txt >"$work/files.u"
cat "$files"/b/*.txt >"$work/files.b.out" && cat "$files"/u/*.txt >"$work/files.u.out"
check "zarnet-utf8 --in-place = zarnet, 1000 files" "$work/files.b" latin-1 "$work/files.b.out" U+00AC \
  "$work/files.u" utf-8 "$work/files.u.out" U+00AD
target "wall, 1000 zarnet runs / one --in-place run" "$(ratio "$work/times.files" zarnet_x1000 utf8_in_place)" x \
  ">=3"
memory "--in-place, 1000 files" "$(field "$work/times.files" utf8_in_place 4)"

# Part 4: peak memory with every set, on the German text.
echo "== peak memory of zarnet-utf8 with each set on the German text ($(size "$de.utf8") bytes) =="
worst=0 worst_set=
for set in $("$utf8" --list | cut -f1); do
  /usr/bin/time -f %M -o "$work/peak" "$utf8" "$set" "$de.utf8" "$work/out.set"
  peak=$(tail -n 1 "$work/peak")
  if [ "$peak" -gt "$worst" ]; then worst=$peak worst_set=$set; fi
done
echo "  the most: $worst KiB ($worst_set), over $("$utf8" --list | wc -l) sets"
memory "German x3, most of all sets ($worst_set)" "$worst"

echo "== targets =="
awk -F'\t' 'NR == FNR { if (length($1) > w) w = length($1); if (length($2) > f) f = length($2); next }
  FNR == 1 { printf "%-" w "s  %-" f "s  %-12s %s\n", "target", "figure", "limit", "met" }
  { printf "%-" w "s  %-" f "s  %-12s %s\n", $1, $2, $3, $4 }' "$table" "$table"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r)," \
  "$(df -T "$work" | awk 'NR == 2 { print $2 }'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
