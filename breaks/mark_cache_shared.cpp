#include "breaks/mark_cache_shared.h"

namespace {

using namespace mark_cache_detail;

// Tries that a thread makes to find a set not being changed.
constexpr int BUSY_TRIES = 64;

void write_word(std::uint64_t* word, std::uint64_t value)
{
    std::atomic_ref<std::uint64_t>(*word).store(value, std::memory_order_release);
}

void put_key(ShortSlot* to, const ShortSlot& from)
{
    write_word(&to->key, from.key);
}

void put_key(MarkCacheSlot* to, const MarkCacheSlot& from)
{
    for (int w = 0; w < 3; ++w) write_word(&to->key[w], from.key[w]);
}

ShortSlot read_slot(ShortSlot* slot)
{
    return ShortSlot{read_word(&slot->key), read_word(&slot->marks)};
}

MarkCacheSlot read_slot(MarkCacheSlot* slot)
{
    return MarkCacheSlot{{read_word(&slot->key[0]), read_word(&slot->key[1]), read_word(&slot->key[2])},
                         read_word(&slot->marks)};
}

bool same_key(const ShortSlot& slot, const ShortSlot& wanted)
{
    return slot.key == wanted.key;
}

bool same_key(const MarkCacheSlot& slot, const MarkCacheSlot& wanted)
{
    return holds(&slot, wanted.key);
}

// A set's slots as read at one moment, the version taken off the first
// slot's marks.
template <typename Slot>
struct SetCopy {
    Slot slots[MARK_CACHE_WAYS];
    std::uint64_t first;  // the first slot's marks with the version, as read
};

// Reads the set whole; false if writers kept it busy.
template <typename Slot>
bool read_set(Slot* set, SetCopy<Slot>* copy)
{
    for (int attempt = 0; attempt < BUSY_TRIES; ++attempt) {
        copy->first = read_word(&set->marks);
        for (std::uint32_t way = 0; way < MARK_CACHE_WAYS; ++way) copy->slots[way] = read_slot(&set[way]);
        if (!still_whole(set, copy->first)) continue;
        copy->slots[0].marks &= MARKS_OF_SLOT<Slot>;
        return true;
    }
    return false;
}

// The way of the copy that holds the key of `wanted`, or MARK_CACHE_WAYS.
template <typename Slot>
std::uint32_t way_of(const SetCopy<Slot>& copy, const Slot& wanted)
{
    std::uint32_t way = 0;
    while (way < MARK_CACHE_WAYS && !same_key(copy.slots[way], wanted)) ++way;
    return way;
}

// If the set is still as `copy` saw it, writes it with `slot` first and
// copy's slots before `way` one place on, over slot `way`. False if another
// thread changed the set or is changing it.
template <typename Slot>
bool put_first(Slot* set, const SetCopy<Slot>& copy, std::uint32_t way, const Slot& slot)
{
    constexpr std::uint64_t step = std::uint64_t{1} << VERSION_SHIFT<Slot>;
    const std::uint64_t version = copy.first & ~MARKS_OF_SLOT<Slot>;
    std::uint64_t expected = copy.first;
    if (!std::atomic_ref<std::uint64_t>(set->marks)
             .compare_exchange_strong(expected, copy.first + step, std::memory_order_acquire,
                                      std::memory_order_relaxed)) {
        return false;
    }
    for (std::uint32_t w = way; w > 0; --w) {
        put_key(&set[w], copy.slots[w - 1]);
        write_word(&set[w].marks, copy.slots[w - 1].marks);
    }
    put_key(&set[0], slot);
    write_word(&set[0].marks, version + 2 * step + slot.marks);
    return true;
}

// Puts `wanted` (with its marks) first in the set, which `copy` holds as
// read, unless the set comes to hold it meanwhile: another thread may have
// walked the same word, and the first to put it in keeps its place.
template <typename Slot>
void put_walked(Slot* set, SetCopy<Slot>* copy, const Slot& wanted)
{
    for (int attempt = 0; attempt < BUSY_TRIES; ++attempt) {
        if (put_first(set, *copy, MARK_CACHE_WAYS - 1, wanted)) return;
        if (!read_set(set, copy) || way_of(*copy, wanted) < MARK_CACHE_WAYS) return;
    }
}

// The marks of the word whose key `wanted` holds, from its set, or walked
// and put first in the set (or left to wait for its walk, with 0). A word
// found after the first slot is put first, as in a cache of one thread, so
// that the next lookup finds it at once.
template <typename Slot>
std::uint64_t find_or_walk(const MarkCache* cache, Slot* set, Slot wanted, const unsigned char* run,
                           std::int64_t length)
{
    SetCopy<Slot> copy;
    if (!read_set(set, &copy)) return mark_cache_missed(cache, run, length);
    const std::uint32_t way = way_of(copy, wanted);
    if (way < MARK_CACHE_WAYS) {
        // Left where it is if the set changed meanwhile.
        if (way != 0) put_first(set, copy, way, copy.slots[way]);
        return copy.slots[way].marks;
    }
    if (cache->waiting != nullptr) return mark_cache_missed(cache, run, length);
    wanted.marks = mark_cache_walk(cache, run, length);
    put_walked(set, &copy, wanted);
    return wanted.marks;
}

// Puts a walked word in its set, read afresh.
template <typename Slot>
void put_walked_in(Slot* set, const Slot& wanted)
{
    SetCopy<Slot> copy;
    if (read_set(set, &copy) && way_of(copy, wanted) == MARK_CACHE_WAYS) put_walked(set, &copy, wanted);
}

}  // namespace

void mark_cache_share(MarkCache* cache)
{
    cache->shared = true;
}

std::uint64_t mark_cache_find_short_shared(const MarkCache* cache, ShortSlot* set, const unsigned char* run,
                                           std::int64_t length)
{
    return find_or_walk(cache, set, ShortSlot{short_key(run, length), 0}, run, length);
}

std::uint64_t mark_cache_find_shared(const MarkCache* cache, MarkCacheSlot* set, const unsigned char* run,
                                     std::int64_t length)
{
    MarkCacheSlot wanted{};
    make_key(run, length, wanted.key);
    return find_or_walk(cache, set, wanted, run, length);
}

void mark_cache_put_shared(const MarkCache* cache, const unsigned char* run, std::int64_t length,
                           std::uint64_t marks)
{
    if (length <= SHORT_RUN_MAX) {
        const std::uint64_t key = short_key(run, length);
        put_walked_in(&cache->short_slots[short_set_index(key, mark_cache_short_shift(cache)) * MARK_CACHE_WAYS],
                      ShortSlot{key, marks});
        return;
    }
    MarkCacheSlot wanted{};
    make_key(run, length, wanted.key);
    wanted.marks = marks;
    put_walked_in(&cache->slots[long_set_index(cache, wanted.key) * MARK_CACHE_WAYS], wanted);
}
