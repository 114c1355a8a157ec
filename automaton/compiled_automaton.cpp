#include "automaton/compiled_automaton.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>

#include "automaton/pattern_line.h"
#include "common/memory.h"

struct OutputTable {
    std::vector<MergedOutput> outputs{MergedOutput{0, 0, 0}};
    std::vector<std::uint8_t> digits;
    std::vector<std::uint32_t> slots;  // open addressing over output ids, 0 = free
};

namespace {

constexpr std::size_t SPAN = PATTERN_LINE_MAX + 1;  // gaps that one output can reach

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

// Merged outputs, kept distinct: the outputs of a state and of every state on
// its failure chain (the root excluded), aligned on their last digit and
// merged by maximum.

bool same_output(const OutputTable* table, const MergedOutput& known, const std::uint8_t* values,
                 std::size_t length, std::size_t tail)
{
    return known.length == length && known.tail == tail &&
           std::memcmp(table->digits.data() + known.offset, values, length) == 0;
}

void grow_slots(OutputTable* table)
{
    std::vector<std::uint32_t> slots(table->slots.empty() ? 1024 : 2 * table->slots.size(), 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 1; id < table->outputs.size(); ++id) {
        const MergedOutput& out = table->outputs[id];
        std::size_t i = hash_output(table->digits.data() + out.offset, out.length, out.tail) & mask;
        while (slots[i] != 0) i = (i + 1) & mask;
        slots[i] = id;
    }
    table->slots = std::move(slots);
}

std::uint32_t merged_output(OutputTable* table, const MergedOutput& inherited, const char* own)
{
    std::uint8_t values[SPAN];  // values[SPAN - 1]: the gap after the byte just read
    const std::size_t m = std::strlen(own);
    const std::size_t reach = m > inherited.tail + inherited.length ? m : inherited.tail + inherited.length;
    std::memset(values + SPAN - reach, 0, reach);
    if (inherited.length != 0) {
        std::memcpy(values + SPAN - inherited.tail - inherited.length, table->digits.data() + inherited.offset,
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

    const std::size_t length = last - first;
    const std::size_t tail = SPAN - last;
    if (2 * table->outputs.size() >= table->slots.size()) grow_slots(table);
    const std::size_t mask = table->slots.size() - 1;
    std::size_t i = hash_output(values + first, length, tail) & mask;
    for (; table->slots[i] != 0; i = (i + 1) & mask) {
        const std::uint32_t id = table->slots[i];
        if (same_output(table, table->outputs[id], values + first, length, tail)) return id;
    }
    const std::uint32_t id = static_cast<std::uint32_t>(table->outputs.size());
    table->slots[i] = id;
    table->outputs.push_back(MergedOutput{static_cast<std::uint32_t>(table->digits.size()),
                                          static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(tail)});
    table->digits.insert(table->digits.end(), values + first, values + last);
    return id;
}

template <typename T>
T* copy_out(const std::vector<T>& items)
{
    T* copy = static_cast<T*>(must_alloc(items.size() * sizeof(T)));
    if (!items.empty()) std::memcpy(copy, items.data(), items.size() * sizeof(T));
    return copy;
}

constexpr std::uint32_t UNKNOWN = 0xFFFFFFFFu;  // never an entry: a row field is never all ones

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
        OutputTable* table = compiled->table;
        output = merged_output(table, table->outputs[output], state.output);
        compiled->outputs = table->outputs.data();
        compiled->digits = table->digits.data();
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
    std::int32_t* row_of_state = static_cast<std::int32_t*>(must_alloc(count * sizeof(std::int32_t)));
    std::vector<std::int32_t> owners;  // the state of each row, in row order
    std::size_t with_output = 0;
    for (std::size_t s = 0; s < count; ++s) {
        const AutomatonState& state = automaton->states[s];
        if (state.output != nullptr && state.output[0] != '\0') ++with_output;
        row_of_state[s] = -1;
        if (s == 0 || state.transition_count > 0) {
            row_of_state[s] = static_cast<std::int32_t>(owners.size());
            owners.push_back(static_cast<std::int32_t>(s));
        }
    }
    // Distinct merged outputs are at most one per state with an output, plus the empty one.
    const std::uint32_t row_bits = static_cast<std::uint32_t>(std::bit_width(owners.size()));
    const std::uint32_t output_bits = static_cast<std::uint32_t>(std::bit_width(with_output + 1));
    if (row_bits + output_bits > 32) {
        mem_release(row_of_state);
        return nullptr;
    }

    CompiledAutomaton* compiled = static_cast<CompiledAutomaton*>(must_alloc(sizeof(CompiledAutomaton)));
    assign_classes(compiled, automaton);
    compiled->row_count = static_cast<std::int32_t>(owners.size());
    compiled->row_bits = row_bits;
    compiled->automaton = automaton;
    compiled->row_of_state = row_of_state;
    compiled->row_state = copy_out(owners);
    compiled->entry_of = static_cast<std::uint32_t*>(must_alloc(count * sizeof(std::uint32_t)));
    std::memset(compiled->entry_of, 0xFF, count * sizeof(std::uint32_t));
    compiled->entry_of[0] = 0;  // the root: row 0, no output
    compiled->start_entry = 0;
    compiled->table = new OutputTable;
    compiled->outputs = compiled->table->outputs.data();
    compiled->digits = compiled->table->digits.data();
    // Pages of the table are touched only as rows are made.
    compiled->next = static_cast<std::uint32_t*>(
        must_alloc(owners.size() * static_cast<std::size_t>(compiled->class_count) * sizeof(std::uint32_t)));
    compiled->row_ready = static_cast<std::uint8_t*>(must_alloc_zeroed(owners.size(), 1));
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
    delete compiled->table;
    mem_release(compiled);
}
