#!/usr/bin/env python3
"""Reference marker for zarnet's test data.

Reads a text in a single-byte character set and writes it back with the
byte 0xAC after every letter where the word may be broken, by Liang's
hyphenation algorithm in its plain dictionary form: every pattern is kept
in a dict keyed by its letters, and every substring of the framed word is
looked up in it.  It is deliberately slow and simple, so that it can serve
as an independent check of zarnet's pattern automaton.

Usage:
    reference_marks.py PATTERNS SMALL LARGE [INPUT [OUTPUT]]

PATTERNS is a pattern file, SMALL and LARGE are files holding the raw bytes
of the small and large alphabets (no newline), INPUT and OUTPUT default to
stdin and stdout.  With --stats, the number of words and of marks is
printed to stderr.

Everything is done on bytes; no locale or text mode is involved.
"""

import sys

MARK = 0xAC
PIECE = 79          # the pattern file is read in pieces of at most 79 bytes
MAX_MARKED = 255    # only letters 0..254 of a run can get a mark


def read_pieces(data):
    """Splits the pattern file the way a reader with an 80-byte line
    buffer sees it: a piece ends after a newline or after 79 bytes."""
    pieces = []
    i = 0
    n = len(data)
    while i < n:
        end = min(i + PIECE, n)
        nl = data.find(b"\n", i, end)
        if nl >= 0:
            end = nl + 1
        pieces.append(data[i:end])
        i = end
    return pieces


def parse_pattern(piece):
    """Returns (letters, values) of one pattern piece, or None for an
    empty pattern.  values[k] is the digit in front of letters[k]
    (values[len(letters)] the one after the last letter), 0 if none."""
    end = 0
    while end < len(piece) and piece[end] > 0x20:
        end += 1
    text = piece[:end]
    letters = bytearray()
    values = [0]
    for b in text:
        if 0x30 <= b <= 0x39:
            values[-1] = b - 0x30
        else:
            letters.append(b)
            values.append(0)
    if not letters:
        return None
    return bytes(letters), values


def text_mode(data):
    """The pattern file as a Windows program reading it in text mode sees
    it: byte 0x1A ends it, and CR LF is a newline."""
    eof = data.find(b"\x1a")
    if eof >= 0:
        data = data[:eof]
    return data.replace(b"\r\n", b"\n")


def load_patterns(data):
    """dict {letters: values}; a later pattern with the same letters
    replaces an earlier one entirely."""
    patterns = {}
    for piece in read_pieces(text_mode(data)):
        if piece.startswith(b"%"):
            continue
        parsed = parse_pattern(piece)
        if parsed is None:
            continue
        letters, values = parsed
        patterns[letters] = values
    return patterns


class Marker:
    def __init__(self, patterns, small, large):
        self.patterns = patterns
        self.longest = max((len(k) for k in patterns), default=0)
        self.is_letter = [False] * 256
        for b in small + large:
            self.is_letter[b] = True
        self.fold = list(range(256))
        # a byte of the large alphabet folds to the small letter at the same
        # position; bytes of the small alphabet stay as they are
        for b in range(256):
            if b in small:
                continue
            k = large.find(bytes([b]))
            if 0 <= k < len(small):
                self.fold[b] = small[k]

    def gaps(self, run):
        """Maximum digit per gap of the framed word ".run."; gap g lies in
        front of framed[g]."""
        framed = b"." + bytes(self.fold[b] for b in run) + b"."
        n = len(framed)
        value = [0] * (n + 1)
        for i in range(n):
            for j in range(i + 1, min(n, i + self.longest) + 1):
                digits = self.patterns.get(framed[i:j])
                if digits is None:
                    continue
                # occurrences start at i >= 0, so no digit can fall in
                # front of the framed word here
                for k, d in enumerate(digits):
                    if d > value[i + k]:
                        value[i + k] = d
        return value

    def breaks(self, run):
        """Indices j of the letters of run after which a mark goes."""
        size = len(run)
        value = self.gaps(run)
        # letter j of the run is framed[j + 1]; the gap after it is j + 2
        last = min(size - 3, MAX_MARKED - 1)
        return [j for j in range(1, last + 1) if value[j + 2] % 2 == 1]

    def mark(self, text, stats=None):
        nul = text.find(b"\x00")
        if nul >= 0:
            text = text[:nul]
        out = bytearray()
        i = 0
        n = len(text)
        while i < n:
            if not self.is_letter[text[i]]:
                out.append(text[i])
                i += 1
                continue
            j = i
            while j < n and self.is_letter[text[j]]:
                j += 1
            run = text[i:j]
            marks = set(self.breaks(run))
            if stats is not None:
                stats[0] += 1
                stats[1] += len(marks)
            for k, b in enumerate(run):
                out.append(b)
                if k in marks:
                    out.append(MARK)
            i = j
        return bytes(out)


def main(argv):
    args = [a for a in argv[1:] if a != "--stats"]
    want_stats = len(args) != len(argv) - 1
    if not 3 <= len(args) <= 5:
        sys.stderr.write(__doc__)
        return 2
    with open(args[0], "rb") as f:
        patterns = load_patterns(f.read())
    with open(args[1], "rb") as f:
        small = f.read()
    with open(args[2], "rb") as f:
        large = f.read()
    if len(args) >= 4 and args[3] != "-":
        with open(args[3], "rb") as f:
            text = f.read()
    else:
        text = sys.stdin.buffer.read()
    stats = [0, 0]
    result = Marker(patterns, small, large).mark(text, stats)
    if len(args) == 5:
        with open(args[4], "wb") as f:
            f.write(result)
    else:
        sys.stdout.buffer.write(result)
    if want_stats:
        sys.stderr.write("words %d marks %d\n" % (stats[0], stats[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
