#pragma once
// The word cache shared by the threads of the threaded pass, so that a word
// is walked once, by whichever thread meets it first, and the cache is in
// memory once.
//
// Nobody takes a lock. Each set has a version, odd while a thread changes
// the set, kept in the bits of its first slot's marks above those any word
// of the set can have. A reader reads that word, the slots and that word
// again, and takes what it read only if the version was even and the word
// stayed the same (a sequence lock): a word's marks are never taken with
// another word's key, even when a slot changes words and back while the
// reader looks. A writer makes the version odd by a compare-and-swap from
// the word it read, which also keeps other writers out of the set, changes
// the slots and makes the version even again. Slots are read and written a
// word at a time as atomics, so the reads that race with a writer are well
// defined, and then thrown away. A thread that finds a set busy does
// without it: it walks the word, or leaves a word where it is, and the marks
// come out the same.
//
// Without fences, which ThreadSanitizer cannot follow: a writer stores each
// word with release, after making the version odd, and a reader loads each
// word with acquire, before reading the version again. A reader that saw
// any word a writer stored therefore sees that writer's odd version, or a
// later one, when it reads the version again. On x86 these are plain moves.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "breaks/mark_cache.h"

// Makes `cache` (made, and used by one thread until now) safe to use from
// several threads at once through the functions below, and only through
// them from then on.
void mark_cache_share(MarkCache* cache);

std::uint64_t mark_cache_find_short_shared(const MarkCache* cache, ShortSlot* set, const unsigned char* run,
                                           std::int64_t length);
std::uint64_t mark_cache_find_shared(const MarkCache* cache, MarkCacheSlot* set, const unsigned char* run,
                                     std::int64_t length);

// Puts a walked word first in its set of a shared cache, unless the set
// holds it or stays busy.
void mark_cache_put_shared(const MarkCache* cache, const unsigned char* run, std::int64_t length,
                           std::uint64_t marks);

namespace mark_cache_detail {

// Where a set's version starts in its first slot's marks: above a mark
// after each letter of the longest word of the set.
template <typename Slot>
constexpr unsigned VERSION_SHIFT = sizeof(Slot) == sizeof(ShortSlot) ? SHORT_RUN_MAX : CACHED_RUN_MAX;

template <typename Slot>
constexpr std::uint64_t MARKS_OF_SLOT = (std::uint64_t{1} << VERSION_SHIFT<Slot>) - 1;

inline std::uint64_t read_word(std::uint64_t* word)
{
    return std::atomic_ref<std::uint64_t>(*word).load(std::memory_order_acquire);
}

// Whether the slots read after `first` (the first slot's marks) are whole:
// the version was even and has not changed.
template <typename Slot>
inline bool still_whole(Slot* set, std::uint64_t first)
{
    return read_word(&set->marks) == first && ((first >> VERSION_SHIFT<Slot>)&1) == 0;
}

}  // namespace mark_cache_detail

// As mark_cache_short_marks_in, on a shared cache.
inline std::uint64_t mark_cache_short_marks_shared(const MarkCache* cache, ShortSlot* short_slots,
                                                   unsigned hash_shift, const unsigned char* run,
                                                   std::int64_t length)
{
    using namespace mark_cache_detail;
    const std::uint64_t key = short_key(run, length);
    ShortSlot* set = &short_slots[short_set_index(key, hash_shift) * MARK_CACHE_WAYS];
    const std::uint64_t first = read_word(&set->marks);
    const std::uint64_t found = read_word(&set->key);
    if (found == key && still_whole(set, first)) return first & MARKS_OF_SLOT<ShortSlot>;
    return mark_cache_find_short_shared(cache, set, run, length);
}

// As mark_cache_long_finish, on a shared cache.
inline std::uint64_t mark_cache_long_finish_shared(const MarkCache* cache, const LongLookup& lookup,
                                                   const unsigned char* run, std::int64_t length)
{
    using namespace mark_cache_detail;
    MarkCacheSlot* set = lookup.set;
    const std::uint64_t first = read_word(&set->marks);
    const std::uint64_t differ = (read_word(&set->key[0]) ^ lookup.key[0]) | (read_word(&set->key[1]) ^ lookup.key[1]) |
                                 (read_word(&set->key[2]) ^ lookup.key[2]);
    if (differ == 0 && still_whole(set, first)) return first & MARKS_OF_SLOT<MarkCacheSlot>;
    return mark_cache_find_shared(cache, set, run, length);
}

// As mark_cache_marks, on a shared cache.
inline std::uint64_t mark_cache_marks_shared(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    LongLookup lookup;
    mark_cache_long_locate(cache, run, length, &lookup);
    return mark_cache_long_finish_shared(cache, lookup, run, length);
}
