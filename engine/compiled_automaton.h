#pragma once
// A matcher derived from the pattern automaton for speed. Bytes are grouped
// into classes; a state gets a row of the table with, for each class, the row
// of the state reached once the failure moves have been followed; and every
// row carries the outputs of its state's whole failure chain merged into one
// digit string. Matching one byte is then one table step and at most one
// merge, with exactly the results of walking the automaton.
//
// Rows are made when the text first reaches their state, from the automaton
// or from its image (automaton_image.h), which must outlive the matcher: a
// text usually reaches only some of the states, so the matcher is ready as
// soon as it is created and its memory grows with the rows made. Rows are
// numbered in the order they are made. Only a state with transitions or with an output of its own gets a row: any
// other state behaves as its failure state, and takes that one's row. The
// matcher finds the failure states it needs itself, from rows already made,
// so it takes the automaton with or without failure links.
//
// A cell of the table holds the row reached, or, until the first step through
// it, ROW_UNMADE with the number of the state reached. Row numbers are below
// the number of states, so any pattern set the loader can build fits.
//
// Threads may share one matcher (compiled_share): rows are then made under a
// lock, each filled in before the cell that leads to it is set, and the
// table never moves, so a thread that steps through a cell also sees the
// whole row it names. Every thread then profits from the rows any of them
// made, and the table is in memory, and in the processor's caches, once.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "engine/automaton_image.h"

// Merged outputs: `length` values starting at `offset` in
// `CompiledAutomaton::digits`, the last of them belonging to the gap `tail`
// gaps before the gap after the byte just read. Zero values at either end
// are left out.
struct MergedOutput {
    std::uint32_t offset;
    std::uint8_t length;
    std::uint8_t tail;
};

// Every merged output is also kept as a window on the last OUTPUT_WINDOW
// gaps of the text: gaps[OUTPUT_WINDOW - 1 - t] is its value for the gap t
// gaps before the gap after the byte just read, zero where it has none. A
// walk keeps the values of those gaps in one vector register, shifts it by
// one gap a byte and merges the window by maximum: no loop and no branch on
// what the output holds, which a processor would mispredict at nearly every
// byte.
constexpr std::size_t OUTPUT_WINDOW = 16;

struct OutputWindow {
    alignas(OUTPUT_WINDOW) std::uint8_t gaps[OUTPUT_WINDOW];
};

struct OutputTable;

constexpr std::uint32_t ROW_UNMADE = 0x80000000u;

// Rows set aside at compile time: for every state of a pattern set of up to
// this many states, and only this many for a larger one, whose table grows
// as rows are made.
constexpr std::uint32_t ROW_ROOM_RESERVED = 1u << 16;

struct CompiledAutomaton {
    std::int32_t class_count;        // classes in use, class 0 included
    std::uint8_t byte_class[256];    // 0 for a byte on which no state has a transition
    std::uint32_t start_row;         // the row of the root
    std::uint32_t* cells;            // [row * class_count + class]
    std::uint32_t* row_output;       // [row] the merged output of the row's state (0 for none)
    std::uint32_t* row_failure;      // [row] the row of the state's failure state (the root's: itself)
    std::uint32_t row_count;         // rows made
    std::uint32_t row_room;          // rows that `cells` and `row_output` have room for
    const MergedOutput* outputs;     // the distinct merged outputs made so far, 0 the empty one
    const std::uint8_t* digits;      // their break values 0..9
    const OutputWindow* windows;     // [output id] the output as a window
    // No pattern reaches back more than OUTPUT_WINDOW gaps, so every merged
    // output lies within its window.
    bool windowed;
    // What the rows are made from: the automaton as loaded, or its image
    // (automaton_image.h); the other is null.
    const PatternAutomaton* automaton;
    const AutomatonImage* image;
    // [state] its row plus one once made; before, ROW_UNMADE with the row of
    // its parent once that is made; 0 until then.
    std::uint32_t* row_of_state;
    OutputTable* table;              // where `outputs` and `digits` are kept
    std::mutex* making;              // held while rows are made, once shared; null before
};

// Makes the row a cell names and puts it in the cell; returns that row.
std::uint32_t compiled_resolve(CompiledAutomaton* compiled, std::uint32_t row, std::uint32_t byte_class);

// Where the cell of `row` for `byte_class` is in `cells`.
inline std::size_t compiled_cell(const CompiledAutomaton* compiled, std::uint32_t row, std::uint32_t byte_class)
{
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(compiled->class_count) + byte_class;
}

// The row reached from `row` on a byte of `byte_class`.
inline std::uint32_t compiled_next(CompiledAutomaton* compiled, std::uint32_t row, std::uint32_t byte_class)
{
    // Acquire: the row named is read after the cell, and was filled in before it.
    const std::uint32_t next = std::atomic_ref<std::uint32_t>(compiled->cells[compiled_cell(compiled, row, byte_class)])
                                   .load(std::memory_order_acquire);
    if ((next & ROW_UNMADE) == 0) [[likely]] return next;
    return compiled_resolve(compiled, row, byte_class);
}

// The id of the merged output of reaching `row` (0 for none).
inline std::uint32_t compiled_output(const CompiledAutomaton* compiled, std::uint32_t row)
{
    return compiled->row_output[row];
}

// Never null: memory that cannot be had ends the run as everywhere else.
CompiledAutomaton* compile_automaton(const PatternAutomaton* automaton);
CompiledAutomaton* compile_image(const AutomatonImage* image);
// A new matcher, with no rows made, on what `compiled` is made from.
CompiledAutomaton* compile_same(const CompiledAutomaton* compiled);

// Lets several threads step through the matcher at once from now on, which
// takes room for a row for every state, made ready here. False, with the
// matcher as it was, when that room was not set aside at compile time (a
// pattern set of more than ROW_ROOM_RESERVED states): each thread then
// needs a matcher of its own.
bool compiled_share(CompiledAutomaton* compiled);
void compiled_automaton_destroy(CompiledAutomaton* compiled);
