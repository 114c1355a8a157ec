#include "automaton/compiled_automaton.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "automaton/pattern_line.h"
#include "common/memory.h"

// The distinct merged outputs made so far. Arrays grow by doubling; all
// memory comes from must_alloc, so running out of it ends the run with the
// usual message.
struct OutputTable {
    MergedOutput* outputs;   // outputs[0] is the empty one
    std::size_t output_count;
    std::uint8_t* digits;
    std::size_t digit_count;
    std::size_t digit_room;
    std::uint32_t* slots;    // open addressing over output ids, 0 = free
    std::size_t slot_count;  // a power of two
};

namespace {

constexpr std::size_t SPAN = PATTERN_LINE_MAX + 1;  // gaps that one output can reach
constexpr std::uint32_t UNKNOWN = 0xFFFFFFFFu;      // never an entry: a row field is never all ones

void assign_classes(CompiledAutomaton* compiled, const PatternAutomaton* automaton)
{
    bool used[256] = {};
    for (std::int32_t s = 0; s < automaton->count; ++s) {
        const AutomatonState& state = automaton->states[s];
        for (std::int32_t t = 0; t < state.transition_count; ++t) used[state.transitions[t].letter] = true;
    }
    compiled->class_count = 1;
    for (int b = 0; b < 256; ++b) {
        compiled->byte_class[b] = used[b] ? static_cast<std::uint8_t>(compiled->class_count++) : 0;
    }
}

std::size_t hash_output(const std::uint8_t* values, std::size_t length, std::size_t tail)
{
    std::uint64_t h = 0xCBF29CE484222325ull ^ tail;
    for (std::size_t k = 0; k < length; ++k) h = (h ^ values[k]) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

OutputTable* output_table_create()
{
    OutputTable* table = static_cast<OutputTable*>(must_alloc(sizeof(OutputTable)));
    table->outputs = static_cast<MergedOutput*>(grow_for_append(nullptr, 0, sizeof(MergedOutput)));
    table->outputs[0] = MergedOutput{0, 0, 0};
    table->output_count = 1;
    table->digit_room = 256;
    table->digits = static_cast<std::uint8_t*>(must_alloc(table->digit_room));
    table->digit_count = 0;
    table->slot_count = 128;
    table->slots = static_cast<std::uint32_t*>(must_alloc_zeroed(table->slot_count, sizeof(std::uint32_t)));
    return table;
}

void output_table_destroy(OutputTable* table)
{
    mem_release(table->outputs);
    mem_release(table->digits);
    mem_release(table->slots);
    mem_release(table);
}

std::size_t find_slot(const OutputTable* table, const std::uint8_t* values, std::size_t length, std::size_t tail)
{
    const std::size_t mask = table->slot_count - 1;
    std::size_t i = hash_output(values, length, tail) & mask;
    for (; table->slots[i] != 0; i = (i + 1) & mask) {
        const MergedOutput& known = table->outputs[table->slots[i]];
        if (known.length == length && known.tail == tail &&
            std::memcmp(table->digits + known.offset, values, length) == 0) {
            break;
        }
    }
    return i;
}

void grow_slots(OutputTable* table)
{
    mem_release(table->slots);
    table->slot_count *= 2;
    table->slots = static_cast<std::uint32_t*>(must_alloc_zeroed(table->slot_count, sizeof(std::uint32_t)));
    for (std::uint32_t id = 1; id < table->output_count; ++id) {
        const MergedOutput& out = table->outputs[id];
        table->slots[find_slot(table, table->digits + out.offset, out.length, out.tail)] = id;
    }
}

// The id of `values` as a merged output, added when new.
std::uint32_t add_output(OutputTable* table, const std::uint8_t* values, std::size_t length, std::size_t tail)
{
    if (2 * table->output_count >= table->slot_count) grow_slots(table);
    const std::size_t slot = find_slot(table, values, length, tail);
    if (table->slots[slot] != 0) return table->slots[slot];

    table->outputs = static_cast<MergedOutput*>(
        grow_for_append(table->outputs, table->output_count, sizeof(MergedOutput)));
    table->digits = static_cast<std::uint8_t*>(grow_to_fit(table->digits, &table->digit_room, table->digit_count + length));
    const std::uint32_t id = static_cast<std::uint32_t>(table->output_count++);
    table->outputs[id] = MergedOutput{static_cast<std::uint32_t>(table->digit_count), static_cast<std::uint8_t>(length),
                                      static_cast<std::uint8_t>(tail)};
    std::memcpy(table->digits + table->digit_count, values, length);
    table->digit_count += length;
    table->slots[slot] = id;
    return id;
}

// The outputs of a state and of every state on its failure chain (the root
// excluded), aligned on their last digit and merged by maximum: the state's
// own output `own` merged into the `inherited` one of its failure state.
std::uint32_t merged_output(OutputTable* table, std::uint32_t inherited_id, const char* own)
{
    const MergedOutput inherited = table->outputs[inherited_id];
    std::uint8_t values[SPAN];  // values[SPAN - 1]: the gap after the byte just read
    const std::size_t m = std::strlen(own);
    const std::size_t reach = m > inherited.tail + inherited.length ? m : inherited.tail + inherited.length;
    std::memset(values + SPAN - reach, 0, reach);
    if (inherited.length != 0) {
        std::memcpy(values + SPAN - inherited.tail - inherited.length, table->digits + inherited.offset,
                    inherited.length);
    }
    for (std::size_t k = 0; k < m; ++k) {
        const std::uint8_t digit = static_cast<std::uint8_t>(own[k] - '0');
        std::uint8_t& value = values[SPAN - m + k];
        if (digit > value) value = digit;
    }
    std::size_t first = SPAN - reach;
    while (first < SPAN && values[first] == 0) ++first;
    std::size_t last = SPAN;
    while (last > first && values[last - 1] == 0) --last;
    if (last == first) return 0;
    return add_output(table, values + first, last - first, SPAN - last);
}

// The entry for reaching state s, worked out (with those of its failure
// chain) the first time it is asked for.
std::uint32_t entry_for(CompiledAutomaton* compiled, std::int32_t s)
{
    std::uint32_t& known = compiled->entry_of[s];
    if (known != UNKNOWN) return known;
    const AutomatonState& state = compiled->automaton->states[s];
    // The failure state is shallower, so this recursion ends.
    const std::uint32_t inherited = entry_for(compiled, state.failure);
    std::uint32_t output = entry_output(compiled, inherited);
    if (state.output != nullptr && state.output[0] != '\0') {
        output = merged_output(compiled->table, output, state.output);
        compiled->outputs = compiled->table->outputs;
        compiled->digits = compiled->table->digits;
    }
    const std::int32_t own_row = compiled->row_of_state[s];
    const std::uint32_t row = own_row >= 0 ? static_cast<std::uint32_t>(own_row) : entry_row(compiled, inherited);
    known = row | output << compiled->row_bits;
    return known;
}

}  // namespace

CompiledAutomaton* compile_automaton(const PatternAutomaton* automaton)
{
    const std::size_t count = static_cast<std::size_t>(automaton->count);
    std::size_t rows = 0;
    std::size_t with_output = 0;
    for (std::size_t s = 0; s < count; ++s) {
        const AutomatonState& state = automaton->states[s];
        if (state.output != nullptr && state.output[0] != '\0') ++with_output;
        if (s == 0 || state.transition_count > 0) ++rows;
    }
    // Distinct merged outputs are at most one per state with an output, plus the empty one.
    const std::uint32_t row_bits = static_cast<std::uint32_t>(std::bit_width(rows));
    const std::uint32_t output_bits = static_cast<std::uint32_t>(std::bit_width(with_output + 1));
    if (row_bits + output_bits > 32) return nullptr;

    CompiledAutomaton* compiled = static_cast<CompiledAutomaton*>(must_alloc(sizeof(CompiledAutomaton)));
    assign_classes(compiled, automaton);
    compiled->row_count = static_cast<std::int32_t>(rows);
    compiled->row_bits = row_bits;
    compiled->automaton = automaton;
    compiled->row_state = static_cast<std::int32_t*>(must_alloc(rows * sizeof(std::int32_t)));
    compiled->row_of_state = static_cast<std::int32_t*>(must_alloc(count * sizeof(std::int32_t)));
    std::int32_t next_row = 0;
    for (std::size_t s = 0; s < count; ++s) {
        compiled->row_of_state[s] = -1;
        if (s == 0 || automaton->states[s].transition_count > 0) {
            compiled->row_state[next_row] = static_cast<std::int32_t>(s);
            compiled->row_of_state[s] = next_row++;
        }
    }
    compiled->entry_of = static_cast<std::uint32_t*>(must_alloc(count * sizeof(std::uint32_t)));
    std::memset(compiled->entry_of, 0xFF, count * sizeof(std::uint32_t));
    compiled->entry_of[0] = 0;  // the root: row 0, no output
    compiled->start_entry = 0;
    compiled->table = output_table_create();
    compiled->outputs = compiled->table->outputs;
    compiled->digits = compiled->table->digits;
    // Pages of the table are touched only as rows are made.
    compiled->next = static_cast<std::uint32_t*>(
        must_alloc(rows * static_cast<std::size_t>(compiled->class_count) * sizeof(std::uint32_t)));
    compiled->row_ready = static_cast<std::uint8_t*>(must_alloc_zeroed(rows, 1));
    return compiled;
}

void compiled_make_row(CompiledAutomaton* compiled, std::uint32_t row)
{
    const std::size_t width = static_cast<std::size_t>(compiled->class_count);
    const std::int32_t s = compiled->row_state[row];
    const AutomatonState& state = compiled->automaton->states[s];
    std::uint32_t* cells = compiled->next + row * width;
    if (s == 0) {
        for (std::size_t c = 0; c < width; ++c) cells[c] = compiled->start_entry;
    } else {
        // Moves not from this state itself are those of its failure state.
        const std::uint32_t failure_row = entry_row(compiled, entry_for(compiled, state.failure));
        std::memcpy(cells, compiled_row(compiled, failure_row), width * sizeof(std::uint32_t));
    }
    for (std::int32_t t = 0; t < state.transition_count; ++t) {
        cells[compiled->byte_class[state.transitions[t].letter]] = entry_for(compiled, state.transitions[t].target);
    }
    compiled->row_ready[row] = 1;
}

void compiled_automaton_destroy(CompiledAutomaton* compiled)
{
    if (compiled == nullptr) return;
    mem_release(compiled->next);
    mem_release(compiled->row_ready);
    mem_release(compiled->row_state);
    mem_release(compiled->row_of_state);
    mem_release(compiled->entry_of);
    output_table_destroy(compiled->table);
    mem_release(compiled);
}
