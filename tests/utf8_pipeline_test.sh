#!/usr/bin/env bash
# End-to-end test of scripts/zarnet-utf8.sh:  utf8_pipeline_test.sh ZARNET SOURCE_DIR
#
# Soft hyphens: the samples of tests/data/sets/ (one set per code page) go
# through the pipeline in UTF-8; the result must be the reference's marks
# (tests/data/sets/<set>.marked) in UTF-8 with U+00AD for 0xAC.
# Refusals: each must fail with one line naming the reason, leave an
# existing output file as it was and leave no file behind.
set -uo pipefail
export LC_ALL=C
zarnet=$1 src=$2
pipeline=$src/scripts/zarnet-utf8.sh
export ZARNET=$zarnet ZARNET_PATTERNS=$src/patterns

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

charset() { awk -v s="$1" '$1 == s { print $2 }' "$src/patterns/charsets"; }
comma_forms() { sed -e 's/\xc5\x9f/\xc8\x99/g' -e 's/\xc5\xa3/\xc8\x9b/g' \
                    -e 's/\xc5\x9e/\xc8\x98/g' -e 's/\xc5\xa2/\xc8\x9a/g'; }

# -------------------------------------------------------------- soft hyphens
for set in fr pl uk lt tr ro de-1996; do
    cs=$(charset "$set")
    iconv -f "$cs" -t UTF-8 < "$src/tests/data/sets/$set.txt" > "$work/$set.in"
    # expected: the reference's marks, none right after a hyphen
    sed -e 's/-\xac/-/g' "$src/tests/data/sets/$set.marked" | iconv -f "$cs" -t UTF-8 \
        | sed -e 's/\xc2\xac/\xc2\xad/g' > "$work/$set.want"
    if [ "$set" = ro ]; then
        # Romanian in UTF-8 is written with ș ț; they come back as they went in
        comma_forms < "$work/$set.in" > "$work/ro.tmp" && mv "$work/ro.tmp" "$work/$set.in"
        comma_forms < "$work/$set.want" > "$work/ro.tmp" && mv "$work/ro.tmp" "$work/$set.want"
        grep -q $'\xc8\x9b' "$work/$set.in" || fail "ro: the sample has no ț"
    fi
    if ! bash "$pipeline" "$set" "$work/$set.in" "$work/$set.out" 2> "$work/err"; then
        fail "$set: $(cat "$work/err")"
        continue
    fi
    [ "$(grep -o $'\xc2\xad' "$work/$set.out" | wc -l)" -ge 20 ] || fail "$set: hardly any soft hyphens"
    cmp -s "$work/$set.want" "$work/$set.out" || fail "$set: output differs from the reference's marks"
    [ ! -s "$work/err" ] || fail "$set: said $(cat "$work/err")"
done

# Standard input to standard output; a mark after "-" (a letter for uk) is dropped.
# (zarnet alone gives "пів-=годи=ни Івано-=Фран=ківськ", = for a mark)
out=$(printf 'пів-години Івано-Франківськ\n' | bash "$pipeline" uk - - | sed 's/\xc2\xad/=/g')
[ "$out" = "пів-годи=ни Івано-Фран=ківськ" ] || fail "uk through pipes: $out"

# ------------------------------------------------------------------ refusals
# refuse NAME SET TEXT-as-printf EXPECTED-message-part
refuse() {
    local name=$1 set=$2 text=$3 want=$4
    printf "$text" > "$work/refused.in"
    printf 'before\n' > "$work/refused.out"
    if bash "$pipeline" "$set" "$work/refused.in" "$work/refused.out" 2> "$work/err" > "$work/stdout"; then
        fail "$name: accepted"
    fi
    [ "$(wc -l < "$work/err")" -eq 1 ] || fail "$name: not one line: $(cat "$work/err")"
    grep -qF -- "$want" "$work/err" || fail "$name: message $(cat "$work/err"), wanted $want"
    [ "$(cat "$work/refused.out")" = before ] || fail "$name: output file changed"
    [ ! -s "$work/stdout" ] || fail "$name: wrote to standard output"
    if ls -A "$work" | grep -q '^\.zarnet-utf8'; then fail "$name: temporary file left"; fi
}
refuse "not sign" fr 'le signe \302\254 reste\n' "holds ¬ (U+00AC)"
refuse "arrow" fr 'a\nb \342\206\222 c\n' "line 2: the character U+2192 has no place in CP1252"
refuse "Cyrillic in Latin" pl 'żółć и\n' "the character U+0438 has no place in CP1250"
refuse "invalid UTF-8" de-1996 'Stra\337e\n' "not UTF-8 text"
refuse "NUL" de-1996 'Haus\000Garten\n' "holds a NUL byte"
refuse "both Romanian forms" ro '\305\237i \310\231i\n' "both ş ţ (cedilla) and ș ț (comma below)"
refuse "no such set" xx 'word\n' "xx: no such set"
refuse "path as set" ../patterns/fr 'word\n' "not a set name"

# € is in Windows-1251 (0x88): accepted.
printf 'ціна 5 €\n' > "$work/euro.in"
bash "$pipeline" uk "$work/euro.in" "$work/euro.out" 2> "$work/err" \
    && [ "$(sed 's/\xc2\xad//g' "$work/euro.out")" = "ціна 5 €" ] \
    || fail "uk: € refused or changed: $(cat "$work/err")"

# An output folder that does not exist: the message names it.
printf 'Haus\n' > "$work/haus"
if bash "$pipeline" de-1996 "$work/haus" "$work/none/out" 2> "$work/err"; then
    fail "missing folder: accepted"
fi
grep -q "$work/none" "$work/err" || fail "missing folder: $(cat "$work/err")"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "zarnet-utf8.sh: all cases passed"
