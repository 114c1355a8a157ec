#pragma once
// A UTF-8 pattern set's automaton: its patterns with their letters as the
// engine sees them in a text (letters.h), loaded.

#include <string>
#include <string_view>

#include "engine/automaton.h"
#include "utf8/letters.h"

// The patterns of a pattern file (its text, header included) a line each,
// without their comments, their letters in the form that `letters` gives them.
std::string utf8_engine_patterns(const Utf8Letters* letters, std::string_view patterns);

// The automaton of those lines, the caller's until automaton_destroy.
PatternAutomaton* utf8_set_automaton(const Utf8Letters* letters, std::string_view patterns);
