#include "utf8/set_automaton.h"

#include "engine/byte_source.h"
#include "engine/loader.h"
#include "utf8/utf8_decode.h"

std::string utf8_engine_patterns(const Utf8Letters* letters, std::string_view patterns)
{
    std::string lines;
    lines.reserve(patterns.size());
    // The set's letters as bits, looked up for every character of the patterns.
    std::vector<std::uint64_t> letter_bits((0x110000 + 63) / 64, 0);
    for (const std::uint32_t cp : letters->letters) letter_bits[cp / 64] |= std::uint64_t{1} << (cp % 64);
    for_each_entry(patterns, [&](std::string_view line) {
        const std::string_view pattern = pattern_of(line);
        if (!letters->narrow) {
            lines.append(pattern).push_back('\n');
            return;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(pattern.data());
        for (std::size_t at = 0; at < pattern.size();) {
            if (bytes[at] < 0x80) {
                // ASCII is its own form: the whole run of it at once.
                std::size_t end = at + 1;
                while (end < pattern.size() && bytes[end] < 0x80) ++end;
                lines.append(pattern.data() + at, end - at);
                at = end;
                continue;
            }
            std::uint32_t cp = 0;
            const int length = utf8_decode(bytes + at, pattern.size() - at, &cp);
            if (length <= 0) {
                lines.push_back(static_cast<char>(bytes[at++]));
                continue;
            }
            unsigned char form[4];
            const int n = (letter_bits[cp / 64] >> (cp % 64) & 1) != 0 ? utf8_form_bytes(letters, cp, form)
                                                                         : utf8_encode(cp, form);
            lines.append(reinterpret_cast<const char*>(form), static_cast<std::size_t>(n));
            at += static_cast<std::size_t>(length);
        }
        lines.push_back('\n');
    });
    return lines;
}

PatternAutomaton* utf8_set_automaton(const Utf8Letters* letters, std::string_view patterns)
{
    const std::string lines = utf8_engine_patterns(letters, patterns);
    ByteSource source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(lines.data()), lines.size());
    // The compiled matcher finds the failure links it needs itself.
    return load_patterns_from(&source, nullptr, FailureLinks::left_out);
}
