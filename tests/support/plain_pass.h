#pragma once
// The plain pass over a whole text in memory: every run of letters walked
// through the pattern automaton itself (find_break_values). Kept as the
// reference that the fast, streamed pass is compared with.

#include <cstdint>

#include "byte/mark_expand.h"
#include "engine/automaton.h"
#include "engine/break_rule.h"

// Processes `input` up to its first NUL byte and writes the marked text to
// `output`, which must hold twice the text's length. Returns the number of
// bytes written.
std::int64_t run_text(const PatternAutomaton* automaton, const unsigned char* input, unsigned char* output,
                      const char* smallChars, const char* largeChars);

// Copies the first min(length, MARKED_LETTERS_MAX) letters of the run to
// `out`, each followed by HYPHEN_MARK where mark_after allows it, values[j]
// being the break value of the gap after letter j. Returns the end of what
// was written, at most 2 * MARKED_LETTERS_MAX bytes on. Letters from
// MARKED_LETTERS_MAX on are left to the caller.
template <typename Value>
inline unsigned char* copy_marked_letters(const unsigned char* run, std::int64_t length, const Value* values,
                                          unsigned char* out)
{
    const std::int64_t head = length < MARKED_LETTERS_MAX ? length : MARKED_LETTERS_MAX;
    for (std::int64_t j = 0; j < head; ++j) {
        *out++ = run[j];
        if (mark_after(j, length, static_cast<unsigned char>(values[j]))) *out++ = HYPHEN_MARK;
    }
    return out;
}
