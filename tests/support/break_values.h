#pragma once
// Break values of one run of letters: one digit character per letter whose
// oddness says whether a line may be broken after that letter.

#include <cstdint>

#include "engine/automaton.h"
#include "engine/break_rule.h"

// Fills values[j] for j = 0 .. min(run_length, WORD_VALUES_MAX) - 1 with the
// break value ("0".."9") of the gap after letter j of the run. The run is
// folded to the lower-case alphabet and framed by "." for matching; the run
// itself is not changed. Breaks after the first letter and after the last two
// are cleared. Never writes beyond WORD_VALUES_MAX entries of `values`.
void find_break_values(const PatternAutomaton* automaton, const unsigned char* run, std::int64_t run_length,
                       char* values, const char* smallChars, const char* largeChars);
