#pragma once
// Remembers recently seen words with their marks, so that a word that comes
// again costs one lookup instead of a walk through the automaton. Words are
// keyed by their bytes as they stand in the text; a slot keeps the word's
// marks as bits (bit j: a mark after letter j), which do not depend on case.
//
// Words of up to SHORT_RUN_MAX letters (most words of four letters or more)
// have a table of their own, of slots half the size. Each table has sets of
// four slots, from the most recently used to the least (least recently used
// replacement), a set to a cache line for short words; a word is looked for
// in the first slot of its set first, where nearly every hit is. Four ways
// keep a word that comes back after a few others in its set; the tables
// hold the distinct words of a long book or a set of manual pages.
//
// The short words' table has twice the sets of the other (the pair fills two
// large pages): fewer short words share a set, so fewer are moved to the
// front, which on two threads moves the set's line between the processors.
//
// Letters are never NUL, so a key (the word's bytes, zero after its end)
// also tells the word's length, and an empty slot (all zero) holds no word.

#include <bit>
#include <cstdint>
#include <cstring>

#include <atomic>
#include <cstddef>

#include "engine/fast_marker.h"
#include "platform/features.h"
#include "platform/expect.h"

constexpr std::int64_t CACHED_RUN_MAX = 24;
constexpr std::int64_t SHORT_RUN_MAX = 8;
constexpr std::uint32_t MARK_CACHE_WAYS = 4;
constexpr int MARK_CACHE_SET_BITS = 14;
// A short word's set: the high bits of its key times this.
constexpr std::uint64_t MARK_CACHE_SHORT_HASH = 0x9E3779B97F4A7C15ull;

// A word of SHORT_RUN_MAX + 1 .. CACHED_RUN_MAX letters.
struct MarkCacheSlot {
    std::uint64_t key[3];   // the word's bytes, zero after its end
    std::uint64_t marks;    // bit j: a mark after letter j
};
static_assert(sizeof(MarkCacheSlot) == 32);

// A word of 4 .. SHORT_RUN_MAX letters.
struct ShortSlot {
    std::uint64_t key;     // the word's bytes, zero after its end
    std::uint64_t marks;   // bit j: a mark after letter j
};
static_assert(sizeof(ShortSlot) == 16);

// A lookup loads the key as three whole words from the start of the run.
static_assert(CACHED_RUN_MAX == 3 * sizeof(std::uint64_t));
static_assert(SHORT_RUN_MAX == sizeof(std::uint64_t));

// Words that missed the cache, waiting to be walked together: one walk
// waits for the processor's memory at nearly every step, so walks side by
// side, each step of one next to a step of the others, take less time than
// one after another. Each
// word's marks are then added to the marks of the block it is in, and the
// word is put in the cache.
constexpr int WAITING_WALKS_MAX = 4;

static_assert(WAITING_WALKS_MAX <= SIDE_BY_SIDE_MAX);

struct WaitingWalks {
    const unsigned char* text;  // the block the words are in
    std::uint64_t* marks;       // the block's marks (bit i of word k: after byte 64k + i)
    int count;
    const unsigned char* runs[WAITING_WALKS_MAX];
    std::int64_t lengths[WAITING_WALKS_MAX];
};

// The tables of words and their marks. They have one owner, who makes and
// destroys them; every thread that uses them holds a MarkCache pointing at
// them.
struct WordCache {
    MarkCacheSlot* slots;      // (1 << set_bits) * MARK_CACHE_WAYS, in the block after the short slots; null until made
    ShortSlot* short_slots;    // (2 << set_bits) * MARK_CACHE_WAYS, at the start of the tables' block
    int set_bits;              // the longer words' table has 1 << set_bits sets, the short words' twice as many
    // Several threads share the tables (see "Shared by several threads"
    // below): the marks of each set's first slot carry the set's version
    // above them.
    bool shared;
};

// No tables yet: word_cache_made is false until word_cache_create.
constexpr WordCache WORD_CACHE_NONE{nullptr, nullptr, 0, false};

inline bool word_cache_made(const WordCache* words)
{
    return words->slots != nullptr;
}

// Tables of 1 << set_bits sets for longer words and twice as many for
// short ones, set_bits at most MARK_CACHE_SET_BITS.
void word_cache_create(WordCache* words, int set_bits = MARK_CACHE_SET_BITS);
void word_cache_destroy(WordCache* words);

// Makes `words` (made, and used by one thread until now) safe to use from
// several threads at once through the shared lookups below, and only
// through them from then on.
void word_cache_share(WordCache* words);

// One thread's use of a word cache: the tables, by reference, the marker
// that walks the words that miss, and where those wait.
struct MarkCache {
    WordCache* words;
    const FastMarker* marker;
    // Where a word that misses waits for its walk, which then adds its
    // marks to the block's (the lookup gives 0); null: it is walked at once
    // and the lookup gives its marks.
    WaitingWalks* waiting;
};

// The sets enough for a text of `bytes` bytes, as set_bits: a small text
// meets few words, and every page of the table costs a fault of the memory
// system when it is first touched. A long slot for every 32 bytes of text:
// a 20 KB text then clears 32 KiB, and a word met again is still found almost
// always (its misses cost less than clearing a larger table).
int mark_cache_set_bits_for(std::size_t bytes);

// Looks for the run in the slots of `set` after the first; a slot found is
// put first, where a hit on it belongs, and the run is marked into the first
// slot if no slot holds it. Returns the run's marks.
std::uint64_t mark_cache_find_later(const MarkCache* cache, MarkCacheSlot* set, const unsigned char* run,
                                    std::int64_t length);
std::uint64_t mark_cache_find_short_later(const MarkCache* cache, ShortSlot* set, const unsigned char* run,
                                          std::int64_t length);

// The marks of a run of at most 64 letters, walked.
std::uint64_t mark_cache_walk(const MarkCache* cache, const unsigned char* run, std::int64_t length);

// Adds marks `bits` of a run at `pos` (bit j: a mark after byte pos + j) to
// a block's marks.
inline void mark_bits_add(std::uint64_t* marks, std::size_t pos, std::uint64_t bits)
{
    const unsigned shift = static_cast<unsigned>(pos % 64);
    marks[pos / 64] |= bits << shift;
    marks[pos / 64 + 1] |= (bits >> 1) >> (63 - shift);
}

// For a word that missed: with a place to wait (cache->waiting), puts it
// there, walks the waiting words once WAITING_WALKS_MAX wait, and gives 0;
// else walks it and gives its marks.
std::uint64_t mark_cache_missed(const MarkCache* cache, const unsigned char* run, std::int64_t length);

// Walks the waiting words, adds their marks to their block's and puts them
// in the cache.
void mark_cache_walk_waiting(const MarkCache* cache);

namespace mark_cache_detail {

inline std::uint64_t load_word(const unsigned char* bytes)
{
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// For each length, which bytes of the three words loaded from a run belong
// to it.
struct KeyMasks {
    std::uint64_t word[CACHED_RUN_MAX + 1][3];
};

constexpr KeyMasks make_key_masks()
{
    KeyMasks masks{};
    for (int length = 0; length <= CACHED_RUN_MAX; ++length) {
        for (int w = 0; w < 3; ++w) {
            std::uint64_t mask = 0;
            for (int b = 0; b < 8; ++b) {
                if (8 * w + b >= length) continue;
                const int shift = std::endian::native == std::endian::little ? 8 * b : 8 * (7 - b);
                mask |= std::uint64_t{0xFF} << shift;
            }
            masks.word[length][w] = mask;
        }
    }
    return masks;
}

inline constexpr KeyMasks KEY_MASKS = make_key_masks();

// The same for a short run, whose key is one word.
struct ShortKeyMasks {
    std::uint64_t word[SHORT_RUN_MAX + 1];
};

constexpr ShortKeyMasks make_short_key_masks()
{
    ShortKeyMasks masks{};
    for (int length = 0; length <= SHORT_RUN_MAX; ++length) masks.word[length] = KEY_MASKS.word[length][0];
    return masks;
}

inline constexpr ShortKeyMasks SHORT_KEY_MASK_TABLE = make_short_key_masks();
inline constexpr const std::uint64_t* SHORT_KEY_MASKS = SHORT_KEY_MASK_TABLE.word;

// The key of a run: its bytes, zero after its end; of a short run in one
// word, of a longer one in three.
inline std::uint64_t short_key(const unsigned char* run, std::int64_t length)
{
    return load_word(run) & SHORT_KEY_MASKS[length];
}

inline void make_key(const unsigned char* run, std::int64_t length, std::uint64_t key[3])
{
    const std::uint64_t* mask = KEY_MASKS.word[length];
    key[0] = load_word(run) & mask[0];
    key[1] = load_word(run + 8) & mask[1];
    key[2] = load_word(run + 16) & mask[2];
}

inline bool holds(const MarkCacheSlot* slot, const std::uint64_t key[3])
{
    return ((slot->key[0] ^ key[0]) | (slot->key[1] ^ key[1]) | (slot->key[2] ^ key[2])) == 0;
}

// The set of a short word's key, and its number.
inline std::size_t short_set_index(std::uint64_t key, unsigned hash_shift)
{
    return static_cast<std::size_t>((key * MARK_CACHE_SHORT_HASH) >> hash_shift);
}

// The number of the set of a longer word's key.
inline std::size_t long_set_index(const MarkCache* cache, const std::uint64_t key[3])
{
    std::uint64_t h = (key[0] * 0x9E3779B97F4A7C15ull) ^ (key[1] * 0xC2B2AE3D27D4EB4Full) ^
                      (key[2] * 0x165667B19E3779F9ull);
    h ^= h >> 29;
    return static_cast<std::size_t>((h ^ (h >> 17)) & ((std::uint64_t{1} << cache->words->set_bits) - 1));
}

}  // namespace mark_cache_detail

// The marks of a run of 4 .. SHORT_RUN_MAX letters, with the cache's table
// of short words and the shift of its hash (mark_cache_short_shift) given,
// so that a loop over words can hold them in registers. The SHORT_RUN_MAX
// bytes from the start of the run must be readable, even past its end.
inline std::uint64_t mark_cache_short_marks_in(const MarkCache* cache, ShortSlot* short_slots, unsigned hash_shift,
                                               const unsigned char* run, std::int64_t length)
{
    ZARNET_EXPECT(length >= 2 && length <= SHORT_RUN_MAX);
    // One word of key, one multiplication, one comparison.
    const std::uint64_t key = mark_cache_detail::short_key(run, length);
    ShortSlot* set = &short_slots[mark_cache_detail::short_set_index(key, hash_shift) * MARK_CACHE_WAYS];
    if (set->key == key) return set->marks;
    return mark_cache_find_short_later(cache, set, run, length);
}

// The sets of the short words' table, as bits.
inline int mark_cache_short_set_bits(int set_bits)
{
    return set_bits + 1;
}

// The shift of the short words' hash that gives their set.
inline unsigned mark_cache_short_shift(const MarkCache* cache)
{
    return static_cast<unsigned>(64 - mark_cache_short_set_bits(cache->words->set_bits));
}

// A lookup of a longer word in two halves: the first finds its set and asks
// the memory system for it, the second, a little later, reads it. A loop
// over words starts the lookups of the longer words of a stretch of text,
// goes on with the short ones, and then finishes those, so that the waits
// for their sets, in a table larger than the processor's own cache, overlap
// with other work.
struct LongLookup {
    std::uint64_t key[3];
    MarkCacheSlot* set;
};

// The key of a run of SHORT_RUN_MAX + 1 .. CACHED_RUN_MAX letters and its set.
inline void mark_cache_long_locate(const MarkCache* cache, const unsigned char* run, std::int64_t length,
                                   LongLookup* lookup)
{
    ZARNET_EXPECT(length > SHORT_RUN_MAX && length <= CACHED_RUN_MAX);
    mark_cache_detail::make_key(run, length, lookup->key);
    lookup->set = &cache->words->slots[mark_cache_detail::long_set_index(cache, lookup->key) * MARK_CACHE_WAYS];
}

inline void mark_cache_long_start(const MarkCache* cache, const unsigned char* run, std::int64_t length,
                                  LongLookup* lookup)
{
    mark_cache_long_locate(cache, run, length, lookup);
    zarnet_prefetch(lookup->set);
}

inline std::uint64_t mark_cache_long_finish(const MarkCache* cache, const LongLookup& lookup,
                                            const unsigned char* run, std::int64_t length)
{
    if (mark_cache_detail::holds(lookup.set, lookup.key)) return lookup.set->marks;
    return mark_cache_find_later(cache, lookup.set, run, length);
}

// The marks of a run of SHORT_RUN_MAX + 1 .. CACHED_RUN_MAX letters. The
// CACHED_RUN_MAX bytes from the start of the run must be readable, even past
// its end.
inline std::uint64_t mark_cache_marks(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    LongLookup lookup;
    mark_cache_long_locate(cache, run, length, &lookup);
    return mark_cache_long_finish(cache, lookup, run, length);
}

// ---- Shared by several threads ----------------------------------------------
//
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
