#!/usr/bin/env python3
"""Compares where two markers put their marks in the same text, whatever
each text's encoding and each marker's mark.

    mark_diff.py TEXT_A ENCODING_A OUT_A MARK_A TEXT_B ENCODING_B OUT_B MARK_B

TEXT_A and TEXT_B must hold the same characters (the same text in two
encodings); OUT_A and OUT_B are their marked forms, with MARK_A and MARK_B
(one character each, given as U+XXXX) at the breaks. A mark sits between two
letters, so a character in a text that looks like the mark (a literal ¬ when
the mark is 0xAC) is told from a mark by where it is in the text. Prints one
line: how many marks both put at the same places and how many only one of
them put, with a few of those in their words. Exit code 2 when the texts
differ or an output is not its text with marks added.
"""
import bisect
import sys
from collections import Counter


def marks(text, out, mark):
    """The places of the marks in `out`, as indexes into `text` (a mark at
    index i stands before text[i])."""
    pieces = out.split(mark)
    if "".join(pieces) != text.replace(mark, ""):
        return None
    # Where every mark character of the output stands in the text without its
    # own mark characters, then less those that were in the text already.
    places = []
    at = 0
    for piece in pieces[:-1]:
        at += len(piece)
        places.append(at)
    literals = []
    start = 0
    while (found := text.find(mark, start)) >= 0:
        literals.append(found - len(literals))
        start = found + 1
    if not literals:
        return places
    left = {}
    for place in literals:
        left[place] = left.get(place, 0) + 1
    kept = []
    for place in places:
        if left.get(place, 0) > 0:
            left[place] -= 1
        else:
            kept.append(place)
    # Back to indexes into the text: one more for every literal before.
    return [place + bisect.bisect_left(literals, place) for place in kept]


def main():
    if len(sys.argv) != 9:
        sys.exit("usage: mark_diff.py TEXT_A ENCODING_A OUT_A MARK_A TEXT_B ENCODING_B OUT_B MARK_B")
    sides = []
    for text_path, encoding, out_path, mark in (sys.argv[1:5], sys.argv[5:9]):
        with open(text_path, "rb") as f:
            text = f.read().decode(encoding)
        with open(out_path, "rb") as f:
            out = f.read().decode(encoding)
        places = marks(text, out, chr(int(mark.removeprefix("U+"), 16)))
        if places is None:
            print(f"{out_path} is not {text_path} with marks added")
            sys.exit(2)
        sides.append((text, places))
    (text, a), (other, b) = sides
    if text != other:
        print(f"{sys.argv[1]} and {sys.argv[5]} hold different characters")
        sys.exit(2)
    if a == b:
        print(f"{len(a)} marks, all at the same places")
        return
    only_a = sorted((Counter(a) - Counter(b)).elements())
    only_b = sorted((Counter(b) - Counter(a)).elements())

    def shown(places):
        return ", ".join(repr(text[max(0, p - 12):p] + "|" + text[p:p + 12]) for p in places[:3])

    print(f"{len(a) - len(only_a)} marks at the same places; {len(only_a)} only in {sys.argv[3]} ({shown(only_a)}),"
          f" {len(only_b)} only in {sys.argv[7]} ({shown(only_b)})")


if __name__ == "__main__":
    main()
