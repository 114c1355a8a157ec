#pragma once
// The pattern loader built the direct way, as a reference for tests and
// fuzzing: every prefix of a pattern is found or made by its string in a
// StringIndex, and every failure link by looking up the state's suffixes,
// longest first. Slow on large pattern sets (its cost grows with the square
// of their size), but plainly right; load_patterns must give the same
// automaton, state for state.

#include <string>

#include "engine/automaton.h"

// Null when the file cannot be opened or a read fails part way.
PatternAutomaton* load_patterns_by_index(const char* path);

// Empty when both automata have the same states, numbered alike, with the
// same outputs, failure links and transitions (in the same order); else the
// first difference, in words.
std::string automaton_difference(const PatternAutomaton* expected, const PatternAutomaton* actual);

struct StringIndex;

// The state number of `key`, creating the state (and its index entry) when absent.
std::int32_t automaton_state_for(PatternAutomaton* automaton, StringIndex* index, const char* key);
