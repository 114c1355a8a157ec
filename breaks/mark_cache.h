#pragma once
// Remembers recently seen short words with their marks already in place, so
// that a word that comes again costs one lookup and one copy instead of a
// walk through the automaton. Words are keyed by their bytes as they stand
// in the text (the marked form keeps their case).
//
// The cache has MARK_CACHE_SETS sets of four slots, from the most recently
// used to the least (least recently used replacement). Sized on rendered
// manual pages and the Bible, repeated: with 64K slots in four ways, 99.67 %
// of the English lookups hit (99.69 % possible) and 97.9 % of the German
// (98.5 %); in two ways 99.52 and 97.3 %; a direct-mapped table of 16K slots
// had 95.9 and 91.0 %. A word is looked for in the first slot of its set
// first, where nearly every hit is.

#include <bit>
#include <cstdint>
#include <cstring>

#include "breaks/copy_slack.h"
#include "breaks/fast_marker.h"

constexpr std::int64_t CACHED_RUN_MAX = 24;
constexpr std::uint32_t MARK_CACHE_WAYS = 4;
constexpr int MARK_CACHE_SET_BITS = 14;
constexpr std::uint32_t MARK_CACHE_SETS = 1u << MARK_CACHE_SET_BITS;
constexpr std::size_t MARKED_ROOM = 38;  // bytes of a marked form kept in a slot

struct MarkCacheSlot {
    std::uint64_t key[3];            // the word's bytes, zero after its end
    std::uint8_t length;             // letters of the word; 0 for an empty slot
    std::uint8_t marked_length;      // bytes of the marked form
    unsigned char marked[MARKED_ROOM];  // the word with HYPHEN_MARK after each letter that may break
};
static_assert(sizeof(MarkCacheSlot) == 64);

// Bytes that may be read from a slot's marked form: its room and slack into
// the following slot (the table ends with one spare slot).
constexpr std::size_t MARKED_COPY = 40;
static_assert(MARKED_COPY <= MARKED_ROOM + sizeof(MarkCacheSlot::key));
static_assert(MARKED_COPY <= COPY_SLACK);
// A lookup loads the key as three whole words from the start of the run.
static_assert(CACHED_RUN_MAX == 3 * sizeof(std::uint64_t));
static_assert(CACHED_RUN_MAX <= static_cast<std::int64_t>(COPY_SLACK));

struct MarkCache {
    const FastMarker* marker;
    MarkCacheSlot* slots;  // (1 << set_bits) * MARK_CACHE_WAYS + 1; null until made
    int set_bits;          // the cache has 1 << set_bits sets
};

// A cache of 1 << set_bits sets, set_bits at most MARK_CACHE_SET_BITS.
void mark_cache_create(MarkCache* cache, const FastMarker* marker, int set_bits = MARK_CACHE_SET_BITS);

// The sets enough for a text of `bytes` bytes, as set_bits: a small text
// meets few words, and every page of the table costs a fault of the memory
// system when it is first touched. A slot for every 32 bytes of text: a
// 20 KB text then clears 64 KiB, and a word met again is still found almost
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

// The key of a run of 4 .. CACHED_RUN_MAX letters: its bytes, zero after its end.
inline void make_key(const unsigned char* run, std::int64_t length, std::uint64_t key[3])
{
    const std::uint64_t* mask = KEY_MASKS.word[length];
    key[0] = load_word(run) & mask[0];
    key[1] = length <= 8 ? 0 : load_word(run + 8) & mask[1];
    key[2] = length <= 8 ? 0 : load_word(run + 16) & mask[2];
}

inline bool holds(const MarkCacheSlot* slot, const std::uint64_t key[3], std::int64_t length)
{
    return ((slot->key[0] ^ key[0]) | (slot->key[1] ^ key[1]) | (slot->key[2] ^ key[2])) == 0 &&
           slot->length == length;
}

}  // namespace mark_cache_detail

// The slot holding the marked form of a run of 4 .. CACHED_RUN_MAX letters,
// or null when that form is too long for a slot (a word with very many
// breaks). The CACHED_RUN_MAX bytes from the start of the run must be
// readable, even past its end. The slot stays valid until the next lookup.
inline const MarkCacheSlot* mark_cache_find(const MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    using mark_cache_detail::holds;
    using mark_cache_detail::load_word;
    const std::uint64_t* mask = mark_cache_detail::KEY_MASKS.word[length];
    MarkCacheSlot* set;
    if (length <= 8) {
        // Most words: one word of key, one multiplication, one comparison.
        const std::uint64_t key = load_word(run) & mask[0];
        set = &cache->slots[((key * 0x9E3779B97F4A7C15ull) >> (64 - cache->set_bits)) * MARK_CACHE_WAYS];
        if (set->key[0] == key && set->length == length) return set;
        return mark_cache_find_later(cache, set, run, length);
    }
    const std::uint64_t key[3] = {load_word(run) & mask[0], load_word(run + 8) & mask[1],
                                  load_word(run + 16) & mask[2]};
    std::uint64_t h = (key[0] * 0x9E3779B97F4A7C15ull) ^ (key[1] * 0xC2B2AE3D27D4EB4Full) ^
                      (key[2] * 0x165667B19E3779F9ull);
    h ^= h >> 29;
    set = &cache->slots[((h ^ (h >> 17)) & ((std::uint64_t{1} << cache->set_bits) - 1)) * MARK_CACHE_WAYS];
    if (holds(set, key, length)) return set;
    return mark_cache_find_later(cache, set, run, length);
}
