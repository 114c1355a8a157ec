#pragma once
// Fixed-size loads and stores in the streamed pass move a whole vector or
// word whatever the length they need, which is much cheaper than a copy of
// exactly that length. Every buffer they read from or write into therefore
// keeps COPY_SLACK bytes of room past the bytes it holds: the text buffer
// (zeroed there) and the output block. Each fixed-size copy checks its
// reach against COPY_SLACK where it is defined.

#include <cstddef>

// Bytes past the end of every buffer that fixed-size copies may touch.
constexpr std::size_t COPY_SLACK = 64;
