#include "engine/automaton.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/memory.h"

PatternAutomaton* automaton_create()
{
    PatternAutomaton* automaton = static_cast<PatternAutomaton*>(must_alloc(sizeof(PatternAutomaton)));
    automaton->count = 1;
    automaton->states = static_cast<AutomatonState*>(must_alloc(sizeof(AutomatonState)));
    automaton->states[0] = AutomatonState{nullptr, -1, 0, nullptr};
    arena_init(&automaton->storage);
    for (std::uint32_t& count : automaton->transitions_on) count = 0;
    automaton->longest_output = 0;
    return automaton;
}

std::int32_t automaton_append_states(PatternAutomaton* automaton, std::int32_t n)
{
    const std::int32_t first = automaton_append_unset_states(automaton, n);
    for (std::int32_t s = first; s < first + n; ++s) automaton->states[s] = AutomatonState{nullptr, -1, 0, nullptr};
    return first;
}

std::int32_t automaton_append_unset_states(PatternAutomaton* automaton, std::int32_t n)
{
    const std::int32_t first = automaton->count;
    // State numbers are 32-bit: more states than that is more memory than
    // the records can address.
    if (n > INT32_MAX - first) {
        fail_allocation((static_cast<std::size_t>(first) + static_cast<std::size_t>(n)) * sizeof(AutomatonState));
    }
    const std::size_t room = std::bit_ceil(static_cast<std::size_t>(first));
    const std::size_t needed = std::bit_ceil(static_cast<std::size_t>(first) + static_cast<std::size_t>(n));
    if (needed > room) {
        automaton->states =
            static_cast<AutomatonState*>(must_realloc(automaton->states, needed * sizeof(AutomatonState)));
    }
    automaton->count = first + n;
    return first;
}

void automaton_add_transition(PatternAutomaton* automaton, std::int32_t parent, std::int32_t child,
                              unsigned char letter)
{
    AutomatonState* state = &automaton->states[parent];
    const std::int32_t n = state->transition_count;
    // Room for 1, then 2, 4, 8 ... transitions; the room outgrown stays with
    // the automaton until it is destroyed, which costs at most as much again.
    if ((n & (n - 1)) == 0) {  // 0 or a power of two, without a popcount call
        const std::size_t room = n == 0 ? 1 : 2 * static_cast<std::size_t>(n);
        Transition* grown = static_cast<Transition*>(
            arena_carve(&automaton->storage, room * sizeof(Transition), alignof(Transition)));
        if (n != 0) std::memcpy(grown, state->transitions, static_cast<std::size_t>(n) * sizeof(Transition));
        state->transitions = grown;
    }
    state->transitions[n] = Transition{letter, child};
    automaton_note_letter(automaton, letter);
    ++state->transition_count;
}

void automaton_destroy(PatternAutomaton* automaton)
{
    if (automaton == nullptr) return;
    arena_release(&automaton->storage);
    mem_release(automaton->states);
    mem_release(automaton);
}
