#include "engine/fast_marker.h"

#include <cstring>

#include "engine/letter_table.h"

#include "platform/features.h"
#include "platform/expect.h"

#if ZARNET_SSE2
#include <emmintrin.h>
#endif

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

#if ZARNET_SSE2
inline __m128i load_window(const CompiledAutomaton* automaton, std::uint32_t row)
{
    return _mm_load_si128(reinterpret_cast<const __m128i*>(automaton->windows[compiled_output(automaton, row)].gaps));
}

// walk_run for `count` runs at once, for a matcher whose outputs all lie
// within their windows. Each register holds the values of the gaps from
// OUTPUT_WINDOW - 1 before the gap after the byte just read up to that gap;
// each step stores it whole, so the gaps it leaves behind are in values[k]
// with their final values, and values[k][-OUTPUT_WINDOW + 1 .. -1] take what
// lies before the run. A step of each run is taken in turn: the steps of one
// run wait for memory one after another, those of different runs do not.
// The matcher's outputs are read after each step: making a row may move them.
void walk_runs_windowed(const FastMarker* marker, const unsigned char* const* runs, const std::int64_t* lengths,
                        int count, std::uint8_t* const* values)
{
    static_assert(OUTPUT_WINDOW == sizeof(__m128i));
    constexpr std::int64_t BACK = static_cast<std::int64_t>(OUTPUT_WINDOW) - 1;
    CompiledAutomaton* automaton = marker->automaton;
    std::int64_t walk[SIDE_BY_SIDE_MAX];
    std::uint32_t row[SIDE_BY_SIDE_MAX];
    __m128i window[SIDE_BY_SIDE_MAX];
    std::int64_t longest = 0;
    for (int k = 0; k < count; ++k) {
        walk[k] = lengths[k] + 2 < WALK_LIMIT ? lengths[k] + 2 : WALK_LIMIT;
        if (walk[k] > longest) longest = walk[k];
        row[k] = compiled_next(automaton, automaton->start_row, marker->dot_class);
        window[k] = load_window(automaton, row[k]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(values[k] - BACK), window[k]);
    }
    for (std::int64_t p = 1; p < longest; ++p) {
        for (int k = 0; k < count; ++k) {
            if (p >= walk[k]) continue;
            const std::uint8_t byte_class = p <= lengths[k] ? marker->letter_class[runs[k][p - 1]] : marker->dot_class;
            row[k] = compiled_next(automaton, row[k], byte_class);
            window[k] = _mm_max_epu8(_mm_srli_si128(window[k], 1), load_window(automaton, row[k]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(values[k] + p - BACK), window[k]);
        }
    }
}
#endif

// Fills values[q] for the gaps of the framed run that can matter (q below
// WALK_LIMIT); values[j + 1] is then the gap after letter j of the run.
// values[-OUTPUT_WINDOW .. -1] may be written too.
void walk_run(const FastMarker* marker, const unsigned char* run, std::int64_t length, std::uint8_t* values)
{
    CompiledAutomaton* automaton = marker->automaton;
#if ZARNET_SSE2
    if (automaton->windowed) {
        walk_runs_windowed(marker, &run, &length, 1, &values);
        return;
    }
#endif
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

void fast_marker_build(FastMarker* marker, CompiledAutomaton* automaton, const LetterTable* letters)
{
    marker->automaton = automaton;
    for (int b = 0; b < 256; ++b) {
        marker->letter[b] = letters->letter[b];
        marker->letter_class[b] = automaton->byte_class[letters->fold[b]];
    }
    marker->dot_class = automaton->byte_class[static_cast<unsigned char>('.')];
    fast_marker_set_rule(marker, TWO_AND_TWO, nullptr, nullptr, MARKABLE_RUN_MIN);
}

void fast_marker_set_rule(FastMarker* marker, MarkRule rule, WordAdjust adjust, const void* context,
                          std::int64_t min_run)
{
    ZARNET_EXPECT(rule.left >= 1 && rule.right >= 1 && min_run >= 2);
    ZARNET_EXPECT(adjust != nullptr || min_run >= rule.left + rule.right);
    marker->rule = rule;
    marker->min_run = min_run;
    marker->adjust = adjust;
    marker->adjust_context = context;
}

void run_marks(const FastMarker* marker, const unsigned char* run, std::int64_t length,
               std::uint64_t marks[RUN_MARK_WORDS])
{
    ZARNET_EXPECT(length >= 0);
    if (length < marker->rule.left + marker->rule.right) {
        for (int w = 0; w < RUN_MARK_WORDS; ++w) marks[w] = 0;
    } else {
        // Room before the values for the gaps a window reaches before the run.
        alignas(OUTPUT_WINDOW) std::uint8_t room[OUTPUT_WINDOW + WALK_LIMIT];
        std::uint8_t* values = room + OUTPUT_WINDOW;
        walk_run(marker, run, length, values);
        run_mark_bits(length, values + 1, marks, marker->rule);
    }
    if (marker->adjust != nullptr) marker->adjust(marker->adjust_context, run, length, marks);
}

void runs_marks(const FastMarker* marker, const unsigned char* const* runs, const std::int64_t* lengths, int count,
                std::uint64_t* marks)
{
    ZARNET_EXPECT(count >= 0 && count <= SIDE_BY_SIDE_MAX);
    for (int k = 0; k < count; ++k) ZARNET_EXPECT(lengths[k] >= 0 && lengths[k] <= 64);
    std::uint64_t run_words[RUN_MARK_WORDS];
#if ZARNET_SSE2
    if (marker->automaton->windowed) {
        alignas(OUTPUT_WINDOW) std::uint8_t room[SIDE_BY_SIDE_MAX][OUTPUT_WINDOW + WALK_LIMIT];
        std::uint8_t* values[SIDE_BY_SIDE_MAX];
        for (int k = 0; k < SIDE_BY_SIDE_MAX; ++k) values[k] = room[k] + OUTPUT_WINDOW;
        walk_runs_windowed(marker, runs, lengths, count, values);
        for (int k = 0; k < count; ++k) {
            if (lengths[k] < marker->rule.left + marker->rule.right) {
                for (int w = 0; w < RUN_MARK_WORDS; ++w) run_words[w] = 0;
            } else {
                run_mark_bits(lengths[k], values[k] + 1, run_words, marker->rule);
            }
            if (marker->adjust != nullptr) marker->adjust(marker->adjust_context, runs[k], lengths[k], run_words);
            marks[k] = run_words[0];
        }
        return;
    }
#endif
    for (int k = 0; k < count; ++k) {
        run_marks(marker, runs[k], lengths[k], run_words);
        marks[k] = run_words[0];
    }
}
