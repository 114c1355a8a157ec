#!/usr/bin/env bash
# Rebuilds tests/data/utf8/: real words in the language of every set of
# patterns/utf8/, and TeX's hyphenation of them.
#
#   <set>.words   up to 400 words a line, NFC, cut from translations that
#                 Debian ships (see scripts/make_utf8_words.py for the
#                 sources and the choice of words)
#   <set>.tex     the same words, one a line, with "-" where LuaTeX breaks
#                 them (scripts/tex_breaks.sh with the set's patterns,
#                 exceptions and minima from patterns/utf8/sets.tsv)
#   SOURCES.md    where each set's words come from, and the sets without any
#
# The sources are fetched with "apt-get download" (pinned versions below)
# and unpacked with "dpkg-deb -x" into a temporary directory; nothing is
# installed.  TeX's part needs luatex (texlive-binaries) and UnicodeData.txt
# (unicode-data) installed, as scripts/tex_breaks.sh says.  Running the
# script again gives byte-identical files.
set -euo pipefail
export LC_ALL=C

ISO_CODES_VERSION=4.15.0-1
CLDR_VERSION=41-0.1                 # unicode-cldr-core
TEXLIVE_LATEX_BASE_VERSION=2022.20230122-3
TEXLIVE_LANG_CHINESE_VERSION=2022.20230122-1
UNICODE_DATA_VERSION=15.0.0-1

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/tests/data/utf8"
sets="$root/patterns/utf8"

die() { echo "make_utf8_words.sh: $*" >&2; exit 1; }
command -v python3 >/dev/null || die "python3 is needed (apt-get install python3)"
[ -f "$sets/sets.tsv" ] || die "patterns/utf8/sets.tsv missing (run scripts/make_utf8_sets.sh)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"   # apt's download sandbox user must be able to write here
mkdir "$work/debs" "$work/x" "$work/out"
chmod 777 "$work/debs"

fetch() {
    (cd "$work/debs" && apt-get download -q=2 "$1=$2" >&2) \
        || die "cannot download $1=$2 (run apt-get update)"
}
fetch iso-codes "$ISO_CODES_VERSION"
fetch unicode-cldr-core "$CLDR_VERSION"
fetch texlive-latex-base "$TEXLIVE_LATEX_BASE_VERSION"
fetch texlive-lang-chinese "$TEXLIVE_LANG_CHINESE_VERSION"
fetch unicode-data "$UNICODE_DATA_VERSION"

dpkg-deb -x "$work/debs"/iso-codes_*.deb "$work/x"
dpkg-deb -x "$work/debs"/unicode-cldr-core_*.deb "$work/x"
dpkg-deb -x "$work/debs"/unicode-data_*.deb "$work/x"
dpkg-deb --fsys-tarfile "$work/debs"/texlive-latex-base_*.deb \
    | tar -x -C "$work/x" --wildcards './*/tex/generic/babel/locale/*'
dpkg-deb --fsys-tarfile "$work/debs"/texlive-lang-chinese_*.deb \
    | tar -x -C "$work/x" --wildcards './*/tex/latex/xpinyin/xpinyin-database.def'

versions=()
for deb in "$work/debs"/*.deb; do
    versions+=("$(dpkg-deb -f "$deb" Package)=$(dpkg-deb -f "$deb" Version)")
done
python3 "$root/scripts/make_utf8_words.py" "$work/x" "$sets" "$work/out" "${versions[@]}"

# TeX's breaks, with the same letters (the Unicode data of the pinned
# package) as the word lists.
tail -n +2 "$sets/sets.tsv" | while IFS=$'\t' read -r name _ left right _; do
    [ -s "$work/out/$name.words" ] || continue
    hyp=-
    [ -f "$sets/$name.hyp" ] && hyp="$sets/$name.hyp"
    UNICODE_DATA="$work/x/usr/share/unicode/UnicodeData.txt" \
        "$root/scripts/tex_breaks.sh" "$sets/$name.pat" "$hyp" "$left" "$right" \
        < "$work/out/$name.words" > "$work/out/$name.tex" \
        || die "TeX failed on $name"
    [ "$(wc -l < "$work/out/$name.tex")" -eq "$(wc -l < "$work/out/$name.words")" ] \
        || die "$name.tex and $name.words differ in length"
    tr -d -- - < "$work/out/$name.tex" | cmp -s - "$work/out/$name.words" \
        || die "$name.tex is not $name.words with marks added"
done

rm -rf "$out"
mkdir -p "$out"
cp "$work/out"/* "$out/"
echo "make_utf8_words.sh: wrote $(ls "$out" | wc -l) files to tests/data/utf8/"
