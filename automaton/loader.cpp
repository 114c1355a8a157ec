#include "automaton/loader.h"

#include <cstring>

#include "automaton/pattern_line.h"
#include "common/memory.h"
#include "common/text_reader.h"

// The trie is built by walking it: a pattern's letters are followed from the
// root through a table of edges, and the letters left over become new states.
// That is linear in the pattern file, where looking every prefix up by its
// string would cost the square of a pattern's length for each pattern and
// grow with the number of patterns. The states are numbered, linked and given
// their outputs exactly as the string lookups would: the new states of a
// pattern in order from the longest string to the shortest, and each state's
// transitions in the order their targets were made.

namespace {

// The edges of the trie, parent and letter to child: open addressing over
// child state numbers (0, the root, is nobody's child and marks a free slot),
// with each child's parent and letter kept beside it.
struct EdgeTable {
    std::int32_t* slots;
    std::size_t mask;         // slot count - 1; the count is a power of two
    unsigned shift;           // 64 - log2(slot count)
    std::size_t used;
    std::uint64_t* key;       // [child] parent << 8 | letter
    std::size_t key_room;
};

std::uint64_t edge_key(std::int32_t parent, unsigned char letter)
{
    return static_cast<std::uint64_t>(parent) << 8 | letter;
}

// Fibonacci hashing: the high bits of the product depend on every bit of the key.
std::size_t edge_slot(const EdgeTable* edges, std::uint64_t key)
{
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> edges->shift);
}

void edge_table_create(EdgeTable* edges)
{
    edges->mask = 1023;
    edges->shift = 64 - 10;
    edges->slots = static_cast<std::int32_t*>(must_alloc_zeroed(edges->mask + 1, sizeof(std::int32_t)));
    edges->used = 0;
    edges->key_room = 1024;
    edges->key = static_cast<std::uint64_t*>(must_alloc(edges->key_room * sizeof(std::uint64_t)));
}

void edge_table_destroy(EdgeTable* edges)
{
    mem_release(edges->slots);
    mem_release(edges->key);
}

// The child of `parent` on `letter`, or -1.
std::int32_t edge_find(const EdgeTable* edges, std::int32_t parent, unsigned char letter)
{
    const std::uint64_t key = edge_key(parent, letter);
    for (std::size_t i = edge_slot(edges, key);; i = (i + 1) & edges->mask) {
        const std::int32_t child = edges->slots[i];
        if (child == 0) return -1;
        if (edges->key[child] == key) return child;
    }
}

void edge_place(EdgeTable* edges, std::int32_t child)
{
    std::size_t i = edge_slot(edges, edges->key[child]);
    while (edges->slots[i] != 0) i = (i + 1) & edges->mask;
    edges->slots[i] = child;
}

// Records the edge to a new child; the table doubles at half full.
void edge_add(EdgeTable* edges, std::int32_t parent, unsigned char letter, std::int32_t child)
{
    const std::size_t index = static_cast<std::size_t>(child);
    while (index >= edges->key_room) {
        edges->key_room *= 2;
        edges->key = static_cast<std::uint64_t*>(must_realloc(edges->key, edges->key_room * sizeof(std::uint64_t)));
    }
    edges->key[index] = edge_key(parent, letter);
    if (2 * (edges->used + 1) > edges->mask + 1) {
        const std::size_t old_count = edges->mask + 1;
        std::int32_t* old_slots = edges->slots;
        edges->mask = 2 * old_count - 1;
        --edges->shift;
        edges->slots = static_cast<std::int32_t*>(must_alloc_zeroed(2 * old_count, sizeof(std::int32_t)));
        for (std::size_t i = 0; i < old_count; ++i) {
            if (old_slots[i] != 0) edge_place(edges, old_slots[i]);
        }
        mem_release(old_slots);
    }
    edge_place(edges, child);
    ++edges->used;
}

struct Builder {
    PatternAutomaton* automaton;
    EdgeTable edges;
    // The previous pattern's letters and the states of their prefixes
    // (path[k] for the first k letters): pattern files are mostly sorted, so
    // a pattern shares a prefix with the one before it.
    unsigned char path_letters[PATTERN_LINE_MAX];
    std::int32_t path[PATTERN_LINE_MAX + 1];
    std::size_t path_length;
};

// Adds one parsed pattern: its state gets the output (a later line with the
// same letters replaces an earlier one), and each prefix that did not exist
// yet is created and linked to its parent, longest first.
void add_pattern(Builder* builder, const PatternLine* parsed)
{
    PatternAutomaton* automaton = builder->automaton;
    const unsigned char* letters = reinterpret_cast<const unsigned char*>(parsed->letters);
    const std::size_t length = parsed->letter_count;

    std::size_t depth = 0;
    const std::size_t shared = length < builder->path_length ? length : builder->path_length;
    while (depth < shared && letters[depth] == builder->path_letters[depth]) ++depth;
    std::int32_t state = builder->path[depth];
    while (depth < length) {
        const std::int32_t child = edge_find(&builder->edges, state, letters[depth]);
        if (child < 0) break;
        state = child;
        builder->path[++depth] = state;
    }

    if (depth < length) {
        // The string of `length` letters gets the lowest new number, the
        // one of depth + 1 letters the highest.
        const std::int32_t first = automaton->count;
        for (std::size_t k = depth; k < length; ++k) automaton_append_state(automaton);
        for (std::size_t k = length; k > depth; --k) {
            const std::int32_t child = first + static_cast<std::int32_t>(length - k);
            const std::int32_t parent = k - 1 == depth ? state : child + 1;
            edge_add(&builder->edges, parent, letters[k - 1], child);
            builder->path[k] = child;
        }
        state = first;
    }
    for (std::size_t k = 0; k < length; ++k) builder->path_letters[k] = letters[k];
    builder->path_length = length;

    const char* output = pattern_line_output(parsed);
    automaton_set_output(automaton, state, output,
                         static_cast<std::size_t>(parsed->digits + parsed->letter_count + 1 - output));
}

// Gives every state its transitions, all from one block, each state's in the
// order they were made: a state's children were made in the order of their
// numbers.
void lay_out_transitions(PatternAutomaton* automaton, const EdgeTable* edges)
{
    AutomatonState* states = automaton->states;
    const std::size_t count = static_cast<std::size_t>(automaton->count);
    if (count == 1) return;
    for (std::size_t child = 1; child < count; ++child) ++states[edges->key[child] >> 8].transition_count;
    Transition* room = static_cast<Transition*>(
        arena_carve(&automaton->storage, (count - 1) * sizeof(Transition), alignof(Transition)));
    for (std::size_t s = 0; s < count; ++s) {
        if (states[s].transition_count == 0) continue;
        states[s].transitions = room;
        room += states[s].transition_count;
        states[s].transition_count = 0;
    }
    for (std::size_t child = 1; child < count; ++child) {
        AutomatonState& parent = states[edges->key[child] >> 8];
        parent.transitions[parent.transition_count++] =
            Transition{static_cast<unsigned char>(edges->key[child] & 0xFF), static_cast<std::int32_t>(child)};
    }
}

// Every non-root state fails over to its longest proper suffix that is a
// state. Taken breadth first, a state's failure link is known before those of
// its children: the child on letter b fails over to the state reached on b
// from the nearest state along the parent's failure chain that has such a
// move, or to the root.
void link_failures(PatternAutomaton* automaton, const EdgeTable* edges)
{
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
        const AutomatonState& state = states[queue[head++]];
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            const Transition& move = state.transitions[t];
            std::int32_t fallback = state.failure;
            std::int32_t found = edge_find(edges, fallback, move.letter);
            while (found < 0 && fallback != 0) {
                fallback = states[fallback].failure;
                found = edge_find(edges, fallback, move.letter);
            }
            states[move.target].failure = found < 0 ? 0 : found;
            queue[tail++] = move.target;
        }
    }
    mem_release(queue);
}

}  // namespace

PatternAutomaton* load_patterns(const char* path, int* error)
{
    TextReader* reader = static_cast<TextReader*>(must_alloc(sizeof(TextReader)));
    if (!text_reader_open(reader, path)) {
        if (error != nullptr) *error = reader->error;
        mem_release(reader);
        return nullptr;
    }

    Builder* builder = static_cast<Builder*>(must_alloc(sizeof(Builder)));
    builder->automaton = automaton_create();
    edge_table_create(&builder->edges);
    builder->path[0] = 0;
    builder->path_length = 0;

    char line[PATTERN_LINE_MAX];
    PatternLine parsed;
    while (text_reader_gets(reader, line, PATTERN_LINE_MAX) > 0) {
        if (pattern_line_is_comment(line)) continue;
        parse_pattern_line(&parsed, line);
        add_pattern(builder, &parsed);
    }
    const int read_error = reader->error;
    text_reader_close(reader);
    mem_release(reader);

    PatternAutomaton* automaton = builder->automaton;
    if (read_error == 0) {
        lay_out_transitions(automaton, &builder->edges);
        link_failures(automaton, &builder->edges);
    }
    edge_table_destroy(&builder->edges);
    mem_release(builder);
    if (read_error != 0) {
        automaton_destroy(automaton);
        if (error != nullptr) *error = read_error;
        return nullptr;
    }
    return automaton;
}
