#include "breaks/mark_cache.h"

#include <cstring>

#include "breaks/mark_cache_shared.h"
#include "common/memory.h"

namespace {

// Slots in each of the two tables.
std::size_t table_slots(int set_bits)
{
    return (std::size_t{1} << set_bits) * MARK_CACHE_WAYS;
}

// A table of `bytes` bytes, all zero.
void* new_table(std::size_t bytes, bool full)
{
    // Every lookup in a full table lands somewhere else in the whole of it.
    if (full) return must_alloc_table(bytes);
    // A small table is touched all over anyway: zeroing it at once takes one
    // fault a page instead of two.
    void* table = must_alloc(bytes);
    std::memset(table, 0, bytes);
    return table;
}

// Moves slots [0, way) of `set` one place on, over slot `way`.
template <typename Slot>
void shift_slots(Slot* set, std::uint32_t way)
{
    std::memmove(set + 1, set, way * sizeof(Slot));
}

// Puts slot `way` of `set` first, the slots before it one place on.
template <typename Slot>
std::uint64_t move_to_front(Slot* set, std::uint32_t way)
{
    const Slot used = set[way];
    shift_slots(set, way);
    set[0] = used;
    return used.marks;
}

// Puts a walked word first in its set, unless the set holds it (it waited
// twice, or another word's lookup put it there).
void put_walked(const MarkCache* cache, const unsigned char* run, std::int64_t length, std::uint64_t marks)
{
    using namespace mark_cache_detail;
    if (length <= SHORT_RUN_MAX) {
        const std::uint64_t key = short_key(run, length);
        ShortSlot* set = &cache->short_slots[short_set_index(key, mark_cache_short_shift(cache)) * MARK_CACHE_WAYS];
        for (std::uint32_t way = 0; way < MARK_CACHE_WAYS; ++way) {
            if (set[way].key == key) return;
        }
        shift_slots(set, MARK_CACHE_WAYS - 1);
        *set = ShortSlot{key, marks};
        return;
    }
    MarkCacheSlot slot{};
    make_key(run, length, slot.key);
    MarkCacheSlot* set = &cache->slots[long_set_index(cache, slot.key) * MARK_CACHE_WAYS];
    for (std::uint32_t way = 0; way < MARK_CACHE_WAYS; ++way) {
        if (holds(set + way, slot.key)) return;
    }
    shift_slots(set, MARK_CACHE_WAYS - 1);
    slot.marks = marks;
    *set = slot;
}

}  // namespace

std::uint64_t mark_cache_walk(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    std::uint64_t marks[RUN_MARK_WORDS];
    run_marks(cache->marker, run, length, marks);
    return marks[0];
}

std::uint64_t mark_cache_missed(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    WaitingWalks* waiting = cache->waiting;
    if (waiting == nullptr) return mark_cache_walk(cache, run, length);
    waiting->runs[waiting->count] = run;
    waiting->lengths[waiting->count] = length;
    if (++waiting->count == WAITING_WALKS_MAX) mark_cache_walk_waiting(cache);
    return 0;
}

void mark_cache_walk_waiting(const MarkCache* cache)
{
    WaitingWalks* waiting = cache->waiting;
    if (waiting == nullptr || waiting->count == 0) return;
    std::uint64_t marks[WAITING_WALKS_MAX];
    runs_marks(cache->marker, waiting->runs, waiting->lengths, waiting->count, marks);
    for (int k = 0; k < waiting->count; ++k) {
        if (cache->shared) {
            mark_cache_put_shared(cache, waiting->runs[k], waiting->lengths[k], marks[k]);
        } else {
            put_walked(cache, waiting->runs[k], waiting->lengths[k], marks[k]);
        }
        mark_bits_add(waiting->marks, static_cast<std::size_t>(waiting->runs[k] - waiting->text), marks[k]);
    }
    waiting->count = 0;
}

void mark_cache_create(MarkCache* cache, const FastMarker* marker, int set_bits)
{
    cache->marker = marker;
    cache->waiting = nullptr;
    cache->set_bits = set_bits;
    // Both tables in one block: the full pair fills two large pages.
    const std::size_t short_bytes = table_slots(mark_cache_short_set_bits(set_bits)) * sizeof(ShortSlot);
    const std::size_t bytes = short_bytes + table_slots(set_bits) * sizeof(MarkCacheSlot);
    unsigned char* block = static_cast<unsigned char*>(new_table(bytes, set_bits == MARK_CACHE_SET_BITS));
    cache->short_slots = reinterpret_cast<ShortSlot*>(block);
    cache->slots = reinterpret_cast<MarkCacheSlot*>(block + short_bytes);
    cache->shared = false;
}

int mark_cache_set_bits_for(std::size_t bytes)
{
    int set_bits = 6;
    while (set_bits < MARK_CACHE_SET_BITS && (std::size_t{2 * MARK_CACHE_WAYS} << set_bits) < bytes / 32) ++set_bits;
    return set_bits;
}

void mark_cache_destroy(MarkCache* cache)
{
    mem_release(cache->short_slots);
    cache->slots = nullptr;
    cache->short_slots = nullptr;
    cache->shared = false;
}

std::uint64_t mark_cache_find_later(const MarkCache* cache, MarkCacheSlot* set, const unsigned char* run,
                                    std::int64_t length)
{
    std::uint64_t key[3];
    mark_cache_detail::make_key(run, length, key);
    for (std::uint32_t way = 1; way < MARK_CACHE_WAYS; ++way) {
        if (mark_cache_detail::holds(set + way, key)) return move_to_front(set, way);
    }
    // A word that waits for its walk is put in the set then.
    if (cache->waiting != nullptr) return mark_cache_missed(cache, run, length);
    shift_slots(set, MARK_CACHE_WAYS - 1);
    std::memcpy(set->key, key, sizeof set->key);
    set->marks = mark_cache_walk(cache, run, length);
    return set->marks;
}

std::uint64_t mark_cache_find_short_later(const MarkCache* cache, ShortSlot* set, const unsigned char* run,
                                          std::int64_t length)
{
    const std::uint64_t key = mark_cache_detail::short_key(run, length);
    for (std::uint32_t way = 1; way < MARK_CACHE_WAYS; ++way) {
        if (set[way].key == key) return move_to_front(set, way);
    }
    if (cache->waiting != nullptr) return mark_cache_missed(cache, run, length);
    shift_slots(set, MARK_CACHE_WAYS - 1);
    set->key = key;
    set->marks = mark_cache_walk(cache, run, length);
    return set->marks;
}
