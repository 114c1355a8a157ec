#include "automaton/string_index.h"

#include <cstring>

#include "common/memory.h"

std::uint32_t string_hash(const char* key)
{
    std::uint32_t h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(key); *p != 0; ++p) {
        h = (h << 4) + *p;
        const std::uint32_t g = h & 0xF0000000u;
        if (g != 0) h ^= g >> 24;
        h &= ~g;
    }
    return h;
}

namespace {

constexpr std::size_t BLOCK_SIZE = 64 * 1024;
constexpr std::size_t ALIGNMENT = alignof(IndexEntry);

// Room for `size` bytes from the index's blocks, aligned for an IndexEntry.
void* carve(StringIndex* index, std::size_t size)
{
    size = (size + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
    if (index->block == nullptr || index->block_size - index->block_used < size) {
        const std::size_t header = (sizeof(unsigned char*) + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
        const std::size_t block_size = size + header > BLOCK_SIZE ? size + header : BLOCK_SIZE;
        unsigned char* block = static_cast<unsigned char*>(must_alloc(block_size));
        std::memcpy(block, &index->block, sizeof(unsigned char*));
        index->block = block;
        index->block_used = header;
        index->block_size = block_size;
    }
    void* room = index->block + index->block_used;
    index->block_used += size;
    return room;
}

}  // namespace

StringIndex* string_index_create()
{
    StringIndex* index = static_cast<StringIndex*>(must_alloc(sizeof(StringIndex)));
    index->buckets = static_cast<IndexEntry**>(must_alloc(INDEX_BUCKETS * sizeof(IndexEntry*)));
    for (std::uint32_t i = 0; i < INDEX_BUCKETS; ++i) index->buckets[i] = nullptr;
    index->block = nullptr;
    index->block_used = 0;
    index->block_size = 0;
    return index;
}

void string_index_insert(StringIndex* index, const char* key, std::int32_t value)
{
    const std::size_t length = std::strlen(key);
    IndexEntry* entry = static_cast<IndexEntry*>(carve(index, sizeof(IndexEntry)));
    char* copy = static_cast<char*>(carve(index, length + 1));
    std::memcpy(copy, key, length + 1);
    IndexEntry** head = &index->buckets[string_hash(key) % INDEX_BUCKETS];
    entry->next = *head;
    entry->key = copy;
    entry->value = value;
    *head = entry;
}

std::int32_t string_index_find(const StringIndex* index, const char* key)
{
    for (const IndexEntry* entry = index->buckets[string_hash(key) % INDEX_BUCKETS]; entry != nullptr;
         entry = entry->next) {
        if (std::strcmp(entry->key, key) == 0) return entry->value;
    }
    return -1;
}

void string_index_destroy(StringIndex* index)
{
    unsigned char* block = index->block;
    while (block != nullptr) {
        unsigned char* previous;
        std::memcpy(&previous, block, sizeof(unsigned char*));
        mem_release(block);
        block = previous;
    }
    mem_release(index->buckets);
    mem_release(index);
}
