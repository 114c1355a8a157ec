#pragma once
// Builds the pattern automaton from a pattern file.

#include "automaton/automaton.h"

// Reads the pattern file at `path` (text mode, pieces of at most 79 bytes,
// one pattern per piece, "%" comments) and returns its automaton, owned by
// the caller until automaton_destroy. Returns null when the file cannot be
// opened or a read fails part way; then *error (when given) holds the
// system's error number.
PatternAutomaton* load_patterns(const char* path, int* error = nullptr);
