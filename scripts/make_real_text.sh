#!/usr/bin/env bash
# Rebuilds tests/data/real/: real text in English, German and Russian, the
# alphabets of the three pattern sets, and the expected marked output.
#
#   en.txt  de.txt  ru.txt        the start of the manual page boot(7)
#                                 (English original, German and Russian
#                                 translations), plain text, in ASCII,
#                                 ISO-8859-1 and Windows-1251
#   <set>.small  <set>.large      the alphabets, raw bytes, no newline
#   en.marked de.marked ru.marked the texts with 0xAC after every letter
#                                 where a word may be broken, computed by
#                                 scripts/reference_marks.py from patterns/
#
# The manual pages are taken from Debian packages fetched with
# "apt-get download" (pinned versions below) and unpacked with
# "dpkg-deb -x" into a temporary directory; nothing is installed.  They are
# rendered with groff (no hyphenation, 78 columns, no bold/underline), the
# few characters that the 8-bit set lacks are replaced as listed in
# SOURCES.md, and the rest is converted strictly: the script fails if a
# character would be lost.  The text is cut after the last empty line that
# keeps it within MAX_BYTES.  Running the script again gives byte-identical
# files (with the same groff; Debian 12 has groff 1.22.4).
set -euo pipefail
export LC_ALL=C

MANPAGES_VERSION=6.03-2
MANPAGES_DE_VERSION=4.18.1-1
MANPAGES_RU_VERSION=4.18.1-1
PAGE=man7/boot.7
MAX_BYTES=8000

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/tests/data/real"
mkdir -p "$out"

die() { echo "make_real_text.sh: $*" >&2; exit 1; }

for f in en-us de-1996 ru; do
    [ -f "$root/patterns/$f.pat" ] || die "patterns/$f.pat missing (run scripts/make_patterns.sh)"
done
command -v groff >/dev/null || die "groff is needed (apt-get install groff-base)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/debs" "$work/x"
chmod 777 "$work/debs"

fetch() {
    local pkg=$1 ver=$2 deb
    (cd "$work/debs" && apt-get download -q=2 "$pkg=$ver" >&2)
    deb=$(ls "$work/debs/${pkg}_"*.deb)
    dpkg-deb -x "$deb" "$work/x"
}
fetch manpages "$MANPAGES_VERSION"
fetch manpages-de "$MANPAGES_DE_VERSION"
fetch manpages-ru "$MANPAGES_RU_VERSION"

# render LANGDIR: the page as UTF-8 plain text ("." for English).  -P-cbou: no escape
# sequences and no overstriking, so no col(1) pass is needed.
render() {
    local src="$work/x/usr/share/man/$1/$PAGE.gz"
    [ -f "$src" ] || die "missing $src"
    gzip -dc "$src" \
        | groff -Kutf8 -Tutf8 -mandoc -rHY=0 -rLL=78n -P-cbou 2>"$work/groff.err"
    if [ -s "$work/groff.err" ]; then
        cat "$work/groff.err" >&2
        die "groff complained about $src"
    fi
}

# cut MAX: keeps whole paragraphs, at most MAX bytes; ends with a newline.
cut_text() {
    awk -v max="$1" '
    { line[NR] = $0; size += length($0) + 1; total[NR] = size }
    END {
        keep = 0
        for (i = 1; i <= NR; i++)
            if (total[i] <= max && line[i] == "") keep = i - 1
        if (total[NR] <= max) keep = NR
        for (i = 1; i <= keep; i++) print line[i]
    }'
}

# make_text NAME LANGDIR CHARSET
make_text() {
    local name=$1 lang=$2 cs=$3
    render "$lang" \
        | sed -e 's/\xe2\x9f\xa8/</g' -e 's/\xe2\x9f\xa9/>/g' \
        > "$work/$name.utf8"
    iconv -f UTF-8 -t "$cs" < "$work/$name.utf8" > "$work/$name.8bit" \
        || die "$name: a character has no equivalent in $cs"
    iconv -f "$cs" -t UTF-8 < "$work/$name.8bit" | cmp -s - "$work/$name.utf8" \
        || die "$name: conversion to $cs does not round-trip"
    cut_text "$MAX_BYTES" < "$work/$name.8bit" > "$work/$name.txt"
    [ -s "$work/$name.txt" ] || die "$name: empty text"
    # plain text only: no control bytes but newline, and no 0xAC, which is
    # the mark written by zarnet
    if grep -q $'[\x01-\x09\x0b-\x1f\x7f\xac]' "$work/$name.txt"; then
        die "$name: unexpected control byte or 0xAC in the text"
    fi
    tr -d '\000' < "$work/$name.txt" | cmp -s - "$work/$name.txt" || die "$name: NUL byte"
    cp "$work/$name.txt" "$out/$name.txt"
}
make_text en . ASCII
make_text de de ISO-8859-1
make_text ru ru CP1251

# Alphabets.  de-1996: a-z, then the ISO-8859-1 lower-case letters used in
# the patterns (in code order), then sharp s, which has no capital in
# ISO-8859-1, so the large alphabet is one byte shorter.  ru: a..ya in
# Windows-1251 (0xE0-0xFF) then yo (0xB8); capitals 0xC0-0xDF then 0xA8.
printf 'abcdefghijklmnopqrstuvwxyz' > "$out/en-us.small"
printf 'ABCDEFGHIJKLMNOPQRSTUVWXYZ' > "$out/en-us.large"
printf 'abcdefghijklmnopqrstuvwxyz\xe0\xe1\xe2\xe4\xe7\xe8\xe9\xea\xeb\xed\xef\xf1\xf3\xf4\xf6\xfc\xdf' \
    > "$out/de-1996.small"
printf 'ABCDEFGHIJKLMNOPQRSTUVWXYZ\xc0\xc1\xc2\xc4\xc7\xc8\xc9\xca\xcb\xcd\xcf\xd1\xd3\xd4\xd6\xdc' \
    > "$out/de-1996.large"
{
    printf "$(printf '\\x%02x' $(seq 224 255))"
    printf '\xb8'
} > "$out/ru.small"
{
    printf "$(printf '\\x%02x' $(seq 192 223))"
    printf '\xa8'
} > "$out/ru.large"

# Every letter used by a pattern must be in the small alphabet, except "."
# (the word boundary) and, for ru, "-" (see patterns/README.md).
python3 - "$root/patterns" "$out" <<'PY'
import sys
pat_dir, out = sys.argv[1], sys.argv[2]
for name, extra in (("en-us", b"."), ("de-1996", b"."), ("ru", b".-")):
    small = open("%s/%s.small" % (out, name), "rb").read()
    large = open("%s/%s.large" % (out, name), "rb").read()
    assert len(set(small)) == len(small) and len(set(large)) == len(large), name
    assert not set(small) & set(large), name
    used = set()
    for line in open("%s/%s.pat" % (pat_dir, name), "rb").read().split(b"\n"):
        if line and not line.startswith(b"%"):
            used |= {b for b in line if not 0x30 <= b <= 0x39}
    missing = used - set(small) - set(extra)
    if missing:
        sys.exit("%s: pattern letters outside the alphabet: %r"
                 % (name, bytes(sorted(missing))))
    unused = set(small) - used
    if unused:
        sys.exit("%s: alphabet letters no pattern uses: %r"
                 % (name, bytes(sorted(unused))))
PY

for pair in en:en-us de:de-1996 ru:ru; do
    name=${pair%%:*} set=${pair#*:}
    python3 "$root/scripts/reference_marks.py" --stats "$root/patterns/$set.pat" \
        "$out/$set.small" "$out/$set.large" "$out/$name.txt" "$out/$name.marked" \
        2> "$work/stats"
    echo "make_real_text.sh: $name.txt $(wc -c < "$out/$name.txt") bytes, $(cat "$work/stats")"
done
