#include "automaton/compiled_automaton.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>

#include "automaton/pattern_line.h"
#include "common/memory.h"

namespace {

constexpr std::size_t SPAN = PATTERN_LINE_MAX + 1;  // gaps that one output can reach

// States in order of depth, so that every state comes after its failure state.
std::vector<std::int32_t> breadth_first_order(const PatternAutomaton* automaton)
{
    std::vector<std::int32_t> order;
    order.reserve(static_cast<std::size_t>(automaton->count));
    order.push_back(0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const AutomatonState& state = automaton->states[order[i]];
        for (std::int32_t t = 0; t < state.transition_count; ++t) order.push_back(state.transitions[t].target);
    }
    return order;
}

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
struct OutputTable {
    std::vector<MergedOutput> outputs{MergedOutput{0, 0, 0}};
    std::vector<std::uint8_t> digits;
    std::vector<std::uint32_t> slots;  // open addressing over output ids, 0 = free
};

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

}  // namespace

CompiledAutomaton* compile_automaton(const PatternAutomaton* automaton)
{
    const std::size_t count = static_cast<std::size_t>(automaton->count);
    const std::vector<std::int32_t> order = breadth_first_order(automaton);

    // For every state: its merged output, and the row that continues from it.
    OutputTable table;
    std::vector<std::uint32_t> output_of(count, 0);
    std::vector<std::uint32_t> row_of(count, 0);
    std::vector<std::int32_t> owners;  // the state of each row, in row order
    for (std::int32_t s : order) {
        const AutomatonState& state = automaton->states[s];
        if (s != 0) {
            const std::uint32_t inherited = output_of[static_cast<std::size_t>(state.failure)];
            output_of[static_cast<std::size_t>(s)] =
                state.output == nullptr || state.output[0] == '\0'
                    ? inherited
                    : merged_output(&table, table.outputs[inherited], state.output);
        }
        if (s == 0 || state.transition_count > 0) {
            row_of[static_cast<std::size_t>(s)] = static_cast<std::uint32_t>(owners.size());
            owners.push_back(s);
        } else {
            row_of[static_cast<std::size_t>(s)] = row_of[static_cast<std::size_t>(state.failure)];
        }
    }

    const std::uint32_t row_bits = static_cast<std::uint32_t>(std::bit_width(owners.size()));
    const std::uint32_t output_bits = static_cast<std::uint32_t>(std::bit_width(table.outputs.size()));
    if (row_bits + output_bits > 32) return nullptr;

    CompiledAutomaton* compiled = static_cast<CompiledAutomaton*>(must_alloc(sizeof(CompiledAutomaton)));
    assign_classes(compiled, automaton);
    compiled->row_count = static_cast<std::int32_t>(owners.size());
    compiled->output_count = static_cast<std::int32_t>(table.outputs.size());
    compiled->row_bits = row_bits;
    const auto entry = [&](std::int32_t s) {
        return row_of[static_cast<std::size_t>(s)] | output_of[static_cast<std::size_t>(s)] << row_bits;
    };
    compiled->start_entry = entry(0);

    const std::size_t width = static_cast<std::size_t>(compiled->class_count);
    compiled->next = static_cast<std::uint32_t*>(must_alloc(owners.size() * width * sizeof(std::uint32_t)));
    for (std::size_t row = 0; row < owners.size(); ++row) {
        const std::int32_t s = owners[row];
        const AutomatonState& state = automaton->states[s];
        std::uint32_t* cells = compiled->next + row * width;
        if (s == 0) {
            for (std::size_t c = 0; c < width; ++c) cells[c] = compiled->start_entry;
        } else {
            // Rows come in breadth-first order, so the failure state's row is complete.
            const std::size_t failure_row = row_of[static_cast<std::size_t>(state.failure)];
            std::memcpy(cells, compiled->next + failure_row * width, width * sizeof(std::uint32_t));
        }
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            cells[compiled->byte_class[state.transitions[t].letter]] = entry(state.transitions[t].target);
        }
    }
    compiled->outputs = copy_out(table.outputs);
    compiled->digits = copy_out(table.digits);
    return compiled;
}

void compiled_automaton_destroy(CompiledAutomaton* compiled)
{
    if (compiled == nullptr) return;
    mem_release(compiled->next);
    mem_release(compiled->outputs);
    mem_release(compiled->digits);
    mem_release(compiled);
}
