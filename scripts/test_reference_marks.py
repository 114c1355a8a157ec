#!/usr/bin/env python3
"""Checks of scripts/reference_marks.py on small hand-worked cases.

    python3 scripts/test_reference_marks.py
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_marks as ref  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
M = b"\xac"


def mark(patterns, text, small=b"abxy", large=b"ABXY"):
    return ref.Marker(ref.load_patterns(patterns), small, large).mark(text)


class Rules(unittest.TestCase):
    def test_odd_value_marks_after_the_letter(self):
        self.assertEqual(mark(b"a1b\n", b"xaby"), b"xa" + M + b"by")

    def test_even_value_does_not_mark(self):
        self.assertEqual(mark(b"a2b\n", b"xaby"), b"xaby")

    def test_maximum_per_gap(self):
        self.assertEqual(mark(b"a1b\n2b\n", b"xaby"), b"xaby")
        self.assertEqual(mark(b"a3b\n2b\n", b"xaby"), b"xa" + M + b"by")

    def test_later_pattern_with_same_letters_wins(self):
        self.assertEqual(mark(b"a1b\nab\n", b"xaby"), b"xaby")
        self.assertEqual(mark(b"ab\na1b\n", b"xaby"), b"xa" + M + b"by")
        self.assertEqual(mark(b"a1b\na2b\n", b"xaby"), b"xaby")

    def test_no_break_after_first_or_before_last_two_letters(self):
        self.assertEqual(mark(b"a1b\n", b"abyy"), b"abyy")     # after letter 0
        self.assertEqual(mark(b"a1b\n", b"xab"), b"xab")       # one letter left
        self.assertEqual(mark(b"a1b\n", b"xxaby"), b"xxa" + M + b"by")

    def test_word_boundary_dot(self):
        self.assertEqual(mark(b".xa1b\n", b"xaby"), b"xa" + M + b"by")
        self.assertEqual(mark(b".xa1b\n", b"yxaby"), b"yxaby")
        self.assertEqual(mark(b"a1by.\n", b"xaby"), b"xa" + M + b"by")
        self.assertEqual(mark(b"a1by.\n", b"xabyy"), b"xabyy")

    def test_other_bytes_split_words_and_are_copied(self):
        self.assertEqual(mark(b"a1b\n", b"xaby-xaby\r\n\xff"),
                         b"xa" + M + b"by-xa" + M + b"by\r\n\xff")
        self.assertEqual(mark(b"a1b\n", b"xa1by"), b"xa1by")

    def test_case_folding_keeps_original_case(self):
        self.assertEqual(mark(b"a1b\n", b"XABY xAbY"),
                         b"XA" + M + b"BY xA" + M + b"bY")

    def test_large_letter_without_small_partner_stays_itself(self):
        self.assertEqual(mark(b"a1C\n", b"xaCy", large=b"ABXYC"),
                         b"xa" + M + b"Cy")
        # "c" is no letter here, so it splits the word
        self.assertEqual(mark(b"a1C\n", b"xacy", large=b"ABXYC"), b"xacy")

    def test_text_ends_at_nul(self):
        self.assertEqual(mark(b"a1b\n", b"xaby\x00xaby"), b"xa" + M + b"by")

    def test_only_letters_up_to_254_are_marked(self):
        out = mark(b"a1a\n", b"a" * 300, small=b"a", large=b"")
        self.assertEqual(out, b"a" + (b"a" + M) * 254 + b"a" * 45)

    def test_pattern_is_leading_run_of_bytes_above_space(self):
        self.assertEqual(mark(b"a1b c1d\n", b"xaby xcdy", small=b"abcdxy",
                              large=b""),
                         b"xa" + M + b"by xcdy")
        self.assertEqual(mark(b" a1b\n", b"xaby"), b"xaby")

    def test_pattern_file_is_read_in_pieces_of_79_bytes(self):
        # a 78-byte comment line is one piece: no pattern
        line78 = b"%" + b"z" * 74 + b"a1b"
        self.assertEqual(len(line78), 78)
        self.assertEqual(mark(line78 + b"\n", b"xaby"), b"xaby")
        # a longer one is cut after 79 bytes; the rest is a pattern
        self.assertEqual(mark(b"%" + b"z" * 78 + b"a1b\n", b"xaby"),
                         b"xa" + M + b"by")
        self.assertEqual(ref.read_pieces(b"x" * 160 + b"\n"),
                         [b"x" * 79, b"x" * 79, b"xx\n"])

    def test_pattern_file_in_text_mode(self):
        # CR LF line ends give the same result as LF ones
        line78 = b"%" + b"z" * 74 + b"a1b"
        self.assertEqual(mark(line78 + b"\r\n", b"xaby"), b"xaby")
        self.assertEqual(mark(b"%x\r\na1b\r\n", b"xaby"), b"xa" + M + b"by")
        # 0x1A ends the file: the pattern after it is not read
        self.assertEqual(mark(b"c1d\n\x1a\na1b\n", b"xaby"), b"xaby")
        self.assertEqual(mark(b"a1b\n\x1a\nab\n", b"xaby"), b"xa" + M + b"by")

    def test_digit_at_end_of_pattern(self):
        self.assertEqual(mark(b"a1\n", b"xaby"), b"xa" + M + b"by")


class KnownWords(unittest.TestCase):
    """Results of Knuth's patterns quoted in The TeXbook and Liang's thesis
    (without TeX's exception list)."""

    def test_english(self):
        with open(os.path.join(ROOT, "patterns", "en-us.pat"), "rb") as f:
            marker = ref.Marker(ref.load_patterns(f.read()),
                                b"abcdefghijklmnopqrstuvwxyz",
                                b"ABCDEFGHIJKLMNOPQRSTUVWXYZ")
        got = marker.mark(b"hyphenation concatenation Computer")
        self.assertEqual(got.replace(M, b"-"),
                         b"hy-phen-ation con-cate-na-tion Com-put-er")


if __name__ == "__main__":
    unittest.main()
