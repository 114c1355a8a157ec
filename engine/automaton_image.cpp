#include "engine/automaton_image.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "platform/memory.h"

namespace {

void put_number(std::string* out, std::uint64_t value)
{
    while (value >= 0x80) {
        out->push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out->push_back(static_cast<char>(value));
}

// Reads a number of at most 35 bits at *at, before `end`; false past the end.
// Most numbers of an image take one byte.
inline bool take_number(const unsigned char** at, const unsigned char* end, std::uint64_t* value)
{
    if (*at != end && **at < 0x80) [[likely]] {
        *value = *(*at)++;
        return true;
    }
    *value = 0;
    for (int shift = 0; shift < 35 && *at != end; shift += 7) {
        const unsigned char byte = *(*at)++;
        *value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

}  // namespace

std::string automaton_image(const PatternAutomaton* automaton)
{
    // The outputs, each once, and where each begins.
    std::string digits;
    std::unordered_map<std::string, std::size_t> placed;
    std::size_t room = 0;
    for (std::int32_t s = 0; s < automaton->count; ++s) {
        const AutomatonState& state = automaton->states[s];
        if (state.transition_count != 0) room += std::bit_ceil(static_cast<std::size_t>(state.transition_count));
        if (state.output != nullptr && placed.emplace(state.output, digits.size()).second) {
            digits += state.output;
            digits.push_back('\0');
        }
    }
    std::string out;
    put_number(&out, static_cast<std::uint64_t>(automaton->count));
    put_number(&out, automaton->longest_output);
    put_number(&out, room);
    put_number(&out, digits.size());
    out += digits;
    for (std::int32_t s = 0; s < automaton->count; ++s) {
        const AutomatonState& state = automaton->states[s];
        put_number(&out, state.output == nullptr ? 0 : placed[state.output] + 1);
        put_number(&out, static_cast<std::uint64_t>(state.transition_count));
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            const Transition& move = state.transitions[t];
            out.push_back(static_cast<char>(move.letter));
            const std::int64_t distance = static_cast<std::int64_t>(move.target) - s;
            put_number(&out, distance >= 0 ? static_cast<std::uint64_t>(distance) * 2
                                           : static_cast<std::uint64_t>(-distance) * 2 - 1);
        }
    }
    return out;
}

PatternAutomaton* automaton_from_image(const unsigned char* image, std::size_t size)
{
    const unsigned char* at = image;
    const unsigned char* const end = image + size;
    std::uint64_t count = 0;
    std::uint64_t longest = 0;
    std::uint64_t room = 0;
    std::uint64_t digits_size = 0;
    // Every state takes at least two bytes of the image, every transition
    // two, and the room for them at most twice as many.
    if (!take_number(&at, end, &count) || !take_number(&at, end, &longest) || !take_number(&at, end, &room) ||
        !take_number(&at, end, &digits_size) || count == 0 || count > size || count > INT32_MAX || room > size ||
        digits_size > static_cast<std::uint64_t>(end - at) || (digits_size != 0 && at[digits_size - 1] != '\0')) {
        return nullptr;
    }
    PatternAutomaton* automaton = automaton_create();
    // Every state is set below, in order; those after a fault are never read.
    automaton_append_unset_states(automaton, static_cast<std::int32_t>(count - 1));
    automaton->longest_output = static_cast<std::size_t>(longest);
    // Every output ends within the block, which ends with a NUL.
    char* digits = static_cast<char*>(arena_carve(&automaton->storage, digits_size + 1, 1));
    std::memcpy(digits, at, static_cast<std::size_t>(digits_size));
    at += digits_size;
    Transition* transitions = static_cast<Transition*>(
        arena_carve(&automaton->storage, static_cast<std::size_t>(room) * sizeof(Transition) + 1, alignof(Transition)));
    std::uint64_t room_left = room;
    const std::int64_t states = automaton->count;
    bool whole = true;
    std::int64_t s = 0;
    for (; s < states && whole; ++s) {
        std::uint64_t output = 0;
        std::uint64_t moves = 0;
        if (!take_number(&at, end, &output) || output > digits_size) break;
        AutomatonState* state = &automaton->states[s];
        *state = AutomatonState{output != 0 ? digits + (output - 1) : nullptr, -1, 0, nullptr};
        if (!take_number(&at, end, &moves) || moves > 256 || 2 * moves > static_cast<std::uint64_t>(end - at)) break;
        if (moves == 0) continue;
        // Room as adding the transitions one at a time would leave.
        const std::size_t moves_room = std::bit_ceil(static_cast<std::size_t>(moves));
        if (moves_room > room_left) break;
        room_left -= moves_room;
        state->transitions = transitions;
        state->transition_count = static_cast<std::int32_t>(moves);
        for (std::uint64_t t = 0; t < moves; ++t) {
            std::uint64_t zigzag = 0;
            const unsigned char letter = *at++;
            whole = take_number(&at, end, &zigzag) && whole;
            const std::int64_t target = (zigzag & 1) != 0 ? s - static_cast<std::int64_t>((zigzag + 1) / 2)
                                                           : s + static_cast<std::int64_t>(zigzag / 2);
            whole = whole && target >= 0 && target < states;
            transitions[t] = Transition{letter, static_cast<std::int32_t>(target)};
            automaton_note_letter(automaton, letter);
            // The next letter, if any, lies before the end.
            if (at == end && t + 1 < moves) whole = false;
            if (!whole) break;
        }
        transitions += moves_room;
    }
    if (s == states && whole && at == end && room_left == 0) return automaton;
    automaton_destroy(automaton);
    return nullptr;
}
