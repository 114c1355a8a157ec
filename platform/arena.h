#pragma once
// Room for many small records that live and die together, carved out of
// large blocks: one allocation for many records, and one release per block.
// Blocks come from must_alloc, so running out of memory ends the run with the
// usual message.

#include <cstddef>

struct Arena {
    unsigned char* block;  // the block being filled; its first bytes link to the previous block
    std::size_t used;      // bytes of `block` handed out, its link included
    std::size_t size;      // bytes of `block`
};

// An arena holding nothing yet.
void arena_init(Arena* arena);

// Takes a new block for a request that does not fit the current one.
void* arena_carve_block(Arena* arena, std::size_t size);

// `size` bytes aligned to `alignment` (a power of two, at most that of a
// pointer), valid until arena_release.
inline void* arena_carve(Arena* arena, std::size_t size, std::size_t alignment)
{
    const std::size_t at = (arena->used + alignment - 1) & ~(alignment - 1);
    if (arena->block == nullptr || arena->size - at < size) return arena_carve_block(arena, size);
    arena->used = at + size;
    return arena->block + at;
}

// Releases every block; the arena is empty again.
void arena_release(Arena* arena);
