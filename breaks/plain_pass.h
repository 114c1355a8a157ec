#pragma once
// The plain pass over a whole text in memory: every run of letters walked
// through the pattern automaton itself (find_break_values). Kept as the
// reference that the fast, streamed pass is compared with.

#include <cstdint>

#include "automaton/automaton.h"

// Processes `input` up to its first NUL byte and writes the marked text to
// `output`, which must hold twice the text's length. Returns the number of
// bytes written.
std::int64_t run_text(const PatternAutomaton* automaton, const unsigned char* input, unsigned char* output,
                      const char* smallChars, const char* largeChars);
