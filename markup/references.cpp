#include "markup/references.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "markup/entities.h"
#include "utf8/utf8_decode.h"

namespace {

// What browsers take numbers 0x80 to 0x9F in references for: Windows-1252's
// characters there (0: the number stands for itself).
constexpr std::uint16_t WINDOWS_1252[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

bool is_alnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

int numeric(const unsigned char* text, std::size_t length, MarkupSyntax syntax, unsigned char out[8],
            std::size_t* out_length)
{
    const bool hex = length > 2 && (text[2] | 0x20) == 'x';
    std::size_t at = hex ? 3 : 2;
    const std::size_t digits_from = at;
    std::uint32_t value = 0;
    bool too_big = false;
    for (; at < length; ++at) {
        const unsigned char c = text[at];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        } else {
            break;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            too_big = true;
            value = 0x110000;
        }
    }
    if (at == digits_from) return syntax == MarkupSyntax::xml ? -1 : 0;
    const bool closed = at < length && text[at] == ';';
    if (closed) ++at;
    const bool bad = too_big || value == 0 || (value >= 0xD800 && value <= 0xDFFF);
    if (syntax == MarkupSyntax::xml) {
        if (!closed || bad || (value < 0x20 && value != 0x9 && value != 0xA && value != 0xD) || value == 0xFFFE ||
            value == 0xFFFF) {
            return -1;
        }
    } else if (bad) {
        value = 0xFFFD;
    } else if (value >= 0x80 && value <= 0x9F && WINDOWS_1252[value - 0x80] != 0) {
        value = WINDOWS_1252[value - 0x80];
    }
    *out_length = static_cast<std::size_t>(utf8_encode(value, out));
    return static_cast<int>(at);
}

}  // namespace

const char* named_reference(std::string_view name)
{
    const NamedReference* end = NAMED_REFERENCES + NAMED_REFERENCE_COUNT;
    const NamedReference* found = std::lower_bound(
        NAMED_REFERENCES, end, name, [](const NamedReference& entry, std::string_view key) { return entry.name < key; });
    return found != end && found->name == name ? found->text : nullptr;
}

int read_reference(const unsigned char* text, std::size_t length, MarkupSyntax syntax, bool html_names,
                   unsigned char out[8], std::size_t* out_length)
{
    if (length > 1 && text[1] == '#') return numeric(text, length, syntax, out, out_length);
    // The longest name a reference has is 32 bytes; a name runs over letters and digits.
    std::size_t end = 1;
    while (end < length && end < 40 && is_alnum(text[end])) ++end;
    const std::string_view name(reinterpret_cast<const char*>(text + 1), end - 1);
    const bool closed = end < length && text[end] == ';';
    if (syntax == MarkupSyntax::xml) {
        if (name.empty() || !closed) return -1;
        static constexpr std::string_view OWN[5][2] = {{"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
        for (const auto& own : OWN) {
            if (name == own[0]) {
                out[0] = static_cast<unsigned char>(own[1][0]);
                *out_length = 1;
                return static_cast<int>(end + 1);
            }
        }
        if (!html_names) return -1;
        // Declared by the document's DTD: HTML's own, or else some other character.
        const char* known = named_reference(std::string(name) + ";");
        const std::string_view spelled = known != nullptr ? std::string_view(known) : std::string_view("\xEF\xBF\xBD");
        std::memcpy(out, spelled.data(), std::min<std::size_t>(spelled.size(), 8));
        *out_length = std::min<std::size_t>(spelled.size(), 8);
        return static_cast<int>(end + 1);
    }
    if (closed) {
        if (const char* known = named_reference(std::string(name) + ";")) {
            *out_length = std::min<std::size_t>(std::strlen(known), 8);
            std::memcpy(out, known, *out_length);
            return static_cast<int>(end + 1);
        }
    }
    // Without its ";", the longest of the old names that starts the name.
    for (std::size_t k = name.size(); k >= 2; --k) {
        if (const char* known = named_reference(name.substr(0, k))) {
            *out_length = std::min<std::size_t>(std::strlen(known), 8);
            std::memcpy(out, known, *out_length);
            return static_cast<int>(k + 1);
        }
    }
    return 0;
}
