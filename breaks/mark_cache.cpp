#include "breaks/mark_cache.h"

#include <cstring>

#include "breaks/break_values.h"
#include "common/memory.h"

static_assert(CACHED_RUN_MAX == 24, "keys are three 64-bit words");
static_assert(CACHED_RUN_MAX <= SHORT_RUN_MAX);
static_assert(MARKED_COPY <= MARKED_ROOM + sizeof(MarkCacheSlot::key));

void mark_cache_create(MarkCache* cache, const FastMarker* marker)
{
    cache->marker = marker;
    // Zeroed pages come from the system as they are first touched.
    cache->slots = static_cast<MarkCacheSlot*>(must_alloc_zeroed(MARK_CACHE_SLOTS + 1, sizeof(MarkCacheSlot)));
}

void mark_cache_destroy(MarkCache* cache)
{
    mem_release(cache->slots);
    cache->slots = nullptr;
}

const MarkCacheSlot* mark_cache_fill(MarkCache* cache, MarkCacheSlot* slot, const std::uint64_t key[3],
                                     const unsigned char* run, std::int64_t length)
{
    std::uint32_t marks = short_run_marks(cache->marker, run, length);
    if (length + std::popcount(marks) > static_cast<std::int64_t>(MARKED_ROOM)) return nullptr;
    std::size_t out = 0;
    for (std::int64_t j = 0; j < length; ++j) {
        slot->marked[out++] = run[j];
        if ((marks >> j & 1) != 0) slot->marked[out++] = HYPHEN_MARK;
    }
    std::memcpy(slot->key, key, sizeof slot->key);
    slot->length = static_cast<std::uint8_t>(length);
    slot->marked_length = static_cast<std::uint8_t>(out);
    return slot;
}
