#include "breaks/mark_cache.h"

#include <cstring>

#include "breaks/break_values.h"
#include "common/memory.h"

static_assert(CACHED_RUN_MAX == 24, "keys are three 64-bit words");
static_assert(CACHED_RUN_MAX <= SHORT_RUN_MAX);
static_assert(MARKED_COPY <= MARKED_ROOM + sizeof(MarkCacheSlot::key));

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
