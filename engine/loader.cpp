#include "engine/loader.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/pattern_line.h"
#include "platform/features.h"
#include "platform/memory.h"
#include "engine/text_mode_reader.h"

// The trie is built by walking it: a pattern's letters are followed from the
// root through the states' transitions, and the letters left over become new
// states. That is linear in the pattern file, where looking every prefix up
// by its string would cost the square of a pattern's length for each pattern
// and grow with the number of patterns. The states are numbered, linked and
// given their outputs exactly as the string lookups would: the new states of
// a pattern in order from the longest string to the shortest, each transition
// appended to its parent as the state is made (the new states' own
// transitions first, then the one from the state the pattern's walk ended at).
//
// A state's transitions are searched in order, which is quick while they are
// few; the root's moves, and those of any state with many transitions, are
// also kept in a table of 256 entries.

namespace {

// States with more transitions than this also get a table.
constexpr std::int32_t SCAN_MAX = 16;

using MoveTable = std::int32_t[256];  // child on each byte, 0 for none (the root is nobody's child)

// The tables of the states with many transitions: open addressing over
// state numbers, which are never 0 here (the root's table stands apart).
struct WideStates {
    std::int32_t* state;      // [slot], 0 for a free slot
    MoveTable** table;        // [slot]
    std::size_t mask;         // slot count - 1; the count is a power of two
    std::size_t used;
    Arena tables;
};

std::size_t wide_slot(const WideStates* wide, std::int32_t state)
{
    return static_cast<std::size_t>((static_cast<std::uint64_t>(state) * 0x9E3779B97F4A7C15ull) >> 32) & wide->mask;
}

void wide_create(WideStates* wide)
{
    wide->mask = 63;
    wide->state = static_cast<std::int32_t*>(must_alloc_zeroed(wide->mask + 1, sizeof(std::int32_t)));
    wide->table = static_cast<MoveTable**>(must_alloc((wide->mask + 1) * sizeof(MoveTable*)));
    wide->used = 0;
    arena_init(&wide->tables);
}

void wide_destroy(WideStates* wide)
{
    mem_release(wide->state);
    mem_release(wide->table);
    arena_release(&wide->tables);
}

MoveTable* wide_find(const WideStates* wide, std::int32_t state)
{
    for (std::size_t i = wide_slot(wide, state);; i = (i + 1) & wide->mask) {
        if (wide->state[i] == state) return wide->table[i];
        if (wide->state[i] == 0) return nullptr;
    }
}

void wide_place(WideStates* wide, std::int32_t state, MoveTable* table)
{
    std::size_t i = wide_slot(wide, state);
    while (wide->state[i] != 0) i = (i + 1) & wide->mask;
    wide->state[i] = state;
    wide->table[i] = table;
}

// A table for `state`, filled from its transitions; the map doubles at half full.
void wide_add(WideStates* wide, const AutomatonState& moves, std::int32_t state)
{
    if (2 * (wide->used + 1) > wide->mask + 1) {
        const std::size_t old_count = wide->mask + 1;
        std::int32_t* old_state = wide->state;
        MoveTable** old_table = wide->table;
        wide->mask = 2 * old_count - 1;
        wide->state = static_cast<std::int32_t*>(must_alloc_zeroed(2 * old_count, sizeof(std::int32_t)));
        wide->table = static_cast<MoveTable**>(must_alloc(2 * old_count * sizeof(MoveTable*)));
        for (std::size_t i = 0; i < old_count; ++i) {
            if (old_state[i] != 0) wide_place(wide, old_state[i], old_table[i]);
        }
        mem_release(old_state);
        mem_release(old_table);
    }
    MoveTable* table = static_cast<MoveTable*>(arena_carve(&wide->tables, sizeof(MoveTable), alignof(MoveTable)));
    for (std::int32_t& child : *table) child = 0;
    for (std::int32_t t = 0; t < moves.transition_count; ++t) {
        (*table)[moves.transitions[t].letter] = moves.transitions[t].target;
    }
    wide_place(wide, state, table);
    ++wide->used;
}

struct Builder {
    PatternAutomaton* automaton;
    MoveTable root;
    WideStates wide;
    // The previous pattern's letters and the states of their prefixes
    // (path[k] for the first k letters): pattern files are mostly sorted, so
    // a pattern shares a prefix with the one before it. Lines are parsed in
    // turn into the two records of `lines`, so the previous one stays.
    PatternLine lines[2];
    const PatternLine* previous;
    std::int32_t path[PATTERN_LINE_MAX + 1];
};

// The number of leading letters `a` and `b` share, at most `limit`. Both
// arrays are read whole, eight bytes at a time.
std::size_t shared_prefix(const char* a, const char* b, std::size_t limit)
{
    std::size_t k = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; k + 8 <= PATTERN_LINE_MAX && k < limit; k += 8) {
            std::uint64_t x;
            std::uint64_t y;
            std::memcpy(&x, a + k, 8);
            std::memcpy(&y, b + k, 8);
            if (x != y) {
                k += static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
                return k < limit ? k : limit;
            }
        }
        if (k >= limit) return limit;
    }
    while (k < limit && a[k] == b[k]) ++k;
    return k;
}

// The child of `state` on `letter`, or 0 for none.
std::int32_t child_on(const Builder* builder, std::int32_t state, unsigned char letter)
{
    if (state == 0) return builder->root[letter];
    const AutomatonState& moves = builder->automaton->states[state];
    if (moves.transition_count > SCAN_MAX) return (*wide_find(&builder->wide, state))[letter];
    for (std::int32_t t = 0; t < moves.transition_count; ++t) {
        if (moves.transitions[t].letter == letter) return moves.transitions[t].target;
    }
    return 0;
}

void add_child(Builder* builder, std::int32_t parent, std::int32_t child, unsigned char letter)
{
    automaton_add_transition(builder->automaton, parent, child, letter);
    if (parent == 0) {
        builder->root[letter] = child;
        return;
    }
    const AutomatonState& moves = builder->automaton->states[parent];
    if (moves.transition_count == SCAN_MAX + 1) {
        wide_add(&builder->wide, moves, parent);
    } else if (moves.transition_count > SCAN_MAX + 1) {
        (*wide_find(&builder->wide, parent))[letter] = child;
    }
}

// The record the next line is parsed into: the one not holding the previous pattern.
PatternLine* next_line(Builder* builder)
{
    return builder->previous == &builder->lines[0] ? &builder->lines[1] : &builder->lines[0];
}

// Adds one parsed pattern, parsed into next_line(builder): its state gets the output (a later line with the
// same letters replaces an earlier one), and each prefix that did not exist
// yet is created and linked to its parent, longest first.
void add_pattern(Builder* builder, const PatternLine* parsed)
{
    PatternAutomaton* automaton = builder->automaton;
    const unsigned char* letters = reinterpret_cast<const unsigned char*>(parsed->letters);
    const std::size_t length = parsed->letter_count;

    const PatternLine* previous = builder->previous;
    builder->previous = parsed;
    const std::size_t shared = length < previous->letter_count ? length : previous->letter_count;
    std::size_t depth = shared_prefix(parsed->letters, previous->letters, shared);
    std::int32_t state = builder->path[depth];
    while (depth < length) {
        const std::int32_t child = child_on(builder, state, letters[depth]);
        if (child == 0) break;
        state = child;
        builder->path[++depth] = state;
    }

    if (depth < length) {
        // The string of `length` letters gets the lowest new number, the
        // one of depth + 1 letters the highest.
        const std::size_t fresh = length - depth;
        const std::int32_t first = automaton_append_states_quickly(automaton, static_cast<std::int32_t>(fresh));
        AutomatonState* states = automaton->states;
        // Each new state but the longest has one transition, to the one a
        // letter longer: one room holds them all.
        Transition* rooms = nullptr;
        if (fresh > 1) {
            rooms = static_cast<Transition*>(
                arena_carve(&automaton->storage, (fresh - 1) * sizeof(Transition), alignof(Transition)));
        }
        for (std::size_t k = length; k > depth + 1; --k) {
            const std::int32_t child = first + static_cast<std::int32_t>(length - k);
            AutomatonState& parent = states[child + 1];
            parent.transitions = rooms++;
            parent.transitions[0] = Transition{letters[k - 1], child};
            automaton_note_letter(automaton, letters[k - 1]);
            parent.transition_count = 1;
            builder->path[k] = child;
        }
        const std::int32_t top = first + static_cast<std::int32_t>(fresh - 1);
        add_child(builder, state, top, letters[depth]);
        builder->path[depth + 1] = top;
        state = first;
    }

    const char* output = pattern_line_output(parsed);
    automaton_set_output(automaton, state, output,
                         static_cast<std::size_t>(parsed->digits + parsed->letter_count + 1 - output));
}

// States ahead in the queue whose memory is asked for before it is needed.
constexpr std::size_t PREFETCH_AHEAD = 6;

inline void prefetch(const void* address)
{
    zarnet_prefetch(address);
}

// Every non-root state fails over to its longest proper suffix that is a
// state. Taken breadth first, a state's failure link is known before those of
// its children: the child on letter b fails over to the state reached on b
// from the nearest state along the parent's failure chain that has such a
// move, or to the root. The children of one state look along the same chain,
// so its states stay at hand.
void link_failures(Builder* builder)
{
    PatternAutomaton* automaton = builder->automaton;
    std::int32_t* queue =
        static_cast<std::int32_t*>(must_alloc(static_cast<std::size_t>(automaton->count) * sizeof(std::int32_t)));
    std::size_t head = 0;
    std::size_t tail = 0;
    AutomatonState* states = automaton->states;
    for (std::int32_t t = 0; t < states[0].transition_count; ++t) {
        const std::int32_t child = states[0].transitions[t].target;
        states[child].failure = 0;
        queue[tail++] = child;
    }
    while (head < tail) {
        // The queue says which states come next; their records and
        // transitions are scattered over memory, so ask for them early.
        // Three steps: a state's record, then its transitions and the
        // record of its failure state, then that one's transitions.
        if (head + 3 * PREFETCH_AHEAD < tail) prefetch(&states[queue[head + 3 * PREFETCH_AHEAD]]);
        if (head + 2 * PREFETCH_AHEAD < tail) {
            const AutomatonState& ahead = states[queue[head + 2 * PREFETCH_AHEAD]];
            prefetch(ahead.transitions);
            prefetch(&states[ahead.failure]);
        }
        if (head + PREFETCH_AHEAD < tail) prefetch(states[states[queue[head + PREFETCH_AHEAD]].failure].transitions);
        const AutomatonState& state = states[queue[head++]];
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            const Transition& move = state.transitions[t];
            std::int32_t fallback = state.failure;
            std::int32_t found = child_on(builder, fallback, move.letter);
            while (found == 0 && fallback != 0) {
                fallback = states[fallback].failure;
                found = child_on(builder, fallback, move.letter);
            }
            states[move.target].failure = found;
            queue[tail++] = move.target;
        }
    }
    mem_release(queue);
}

}  // namespace

PatternAutomaton* load_patterns_from(ByteSource* source, int* error, FailureLinks links)
{
    TextModeReader* reader = static_cast<TextModeReader*>(must_alloc(sizeof(TextModeReader)));
    text_mode_reader_start(reader, source);

    Builder* builder = static_cast<Builder*>(must_alloc(sizeof(Builder)));
    builder->automaton = automaton_create();
    for (std::int32_t& child : builder->root) child = 0;
    wide_create(&builder->wide);
    builder->path[0] = 0;
    // Every byte of both records is set, so that comparing them whole reads
    // nothing unset.
    std::memset(builder->lines, 0, sizeof builder->lines);
    builder->previous = &builder->lines[1];

    char line[PATTERN_LINE_MAX];
    for (;;) {
        // Most lines are parsed where they lie in the reader's buffer: a
        // line of letters and digits that ends in a newline within one
        // piece reads the same as its copy would. Anything else (a comment,
        // a carriage return, a blank, a long line, the buffer's end) takes
        // the copying read.
        if (reader->length - reader->position >= PATTERN_LINE_MAX) {
            const unsigned char* bytes = reader->buffer + reader->position;
            if (bytes[0] != '%') {
                // The NUL after the bytes held ends even a long run of digits.
                const std::size_t end = parse_pattern_run(next_line(builder), bytes);
                if (end + 1 < PATTERN_LINE_MAX && bytes[end] == '\n') {
                    reader->position += end + 1;
                    add_pattern(builder, next_line(builder));
                    continue;
                }
            }
        }
        if (text_mode_reader_gets(reader, line, PATTERN_LINE_MAX) == 0) break;
        if (pattern_line_is_comment(line)) continue;
        parse_pattern_line(next_line(builder), line);
        add_pattern(builder, next_line(builder));
    }
    const int read_error = reader->error;
    mem_release(reader);

    PatternAutomaton* automaton = builder->automaton;
    if (read_error == 0 && links == FailureLinks::made) link_failures(builder);
    wide_destroy(&builder->wide);
    mem_release(builder);
    if (read_error != 0) {
        automaton_destroy(automaton);
        if (error != nullptr) *error = read_error;
        return nullptr;
    }
    return automaton;
}
