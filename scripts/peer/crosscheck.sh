#!/usr/bin/env bash
# Cross-checks tests/data/real/*.marked (made by scripts/reference_marks.py)
# against the libhyphen peer.  Exits non-zero on any difference.
#
#   scripts/peer/crosscheck.sh [OUTDIR]   (see build.sh)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/../.." && pwd)
outdir=${1:-${TMPDIR:-/tmp}/zarnet-peer}
"$root/scripts/peer/build.sh" "$outdir" >/dev/null
real="$root/tests/data/real"
status=0
for pair in en:en-us de:de-1996 ru:ru; do
    name=${pair%%:*} set=${pair#*:}
    "$outdir/zarnet_peer" "$outdir/$set.dic" "$real/$set.small" "$real/$set.large" \
        "$real/$name.txt" "$outdir/$name.peer"
    printf '%s: ' "$name"
    python3 "$root/scripts/peer/compare_marks.py" "$real/$set.small" "$real/$set.large" \
        "$real/$name.marked" "$outdir/$name.peer" || status=1
done
exit $status
