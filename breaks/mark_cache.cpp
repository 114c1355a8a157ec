#include "breaks/mark_cache.h"

#include <cstring>

#include "common/memory.h"

static_assert(CACHED_RUN_MAX == 24, "keys are three 64-bit words");
static_assert(CACHED_RUN_MAX <= SHORT_RUN_MAX);


void mark_cache_create(MarkCache* cache, const FastMarker* marker)
{
    cache->marker = marker;
    cache->slots = static_cast<MarkCacheSlot*>(must_alloc(MARK_CACHE_SLOTS * sizeof(MarkCacheSlot)));
    std::memset(cache->slots, 0, MARK_CACHE_SLOTS * sizeof(MarkCacheSlot));
}

void mark_cache_destroy(MarkCache* cache)
{
    mem_release(cache->slots);
    cache->slots = nullptr;
}

std::uint32_t mark_cache_fill(MarkCache* cache, MarkCacheSlot* slot, const std::uint64_t key[3],
                              const unsigned char* run, std::int64_t length)
{
    slot->marks = short_run_marks(cache->marker, run, length);
    slot->key[0] = key[0];
    slot->key[1] = key[1];
    slot->key[2] = key[2];
    slot->length = static_cast<std::uint32_t>(length);
    return slot->marks;
}
