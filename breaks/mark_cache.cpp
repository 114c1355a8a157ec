#include "breaks/mark_cache.h"

#include <cstring>

#include "common/memory.h"


void mark_cache_create(MarkCache* cache, const FastMarker* marker)
{
    cache->marker = marker;
    // Zeroed pages come from the system as they are first touched.
    cache->slots = static_cast<MarkCacheSlot*>(must_alloc_zeroed(MARK_CACHE_SETS * MARK_CACHE_WAYS + 1, sizeof(MarkCacheSlot)));
}

void mark_cache_destroy(MarkCache* cache)
{
    mem_release(cache->slots);
    cache->slots = nullptr;
}

void mark_cache_copy(MarkCache* cache, const MarkCache* from)
{
    std::memcpy(cache->slots, from->slots, (MARK_CACHE_SETS * MARK_CACHE_WAYS + 1) * sizeof(MarkCacheSlot));
}

static_assert(MARK_CACHE_WAYS == 2);

const MarkCacheSlot* mark_cache_promote(MarkCacheSlot* set)
{
    const MarkCacheSlot used = set[1];
    set[1] = set[0];
    set[0] = used;
    return set;
}

const MarkCacheSlot* mark_cache_fill(MarkCache* cache, MarkCacheSlot* set, const std::uint64_t key[3],
                                     const unsigned char* run, std::int64_t length)
{
    unsigned char marked[2 * CACHED_RUN_MAX];
    const std::size_t out =
        static_cast<std::size_t>(write_marked_head(cache->marker, run, length, marked) - marked);
    if (out > MARKED_ROOM) return nullptr;
    set[1] = set[0];
    MarkCacheSlot* slot = set;
    std::memcpy(slot->marked, marked, out);
    std::memcpy(slot->key, key, sizeof slot->key);
    slot->length = static_cast<std::uint8_t>(length);
    slot->marked_length = static_cast<std::uint8_t>(out);
    return slot;
}
