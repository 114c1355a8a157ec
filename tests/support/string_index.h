#pragma once
// A hash map from a state's string to its state number, used only while the
// automaton is being built.

#include <cstddef>
#include <cstdint>

#include "platform/arena.h"

constexpr std::uint32_t INDEX_BUCKETS = 31627;  // prime

struct IndexEntry {
    IndexEntry* next;
    char* key;
    std::int32_t value;
};

struct StringIndex {
    IndexEntry** buckets;      // INDEX_BUCKETS chain heads
    // Entries and their keys are carved out of large blocks, which are
    // released together: an index holds many small strings for a short time.
    Arena entries;
};

// PJW hash, ELF form, over the key's bytes taken as unsigned values.
std::uint32_t string_hash(const char* key);

StringIndex* string_index_create();
// Puts a new entry, with its own copy of the key, at the head of the key's
// chain; does not look for an existing one.
void string_index_insert(StringIndex* index, const char* key, std::int32_t value);
// The value of the first entry along the key's chain with an equal key, or -1.
std::int32_t string_index_find(const StringIndex* index, const char* key);
void string_index_destroy(StringIndex* index);
