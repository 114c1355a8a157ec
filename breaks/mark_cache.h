#pragma once
// Remembers recently seen words with their marks, so that a word that comes
// again costs one lookup instead of a walk through the automaton. Words are
// keyed by their bytes as they stand in the text; a slot keeps the word's
// marks as bits (bit j: a mark after letter j), which do not depend on case.
//
// Words of up to SHORT_RUN_MAX letters (nine in ten English words of four
// letters or more, seven in ten German) have a table of their own, of slots
// half the size. Each table has sets of four slots, from the most recently
// used to the least (least recently used replacement), a set to a cache
// line for short words; a word is looked for in the first slot of its set
// first, where nearly every hit is. Sized on rendered manual pages and the
// Bible, repeated: with 64K slots in each table, 13,276 misses on the Bible
// x10 (13,047 distinct words) and 43,523 on the German x3 (40,671). With
// 32K long slots the German took 55,369: its 23,920 distinct longer words
// filled them to three in four, and a word whose set holds five is evicted
// before it comes again. One table of 64K slots in four ways had 13,692
// and 57,057, in two ways 20,352 and 74,557.
//
// The short words' table has twice the sets of the other (128K slots, 2 MiB,
// so that the pair fills two large pages, which the pair of 64K-slot tables
// took anyway). A short word then misses the first slot of its set 66,348
// times on the Bible x10 instead of 117,884, and 54,415 times on the German
// x3 instead of 82,555: fewer words share a set, so fewer are moved to the
// front, which on two threads moves the set's line between the processors.
//
// Letters are never NUL, so a key (the word's bytes, zero after its end)
// also tells the word's length, and an empty slot (all zero) holds no word.

#include <bit>
#include <cstdint>
#include <cstring>

#include "breaks/fast_marker.h"

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
// one after another (on German manual pages, about three quarters). Each
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

struct MarkCache {
    const FastMarker* marker;
    MarkCacheSlot* slots;      // (1 << set_bits) * MARK_CACHE_WAYS, in the block after the short slots; null until made
    ShortSlot* short_slots;    // (2 << set_bits) * MARK_CACHE_WAYS, at the start of the tables' block
    int set_bits;              // the longer words' table has 1 << set_bits sets, the short words' twice as many
    // Several threads share the cache (mark_cache_shared.h): the marks of
    // each set's first slot carry the set's version above them.
    bool shared;
    // Where a word that misses waits for its walk, which then adds its
    // marks to the block's (the lookup gives 0); null: it is walked at once
    // and the lookup gives its marks.
    WaitingWalks* waiting;
};

// A cache of 1 << set_bits sets for longer words and twice as many for
// short ones, set_bits at most MARK_CACHE_SET_BITS.
void mark_cache_create(MarkCache* cache, const FastMarker* marker, int set_bits = MARK_CACHE_SET_BITS);

// The sets enough for a text of `bytes` bytes, as set_bits: a small text
// meets few words, and every page of the table costs a fault of the memory
// system when it is first touched. A long slot for every 32 bytes of text:
// a 20 KB text then clears 32 KiB, and a word met again is still found almost
// always (its misses cost less than clearing a larger table).
int mark_cache_set_bits_for(std::size_t bytes);
void mark_cache_destroy(MarkCache* cache);

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
    return static_cast<std::size_t>((h ^ (h >> 17)) & ((std::uint64_t{1} << cache->set_bits) - 1));
}

}  // namespace mark_cache_detail

// The marks of a run of 4 .. SHORT_RUN_MAX letters, with the cache's table
// of short words and the shift of its hash (mark_cache_short_shift) given,
// so that a loop over words can hold them in registers. The SHORT_RUN_MAX
// bytes from the start of the run must be readable, even past its end.
inline std::uint64_t mark_cache_short_marks_in(const MarkCache* cache, ShortSlot* short_slots, unsigned hash_shift,
                                               const unsigned char* run, std::int64_t length)
{
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
    return static_cast<unsigned>(64 - mark_cache_short_set_bits(cache->set_bits));
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
    mark_cache_detail::make_key(run, length, lookup->key);
    lookup->set = &cache->slots[mark_cache_detail::long_set_index(cache, lookup->key) * MARK_CACHE_WAYS];
}

inline void mark_cache_long_start(const MarkCache* cache, const unsigned char* run, std::int64_t length,
                                  LongLookup* lookup)
{
    mark_cache_long_locate(cache, run, length, lookup);
#if defined(__GNUC__)
    __builtin_prefetch(lookup->set);
#endif
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
