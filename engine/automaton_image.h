#pragma once
// A pattern automaton as one block of bytes, made when the program is built,
// that the matcher reads in place: a program that carries the block of a
// pattern set has its automaton at once, no state is copied, and the pages
// of the states a text never reaches are never touched.
//
// States are numbered breadth first from the root, 0, and the children of a
// state are numbered together: state s moves to the states first_child[s]
// to first_child[s + 1] - 1, each on the letter of the move into it.
// Failure links are not kept. The block is 32-bit numbers in the machine's
// order: a mark of that order, the number of states, the bytes of the
// outputs, and for each byte value the moves on it; then first_child for
// every state and one more; then each state's output (where its digits
// begin, plus one; 0 for none); then the outputs, each ended by a NUL; then
// the letter of the move into each state (the root's is 0).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/automaton.h"

struct AutomatonImage {
    std::int32_t count;                 // states, at least 1
    std::size_t longest_output;         // digits of the longest output
    std::uint32_t transitions_on[256];  // moves on each byte (0: no letter of any pattern)
    const unsigned char* first_child;   // [count + 1] numbers
    const unsigned char* output;        // [count] numbers
    const char* digits;                 // the outputs
    const unsigned char* letter;        // [count]
};

// The number at index k of an array of the block.
inline std::uint32_t image_number(const unsigned char* numbers, std::size_t k)
{
    std::uint32_t value;
    std::memcpy(&value, numbers + 4 * k, sizeof value);
    return value;
}

// The first child of state s; its last is the first of s + 1, less one.
inline std::int32_t image_first_child(const AutomatonImage* image, std::int32_t s)
{
    return static_cast<std::int32_t>(image_number(image->first_child, static_cast<std::size_t>(s)));
}

// The output of state s, or null.
inline const char* image_output(const AutomatonImage* image, std::int32_t s)
{
    const std::uint32_t at = image_number(image->output, static_cast<std::size_t>(s));
    return at == 0 ? nullptr : image->digits + (at - 1);
}

// The block of `automaton`, every distinct output kept once.
std::string automaton_image(const PatternAutomaton* automaton);

// Reads the block `bytes`, which must outlive the image. False when they
// are not a whole block: cut short or too long, a state moving outside the
// automaton or to one not after it, an output outside the block, of other
// bytes than digits or of more digits than a pattern line has.
bool automaton_image_read(AutomatonImage* image, const unsigned char* bytes, std::size_t size);
