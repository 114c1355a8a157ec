#pragma once
// Writes a block of text with its marks put in: the marks of a block are a
// bit mask (bit i of marks[k]: a mark follows byte 64k + i), and the text is
// copied with HYPHEN_MARK after every byte whose bit is set. With AVX-512
// (VBMI2) 32 bytes are spread out at a time, with SSSE3 8 bytes; the plain
// path copies the text between marks.

#include <cstddef>
#include <cstdint>

// The byte written after a letter where a break is allowed.
constexpr unsigned char HYPHEN_MARK = 0xAC;

// Bytes past the end of what expand_marks writes that it may touch.
constexpr std::size_t EXPAND_SLACK = 64;

// Copies text[from .. to) to `out`, with HYPHEN_MARK after each byte whose
// mark bit is set, and returns the end of what was written. `out` must have
// room for 2 * (to - from) + EXPAND_SLACK bytes; the text must be readable
// 64 bytes past `to`, and `marks` to the word after the one holding bit
// `to` + 32.
unsigned char* expand_marks(const unsigned char* text, const std::uint64_t* marks, std::size_t from, std::size_t to,
                            unsigned char* out);

// The ways of spreading a block; the fastest the processor has serves
// expand_marks.
enum class ExpandPath { plain, ssse3, avx512 };

bool expand_path_supported(ExpandPath path);

// expand_marks along one path, which must be supported.
unsigned char* expand_marks_along(ExpandPath path, const unsigned char* text, const std::uint64_t* marks,
                                  std::size_t from, std::size_t to, unsigned char* out);
