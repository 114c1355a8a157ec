#include "breaks/mark_cache.h"

#include <cstring>

#include "common/memory.h"


void mark_cache_create(MarkCache* cache, const FastMarker* marker, std::uint32_t slots)
{
    cache->marker = marker;
    cache->slot_mask = slots - 1;
    if (slots == MARK_CACHE_SLOTS) {
        // Zeroed pages come from the system as they are first touched.
        cache->slots = static_cast<MarkCacheSlot*>(must_alloc_zeroed(slots + 1, sizeof(MarkCacheSlot)));
    } else {
        // A small table is touched all over anyway: zeroing it at once takes
        // one fault a page instead of two.
        const std::size_t size = (static_cast<std::size_t>(slots) + 1) * sizeof(MarkCacheSlot);
        cache->slots = static_cast<MarkCacheSlot*>(must_alloc(size));
        std::memset(cache->slots, 0, size);
    }
}

std::uint32_t mark_cache_slots_for(std::size_t bytes)
{
    std::uint32_t slots = 256;
    while (slots < MARK_CACHE_SLOTS && slots < bytes / 8) slots *= 2;
    return slots;
}

void mark_cache_destroy(MarkCache* cache)
{
    mem_release(cache->slots);
    cache->slots = nullptr;
}

const MarkCacheSlot* mark_cache_fill(MarkCache* cache, MarkCacheSlot* slot, const std::uint64_t key[3],
                                     const unsigned char* run, std::int64_t length)
{
    unsigned char marked[2 * CACHED_RUN_MAX];
    const std::size_t out =
        static_cast<std::size_t>(write_marked_head(cache->marker, run, length, marked) - marked);
    if (out > MARKED_ROOM) return nullptr;
    std::memcpy(slot->marked, marked, out);
    std::memcpy(slot->key, key, sizeof slot->key);
    slot->length = static_cast<std::uint8_t>(length);
    slot->marked_length = static_cast<std::uint8_t>(out);
    return slot;
}
