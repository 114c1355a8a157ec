#!/usr/bin/env bash
# Rebuilds every file of patterns/ but README.md's prose from the
# hyphenation patterns shipped in Debian's TeX Live packages: en-us.pat,
# de-1996.pat and ru.pat below, and the other hyph-utf8 sets, the alphabets
# of all sets, the file "charsets" and the table of sets in README.md with
# scripts/make_sets.py (which needs python3 and iconv), and then the
# package's copyright file packaging/copyright from the sets' headers with
# scripts/make_copyright.py.
#
# Every run starts from scratch: the packages are fetched with
# "apt-get download" (pinned versions below) and unpacked with "dpkg-deb -x"
# into a temporary directory; nothing is installed.  The result does not
# depend on the date, the locale or earlier runs, so running the script again
# gives byte-identical files.
#
# The files are read by zarnet in pieces of at most 79 bytes, and a piece
# that does not start with "%" is taken as a pattern, so every line written
# here (comments included) must be at most 78 bytes long before its newline.
# The script stops with an error if any line is longer, if a pattern has an
# unexpected byte, or if the conversion to the 8-bit encoding would lose or
# change a character.
set -euo pipefail
export LC_ALL=C

TEXLIVE_BASE_VERSION=2022.20230122-3
TEXLIVE_LANG_GERMAN_VERSION=2022.20230122-1
TEXLIVE_LANG_CYRILLIC_VERSION=2022.20230122-1
# The other language packages with hyph-utf8 sets, all of this version.
TEXLIVE_LANG_VERSION=2022.20230122-1
TEXLIVE_LANG_PACKAGES="czechslovak english european french italian other
    polish portuguese spanish"

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/patterns"
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"   # apt's download sandbox user must be able to write here
mkdir "$work/debs" "$work/x"
chmod 777 "$work/debs"

die() { echo "make_patterns.sh: $*" >&2; exit 1; }

# fetch PACKAGE VERSION: downloads and unpacks one package into $work/x and
# prints the version recorded inside the .deb.
fetch() {
    local pkg=$1 ver=$2 deb
    (cd "$work/debs" && apt-get download -q=2 "$pkg=$ver" >&2)
    deb=$(ls "$work/debs/${pkg}_"*.deb)
    dpkg-deb -x "$deb" "$work/x"
    dpkg-deb -f "$deb" Version
}

base_ver=$(fetch texlive-base "$TEXLIVE_BASE_VERSION")
german_ver=$(fetch texlive-lang-german "$TEXLIVE_LANG_GERMAN_VERSION")
cyrillic_ver=$(fetch texlive-lang-cyrillic "$TEXLIVE_LANG_CYRILLIC_VERSION")

texmf=usr/share/texlive/texmf-dist
knuth="$texmf/tex/generic/hyphen/hyphen.tex"
de_txt="$texmf/tex/generic/hyph-utf8/patterns/txt/hyph-de-1996.pat.txt"
de_tex="$texmf/tex/generic/hyph-utf8/patterns/tex/hyph-de-1996.tex"
ru_txt="$texmf/tex/generic/hyph-utf8/patterns/txt/hyph-ru.pat.txt"
ru_tex="$texmf/tex/generic/hyph-utf8/patterns/tex/hyph-ru.tex"
for f in "$knuth" "$de_txt" "$de_tex" "$ru_txt" "$ru_tex"; do
    [ -f "$work/x/$f" ] || die "missing $f in the unpacked packages"
done

# to8bit CHARSET: strict UTF-8 -> CHARSET conversion of stdin.  iconv fails
# on a character that has no equivalent; converting back and comparing
# catches any other change.
to8bit() {
    local cs=$1
    cat > "$work/conv.in"
    iconv -f UTF-8 -t "$cs" < "$work/conv.in" > "$work/conv.out" \
        || die "cannot convert to $cs without loss"
    iconv -f "$cs" -t UTF-8 < "$work/conv.out" | cmp -s - "$work/conv.in" \
        || die "conversion to $cs does not round-trip"
    cat "$work/conv.out"
}

# texheader FILE: the leading comment block of a hyph-utf8 .tex file, up to
# the first line that is not a comment; "% =====" rules become "%", runs of
# "%" lines are squeezed and a trailing one dropped, and typographic double
# quotes are made plain (ISO-8859-1 has none).
texheader() {
    awk '!/^%/ { exit }
         /^% *====*$/ { $0 = "%" }
         $0 == "%" { blank = 1; next }
         { if (blank && printed) print "%"; blank = 0; printed = 1; print }' "$1" \
        | sed -e 's/\xe2\x80\x9c/"/g' -e 's/\xe2\x80\x9d/"/g'
}

# wrap78: wraps comment lines longer than 78 bytes at spaces (a URL
# without spaces after one of "/?;&"); the continuation lines start with "%"
# and the original indentation plus two spaces.  Works on bytes
# (LC_ALL=C), so it must run after the conversion to the 8-bit encoding.
wrap78() {
    awk '
    {
        line = $0
        if (length(line) <= 78) { print line; next }
        if (substr(line, 1, 1) != "%") { bad = 1; print "unwrappable: " line > "/dev/stderr"; exit 1 }
        match(line, /^%[ ]*/)
        lead = RLENGTH            # "%" and the indentation of this line
        indent = substr(line, 2, lead - 1) "  "
        while (length(line) > 78) {
            cut = 0
            for (i = 79; i > lead + 1; i--)
                if (substr(line, i, 1) == " ") { cut = i; break }
            if (cut == 0) {
                # no space: a long URL; break after one of its delimiters
                for (i = 78; i > lead + 1; i--)
                    if (index("/?;&", substr(line, i, 1))) { cut = i + 1; break }
                if (cut == 0) { print "unwrappable: " line > "/dev/stderr"; exit 1 }
                print substr(line, 1, cut - 1)
                line = "%" indent substr(line, cut)
                lead = 1 + length(indent)
                continue
            }
            head = substr(line, 1, cut - 1)
            sub(/ +$/, "", head)
            print head
            rest = substr(line, cut + 1)
            sub(/^ +/, "", rest)
            line = "%" indent rest
            lead = 1 + length(indent)
        }
        print line
    }'
}

# check_pat FILE EXPECTED_PATTERNS: every line at most 78 bytes, comment
# lines first, then exactly EXPECTED_PATTERNS pattern lines made of bytes
# above 0x20 only, none starting with "%".
check_pat() {
    local f=$1 want=$2
    awk -v want="$want" '
    length($0) > 78 { printf "%s:%d: line of %d bytes\n", FILENAME, NR, length($0) > "/dev/stderr"; bad = 1 }
    /^%/ { if (n > 0) { printf "%s:%d: comment after patterns\n", FILENAME, NR > "/dev/stderr"; bad = 1 }; next }
    /^$/ || /[\001- ]/ || /\177/ { printf "%s:%d: empty line or control/space byte\n", FILENAME, NR > "/dev/stderr"; bad = 1 }
    { n++ }
    END {
        if (n != want) { printf "%s: %d patterns, expected %d\n", FILENAME, n, want > "/dev/stderr"; bad = 1 }
        exit bad
    }' "$f" || die "$f failed its checks"
    [ -z "$(tail -c 1 "$f")" ] || die "$f does not end with a newline"
    if grep -q $'\r' "$f"; then die "$f contains CR bytes"; fi
}

# ---------------------------------------------------------------- en-us
{
    # Knuth's patterns: the lines between "\patterns{" and the closing "}".
    awk '/^\\patterns\{/ { on = 1; next } on && /^\}/ { exit } on { print }' \
        "$work/x/$knuth" | sed -e 's/[ \t]*$//' > "$work/en.pats"
    [ -s "$work/en.pats" ] || die "no patterns found in hyphen.tex"
    if grep -qv '^[a-z.0-9]*[a-z][a-z.0-9]*$' "$work/en.pats"; then
        die "unexpected pattern line in hyphen.tex"
    fi
}
en_count=$(wc -l < "$work/en.pats")
{
    cat <<HDR
% en-us.pat - hyphenation patterns for US English (ASCII)
%
% These are Donald E. Knuth's original hyphenation patterns for plain TeX
% (Liang's patterns as published with TeX), taken from the \\patterns group
% of the file hyphen.tex.  The exception list of that file (its
% \\hyphenation group) is not included.  The notice at the top of
% hyphen.tex reads:
%
HDR
    awk 'NR <= 4 && /^%/ { print "%   " substr($0, 3) }' "$work/x/$knuth"
    cat <<HDR
%
% This file is such a modified version and is therefore not named
% hyphen.tex.
%
% Source: Debian package texlive-base, version $base_ver,
%   file $knuth
% Conversion: the $en_count lines between "\\patterns{" and its closing "}"
%   are copied unchanged (ASCII), one pattern per line; the comment lines
%   were added.  Made by scripts/make_patterns.sh of zarnet.
HDR
    cat "$work/en.pats"
} | wrap78 > "$work/en-us.pat"
check_pat "$work/en-us.pat" "$en_count"

# ---------------------------------------------------------------- de-1996
de_count=$(grep -c . "$work/x/$de_txt")
[ "$de_count" -eq "$(wc -l < "$work/x/$de_txt")" ] || die "empty line in $de_txt"
{
    cat <<HDR
% de-1996.pat - hyphenation patterns for German, reformed spelling
% (ISO-8859-1)
%
% The lines below up to the source note are the header of hyph-de-1996.tex
% (the hyph-utf8 package), carrying the authors, copyright and licence of
% these patterns.  Long lines have been wrapped and typographic quotes made
% plain.
%
HDR
    texheader "$work/x/$de_tex"
    cat <<HDR
%
% Source: Debian package texlive-lang-german, version $german_ver,
%   patterns from file $de_txt
%   header from file $de_tex
%   ($texmf)
% Conversion: the $de_count patterns are copied in their original order,
%   converted from UTF-8 to ISO-8859-1 (no character lost); the comment
%   lines were added.  Made by scripts/make_patterns.sh of zarnet.
HDR
    cat "$work/x/$de_txt"
} | sed -e "s|$texmf/tex/generic/hyph-utf8/|TEXMF/tex/generic/hyph-utf8/|" \
        -e "s|^%   (usr/share|%   (TEXMF = usr/share|" \
  | to8bit ISO-8859-1 | wrap78 > "$work/de-1996.pat"
check_pat "$work/de-1996.pat" "$de_count"

# ---------------------------------------------------------------- ru
ru_count=$(grep -c . "$work/x/$ru_txt")
[ "$ru_count" -eq "$(wc -l < "$work/x/$ru_txt")" ] || die "empty line in $ru_txt"
{
    cat <<HDR
% ru.pat - hyphenation patterns for Russian (Windows-1251)
%
% The lines below up to the source note are the header of hyph-ru.tex
% (the hyph-utf8 package), carrying the author, copyright and licence of
% these patterns.  Long lines have been wrapped.
%
HDR
    texheader "$work/x/$ru_tex"
    cat <<HDR
%
% This file is a modified version of hyph-ru.pat.txt of the hyph-utf8
% package, distributed under the LaTeX Project Public License (LPPL),
% version 1.2 or later (https://latex-project.org/lppl/).  Changes: the
% patterns were converted from UTF-8 to Windows-1251 and this comment
% block was added; the patterns themselves and their order are unchanged.
% The patterns that contain "-" were written for TeX, where the hyphen is
% treated as a letter; they only take effect if "-" is one of the letters.
%
% Source: Debian package texlive-lang-cyrillic, version $cyrillic_ver,
%   patterns from file $ru_txt
%   header from file $ru_tex
%   ($texmf)
% Conversion: the $ru_count patterns are copied in their original order,
%   converted from UTF-8 to Windows-1251 (no character lost); the comment
%   lines were added.  Made by scripts/make_patterns.sh of zarnet.
HDR
    cat "$work/x/$ru_txt"
} | sed -e "s|$texmf/tex/generic/hyph-utf8/|TEXMF/tex/generic/hyph-utf8/|" \
        -e "s|^%   (usr/share|%   (TEXMF = usr/share|" \
  | to8bit CP1251 | wrap78 > "$work/ru.pat"
check_pat "$work/ru.pat" "$ru_count"

echo "make_patterns.sh: made en-us.pat ($en_count patterns)," \
     "de-1996.pat ($de_count), ru.pat ($ru_count)"

# ---------------------------------------------------------------- the others
# Each language package's hyph-utf8 files are unpacked into a folder of its
# own, so that make_sets.py can name the package each set comes from.
command -v python3 >/dev/null || die "python3 is needed (apt-get install python3)"
versions=("texlive-lang-german=$german_ver" "texlive-lang-cyrillic=$cyrillic_ver")
for lang in $TEXLIVE_LANG_PACKAGES; do
    pkg=texlive-lang-$lang
    (cd "$work/debs" && apt-get download -q=2 "$pkg=$TEXLIVE_LANG_VERSION" >&2)
done
for deb in "$work/debs"/texlive-lang-*.deb; do
    pkg=$(dpkg-deb -f "$deb" Package)
    mkdir -p "$work/sets/$pkg"
    dpkg-deb --fsys-tarfile "$deb" \
        | tar -x -C "$work/sets/$pkg" --wildcards './*/hyph-utf8/patterns/*'
    case "$pkg" in
        texlive-lang-german|texlive-lang-cyrillic) ;;
        *) versions+=("$pkg=$(dpkg-deb -f "$deb" Version)") ;;
    esac
done
# make_sets.py works in a folder of its own, which replaces the files in
# patterns/ only once everything has been made and checked.
mkdir "$work/out"
cp "$work/en-us.pat" "$work/de-1996.pat" "$work/ru.pat" "$out/README.md" "$work/out/"
python3 "$root/scripts/make_sets.py" "$work/sets" "$work/out" "${versions[@]}"
cp "$work/out"/* "$out/"

# The copyright file of the Debian package, from the headers just written.
python3 "$root/scripts/make_copyright.py"
