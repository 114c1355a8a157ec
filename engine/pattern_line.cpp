#include "engine/pattern_line.h"

bool pattern_line_is_comment(const char* line)
{
    return line[0] == '%';
}

void parse_pattern_line(PatternLine* parsed, const char* line)
{
    parse_pattern_run(parsed, reinterpret_cast<const unsigned char*>(line));
}

std::size_t parse_pattern_run(PatternLine* parsed, const unsigned char* bytes)
{
    std::size_t n = 0;
    parsed->digits[0] = '0';
    const unsigned char* p = bytes;
    for (; *p > 0x20; ++p) {
        if (static_cast<unsigned>(*p - '0') < 10u) {
            parsed->digits[n] = static_cast<char>(*p);
        } else {
            if (n + 1 >= PATTERN_LINE_MAX) break;
            parsed->letters[n++] = static_cast<char>(*p);
            parsed->digits[n] = '0';
        }
    }
    parsed->letters[n] = '\0';
    parsed->digits[n + 1] = '\0';
    parsed->letter_count = n;
    return static_cast<std::size_t>(p - bytes);
}

const char* pattern_line_output(const PatternLine* parsed)
{
    const char* output = parsed->digits;
    while (*output == '0') ++output;
    return output;
}
