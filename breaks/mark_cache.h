#pragma once
// Remembers recently seen words with their marks already in place, so that
// a word that comes again costs one lookup and one copy instead of a walk
// through the automaton. Words are keyed by their bytes as they stand in the
// text (the marked form keeps their case).
//
// Words of up to SHORT_RUN_MAX letters (nine in ten English words of four
// letters or more, seven in ten German) have a table of their own, of slots
// half the size, so that the part of the tables in use fits the processor's
// near caches better. Each table has sets of four slots, from the most
// recently used to the least (least recently used replacement); a word is
// looked for in the first slot of its set first, where nearly every hit is.
// Sized on rendered manual pages and the Bible, repeated (simulated): with
// 64K short slots and 32K long ones (4 MiB), 13,146 misses on the Bible x10
// (13,047 distinct words) and 55,369 on the German x3 (40,671); one table of
// 64K slots in four ways had 13,692 and 57,057, in two ways 20,352 and
// 74,557.

#include <bit>
#include <cstdint>
#include <cstring>

#include "breaks/copy_slack.h"
#include "breaks/fast_marker.h"

constexpr std::int64_t CACHED_RUN_MAX = 24;
constexpr std::int64_t SHORT_RUN_MAX = 8;
constexpr std::uint32_t MARK_CACHE_WAYS = 4;
constexpr int MARK_CACHE_SET_BITS = 13;
constexpr std::size_t MARKED_ROOM = 38;  // bytes of a marked form kept in a slot

// A word of SHORT_RUN_MAX + 1 .. CACHED_RUN_MAX letters.
struct MarkCacheSlot {
    std::uint64_t key[3];            // the word's bytes, zero after its end
    std::uint8_t length;             // letters of the word; 0 for an empty slot
    std::uint8_t marked_length;      // bytes of the marked form
    unsigned char marked[MARKED_ROOM];  // the word with HYPHEN_MARK after each letter that may break
};
static_assert(sizeof(MarkCacheSlot) == 64);

// A word of 4 .. SHORT_RUN_MAX letters.
struct ShortSlot {
    std::uint64_t key;             // the word's bytes, zero after its end
    std::uint8_t length;           // letters of the word; 0 for an empty slot
    std::uint8_t marked_length;    // bytes of the marked form
    unsigned char marked[22];      // the word with its marks
};
static_assert(sizeof(ShortSlot) == 32);

// Bytes that may be read from a slot's marked form: its room and slack into
// the following slot (the table ends with one spare slot).
constexpr std::size_t MARKED_COPY = 40;
static_assert(MARKED_COPY <= MARKED_ROOM + sizeof(MarkCacheSlot::key));
static_assert(MARKED_COPY <= COPY_SLACK);
// Bytes read from a short slot's marked form: every marked form of a short
// word fits, and the copy stays inside the slot.
constexpr std::size_t SHORT_MARKED_COPY = 16;
static_assert(SHORT_MARKED_COPY >= 2 * SHORT_RUN_MAX && SHORT_MARKED_COPY <= sizeof(ShortSlot::marked));
// A lookup loads the key as three whole words from the start of the run.
static_assert(CACHED_RUN_MAX == 3 * sizeof(std::uint64_t));
static_assert(SHORT_RUN_MAX == sizeof(std::uint64_t));
static_assert(CACHED_RUN_MAX <= static_cast<std::int64_t>(COPY_SLACK));

struct MarkCache {
    const FastMarker* marker;
    MarkCacheSlot* slots;      // (1 << set_bits) * MARK_CACHE_WAYS + 1; null until made
    ShortSlot* short_slots;    // (2 << set_bits) * MARK_CACHE_WAYS
    int set_bits;              // the table of longer words has 1 << set_bits sets, that of short words twice as many
};

// A cache of 1 << set_bits sets of longer words (and twice as many of short
// words), set_bits at most MARK_CACHE_SET_BITS.
void mark_cache_create(MarkCache* cache, const FastMarker* marker, int set_bits = MARK_CACHE_SET_BITS);

// The sets enough for a text of `bytes` bytes, as set_bits: a small text
// meets few words, and every page of the table costs a fault of the memory
// system when it is first touched. A slot for every 32 bytes of text: a
// 20 KB text then clears 48 KiB, and a word met again is still found almost
// always (its misses cost less than clearing a larger table).
int mark_cache_set_bits_for(std::size_t bytes);
void mark_cache_destroy(MarkCache* cache);

// Gives `cache` the words `from` holds (their marked forms do not depend on
// the matcher that made them), and its size; `cache` may not be made yet.
void mark_cache_copy(MarkCache* cache, const MarkCache* from);

// Works out the marked form of the run into the first slot of `set`, the
// least recently used word of the set giving way.
const MarkCacheSlot* mark_cache_fill(const MarkCache* cache, MarkCacheSlot* set, const std::uint64_t key[3],
                                     const unsigned char* run, std::int64_t length);

// Looks for the run in the slots of `set` after the first; a slot found is
// put first, where a hit on it belongs, and the run is marked into the first
// slot if no slot holds it.
const MarkCacheSlot* mark_cache_find_later(const MarkCache* cache, MarkCacheSlot* set, const unsigned char* run,
                                           std::int64_t length);
const ShortSlot* mark_cache_find_short_later(const MarkCache* cache, ShortSlot* set, const unsigned char* run,
                                             std::int64_t length);

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

// The key of a run: its bytes, zero after its end; of a short run in one
// word, of a longer one in three.
inline std::uint64_t short_key(const unsigned char* run, std::int64_t length)
{
    return load_word(run) & KEY_MASKS.word[length][0];
}

inline void make_key(const unsigned char* run, std::int64_t length, std::uint64_t key[3])
{
    const std::uint64_t* mask = KEY_MASKS.word[length];
    key[0] = load_word(run) & mask[0];
    key[1] = load_word(run + 8) & mask[1];
    key[2] = load_word(run + 16) & mask[2];
}

inline bool holds(const MarkCacheSlot* slot, const std::uint64_t key[3], std::int64_t length)
{
    return ((slot->key[0] ^ key[0]) | (slot->key[1] ^ key[1]) | (slot->key[2] ^ key[2])) == 0 &&
           slot->length == length;
}

}  // namespace mark_cache_detail

// The slot holding the marked form of a run of 4 .. SHORT_RUN_MAX letters.
// The SHORT_RUN_MAX bytes from the start of the run must be readable, even
// past its end. The slot stays valid until the next lookup.
inline const ShortSlot* mark_cache_find_short(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    // One word of key, one multiplication, one comparison.
    const std::uint64_t key = mark_cache_detail::short_key(run, length);
    ShortSlot* set = &cache->short_slots[((key * 0x9E3779B97F4A7C15ull) >> (63 - cache->set_bits)) * MARK_CACHE_WAYS];
    if (set->key == key && set->length == length) return set;
    return mark_cache_find_short_later(cache, set, run, length);
}

// The slot holding the marked form of a run of SHORT_RUN_MAX + 1 ..
// CACHED_RUN_MAX letters, or null when that form is too long for a slot (a
// word with very many breaks). The CACHED_RUN_MAX bytes from the start of
// the run must be readable, even past its end. The slot stays valid until
// the next lookup.
inline const MarkCacheSlot* mark_cache_find(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    std::uint64_t key[3];
    mark_cache_detail::make_key(run, length, key);
    std::uint64_t h = (key[0] * 0x9E3779B97F4A7C15ull) ^ (key[1] * 0xC2B2AE3D27D4EB4Full) ^
                      (key[2] * 0x165667B19E3779F9ull);
    h ^= h >> 29;
    MarkCacheSlot* set =
        &cache->slots[((h ^ (h >> 17)) & ((std::uint64_t{1} << cache->set_bits) - 1)) * MARK_CACHE_WAYS];
    if (mark_cache_detail::holds(set, key, length)) return set;
    return mark_cache_find_later(cache, set, run, length);
}
