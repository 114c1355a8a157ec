#!/usr/bin/env bash
# Builds the libhyphen peer and its dictionaries outside the repository.
#
#   scripts/peer/build.sh [OUTDIR]      (default: ${TMPDIR:-/tmp}/zarnet-peer)
#
# Makes OUTDIR/zarnet_peer and, from patterns/*.pat, the libhyphen
# dictionaries OUTDIR/en-us.dic, de-1996.dic and ru.dic.  A libhyphen
# dictionary needs its patterns pre-processed by substrings.pl, which Debian
# ships in libhyphen-dev; its first line names the 8-bit charset, followed
# by LEFTHYPHENMIN 2 and RIGHTHYPHENMIN 2.  Needs Debian's libhyphen-dev
# (installed here with apt-get when missing and running as root), a C
# compiler and perl.  Nothing of libhyphen is written into the repository.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/../.." && pwd)
outdir=${1:-${TMPDIR:-/tmp}/zarnet-peer}
mkdir -p "$outdir"

substrings=/usr/share/libhyphen/substrings.pl
if [ ! -f /usr/include/hyphen.h ] || [ ! -f "$substrings" ]; then
    if [ "$(id -u)" = 0 ]; then
        apt-get install -y -q=2 libhyphen-dev >&2
    else
        echo "build.sh: install libhyphen-dev first" >&2
        exit 1
    fi
fi
cc=${CC:-cc}
"$cc" -std=c11 -O2 -Wall -Wextra -Werror -o "$outdir/zarnet_peer" \
    "$root/scripts/peer/zarnet_peer.c" -lhyphen

for pair in en-us:ISO8859-1 de-1996:ISO8859-1 ru:CP1251; do
    set=${pair%%:*} charset=${pair#*:}
    grep -av '^%' "$root/patterns/$set.pat" > "$outdir/$set.plain"
    perl "$substrings" "$outdir/$set.plain" "$outdir/$set.dic" "$charset" 2 2 \
        > "$outdir/$set.substrings.log"
    [ -s "$outdir/$set.dic" ] || { echo "build.sh: substrings.pl made no $set.dic" >&2; exit 1; }
done
echo "build.sh: peer and dictionaries in $outdir"
