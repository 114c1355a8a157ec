#pragma once
// Marks runs of letters with the compiled automaton: the same marks as
// find_break_values followed by the driver's rule, computed with one table
// step per byte.

#include <cstdint>

#include "automaton/compiled_automaton.h"
#include "common/letter_table.h"

// Letters from this position of a run on never get a mark.
constexpr std::int64_t MARKED_LETTERS_MAX = 255;

struct FastMarker {
    CompiledAutomaton* automaton;      // its rows are made as the text needs them
    bool letter[256];                  // the byte is a letter of the text (never NUL)
    std::uint8_t letter_class[256];    // class of the letter's lower-case form
    std::uint8_t dot_class;            // class of the framing "."
};

void fast_marker_build(FastMarker* marker, CompiledAutomaton* automaton, const LetterTable* letters);

// Runs of up to this many letters get their marks as a bit set.
constexpr std::int64_t SHORT_RUN_MAX = 32;

// Bit j is set when a break is allowed after letter j of the run
// (length <= SHORT_RUN_MAX).
std::uint32_t short_run_marks(const FastMarker* marker, const unsigned char* run, std::int64_t length);

// Copies the first min(length, MARKED_LETTERS_MAX) letters of the run to `out`,
// each followed by HYPHEN_MARK where a break is allowed, and returns the end of
// what was written (at most 2 * MARKED_LETTERS_MAX bytes). The marks depend on
// the whole run; letters from MARKED_LETTERS_MAX on are left to the caller.
unsigned char* write_marked_head(const FastMarker* marker, const unsigned char* run, std::int64_t length,
                                 unsigned char* out);
