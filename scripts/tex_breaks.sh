#!/usr/bin/env bash
# Hyphenates words with TeX (LuaTeX's own hyphenation routine), for
# comparison with zarnet-utf8:
#
#   tex_breaks.sh [--mark=TEXT] PATFILE HYPFILE LEFT RIGHT < words > marked
#
# PATFILE and HYPFILE are a pattern set and its exceptions in the form of
# patterns/utf8/ ("%" comment lines, then one pattern or word a line);
# HYPFILE is "-" for none.  LEFT and RIGHT are the minima.  Every input line
# is written back with TEXT (default "-") at each break TeX finds in its
# words; see scripts/tex_reference/tex_breaks.lua for what a word and a
# letter are.  Feed text in NFC: TeX does not normalise.  On failure it
# says why on standard error, writes nothing and exits with status 1.
#
# LuaTeX runs as INITEX without a format, with the Lua code run at once;
# nothing is read from or written to a TeX tree.  Needs the Debian packages
# texlive-binaries (luatex) and unicode-data (UnicodeData.txt, for the
# capitals; $UNICODE_DATA names another copy).
set -euo pipefail

me=tex_breaks.sh
die() { echo "$me: $*" >&2; exit 1; }
usage() { echo "usage: $me [--mark=TEXT] PATFILE HYPFILE LEFT RIGHT < words" >&2; exit 2; }

mark=-
case "${1:-}" in
    --mark=*) mark=${1#--mark=}; shift ;;
esac
[ $# -eq 4 ] || usage
pat=$1 hyp=$2 left=$3 right=$4
[[ $left =~ ^[1-9][0-9]?$ && $right =~ ^[1-9][0-9]?$ ]] || die "LEFT and RIGHT must be numbers from 1 to 99"
[ -r "$pat" ] || die "$pat: cannot read"
[ "$hyp" = - ] || [ -r "$hyp" ] || die "$hyp: cannot read"
unicode_data=${UNICODE_DATA:-/usr/share/unicode/UnicodeData.txt}
[ -r "$unicode_data" ] || die "$unicode_data missing (apt-get install unicode-data)"
command -v luatex >/dev/null || die "luatex missing (apt-get install texlive-binaries)"

here=$(cd "$(dirname "$0")" && pwd)
absolute() { case $1 in /*) printf '%s' "$1" ;; *) printf '%s/%s' "$PWD" "$1" ;; esac; }

pat=$(absolute "$pat")
[ "$hyp" = - ] || hyp=$(absolute "$hyp")
unicode_data=$(absolute "$unicode_data")

# LuaTeX writes its banner to standard output, so the words go to a file
# that is copied out once TeX is done (nothing is written if it fails); it
# runs in a folder of its own in case it writes a log.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(
    cd "$work"
    TEX_BREAKS_PAT=$pat TEX_BREAKS_HYP=$hyp \
    TEX_BREAKS_LEFT=$left TEX_BREAKS_RIGHT=$right TEX_BREAKS_MARK=$mark \
    TEX_BREAKS_UNICODE=$unicode_data TEX_BREAKS_OUT=$work/marked \
    TEX_BREAKS_LUA=$here/tex_reference/tex_breaks.lua \
        luatex --ini --interaction=batchmode \
            '\catcode`\{=1 \catcode`\}=2 \directlua{dofile(os.getenv("TEX_BREAKS_LUA"))}' \
            >/dev/null
) || die "LuaTeX failed"
cat "$work/marked"
