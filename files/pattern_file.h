#pragma once
// Loading the automaton from a pattern file named on the command line.

#include "engine/loader.h"

// The automaton of the pattern file at `path`, or null when the file cannot
// be opened or read; then *error (when given) holds the system's error number.
PatternAutomaton* load_patterns(const char* path, int* error = nullptr, FailureLinks links = FailureLinks::made);
