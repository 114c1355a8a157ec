#include "markup/elements.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

struct Known {
    std::string_view name;
    std::uint8_t flags;
};

constexpr Known KNOWN[] = {
    {"a", ELEMENT_INLINE},
    {"abbr", ELEMENT_INLINE},
    {"acronym", ELEMENT_INLINE},
    {"address", ELEMENT_CLOSES_PARAGRAPH},
    {"area", ELEMENT_VOID},
    {"article", ELEMENT_CLOSES_PARAGRAPH},
    {"aside", ELEMENT_CLOSES_PARAGRAPH},
    {"b", ELEMENT_INLINE},
    {"base", ELEMENT_VOID},
    {"bdi", ELEMENT_INLINE},
    {"bdo", ELEMENT_INLINE},
    {"big", ELEMENT_INLINE},
    {"blockquote", ELEMENT_CLOSES_PARAGRAPH},
    {"br", ELEMENT_VOID},
    {"center", ELEMENT_CLOSES_PARAGRAPH},
    {"cite", ELEMENT_INLINE},
    {"code", ELEMENT_INLINE | ELEMENT_SKIPPED},
    {"col", ELEMENT_VOID},
    {"data", ELEMENT_INLINE},
    {"dd", ELEMENT_CLOSES_PARAGRAPH},
    {"del", ELEMENT_INLINE},
    {"details", ELEMENT_CLOSES_PARAGRAPH},
    {"dfn", ELEMENT_INLINE},
    {"dialog", ELEMENT_CLOSES_PARAGRAPH},
    {"dir", ELEMENT_CLOSES_PARAGRAPH},
    {"div", ELEMENT_CLOSES_PARAGRAPH},
    {"dl", ELEMENT_CLOSES_PARAGRAPH},
    {"dt", ELEMENT_CLOSES_PARAGRAPH},
    {"em", ELEMENT_INLINE},
    {"embed", ELEMENT_VOID},
    {"fieldset", ELEMENT_CLOSES_PARAGRAPH},
    {"figcaption", ELEMENT_CLOSES_PARAGRAPH},
    {"figure", ELEMENT_CLOSES_PARAGRAPH},
    {"font", ELEMENT_INLINE},
    {"footer", ELEMENT_CLOSES_PARAGRAPH},
    {"form", ELEMENT_CLOSES_PARAGRAPH},
    {"h1", ELEMENT_CLOSES_PARAGRAPH},
    {"h2", ELEMENT_CLOSES_PARAGRAPH},
    {"h3", ELEMENT_CLOSES_PARAGRAPH},
    {"h4", ELEMENT_CLOSES_PARAGRAPH},
    {"h5", ELEMENT_CLOSES_PARAGRAPH},
    {"h6", ELEMENT_CLOSES_PARAGRAPH},
    {"head", ELEMENT_SKIPPED},
    {"header", ELEMENT_CLOSES_PARAGRAPH},
    {"hgroup", ELEMENT_CLOSES_PARAGRAPH},
    {"hr", ELEMENT_VOID | ELEMENT_CLOSES_PARAGRAPH},
    {"i", ELEMENT_INLINE},
    {"iframe", ELEMENT_RAW_TEXT},
    {"img", ELEMENT_VOID},
    {"input", ELEMENT_VOID},
    {"ins", ELEMENT_INLINE},
    {"kbd", ELEMENT_INLINE | ELEMENT_SKIPPED},
    {"keygen", ELEMENT_VOID},
    {"label", ELEMENT_INLINE},
    {"li", ELEMENT_CLOSES_PARAGRAPH},
    {"link", ELEMENT_VOID},
    {"listing", ELEMENT_CLOSES_PARAGRAPH},
    {"main", ELEMENT_CLOSES_PARAGRAPH},
    {"mark", ELEMENT_INLINE},
    {"math", ELEMENT_SKIPPED},
    {"menu", ELEMENT_CLOSES_PARAGRAPH},
    {"meta", ELEMENT_VOID},
    {"nav", ELEMENT_CLOSES_PARAGRAPH},
    {"nobr", ELEMENT_INLINE},
    {"noembed", ELEMENT_RAW_TEXT},
    {"noframes", ELEMENT_RAW_TEXT},
    {"ol", ELEMENT_CLOSES_PARAGRAPH},
    {"p", ELEMENT_CLOSES_PARAGRAPH},
    {"param", ELEMENT_VOID},
    {"plaintext", ELEMENT_RAW_TEXT | ELEMENT_CLOSES_PARAGRAPH},
    {"pre", ELEMENT_SKIPPED | ELEMENT_CLOSES_PARAGRAPH},
    {"q", ELEMENT_INLINE},
    {"rb", ELEMENT_INLINE},
    {"rp", ELEMENT_INLINE},
    {"rt", ELEMENT_INLINE},
    {"rtc", ELEMENT_INLINE},
    {"ruby", ELEMENT_INLINE},
    {"s", ELEMENT_INLINE},
    {"samp", ELEMENT_INLINE | ELEMENT_SKIPPED},
    {"script", ELEMENT_RAW_TEXT | ELEMENT_SKIPPED},
    {"search", ELEMENT_CLOSES_PARAGRAPH},
    {"section", ELEMENT_CLOSES_PARAGRAPH},
    {"small", ELEMENT_INLINE},
    {"source", ELEMENT_VOID},
    {"span", ELEMENT_INLINE},
    {"strike", ELEMENT_INLINE},
    {"strong", ELEMENT_INLINE},
    {"style", ELEMENT_RAW_TEXT | ELEMENT_SKIPPED},
    {"sub", ELEMENT_INLINE},
    {"summary", ELEMENT_CLOSES_PARAGRAPH},
    {"sup", ELEMENT_INLINE},
    {"svg", ELEMENT_SKIPPED},
    {"table", ELEMENT_CLOSES_PARAGRAPH},
    {"template", ELEMENT_SKIPPED},
    {"textarea", ELEMENT_RAW_TEXT | ELEMENT_SKIPPED},
    {"time", ELEMENT_INLINE},
    {"title", ELEMENT_RAW_TEXT | ELEMENT_SKIPPED},
    {"track", ELEMENT_VOID},
    {"tt", ELEMENT_INLINE},
    {"u", ELEMENT_INLINE},
    {"ul", ELEMENT_CLOSES_PARAGRAPH},
    {"var", ELEMENT_INLINE | ELEMENT_SKIPPED},
    {"wbr", ELEMENT_VOID},
    {"xmp", ELEMENT_RAW_TEXT | ELEMENT_SKIPPED},
};

// A name's place in TABLE.
constexpr std::size_t name_hash(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// KNOWN by the hash of each name: the index of the name at its place, or at
// the first free one after it; -1 where none is.
constexpr std::size_t TABLE_SIZE = 512;

constexpr std::array<std::int16_t, TABLE_SIZE> make_table()
{
    std::array<std::int16_t, TABLE_SIZE> table{};
    for (std::int16_t& place : table) place = -1;
    for (std::size_t k = 0; k < std::size(KNOWN); ++k) {
        std::size_t place = name_hash(KNOWN[k].name) % TABLE_SIZE;
        while (table[place] != -1) place = (place + 1) % TABLE_SIZE;
        table[place] = static_cast<std::int16_t>(k);
    }
    return table;
}

constexpr std::array<std::int16_t, TABLE_SIZE> TABLE = make_table();

constexpr std::size_t longest_known()
{
    std::size_t longest = 0;
    for (const Known& known : KNOWN) longest = known.name.size() > longest ? known.name.size() : longest;
    return longest;
}

}  // namespace

std::uint8_t element_flags(std::string_view name)
{
    std::uint8_t flags = 0;
    if (name.size() <= longest_known()) {
        for (std::size_t place = name_hash(name) % TABLE_SIZE; TABLE[place] != -1; place = (place + 1) % TABLE_SIZE) {
            const Known& known = KNOWN[static_cast<std::size_t>(TABLE[place])];
            if (known.name == name) {
                flags = known.flags;
                break;
            }
        }
    }
    if (name.find('-') != std::string_view::npos) flags |= ELEMENT_INLINE;
    return flags;
}
