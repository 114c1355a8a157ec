#!/usr/bin/env bash
# Rebuilds patterns/utf8/: every hyph-utf8 pattern set that Debian 12 ships
# (the hyph-<tag>.pat.txt files of the texlive-lang-* packages), in UTF-8,
# with its exceptions, its licence notice and source, and the table
# patterns/utf8/sets.tsv (names, languages, minima, BCP 47 tags, licences,
# sources, counts).  The work is done by scripts/make_utf8_sets.py, which
# says what each file holds.  Then rewrites the Debian package's copyright
# file packaging/copyright from the sets' headers with
# scripts/make_copyright.py.
#
# Every run starts from scratch: the packages are fetched with
# "apt-get download" (pinned versions below) and unpacked with "dpkg-deb -x"
# into a temporary directory; nothing is installed.  The result does not
# depend on the date, the locale or earlier runs, so running the script again
# gives byte-identical files.  patterns/utf8/ is replaced only once every
# file has been made and checked.
set -euo pipefail
export LC_ALL=C

# The language packages that hold hyph-utf8 sets, all of this version.
TEXLIVE_LANG_VERSION=2022.20230122-1
TEXLIVE_LANG_PACKAGES="chinese cyrillic czechslovak english european french
    german greek italian other polish portuguese spanish"

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/patterns/utf8"

die() { echo "make_utf8_sets.sh: $*" >&2; exit 1; }
command -v python3 >/dev/null || die "python3 is needed (apt-get install python3)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"   # apt's download sandbox user must be able to write here
mkdir "$work/debs" "$work/sets" "$work/out"
chmod 777 "$work/debs"

for lang in $TEXLIVE_LANG_PACKAGES; do
    (cd "$work/debs" && apt-get download -q=2 "texlive-lang-$lang=$TEXLIVE_LANG_VERSION" >&2) \
        || die "cannot download texlive-lang-$lang=$TEXLIVE_LANG_VERSION (run apt-get update)"
done

# Each package goes into a folder of its own (so that the package of every
# set is known): its hyph-utf8 patterns and Debian's TeX configuration of
# its languages (the minima).
versions=()
for deb in "$work/debs"/*.deb; do
    pkg=$(dpkg-deb -f "$deb" Package)
    versions+=("$pkg=$(dpkg-deb -f "$deb" Version)")
    mkdir "$work/sets/$pkg"
    dpkg-deb --fsys-tarfile "$deb" \
        | tar -x -C "$work/sets/$pkg" --wildcards \
              './*/hyph-utf8/patterns/txt/*' './*/hyph-utf8/patterns/tex/*' \
              './var/lib/tex-common/hyphen-cnf/*'
done

python3 "$root/scripts/make_utf8_sets.py" "$work/sets" "$work/out" "${versions[@]}"

rm -rf "$out"
mkdir -p "$out"
cp "$work/out"/* "$out/"
echo "make_utf8_sets.sh: wrote $(ls "$out" | wc -l) files to patterns/utf8/"

# The copyright file of the Debian package, from the headers just written.
python3 "$root/scripts/make_copyright.py"
