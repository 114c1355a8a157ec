#pragma once
// Where the engine's bytes come from (a pattern file's, a text's): a read
// call given by whoever owns the bytes, or bytes already in memory.

#include <cstddef>
#include <cstdint>

struct ByteSource {
    // Reads up to `count` bytes into `into`; fewer only at the end of the
    // bytes or on a failure, whose error number it leaves in *error. Null
    // for bytes in memory.
    std::size_t (*read)(void* context, unsigned char* into, std::size_t count, int* error);
    void* context;
    const unsigned char* bytes;  // the bytes in memory, when `read` is null
    std::size_t size;
    std::size_t position;        // bytes read so far
    int error;                   // the error number of a failed read, 0 when none
    bool find_nul;               // set by the caller: note where the first NUL byte read is
    std::int64_t nul_at;         // that byte's place in the bytes; -1 while none was seen
};

ByteSource byte_source_from_memory(const unsigned char* bytes, std::size_t size);

// Reads up to `count` bytes into `into`; fewer only at the end of the bytes
// or on a read error, which is left in `error`.
std::size_t byte_source_read(ByteSource* source, unsigned char* into, std::size_t count);
