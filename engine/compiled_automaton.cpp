#include "engine/compiled_automaton.h"

#include <cstddef>
#include <algorithm>
#include <cstring>
#include <new>

#include "engine/pattern_line.h"
#include "platform/memory.h"
#include "platform/spin_lock.h"

// The distinct merged outputs made so far. Arrays grow by doubling; all
// memory comes from must_alloc, so running out of it ends the run with the
// usual message.
struct OutputTable {
    MergedOutput* outputs;   // outputs[0] is the empty one
    std::size_t output_count;
    std::size_t output_room; // bytes
    std::uint8_t* digits;
    std::size_t digit_count;
    std::size_t digit_room;
    OutputWindow* windows;   // one for each output
    std::size_t window_room; // bytes
    std::uint32_t* slots;    // open addressing over output ids, 0 = free
    std::size_t slot_count;  // a power of two
};

namespace {

constexpr std::size_t SPAN = PATTERN_LINE_MAX + 1;  // gaps that one output can reach

// Letters get classes from the one with the most transitions down: a row's
// cells of the letters met most in the text then lie side by side, and
// fewer lines of the table are wanted in the processor's caches than with
// classes in the order of the bytes.
void assign_classes(CompiledAutomaton* compiled, const std::uint32_t* on)
{
    unsigned char order[256];
    for (int b = 0; b < 256; ++b) order[b] = static_cast<unsigned char>(b);
    std::stable_sort(order, order + 256, [on](unsigned char x, unsigned char y) { return on[x] > on[y]; });
    compiled->class_count = 1;
    for (int b = 0; b < 256; ++b) compiled->byte_class[b] = 0;
    for (const unsigned char b : order) {
        if (on[b] != 0) compiled->byte_class[b] = static_cast<std::uint8_t>(compiled->class_count++);
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
    table->output_room = 16 * sizeof(MergedOutput);
    table->outputs = static_cast<MergedOutput*>(must_alloc(table->output_room));
    table->outputs[0] = MergedOutput{0, 0, 0};
    table->output_count = 1;
    table->digit_room = 256;
    table->digits = static_cast<std::uint8_t*>(must_alloc(table->digit_room));
    table->digit_count = 0;
    table->window_room = 16 * sizeof(OutputWindow);
    table->windows = static_cast<OutputWindow*>(must_alloc(table->window_room));
    table->windows[0] = OutputWindow{};
    table->slot_count = 128;
    table->slots = static_cast<std::uint32_t*>(must_alloc_zeroed(table->slot_count, sizeof(std::uint32_t)));
    return table;
}

void output_table_destroy(OutputTable* table)
{
    mem_release(table->outputs);
    mem_release(table->digits);
    mem_release(table->windows);
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
        grow_to_fit(table->outputs, &table->output_room, (table->output_count + 1) * sizeof(MergedOutput)));
    table->digits = static_cast<std::uint8_t*>(grow_to_fit(table->digits, &table->digit_room, table->digit_count + length));
    table->windows = static_cast<OutputWindow*>(
        grow_to_fit(table->windows, &table->window_room, (table->output_count + 1) * sizeof(OutputWindow)));
    const std::uint32_t id = static_cast<std::uint32_t>(table->output_count++);
    // The digits that lie within the window; a longer output leaves the
    // others out (the matcher is then not `windowed`).
    OutputWindow& window = table->windows[id];
    window = OutputWindow{};
    for (std::size_t k = 0; k < length; ++k) {
        const std::size_t back = tail + length - 1 - k;  // gaps before the gap after the byte just read
        if (back < OUTPUT_WINDOW) window.gaps[OUTPUT_WINDOW - 1 - back] = values[k];
    }
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

// Room for `outputs` outputs in all, so that adding them moves nothing.
void output_table_reserve(OutputTable* table, std::size_t outputs)
{
    table->outputs =
        static_cast<MergedOutput*>(grow_to_fit(table->outputs, &table->output_room, outputs * sizeof(MergedOutput)));
    table->digits = static_cast<std::uint8_t*>(grow_to_fit(table->digits, &table->digit_room, outputs * SPAN));
    table->windows =
        static_cast<OutputWindow*>(grow_to_fit(table->windows, &table->window_room, outputs * sizeof(OutputWindow)));
}

// Where the outputs are kept, told to the readers when it moved.
void publish_outputs(CompiledAutomaton* compiled)
{
    // A shared matcher's outputs never move, and its readers must see no write.
    if (compiled->outputs != compiled->table->outputs) compiled->outputs = compiled->table->outputs;
    if (compiled->digits != compiled->table->digits) compiled->digits = compiled->table->digits;
    if (compiled->windows != compiled->table->windows) compiled->windows = compiled->table->windows;
}

std::uint32_t new_row(CompiledAutomaton* compiled)
{
    if (compiled->row_count == compiled->row_room) {
        // Rows number fewer than the states, so the room stays below 2^32.
        compiled->row_room *= 2;
        const std::size_t width = static_cast<std::size_t>(compiled->class_count);
        compiled->cells = static_cast<std::uint32_t*>(
            must_realloc(compiled->cells, compiled->row_room * width * sizeof(std::uint32_t)));
        compiled->row_output = static_cast<std::uint32_t*>(
            must_realloc(compiled->row_output, compiled->row_room * sizeof(std::uint32_t)));
        compiled->row_failure = static_cast<std::uint32_t*>(
            must_realloc(compiled->row_failure, compiled->row_room * sizeof(std::uint32_t)));
    }
    return compiled->row_count++;
}

// Sets the cell of `row` for a move on `letter` to `target`, and tells the
// target its parent's row.
inline void place_move(CompiledAutomaton* compiled, std::uint32_t* cells, std::uint32_t row, unsigned char letter,
                       std::int32_t target)
{
    cells[compiled->byte_class[letter]] = ROW_UNMADE | static_cast<std::uint32_t>(target);
    compiled->row_of_state[target] = ROW_UNMADE | row;
}

// Gives the row just made for state s the moves of that state itself, each
// to its target (whose row is made when first stepped to).
void place_moves(CompiledAutomaton* compiled, std::uint32_t row, std::int32_t s)
{
    std::uint32_t* cells = compiled->cells + static_cast<std::size_t>(row) * compiled->class_count;
    if (const AutomatonImage* image = compiled->image) {
        const std::int32_t end = image_first_child(image, s + 1);
        for (std::int32_t target = image_first_child(image, s); target < end; ++target) {
            place_move(compiled, cells, row, image->letter[target], target);
        }
        return;
    }
    const AutomatonState& state = compiled->automaton->states[s];
    for (std::int32_t t = 0; t < state.transition_count; ++t) {
        place_move(compiled, cells, row, state.transitions[t].letter, state.transitions[t].target);
    }
}

// The output of state s, or null.
const char* state_output(const CompiledAutomaton* compiled, std::int32_t s)
{
    return compiled->image != nullptr ? image_output(compiled->image, s) : compiled->automaton->states[s].output;
}

// Whether state s has moves of its own.
bool state_moves(const CompiledAutomaton* compiled, std::int32_t s)
{
    if (const AutomatonImage* image = compiled->image) {
        return image_first_child(image, s) != image_first_child(image, s + 1);
    }
    return compiled->automaton->states[s].transition_count != 0;
}

std::uint32_t row_for_state(CompiledAutomaton* compiled, std::int32_t s, std::uint32_t byte_class);

// Sets a cell once the row it leads to is whole (release: see compiled_next).
void set_cell(CompiledAutomaton* compiled, std::size_t cell, std::uint32_t row)
{
    std::atomic_ref<std::uint32_t>(compiled->cells[cell]).store(row, std::memory_order_release);
}

// The row a cell names, made if need be. Rows are made here alone, under
// the lock of a shared matcher.
std::uint32_t resolve_cell(CompiledAutomaton* compiled, std::uint32_t row, std::uint32_t byte_class)
{
    const std::size_t cell = compiled_cell(compiled, row, byte_class);
    const std::uint32_t known = compiled->cells[cell];
    // Another thread may have made it since this one looked.
    if ((known & ROW_UNMADE) == 0) return known;
    const std::uint32_t reached = row_for_state(compiled, static_cast<std::int32_t>(known & ~ROW_UNMADE), byte_class);
    // Making rows may have moved the table (never a shared one).
    set_cell(compiled, cell, reached);
    return reached;
}

// The row reached from `row` on a byte of `byte_class`, for use while rows
// are being made.
std::uint32_t step(CompiledAutomaton* compiled, std::uint32_t row, std::uint32_t byte_class)
{
    const std::uint32_t next = compiled->cells[compiled_cell(compiled, row, byte_class)];
    if ((next & ROW_UNMADE) == 0) return next;
    return resolve_cell(compiled, row, byte_class);
}

// The row of state s, reached on a byte of `byte_class`, made the first time
// it is asked for. Its failure state is the state reached on that byte from
// the failure state of its parent, so the failure links come from rows
// already made, and only for the states the text reaches: the loader need
// not link every state.
std::uint32_t row_for_state(CompiledAutomaton* compiled, std::int32_t s, std::uint32_t byte_class)
{
    const std::uint32_t known = compiled->row_of_state[s];
    if ((known & ROW_UNMADE) == 0) return known - 1;
    // A state's cells come from its parent's row, made first; the root's
    // children fail over to the root. The failure state is shallower than
    // s, so making its row ends.
    const std::uint32_t parent = known & ~ROW_UNMADE;
    const std::uint32_t inherited =
        parent == compiled->start_row ? compiled->start_row
                                      : step(compiled, compiled->row_failure[parent], byte_class);
    const char* own = state_output(compiled, s);
    const bool own_output = own != nullptr && own[0] != '\0';
    if (!state_moves(compiled, s) && !own_output) {
        // It behaves as its failure state.
        compiled->row_of_state[s] = inherited + 1;
        return inherited;
    }
    std::uint32_t output = compiled->row_output[inherited];
    if (own_output) {
        output = merged_output(compiled->table, output, own);
        publish_outputs(compiled);
    }
    const std::uint32_t row = new_row(compiled);
    const std::size_t width = static_cast<std::size_t>(compiled->class_count);
    // Moves not from this state itself are those of its failure state.
    std::memcpy(compiled->cells + row * width, compiled->cells + inherited * width, width * sizeof(std::uint32_t));
    place_moves(compiled, row, s);
    compiled->row_output[row] = output;
    compiled->row_failure[row] = inherited;
    compiled->row_of_state[s] = row + 1;
    return row;
}

// The number of states of what the rows are made from.
std::int32_t state_count(const CompiledAutomaton* compiled)
{
    return compiled->image != nullptr ? compiled->image->count : compiled->automaton->count;
}

// A matcher with the root's row alone, made from `automaton` or `image`
// (the other null), of `count` states, whose longest output has
// `longest_output` digits, with `on[b]` moves on byte b.
CompiledAutomaton* compile_with(const PatternAutomaton* automaton, const AutomatonImage* image, std::int32_t count,
                                const std::uint32_t* on, std::size_t longest_output)
{
    CompiledAutomaton* compiled = static_cast<CompiledAutomaton*>(must_alloc(sizeof(CompiledAutomaton)));
    assign_classes(compiled, on);
    compiled->automaton = automaton;
    compiled->image = image;
    // Zeroed pages come from the system as they are first touched.
    compiled->row_of_state =
        static_cast<std::uint32_t*>(must_alloc_zeroed(static_cast<std::size_t>(count), sizeof(std::uint32_t)));
    compiled->table = output_table_create();
    compiled->outputs = compiled->table->outputs;
    compiled->digits = compiled->table->digits;
    compiled->windows = compiled->table->windows;
    compiled->windowed = longest_output <= OUTPUT_WINDOW;
    compiled->making = nullptr;
    const std::size_t width = static_cast<std::size_t>(compiled->class_count);
    // Room for the rows of every state up to a bound: pages of the table are
    // touched only as rows are made, and a table that grows by copying
    // touches them twice.
    const std::uint32_t states = static_cast<std::uint32_t>(count);
    compiled->row_room = states < ROW_ROOM_RESERVED ? states : ROW_ROOM_RESERVED;
    compiled->cells = static_cast<std::uint32_t*>(must_alloc(compiled->row_room * width * sizeof(std::uint32_t)));
    compiled->row_output = static_cast<std::uint32_t*>(must_alloc(compiled->row_room * sizeof(std::uint32_t)));
    compiled->row_failure = static_cast<std::uint32_t*>(must_alloc(compiled->row_room * sizeof(std::uint32_t)));

    // The root's row: every byte without a move of its own leads back to it,
    // and its own output is never merged.
    compiled->row_count = 1;
    compiled->start_row = 0;
    compiled->row_output[0] = 0;
    compiled->row_failure[0] = 0;
    compiled->row_of_state[0] = 1;
    std::memset(compiled->cells, 0, width * sizeof(std::uint32_t));
    place_moves(compiled, 0, 0);
    return compiled;
}

}  // namespace

CompiledAutomaton* compile_automaton(const PatternAutomaton* automaton)
{
    return compile_with(automaton, nullptr, automaton->count, automaton->transitions_on, automaton->longest_output);
}

CompiledAutomaton* compile_image(const AutomatonImage* image)
{
    return compile_with(nullptr, image, image->count, image->transitions_on, image->longest_output);
}

CompiledAutomaton* compile_same(const CompiledAutomaton* compiled)
{
    return compiled->image != nullptr ? compile_image(compiled->image) : compile_automaton(compiled->automaton);
}

std::uint32_t compiled_resolve(CompiledAutomaton* compiled, std::uint32_t row, std::uint32_t byte_class)
{
    if (compiled->making == nullptr) return resolve_cell(compiled, row, byte_class);
    lock_spinning(compiled->making);
    std::lock_guard<std::mutex> hold(*compiled->making, std::adopt_lock);
    return resolve_cell(compiled, row, byte_class);
}

bool compiled_share(CompiledAutomaton* compiled)
{
    if (compiled->making != nullptr) return true;
    // Rows number fewer than the states, so a table with room for as many
    // rows as states never grows, and each row adds at most one output.
    const std::uint32_t states = static_cast<std::uint32_t>(state_count(compiled));
    if (compiled->row_room < states) return false;
    output_table_reserve(compiled->table, std::size_t{states} + 1);
    publish_outputs(compiled);
    compiled->making = new (must_alloc(sizeof(std::mutex))) std::mutex;
    return true;
}

void compiled_automaton_destroy(CompiledAutomaton* compiled)
{
    if (compiled == nullptr) return;
    mem_release(compiled->cells);
    mem_release(compiled->row_output);
    mem_release(compiled->row_failure);
    mem_release(compiled->row_of_state);
    output_table_destroy(compiled->table);
    if (compiled->making != nullptr) {
        compiled->making->~mutex();
        mem_release(compiled->making);
    }
    mem_release(compiled);
}
