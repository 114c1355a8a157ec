#pragma once
// Marks runs of letters with the compiled automaton: one table step per byte
// of the framed run instead of a walk along failure links. Gives exactly the
// marks of find_break_values under the break rule, which the differential
// tests check.

#include <cstdint>

#include "engine/compiled_automaton.h"
#include "engine/pattern_line.h"
#include "engine/break_rule.h"
#include "engine/letter_table.h"

// A pattern's digits reach at most PATTERN_LINE_MAX gaps back from the byte
// that ends it, so framed bytes beyond this position cannot change the
// values of the gaps that can be marked.
constexpr std::int64_t WALK_LIMIT = MARKED_LETTERS_MAX + 1 + static_cast<std::int64_t>(PATTERN_LINE_MAX);

// A program's own rules for the marks of a word, applied after the rule's
// minima to every run the marker marks: it may take marks away or add
// others, from the run's bytes alone (so that a word's marks can be kept).
using WordAdjust = void (*)(const void* context, const unsigned char* run, std::int64_t length,
                            std::uint64_t marks[RUN_MARK_WORDS]);

struct FastMarker {
    CompiledAutomaton* automaton;      // its rows are made as the text needs them
    bool letter[256];                  // the byte is a letter of the text (never NUL)
    std::uint8_t letter_class[256];    // class of the letter's lower-case form
    std::uint8_t dot_class;            // class of the framing "."
    MarkRule rule;                     // the fewest letters on either side of a mark
    std::int64_t min_run;              // shorter runs are not looked at: they get no marks
    WordAdjust adjust;                 // null: the marks are the patterns' alone
    const void* adjust_context;
};

// Sets up the fast path for the text's letters, two and two letters on
// either side of a mark. The marker refers to `automaton`, which must
// outlive it.
void fast_marker_build(FastMarker* marker, CompiledAutomaton* automaton, const LetterTable* letters);

// Changes the rule of a marker, and gives it a program's own word rules.
// Runs shorter than `min_run` (at least rule.left + rule.right, unless the
// word rules may mark shorter ones) are not looked at.
void fast_marker_set_rule(FastMarker* marker, MarkRule rule, WordAdjust adjust, const void* context,
                          std::int64_t min_run);

// The marks of a run of `length` letters (run_mark_bits): they depend on
// the whole run, and only its first MARKED_LETTERS_MAX letters can take one.
void run_marks(const FastMarker* marker, const unsigned char* run, std::int64_t length,
               std::uint64_t marks[RUN_MARK_WORDS]);

// Runs walked side by side by runs_marks, at most.
constexpr int SIDE_BY_SIDE_MAX = 4;

// The marks of `count` (at most SIDE_BY_SIDE_MAX) runs of at most 64
// letters: marks[k] of runs[k], of lengths[k] letters.
void runs_marks(const FastMarker* marker, const unsigned char* const* runs, const std::int64_t* lengths, int count,
                std::uint64_t* marks);
