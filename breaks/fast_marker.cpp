#include "breaks/fast_marker.h"

#include <cstring>

#include "automaton/pattern_line.h"
#include "breaks/break_values.h"

namespace {

// A pattern's digits reach at most PATTERN_LINE_MAX gaps back from the byte
// that ends it, so bytes of the framed word beyond this position cannot
// change the values of the gaps that can be marked.
constexpr std::int64_t WALK_LIMIT = MARKED_LETTERS_MAX + 1 + static_cast<std::int64_t>(PATTERN_LINE_MAX);

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

}  // namespace

void fast_marker_build(FastMarker* marker, CompiledAutomaton* automaton, const LetterTable* letters)
{
    marker->automaton = automaton;
    for (int b = 0; b < 256; ++b) {
        marker->letter[b] = letters->letter[b];
        marker->letter_class[b] = automaton->byte_class[letters->fold[b]];
    }
    marker->dot_class = automaton->byte_class[static_cast<unsigned char>('.')];
}

// Fills values[q] for the gaps of the framed run that can matter (q < the
// returned count) and returns that count.
static std::int64_t walk_run(const FastMarker* marker, const unsigned char* run, std::int64_t length, std::uint8_t* values)
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
    return walk;
}

std::uint32_t short_run_marks(const FastMarker* marker, const unsigned char* run, std::int64_t length)
{
    if (length < 4) return 0;
    std::uint8_t values[SHORT_RUN_MAX + 2];
    walk_run(marker, run, length, values);
    // Letter j may break where the gap after it (framed gap j + 1) is odd,
    // never after the first letter nor after the last two.
    std::uint32_t marks = 0;
    for (std::int64_t j = 1; j <= length - 3; ++j) marks |= static_cast<std::uint32_t>(values[j + 1] & 1) << j;
    return marks;
}

unsigned char* write_marked_head(const FastMarker* marker, const unsigned char* run, std::int64_t length,
                                 unsigned char* out)
{
    const std::int64_t head = length < MARKED_LETTERS_MAX ? length : MARKED_LETTERS_MAX;
    if (length < 4) {
        std::memcpy(out, run, static_cast<std::size_t>(head));
        return out + head;
    }
    std::uint8_t values[WALK_LIMIT];
    walk_run(marker, run, length, values);
    const std::int64_t last_breakable = length - 3;
    *out++ = run[0];
    for (std::int64_t j = 1; j < head; ++j) {
        *out++ = run[j];
        if (j <= last_breakable && (values[j + 1] & 1) != 0) *out++ = HYPHEN_MARK;
    }
    return out;
}
