#include "driver/text_pass.h"

#include "breaks/break_values.h"
#include "common/alphabet.h"

std::int64_t run_text(const PatternAutomaton* automaton, const unsigned char* input, unsigned char* output,
                      const char* smallChars, const char* largeChars)
{
    char values[WORD_VALUES_MAX];
    const unsigned char* read = input;
    unsigned char* write = output;
    while (*read != 0) {
        while (*read != 0 && !is_letter(*read, smallChars, largeChars)) *write++ = *read++;
        const unsigned char* end = read;
        while (*end != 0 && is_letter(*end, smallChars, largeChars)) ++end;
        const std::int64_t length = end - read;
        find_break_values(automaton, read, length, values, smallChars, largeChars);
        for (std::int64_t j = 0; j < length; ++j) {
            *write++ = *read++;
            if (j < WORD_VALUES_MAX - 1 && (values[j] & 1) != 0) *write++ = HYPHEN_MARK;
        }
    }
    return write - output;
}
