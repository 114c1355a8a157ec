#pragma once
// A source of bytes for the streamed pass: an open file, or bytes already in memory.

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct ByteSource {
    std::FILE* file;             // null for text in memory
    const unsigned char* bytes;  // the text in memory
    std::size_t size;
    std::size_t position;        // bytes read so far
    int error;                   // errno of a failed read, 0 when none
    bool find_nul;               // set by the caller: note where the first NUL byte read is
    std::int64_t nul_at;         // that byte's place in the text; -1 while none was seen
};

ByteSource byte_source_from_file(std::FILE* file);
ByteSource byte_source_from_memory(const unsigned char* bytes, std::size_t size);

// Reads up to `count` bytes into `into`; fewer only at the end of the text or
// on a read error, which is left in `error`.
std::size_t byte_source_read(ByteSource* source, unsigned char* into, std::size_t count);
