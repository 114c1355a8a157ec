#!/usr/bin/env bash
# Marks a text in UTF-8 with soft hyphens (U+00AD) where its words may be
# broken, for the web and e-books:
#
#   zarnet-utf8.sh SET IN OUT
#
# SET is a pattern set (fr, de-1996, ru, ...: the <set>.pat files), IN and
# OUT are files ("-" for standard input or output).  The text is converted
# with iconv to the set's code page (listed in the file "charsets" beside the
# sets), marked by zarnet with the set's alphabets, and the marks (0xAC) are
# turned into U+00AD on the way back to UTF-8.  A mark right after a "-" is
# dropped: a line may break after a hyphen anyway, and a soft hyphen there
# would print a second one.  For Romanian, whose code page has ş ţ
# (cedilla) in place of ș ț (comma below), the text is converted to the
# first and back.
#
# The text is refused, with one line on standard error, exit code 1 and
# nothing written, when it is not UTF-8, holds a NUL, a character the code
# page lacks, the character ¬ (U+00AC: it sits at 0xAC, the byte zarnet
# marks with, so it would come back as a hyphen), or both ş ţ and ș ț
# (Romanian only: one form could not be told from the other afterwards).
#
# The sets are taken from $ZARNET_PATTERNS, else from ../patterns or
# ../share/zarnet/patterns beside this script; the program from $ZARNET,
# else zarnet beside this script, else zarnet on the PATH.
set -euo pipefail
export LC_ALL=C

me=zarnet-utf8
die() { echo "$me: $*" >&2; exit 1; }

[ $# -eq 3 ] || { echo "Usage: $me <set> <in_file> <out_file>" >&2; exit 2; }
set_name=$1 in=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)

patterns=${ZARNET_PATTERNS:-}
if [ -z "$patterns" ]; then
    for d in "$here/../patterns" "$here/../share/zarnet/patterns"; do
        if [ -f "$d/charsets" ]; then patterns=$d; break; fi
    done
fi
[ -n "$patterns" ] && [ -f "$patterns/charsets" ] \
    || die "no pattern sets found (set ZARNET_PATTERNS)"
program=${ZARNET:-}
if [ -z "$program" ]; then
    if [ -x "$here/zarnet" ]; then program=$here/zarnet
    else program=$(command -v zarnet) || die "no zarnet program found (set ZARNET)"
    fi
fi
case "$set_name" in
    */*|'') die "$set_name: not a set name" ;;
esac
charset=$(awk -v s="$set_name" '$1 == s { print $2 }' "$patterns/charsets")
[ -n "$charset" ] || die "$set_name: no such set in $patterns"
for f in "$set_name.pat" "$set_name.small" "$set_name.large"; do
    [ -f "$patterns/$f" ] || die "$patterns/$f: missing"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$in" = - ]; then
    cat > "$work/in" || die "standard input: cannot be read"
    name="standard input"
else
    [ -f "$in" ] || [ -p "$in" ] || die "$in: no such file"
    cat < "$in" > "$work/in" || die "$in: cannot be read"
    name=$in
fi

# Refusals, before anything is written.
iconv -f UTF-8 -t UTF-8 < "$work/in" > /dev/null 2>&1 \
    || die "$name: not UTF-8 text"
if [ "$(tr -d '\000' < "$work/in" | wc -c)" -ne "$(wc -c < "$work/in")" ]; then
    die "$name: holds a NUL byte"
fi
cp "$work/in" "$work/text"
comma=0
if [ "$set_name" = ro ]; then
    # ș ț Ș Ț (comma below) to ş ţ Ş Ţ (cedilla)
    if grep -q $'\xc8[\x98-\x9b]' "$work/text"; then comma=1; fi
    if [ "$comma" = 1 ] && grep -q $'\xc5[\x9e\x9f\xa2\xa3]' "$work/text"; then
        die "$name: holds both ş ţ (cedilla) and ș ț (comma below); Windows-1250 has only the first"
    fi
    sed -e 's/\xc8\x98/\xc5\x9e/g' -e 's/\xc8\x99/\xc5\x9f/g' \
        -e 's/\xc8\x9a/\xc5\xa2/g' -e 's/\xc8\x9b/\xc5\xa3/g' "$work/in" > "$work/text"
fi
if ! iconv -f UTF-8 -t "$charset" < "$work/text" > "$work/8bit" 2> "$work/err"; then
    pos=$(sed -n 's/.*illegal input sequence at position \([0-9]*\).*/\1/p' "$work/err")
    [ -n "$pos" ] || die "$name: iconv: $(head -n 1 "$work/err")"
    line=$(( $(head -c "$pos" "$work/text" | tr -cd '\n' | wc -c) + 1 ))
    char=$(tail -c +"$((pos + 1))" "$work/text" | head -c 4 | iconv -f UTF-8 -t UTF-32BE -c \
           | head -c 4 | od -An -tx1 | tr -d ' \n' | sed 's/^0*//')
    die "$name: line $line: the character U+$(printf '%04X' "$((16#${char:-0}))") has no place in $charset"
fi
if grep -q $'\xac' "$work/8bit"; then
    line=$(grep -n $'\xac' "$work/8bit" | head -n 1 | cut -d: -f1)
    die "$name: line $line: holds ¬ (U+00AC), which sits at 0xAC, the byte zarnet marks with"
fi

"$program" "$work/8bit" "$work/marked" "$patterns/$set_name.pat" \
    "$(cat "$patterns/$set_name.small")" "$(cat "$patterns/$set_name.large")" \
    || die "zarnet failed on $name"

# Marks to soft hyphens; none right after a hyphen.
sed -e 's/-\xac/-/g' "$work/marked" | iconv -f "$charset" -t UTF-8 \
    | sed -e 's/\xc2\xac/\xc2\xad/g' > "$work/utf8" || die "$name: cannot convert back"
if [ "$comma" = 1 ]; then
    sed -e 's/\xc5\x9e/\xc8\x98/g' -e 's/\xc5\x9f/\xc8\x99/g' \
        -e 's/\xc5\xa2/\xc8\x9a/g' -e 's/\xc5\xa3/\xc8\x9b/g' "$work/utf8" > "$work/utf8.ro"
    mv "$work/utf8.ro" "$work/utf8"
fi
# Without its soft hyphens the result must be the text as it came.
sed -e 's/\xc2\xad//g' "$work/utf8" > "$work/check.out"
sed -e 's/\xc2\xad//g' "$work/in" > "$work/check.in"
cmp -s "$work/check.in" "$work/check.out" || die "$name: the marked text does not match the input"

if [ "$out" = - ]; then
    cat "$work/utf8"
else
    dir=$(dirname "$out")
    tmp=$(mktemp "$dir/.zarnet-utf8.XXXXXX" 2>/dev/null) || die "$out: cannot write in $dir"
    chmod "$(printf '%o' $(( 0666 & ~$(umask) )))" "$tmp"
    if cat "$work/utf8" > "$tmp" && mv -f "$tmp" "$out"; then :; else
        rm -f "$tmp"
        die "$out: cannot be written"
    fi
fi
