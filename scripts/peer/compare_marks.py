#!/usr/bin/env python3
"""Compares two marked versions of the same text word by word.

    compare_marks.py SMALL LARGE EXPECTED OTHER

SMALL and LARGE are the alphabet files.  Both marked files must give the
original text once the mark bytes (0xAC) are removed.  Prints the number of
words, of break points in each file and of words whose break points differ,
with the first differences; exits 1 if there is any difference.
"""

import sys

MARK = 0xAC


def words(data, letters):
    """List of (word, break positions) of a marked text."""
    out = []
    word = bytearray()
    marks = []
    for b in data + b"\n":
        if b == MARK and word:
            marks.append(len(word) - 1)
        elif b in letters:
            word.append(b)
        else:
            if word:
                out.append((bytes(word), tuple(marks)))
            word = bytearray()
            marks = []
    return out


def main(argv):
    if len(argv) != 5:
        sys.stderr.write(__doc__)
        return 2
    small, large, a, b = (open(p, "rb").read() for p in argv[1:])
    letters = set(small) | set(large)
    if MARK in letters:
        sys.exit("0xAC is a letter here; cannot compare")
    if a.replace(bytes([MARK]), b"") != b.replace(bytes([MARK]), b""):
        print("texts differ apart from the marks")
        return 1
    wa, wb = words(a, letters), words(b, letters)
    assert [w for w, _ in wa] == [w for w, _ in wb]
    diffs = [(w, ma, mb) for (w, ma), (_, mb) in zip(wa, wb) if ma != mb]
    print("words %d, breaks %d vs %d, words that differ %d"
          % (len(wa), sum(len(m) for _, m in wa), sum(len(m) for _, m in wb),
             len(diffs)))
    for w, ma, mb in diffs[:20]:
        print("  %r: %s vs %s" % (w, list(ma), list(mb)))
    return 1 if diffs else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
