#pragma once
// Short copies in the streamed pass move a fixed number of bytes whatever
// their length, which is much cheaper than a copy of exactly the length.
// Every buffer they read from or write into therefore keeps COPY_SLACK bytes
// of room past the bytes it holds: the text buffer (zeroed there), the
// output block, and the word cache's last slot. Each fixed-size copy checks
// its reach against COPY_SLACK where it is defined.

#include <cstddef>

// Bytes past the end of every buffer that fixed-size copies may touch.
constexpr std::size_t COPY_SLACK = 64;

// Copies of up to this many bytes move exactly SHORT_COPY bytes.
constexpr std::size_t SHORT_COPY = 32;
static_assert(SHORT_COPY <= COPY_SLACK);
