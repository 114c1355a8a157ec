#include "breaks/fast_marker.h"

#include <cstring>

#include "common/letter_table.h"

namespace {

inline void merge_row_output(const CompiledAutomaton* automaton, std::uint32_t row, std::int64_t p,
                             std::uint8_t* values)
{
    const std::uint32_t id = compiled_output(automaton, row);
    if (id == 0) return;
    const MergedOutput& out = automaton->outputs[id];
    const std::uint8_t* digits = automaton->digits + out.offset;
    std::int64_t r = p - out.tail - out.length + 1;
    for (std::int64_t k = 0; k < out.length; ++k, ++r) {
        if (r >= 0 && values[r] < digits[k]) values[r] = digits[k];
    }
}

// Fills values[q] for the gaps of the framed run that can matter (q below
// WALK_LIMIT); values[j + 1] is then the gap after letter j of the run.
void walk_run(const FastMarker* marker, const unsigned char* run, std::int64_t length, std::uint8_t* values)
{
    CompiledAutomaton* automaton = marker->automaton;
    const std::int64_t framed_length = length + 2;
    const std::int64_t walk = framed_length < WALK_LIMIT ? framed_length : WALK_LIMIT;

    std::memset(values, 0, static_cast<std::size_t>(walk));
    std::uint32_t row = compiled_next(automaton, automaton->start_row, marker->dot_class);
    merge_row_output(automaton, row, 0, values);
    for (std::int64_t p = 1; p < walk; ++p) {
        const std::uint8_t byte_class = p <= length ? marker->letter_class[run[p - 1]] : marker->dot_class;
        row = compiled_next(automaton, row, byte_class);
        merge_row_output(automaton, row, p, values);
    }
}

}  // namespace

void fast_marker_build(FastMarker* marker, CompiledAutomaton* automaton, const char* smallChars,
                       const char* largeChars)
{
    LetterTable letters;
    letter_table_build(&letters, smallChars, largeChars);
    marker->automaton = automaton;
    for (int b = 0; b < 256; ++b) {
        marker->letter[b] = letters.letter[b];
        marker->letter_class[b] = automaton->byte_class[letters.fold[b]];
    }
    marker->dot_class = automaton->byte_class[static_cast<unsigned char>('.')];
}

void run_marks(const FastMarker* marker, const unsigned char* run, std::int64_t length,
               std::uint64_t marks[RUN_MARK_WORDS])
{
    if (length < MARKABLE_RUN_MIN) {
        for (int w = 0; w < RUN_MARK_WORDS; ++w) marks[w] = 0;
        return;
    }
    std::uint8_t values[WALK_LIMIT];
    walk_run(marker, run, length, values);
    run_mark_bits(length, values + 1, marks);
}
