#include "engine/word_cache.h"

#include <cstring>

#include "platform/memory.h"
#include "platform/expect.h"

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
        ShortSlot* set = &cache->words->short_slots[short_set_index(key, mark_cache_short_shift(cache)) * MARK_CACHE_WAYS];
        for (std::uint32_t way = 0; way < MARK_CACHE_WAYS; ++way) {
            if (set[way].key == key) return;
        }
        shift_slots(set, MARK_CACHE_WAYS - 1);
        *set = ShortSlot{key, marks};
        return;
    }
    MarkCacheSlot slot{};
    make_key(run, length, slot.key);
    MarkCacheSlot* set = &cache->words->slots[long_set_index(cache, slot.key) * MARK_CACHE_WAYS];
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
        if (cache->words->shared) {
            mark_cache_put_shared(cache, waiting->runs[k], waiting->lengths[k], marks[k]);
        } else {
            put_walked(cache, waiting->runs[k], waiting->lengths[k], marks[k]);
        }
        mark_bits_add(waiting->marks, static_cast<std::size_t>(waiting->runs[k] - waiting->text), marks[k]);
    }
    waiting->count = 0;
}

void word_cache_create(WordCache* words, int set_bits)
{
    ZARNET_EXPECT(set_bits >= 0 && set_bits <= MARK_CACHE_SET_BITS);
    words->set_bits = set_bits;
    // Both tables in one block: the full pair fills two large pages.
    const std::size_t short_bytes = table_slots(mark_cache_short_set_bits(set_bits)) * sizeof(ShortSlot);
    const std::size_t bytes = short_bytes + table_slots(set_bits) * sizeof(MarkCacheSlot);
    unsigned char* block = static_cast<unsigned char*>(new_table(bytes, set_bits == MARK_CACHE_SET_BITS));
    words->short_slots = reinterpret_cast<ShortSlot*>(block);
    words->slots = reinterpret_cast<MarkCacheSlot*>(block + short_bytes);
    words->shared = false;
}

int mark_cache_set_bits_for(std::size_t bytes)
{
    int set_bits = 6;
    while (set_bits < MARK_CACHE_SET_BITS && (std::size_t{2 * MARK_CACHE_WAYS} << set_bits) < bytes / 32) ++set_bits;
    return set_bits;
}

void word_cache_destroy(WordCache* words)
{
    mem_release(words->short_slots);
    *words = WORD_CACHE_NONE;
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

namespace {

// ---- Shared by several threads ----------------------------------------------

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

void word_cache_share(WordCache* words)
{
    words->shared = true;
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
        put_walked_in(&cache->words->short_slots[short_set_index(key, mark_cache_short_shift(cache)) * MARK_CACHE_WAYS],
                      ShortSlot{key, marks});
        return;
    }
    MarkCacheSlot wanted{};
    make_key(run, length, wanted.key);
    wanted.marks = marks;
    put_walked_in(&cache->words->slots[long_set_index(cache, wanted.key) * MARK_CACHE_WAYS], wanted);
}
