#include "utf8/prepared_sets.h"

#include "utf8/utf8_decode.h"

const PreparedSet* prepared_set_of(const PatternSet* set)
{
    if (set < PATTERN_SETS || set >= PATTERN_SETS + PATTERN_SET_COUNT) return nullptr;
    const auto k = static_cast<std::size_t>(set - PATTERN_SETS);
    return k < PREPARED_SET_COUNT ? &PREPARED_SETS[k] : nullptr;
}

std::vector<std::uint32_t> prepared_characters(const PreparedSet* prepared)
{
    std::vector<std::uint32_t> characters;
    const auto* bytes = reinterpret_cast<const unsigned char*>(prepared->characters.data());
    for (std::size_t at = 0; at < prepared->characters.size();) {
        std::uint32_t cp = 0;
        const int length = utf8_decode(bytes + at, prepared->characters.size() - at, &cp);
        if (length <= 0) break;
        characters.push_back(cp);
        at += static_cast<std::size_t>(length);
    }
    return characters;
}
