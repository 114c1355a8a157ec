#include "tests/support/string_index.h"

#include <cstring>

#include "platform/memory.h"

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

StringIndex* string_index_create()
{
    StringIndex* index = static_cast<StringIndex*>(must_alloc(sizeof(StringIndex)));
    index->buckets = static_cast<IndexEntry**>(must_alloc(INDEX_BUCKETS * sizeof(IndexEntry*)));
    for (std::uint32_t i = 0; i < INDEX_BUCKETS; ++i) index->buckets[i] = nullptr;
    arena_init(&index->entries);
    return index;
}

void string_index_insert(StringIndex* index, const char* key, std::int32_t value)
{
    const std::size_t length = std::strlen(key);
    IndexEntry* entry =
        static_cast<IndexEntry*>(arena_carve(&index->entries, sizeof(IndexEntry), alignof(IndexEntry)));
    char* copy = static_cast<char*>(arena_carve(&index->entries, length + 1, 1));
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
    arena_release(&index->entries);
    mem_release(index->buckets);
    mem_release(index);
}
