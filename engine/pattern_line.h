#pragma once
// One line of a pattern file: letters with break values written as digits
// in the gaps between them, e.g. "he2n" or ".ach4".

#include <cstddef>

// Size of the buffer that one read of the pattern file fills: a piece holds
// at most PATTERN_LINE_MAX - 1 bytes.
constexpr std::size_t PATTERN_LINE_MAX = 80;

struct PatternLine {
    char letters[PATTERN_LINE_MAX];      // NUL-terminated
    char digits[PATTERN_LINE_MAX + 1];   // one digit per gap (letter_count + 1), NUL-terminated
    std::size_t letter_count;
};

// A line whose first byte is "%".
bool pattern_line_is_comment(const char* line);

// Parses the leading run of bytes above 0x20; the rest of the line is ignored.
// "0".."9" are digits, every other byte is a letter. A digit is the value of
// the gap in front of the next letter (or after the last letter); when a gap
// holds several digits the last one counts; a gap without one is "0".
// At most PATTERN_LINE_MAX - 1 letters are taken.
void parse_pattern_line(PatternLine* parsed, const char* line);

// The same over bytes that end in a byte up to 0x20 (a NUL, a newline, ...):
// returns the number of bytes taken, the index of the byte that ended the run
// (that byte, or a letter past the limit).
std::size_t parse_pattern_run(PatternLine* parsed, const unsigned char* bytes);

// The pattern's output: its digits without the leading "0"s (trailing zeros
// stay); the empty string when no digit is nonzero.
const char* pattern_line_output(const PatternLine* parsed);
