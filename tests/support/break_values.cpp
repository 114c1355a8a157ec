#include "tests/support/break_values.h"

#include <cstddef>
#include <cstring>

#include "byte/alphabet.h"
#include "platform/memory.h"

namespace {

constexpr std::int64_t FRAME_BUFFER = 256;

// The state reached from `state` on `letter`, following failure links until
// a state has a transition on it. The root stays the root when it has none.
std::int32_t step(const PatternAutomaton* automaton, std::int32_t state, unsigned char letter)
{
    for (;;) {
        const AutomatonState& current = automaton->states[state];
        for (std::int32_t i = 0; i < current.transition_count; ++i) {
            if (current.transitions[i].letter == letter) return current.transitions[i].target;
        }
        if (state == 0) return 0;
        state = current.failure;
    }
}

// Raises the gaps ending at gap `end` to the digits of `output`; a digit that
// would fall before gap 0 has no place and is dropped.
void merge_output(char* values, std::int64_t end, const char* output)
{
    const std::int64_t m = static_cast<std::int64_t>(std::strlen(output));
    for (std::int64_t k = 0; k < m; ++k) {
        const std::int64_t r = end - m + 1 + k;
        if (r < 0) continue;
        if (static_cast<unsigned char>(values[r]) < static_cast<unsigned char>(output[k])) values[r] = output[k];
    }
}

}  // namespace

void find_break_values(const PatternAutomaton* automaton, const unsigned char* run, std::int64_t run_length,
                       char* values, const char* smallChars, const char* largeChars)
{
    // Frame: "." + the run folded to lower case + "." + NUL. Bytes outside
    // both alphabets are left out.
    unsigned char fixed_frame[FRAME_BUFFER];
    unsigned char* framed = run_length + 3 < FRAME_BUFFER
                                ? fixed_frame
                                : static_cast<unsigned char*>(must_alloc(static_cast<std::size_t>(run_length) + 3));
    std::int64_t n = 0;
    framed[n++] = '.';
    for (std::int64_t i = 0; i < run_length; ++i) {
        if (is_letter(run[i], smallChars, largeChars)) framed[n++] = fold_letter(run[i], smallChars, largeChars);
    }
    framed[n++] = '.';
    framed[n] = '\0';

    // Runs too long for the caller's array are worked out in storage of their
    // own; the caller gets the first WORD_VALUES_MAX values.
    const std::int64_t needed = run_length + 2;
    char* work = values;
    if (needed > WORD_VALUES_MAX) {
        work = static_cast<char*>(must_alloc(static_cast<std::size_t>(needed)));
        std::memset(work, '0', static_cast<std::size_t>(needed));
    }

    for (std::int64_t q = 0; q < n; ++q) work[q] = '0';

    std::int32_t state = 0;
    for (std::int64_t p = 0; p < n; ++p) {
        state = step(automaton, state, framed[p]);
        for (std::int32_t t = state; t != 0; t = automaton->states[t].failure) {
            const char* output = automaton->states[t].output;
            if (output != nullptr) merge_output(work, p, output);
        }
    }

    // Entry j now belongs to the gap after letter j of the run.
    std::int64_t q = 0;
    for (; q < n - 4; ++q) work[q] = work[q + 1];
    // No break after the first letter nor after the last two.
    work[0] = '0';
    for (; q < run_length; ++q) work[q] = '0';

    if (work != values) {
        std::memcpy(values, work, WORD_VALUES_MAX);
        mem_release(work);
    }
    if (framed != fixed_frame) mem_release(framed);
}
