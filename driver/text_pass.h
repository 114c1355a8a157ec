#pragma once
// The pass over the text: copies it to the output, with the hyphen mark after
// every letter where a break is allowed.

#include <cstdint>

#include "automaton/automaton.h"

// Processes `input` up to its first NUL byte and writes the marked text to
// `output`, which must hold twice the text's length. Returns the number of
// bytes written. Only letters 0 .. 254 of a run can get a mark.
std::int64_t run_text(const PatternAutomaton* automaton, const unsigned char* input, unsigned char* output,
                      const char* smallChars, const char* largeChars);
