#pragma once
// The pattern automaton: a trie over the letters of every pattern with a
// failure link on every state (Aho-Corasick). A state whose string is the
// letter sequence of a pattern line carries that pattern's digits as output.

#include <cstdint>

struct StringIndex;

struct Transition {
    unsigned char letter;
    std::int32_t target;
};

struct AutomatonState {
    char* output;                  // digit characters, or null
    std::int32_t failure;          // longest proper suffix that is a state, or -1
    std::int32_t transition_count;
    Transition* transitions;       // null while transition_count is 0
};

struct PatternAutomaton {
    std::int32_t count;            // number of states, at least 1
    AutomatonState* states;        // state 0 is the root (the empty string)
};

// An automaton holding the root alone.
PatternAutomaton* automaton_create();

// The state number of `key`, creating the state (and its index entry) when absent.
std::int32_t automaton_state_for(PatternAutomaton* automaton, StringIndex* index, const char* key);

// Appends a transition on `letter` from `parent` to `child`.
void automaton_add_transition(PatternAutomaton* automaton, std::int32_t parent, std::int32_t child,
                              unsigned char letter);

void automaton_destroy(PatternAutomaton* automaton);
