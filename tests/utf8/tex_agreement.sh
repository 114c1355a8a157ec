#!/usr/bin/env bash
# zarnet-utf8 against TeX on real words of every UTF-8 pattern set:
#   tex_agreement.sh ZARNET_UTF8 SOURCE_DIR
# For each set with a word list (tests/data/utf8/<set>.words), LuaTeX
# hyphenates the words with the set's patterns, exceptions and minima
# (scripts/tex_breaks.sh) and zarnet-utf8 must mark every word alike. The
# same words in decomposed form (NFD) must get the same marks as composed,
# with the default mark (the soft hyphen) as with "-".
# Fails on the first set that differs, showing the words.
set -euo pipefail
program=$1 root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sets=0 words=0
while IFS=$'\t' read -r name _ left right _; do
  [ "$name" = name ] && continue
  list=$root/tests/data/utf8/$name.words
  [ -s "$list" ] || continue
  hyp=$root/patterns/utf8/$name.hyp
  [ -f "$hyp" ] || hyp=-
  bash "$root/scripts/tex_breaks.sh" "$root/patterns/utf8/$name.pat" "$hyp" "$left" "$right" <"$list" >"$work/tex"
  "$program" --mark=- "$name" "$list" "$work/ours"
  if ! cmp -s "$work/tex" "$work/ours"; then
    echo "$name: zarnet-utf8 differs from TeX (TeX first):" >&2
    diff "$work/tex" "$work/ours" | head -20 >&2
    exit 1
  fi
  python3 -c 'import sys, unicodedata; sys.stdout.write(unicodedata.normalize("NFD", sys.stdin.read()))' \
    <"$list" >"$work/nfd"
  # With the soft hyphen, the default mark, shown as "-" to compare.
  "$program" "$name" "$work/nfd" "$work/nfd.ours"
  python3 -c 'import sys, unicodedata; sys.stdout.write(unicodedata.normalize("NFC", sys.stdin.read()).replace("\u00ad", "-"))' \
    <"$work/nfd.ours" >"$work/nfd.composed"
  if ! cmp -s "$work/ours" "$work/nfd.composed"; then
    echo "$name: words in NFD get other marks than in NFC (NFC first):" >&2
    diff "$work/ours" "$work/nfd.composed" | head -20 >&2
    exit 1
  fi
  sets=$((sets + 1))
  words=$((words + $(wc -l <"$list")))
done <"$root/patterns/utf8/sets.tsv"
echo "$sets sets, $words words: zarnet-utf8 marks every word as TeX does, in NFC and in NFD"
