#include "tests/support/plain_pass.h"

#include <cstring>

#include "tests/support/break_values.h"
#include "byte/alphabet.h"

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
        write = copy_marked_letters(read, length, values, write);
        const std::int64_t marked = length < MARKED_LETTERS_MAX ? length : MARKED_LETTERS_MAX;
        std::memcpy(write, read + marked, static_cast<std::size_t>(length - marked));
        write += length - marked;
        read = end;
    }
    return write - output;
}
