#include "breaks/mark_cache.h"

#include <cstring>

#include "common/memory.h"

namespace {

std::size_t cache_slots(int set_bits)
{
    return (std::size_t{1} << set_bits) * MARK_CACHE_WAYS + 1;
}

}  // namespace

void mark_cache_create(MarkCache* cache, const FastMarker* marker, int set_bits)
{
    cache->marker = marker;
    cache->set_bits = set_bits;
    const std::size_t slots = cache_slots(set_bits);
    if (set_bits == MARK_CACHE_SET_BITS) {
        // Every lookup lands somewhere else in the whole table.
        cache->slots = static_cast<MarkCacheSlot*>(must_alloc_table(slots * sizeof(MarkCacheSlot)));
    } else {
        // A small table is touched all over anyway: zeroing it at once takes
        // one fault a page instead of two.
        cache->slots = static_cast<MarkCacheSlot*>(must_alloc(slots * sizeof(MarkCacheSlot)));
        std::memset(cache->slots, 0, slots * sizeof(MarkCacheSlot));
    }
}

int mark_cache_set_bits_for(std::size_t bytes)
{
    int set_bits = 6;
    while (set_bits < MARK_CACHE_SET_BITS && (std::size_t{MARK_CACHE_WAYS} << set_bits) < bytes / 32) ++set_bits;
    return set_bits;
}

void mark_cache_destroy(MarkCache* cache)
{
    mem_release(cache->slots);
    cache->slots = nullptr;
}

void mark_cache_copy(MarkCache* cache, const MarkCache* from)
{
    if (from->slots == nullptr) return;
    if (cache->slots == nullptr || cache->set_bits != from->set_bits) {
        mark_cache_destroy(cache);
        mark_cache_create(cache, cache->marker, from->set_bits);
    }
    std::memcpy(cache->slots, from->slots, cache_slots(from->set_bits) * sizeof(MarkCacheSlot));
}

namespace {

// Moves slots [0, way) of `set` one place on, over slot `way`.
void shift_slots(MarkCacheSlot* set, std::uint32_t way)
{
    std::memmove(set + 1, set, way * sizeof(MarkCacheSlot));
}

}  // namespace

const MarkCacheSlot* mark_cache_find_later(const MarkCache* cache, MarkCacheSlot* set, const unsigned char* run,
                                           std::int64_t length)
{
    std::uint64_t key[3];
    mark_cache_detail::make_key(run, length, key);
    for (std::uint32_t way = 1; way < MARK_CACHE_WAYS; ++way) {
        if (mark_cache_detail::holds(set + way, key, length)) {
            const MarkCacheSlot used = set[way];
            shift_slots(set, way);
            set[0] = used;
            return set;
        }
    }
    return mark_cache_fill(cache, set, key, run, length);
}

const MarkCacheSlot* mark_cache_fill(const MarkCache* cache, MarkCacheSlot* set, const std::uint64_t key[3],
                                     const unsigned char* run, std::int64_t length)
{
    unsigned char marked[2 * CACHED_RUN_MAX];
    const std::size_t out =
        static_cast<std::size_t>(write_marked_head(cache->marker, run, length, marked) - marked);
    if (out > MARKED_ROOM) return nullptr;
    shift_slots(set, MARK_CACHE_WAYS - 1);
    MarkCacheSlot* slot = set;
    std::memcpy(slot->marked, marked, out);
    std::memcpy(slot->key, key, sizeof slot->key);
    slot->length = static_cast<std::uint8_t>(length);
    slot->marked_length = static_cast<std::uint8_t>(out);
    return slot;
}
