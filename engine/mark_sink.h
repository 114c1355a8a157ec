#pragma once
// Where a pass hands its results: each stretch of text, in the order of the
// text, with its marks as bits. How a mark is written (a byte, a character,
// a string) is the sink's business.

#include <cstddef>
#include <cstdint>

// The 64 mark bits of a block's marks from bit `at` on; the word after the
// one holding bit `at` is read.
inline std::uint64_t mark_word_at(const std::uint64_t* marks, std::size_t at)
{
    const std::size_t word = at / 64;
    const unsigned shift = static_cast<unsigned>(at % 64);
    return (marks[word] >> shift) | ((marks[word + 1] << 1) << (63 - shift));
}

// `count` of them (at most 57).
inline std::uint64_t mark_bits_at(const std::uint64_t* marks, std::size_t at, std::size_t count)
{
    return mark_word_at(marks, at) & ((std::uint64_t{1} << count) - 1);
}

struct MarkSink {
    // Takes text[from .. to) and its marks (on any of a pass's threads, one
    // call at a time, each after the last has returned): bit i of marks[k] is a mark after
    // byte 64k + i of `text`. The text is readable COPY_SLACK bytes past `to`
    // and the marks one word past the one holding bit `to` + 32. Returns 0,
    // or an error number, which ends the pass.
    int (*put)(void* context, const unsigned char* text, const std::uint64_t* marks, std::size_t from,
               std::size_t to);
    void* context;
};
