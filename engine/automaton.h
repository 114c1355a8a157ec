#pragma once
// The pattern automaton: a trie over the letters of every pattern with a
// failure link on every state (Aho-Corasick). A state whose string is the
// letter sequence of a pattern line carries that pattern's digits as output.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/arena.h"


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
    // Where every state's transitions and output are kept: a pattern set has
    // many small ones, made and released together with the automaton.
    Arena storage;
    // How many transitions are on each byte (0: the byte is no letter of
    // any pattern).
    std::uint32_t transitions_on[256];
    // Digits of the longest output given to a state: no pattern reaches
    // further back from the byte that ends it.
    std::size_t longest_output;
};

inline void automaton_note_letter(PatternAutomaton* automaton, unsigned char letter)
{
    ++automaton->transitions_on[letter];
}

// An automaton holding the root alone.
PatternAutomaton* automaton_create();

// Appends `n` states (no output, no failure link, no transitions) and
// returns the number of the first. The states array has room for `count`
// rounded up to a power of two: it doubles whenever a state is appended while
// `count` is a power of two.
std::int32_t automaton_append_states(PatternAutomaton* automaton, std::int32_t n);

// The same for a caller that then sets every field of each new state
// itself: the states are left as they come.
std::int32_t automaton_append_unset_states(PatternAutomaton* automaton, std::int32_t n);

// The same as automaton_append_states while the states array has room; else
// that call.
inline std::int32_t automaton_append_states_quickly(PatternAutomaton* automaton, std::int32_t n)
{
    const std::int32_t first = automaton->count;
    const std::uint32_t room = std::bit_ceil(static_cast<std::uint32_t>(first));
    if (n > INT32_MAX - first || room < static_cast<std::uint32_t>(first) + static_cast<std::uint32_t>(n)) {
        return automaton_append_states(automaton, n);
    }
    for (std::int32_t s = first; s < first + n; ++s) automaton->states[s] = AutomatonState{nullptr, -1, 0, nullptr};
    automaton->count = first + n;
    return first;
}

inline std::int32_t automaton_append_state(PatternAutomaton* automaton)
{
    return automaton_append_states(automaton, 1);
}

// Appends a transition on `letter` from `parent` to `child`.
void automaton_add_transition(PatternAutomaton* automaton, std::int32_t parent, std::int32_t child,
                              unsigned char letter);

// Gives `state` a copy of the `length` digit characters of `output`,
// replacing any output it had.
inline void automaton_set_output(PatternAutomaton* automaton, std::int32_t state, const char* output,
                                 std::size_t length)
{
    char* copy = static_cast<char*>(arena_carve(&automaton->storage, length + 1, 1));
    std::memcpy(copy, output, length);
    copy[length] = '\0';
    automaton->states[state].output = copy;
    if (length > automaton->longest_output) automaton->longest_output = length;
}

void automaton_destroy(PatternAutomaton* automaton);
