#include "automaton/automaton.h"

#include <cstddef>

#include "automaton/string_index.h"
#include "common/memory.h"

PatternAutomaton* automaton_create()
{
    PatternAutomaton* automaton = static_cast<PatternAutomaton*>(must_alloc(sizeof(PatternAutomaton)));
    automaton->count = 1;
    automaton->states = static_cast<AutomatonState*>(must_alloc(sizeof(AutomatonState)));
    automaton->states[0] = AutomatonState{nullptr, -1, 0, nullptr};
    return automaton;
}

std::int32_t automaton_state_for(PatternAutomaton* automaton, StringIndex* index, const char* key)
{
    const std::int32_t found = string_index_find(index, key);
    if (found >= 0) return found;
    const std::int32_t state = automaton->count;
    string_index_insert(index, key, state);
    automaton->states = static_cast<AutomatonState*>(
        grow_for_append(automaton->states, static_cast<std::size_t>(state), sizeof(AutomatonState)));
    automaton->states[state] = AutomatonState{nullptr, -1, 0, nullptr};
    ++automaton->count;
    return state;
}

void automaton_add_transition(PatternAutomaton* automaton, std::int32_t parent, std::int32_t child,
                              unsigned char letter)
{
    AutomatonState* state = &automaton->states[parent];
    const std::int32_t n = state->transition_count;
    state->transitions = static_cast<Transition*>(
        grow_for_append(state->transitions, static_cast<std::size_t>(n), sizeof(Transition)));
    state->transitions[n] = Transition{letter, child};
    ++state->transition_count;
}

void automaton_destroy(PatternAutomaton* automaton)
{
    if (automaton == nullptr) return;
    for (std::int32_t s = 0; s < automaton->count; ++s) {
        mem_release(automaton->states[s].output);
        mem_release(automaton->states[s].transitions);
    }
    mem_release(automaton->states);
    mem_release(automaton);
}
