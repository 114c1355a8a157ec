#pragma once
// Builds the pattern automaton from the bytes of a pattern file.

#include "engine/automaton.h"
#include "engine/byte_source.h"

// Reads a pattern file's bytes from `source` (text mode, pieces of at most
// 79 bytes, one pattern per piece, "%" comments) and returns its automaton,
// owned by the caller until automaton_destroy. Returns null when a read
// fails part way; then *error (when given) holds the source's error number.
//
// Every state gets its failure link, as the automaton walk needs; the
// compiled matcher finds the links it needs itself, and for it they may be
// left out (each state's failure is then -1), which saves about a quarter
// of the loading.
enum class FailureLinks { made, left_out };
PatternAutomaton* load_patterns_from(ByteSource* source, int* error = nullptr,
                                     FailureLinks links = FailureLinks::made);
