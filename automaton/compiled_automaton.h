#pragma once
// A matcher derived from the pattern automaton for speed. Bytes are grouped
// into classes; every state that has transitions gets a row of the table
// with, for each class, the state reached once the failure moves have been
// followed; and every state carries the outputs of its whole failure chain
// merged into one digit string. Matching one byte is then one table step and
// at most one merge, with exactly the results of walking the automaton.
//
// Rows and merged outputs are made when the matcher first needs them, from
// the automaton, which must outlive the matcher: a text usually reaches only
// some of the states, and the matcher is ready as soon as it is created.
//
// A table entry packs two numbers: the row to continue from (the reached
// state's own row, or for a state without transitions the row of the nearest
// state on its failure chain that has them, which behaves the same) and the
// merged output of the reached state (0 for none).

#include <cstddef>
#include <cstdint>

#include "automaton/automaton.h"

// Merged outputs: `length` values starting at `offset` in
// `CompiledAutomaton::digits`, the last of them belonging to the gap `tail`
// gaps before the gap after the byte just read. Zero values at either end
// are left out.
struct MergedOutput {
    std::uint32_t offset;
    std::uint8_t length;
    std::uint8_t tail;
};

struct OutputTable;

struct CompiledAutomaton {
    std::int32_t class_count;        // classes in use, class 0 included
    std::int32_t row_count;
    std::uint32_t row_bits;          // an entry's low row_bits bits are its row
    std::uint8_t byte_class[256];    // 0 for a byte on which no state has a transition
    std::uint32_t start_entry;       // the entry for the root itself
    std::uint32_t* next;             // [row * class_count + class], valid where row_ready
    std::uint8_t* row_ready;         // [row_count]
    const MergedOutput* outputs;     // the distinct merged outputs made so far, 0 the empty one
    const std::uint8_t* digits;      // their break values 0..9
    // What the rows are made from.
    const PatternAutomaton* automaton;
    std::int32_t* row_state;         // [row_count] the state whose row it is
    std::int32_t* row_of_state;      // [state] its own row, or -1
    std::uint32_t* entry_of;         // [state] the entry for reaching the state, once known
    OutputTable* table;              // where `outputs` and `digits` are kept
};

inline std::uint32_t entry_row(const CompiledAutomaton* compiled, std::uint32_t entry)
{
    return entry & ((std::uint32_t{1} << compiled->row_bits) - 1);
}

inline std::uint32_t entry_output(const CompiledAutomaton* compiled, std::uint32_t entry)
{
    return entry >> compiled->row_bits;
}

// Makes a row (and the rows it copies from) ready.
void compiled_make_row(CompiledAutomaton* compiled, std::uint32_t row);

// The row of the table for `row`, made first if needed.
inline const std::uint32_t* compiled_row(CompiledAutomaton* compiled, std::uint32_t row)
{
    if (compiled->row_ready[row] == 0) compiled_make_row(compiled, row);
    return compiled->next + static_cast<std::size_t>(row) * static_cast<std::size_t>(compiled->class_count);
}

// Null when the automaton is too large for the packed entries (more rows
// and outputs than 32 bits can number); the plain walk then serves.
CompiledAutomaton* compile_automaton(const PatternAutomaton* automaton);
void compiled_automaton_destroy(CompiledAutomaton* compiled);
