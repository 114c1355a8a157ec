#include "platform/arena.h"

#include <cstring>

#include "platform/memory.h"

namespace {

// Blocks double from the first size to the last, so a small arena stays
// small and a large one needs few blocks.
constexpr std::size_t FIRST_BLOCK = 16 * 1024;
constexpr std::size_t LAST_BLOCK = 1024 * 1024;
constexpr std::size_t LINK = sizeof(unsigned char*);

}  // namespace

void arena_init(Arena* arena)
{
    arena->block = nullptr;
    arena->used = 0;
    arena->size = 0;
}

void* arena_carve_block(Arena* arena, std::size_t size)
{
    std::size_t block_size = FIRST_BLOCK;
    if (arena->block != nullptr) block_size = arena->size >= LAST_BLOCK / 2 ? LAST_BLOCK : 2 * arena->size;
    if (block_size - LINK < size) block_size = LINK + size;
    unsigned char* block = static_cast<unsigned char*>(must_alloc(block_size));
    std::memcpy(block, &arena->block, LINK);
    arena->block = block;
    arena->size = block_size;
    // must_alloc's blocks are aligned for any pointer, and so is LINK.
    arena->used = LINK + size;
    return block + LINK;
}

void arena_release(Arena* arena)
{
    unsigned char* block = arena->block;
    while (block != nullptr) {
        unsigned char* previous;
        std::memcpy(&previous, block, LINK);
        mem_release(block);
        block = previous;
    }
    arena_init(arena);
}
