#!/usr/bin/env bash
# Rebuilds tests/data/sets/: a small real sample of every pattern set in
# patterns/ and its expected marks (see tests/data/sets/SOURCES.md and
# scripts/make_set_samples.py).  The packages are fetched with
# "apt-get download" (pinned versions below) and unpacked with "dpkg-deb -x"
# into a temporary directory; nothing is installed.  Needs python3 and
# groff.
set -euo pipefail
export LC_ALL=C

MANPAGES_L10N_VERSION=4.18.1-1
MANPAGES_L10N="cs da de es fi fr hu id it mk nb nl pl pt-br ro ru sr sv uk"
MANPAGES_TR_VERSION=2.0.6-2
ISO_CODES_VERSION=4.15.0-1

root=$(cd "$(dirname "$0")/.." && pwd)
die() { echo "make_set_samples.sh: $*" >&2; exit 1; }
command -v python3 >/dev/null || die "python3 is needed (apt-get install python3)"
command -v groff >/dev/null || die "groff is needed (apt-get install groff-base)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/debs" "$work/x"
chmod 777 "$work/debs"

versions=()
fetch() {
    local pkg=$1 ver=$2 deb
    (cd "$work/debs" && apt-get download -q=2 "$pkg=$ver" >&2)
    deb=$(ls "$work/debs/${pkg}_"*.deb)
    mkdir -p "$work/x/$pkg"
    dpkg-deb -x "$deb" "$work/x/$pkg"
    versions+=("$pkg=$(dpkg-deb -f "$deb" Version)")
}
for lang in $MANPAGES_L10N; do
    case $lang in
        hu|pl) fetch "manpages-$lang" "1:$MANPAGES_L10N_VERSION" ;;   # with an epoch
        *) fetch "manpages-$lang" "$MANPAGES_L10N_VERSION" ;;
    esac
done
fetch manpages-tr "$MANPAGES_TR_VERSION"
fetch iso-codes "$ISO_CODES_VERSION"
versions+=("manpages=6.03-2")   # of tests/data/real/en.txt
python3 "$root/scripts/make_set_samples.py" "$work/x" "$root" "${versions[@]}"
