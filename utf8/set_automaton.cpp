#include "utf8/set_automaton.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/byte_source.h"
#include "engine/loader.h"
#include "platform/expect.h"
#include "utf8/utf8_decode.h"

std::string utf8_engine_patterns(const Utf8Letters* letters, std::string_view patterns)
{
    // A line's form is never longer than its text, and each line ends in
    // one line end: the file's size and one more byte hold them all.
    std::string lines(patterns.size() + 1, '\0');
    char* out = lines.data();
    std::size_t written = 0;
    // The set's letters as bits, looked up for every character of the patterns.
    std::vector<std::uint64_t> letter_bits((0x110000 + 63) / 64, 0);
    for (const std::uint32_t cp : letters->letters) letter_bits[cp / 64] |= std::uint64_t{1} << (cp % 64);
    // The form of each code point of two bytes, found when first met: its
    // byte, or NOT_ONE_BYTE when it is two bytes or more.
    constexpr std::int16_t UNKNOWN = -1;
    constexpr std::int16_t NOT_ONE_BYTE = -2;
    std::vector<std::int16_t> two_byte_form(0x800, UNKNOWN);
    // A letter's form as the engine sees it; any other character as it is.
    const auto form_of = [&](std::uint32_t cp, unsigned char* form) {
        const bool letter = (letter_bits[cp / 64] >> (cp % 64) & 1) != 0;
        return letter ? utf8_form_bytes(letters, cp, form) : utf8_encode(cp, form);
    };
    for_each_entry(patterns, [&](std::string_view line) {
        const std::string_view pattern = pattern_of(line);
        ZARNET_EXPECT(written + pattern.size() + 1 <= lines.size());
        if (!letters->narrow) {
            std::memcpy(out + written, pattern.data(), pattern.size());
            written += pattern.size();
            out[written++] = '\n';
            return;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(pattern.data());
        for (std::size_t at = 0; at < pattern.size();) {
            const unsigned char lead = bytes[at];
            if (lead < 0x80) {
                // ASCII is its own form.
                out[written++] = static_cast<char>(lead);
                ++at;
                continue;
            }
            std::uint32_t cp = 0;
            const int length = utf8_decode(bytes + at, pattern.size() - at, &cp);
            if (length <= 0) {
                out[written++] = static_cast<char>(bytes[at++]);
                continue;
            }
            if (length == 2) {
                std::int16_t& known = two_byte_form[cp];
                if (known == UNKNOWN) {
                    unsigned char form[4];
                    known = form_of(cp, form) == 1 ? form[0] : NOT_ONE_BYTE;
                }
                if (known != NOT_ONE_BYTE) {
                    out[written++] = static_cast<char>(known);
                    at += 2;
                    continue;
                }
            }
            unsigned char form[4];
            const int n = form_of(cp, form);
            std::memcpy(out + written, form, static_cast<std::size_t>(n));
            written += static_cast<std::size_t>(n);
            at += static_cast<std::size_t>(length);
        }
        out[written++] = '\n';
    });
    lines.resize(written);
    return lines;
}

PatternAutomaton* utf8_set_automaton(const Utf8Letters* letters, std::string_view patterns)
{
    const std::string lines = utf8_engine_patterns(letters, patterns);
    ByteSource source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(lines.data()), lines.size());
    // The compiled matcher finds the failure links it needs itself.
    return load_patterns_from(&source, nullptr, FailureLinks::left_out);
}
