#pragma once
// Remembers the marks of recently seen short words, so that a word that
// comes again costs one lookup instead of a walk through the automaton.
// Words are keyed by their bytes as they stand in the text.

#include <bit>
#include <cstdint>
#include <cstring>

#include "breaks/fast_marker.h"

constexpr std::int64_t CACHED_RUN_MAX = 24;
constexpr std::uint32_t MARK_CACHE_SLOTS = 1u << 16;

struct MarkCacheSlot {
    std::uint64_t key[3];   // the word's bytes, zero after its end
    std::uint32_t marks;    // bit j: a break is allowed after letter j
    std::uint32_t length;   // 0 for an empty slot
};

struct MarkCache {
    const FastMarker* marker;
    MarkCacheSlot* slots;   // MARK_CACHE_SLOTS, direct-mapped
};

void mark_cache_create(MarkCache* cache, const FastMarker* marker);
void mark_cache_destroy(MarkCache* cache);

// Works out the marks of the run for `slot` and stores them there.
std::uint32_t mark_cache_fill(MarkCache* cache, MarkCacheSlot* slot, const std::uint64_t key[3],
                              const unsigned char* run, std::int64_t length);

namespace mark_cache_detail {

inline std::uint64_t load_word(const unsigned char* bytes)
{
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The first `count` bytes of a word loaded in memory order, the rest zero.
inline std::uint64_t keep_bytes(std::uint64_t word, std::int64_t count)
{
    if (count <= 0) return 0;
    if (count >= 8) return word;
    const unsigned dropped = static_cast<unsigned>(64 - 8 * count);
    if constexpr (std::endian::native == std::endian::little) {
        return word << dropped >> dropped;
    } else {
        return word >> dropped << dropped;
    }
}

}  // namespace mark_cache_detail

// The marks of a run of 4 .. CACHED_RUN_MAX letters. The CACHED_RUN_MAX
// bytes from the start of the run must be readable, even past its end.
inline std::uint32_t mark_cache_marks(MarkCache* cache, const unsigned char* run, std::int64_t length)
{
    using mark_cache_detail::keep_bytes;
    using mark_cache_detail::load_word;
    const std::uint64_t key[3] = {keep_bytes(load_word(run), length), keep_bytes(load_word(run + 8), length - 8),
                                  keep_bytes(load_word(run + 16), length - 16)};
    std::uint64_t h = (key[0] * 0x9E3779B97F4A7C15ull) ^ (key[1] * 0xC2B2AE3D27D4EB4Full) ^
                      (key[2] * 0x165667B19E3779F9ull);
    h ^= h >> 29;
    MarkCacheSlot* slot = &cache->slots[(h ^ (h >> 17)) & (MARK_CACHE_SLOTS - 1)];
    if (slot->key[0] == key[0] && slot->key[1] == key[1] && slot->key[2] == key[2] &&
        slot->length == static_cast<std::uint32_t>(length)) {
        return slot->marks;
    }
    return mark_cache_fill(cache, slot, key, run, length);
}
