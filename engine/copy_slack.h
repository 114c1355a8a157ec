#pragma once
// Fixed-size loads and stores in the streamed pass move a whole vector or
// word whatever the length they need, which is much cheaper than a copy of
// exactly that length. Every buffer they read from or write into therefore
// keeps COPY_SLACK bytes of room past the bytes it holds: the text buffer
// (zeroed there) and the output block. Each fixed-size copy checks its
// reach against COPY_SLACK where it is defined.

#include <cstddef>
#include <cstring>

// Bytes past the end of every buffer that fixed-size copies may touch.
constexpr std::size_t COPY_SLACK = 64;

// Copies `count` bytes: a copy of up to 32 moves 32, so both sides must be
// reachable 32 bytes past what they hold.
inline void copy_up_to_32_more(unsigned char* to, const unsigned char* from, std::size_t count)
{
    if (count <= 32) {
        std::memcpy(to, from, 16);
        std::memcpy(to + 16, from + 16, 16);
    } else {
        std::memcpy(to, from, count);
    }
}
