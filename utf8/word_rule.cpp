#include "utf8/word_rule.h"

#include <cstring>

#include <utf8proc.h>

#include "utf8/utf8_decode.h"

namespace {

bool continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

void clear(std::uint64_t marks[RUN_MARK_WORDS])
{
    for (int w = 0; w < RUN_MARK_WORDS; ++w) marks[w] = 0;
}

}  // namespace

void utf8_word_rule_build(Utf8WordRule* rule, const Utf8Letters* letters, std::string_view exceptions, int left,
                          int right)
{
    rule->left = left;
    rule->right = right;
    rule->bytes = &letters->bytes;
    rule->letters = letters;
    rule->shortest = SIZE_MAX;
    rule->longest = 0;
    for_each_entry(exceptions, [&](std::string_view line) {
        // The word in NFC, each letter in its matching form.
        utf8proc_uint8_t* composed = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(std::string(line).c_str()));
        if (composed == nullptr) return;
        const std::string word(reinterpret_cast<const char*>(composed));
        std::free(composed);
        std::string form;
        std::array<std::uint64_t, RUN_MARK_WORDS> breaks{};
        const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
        for (std::size_t at = 0; at < word.size();) {
            std::uint32_t cp = 0;
            const int length = utf8_decode(bytes + at, word.size() - at, &cp);
            if (length <= 0) return;
            at += static_cast<std::size_t>(length);
            if (cp == '-') {
                const std::size_t after = form.size() - 1;
                if (!form.empty() && after < static_cast<std::size_t>(MARKED_LETTERS_MAX)) {
                    breaks[after / 64] |= std::uint64_t{1} << (after % 64);
                }
                continue;
            }
            unsigned char encoded[4];
            const int n = utf8_form_bytes(letters, utf8_matching_form(letters, cp), encoded);
            form.append(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(n));
        }
        if (form.empty()) return;
        // A break after the last letter is none.
        const std::size_t last = form.size() - 1;
        if (last < static_cast<std::size_t>(MARKED_LETTERS_MAX)) breaks[last / 64] &= ~(std::uint64_t{1} << (last % 64));
        rule->shortest = std::min(rule->shortest, form.size());
        rule->longest = std::max(rule->longest, form.size());
        rule->exceptions[form] = breaks;
    });
}

void utf8_word_adjust(const void* context, const unsigned char* run, std::int64_t length,
                      std::uint64_t marks[RUN_MARK_WORDS])
{
    const Utf8WordRule* rule = static_cast<const Utf8WordRule*>(context);
    const std::size_t size = static_cast<std::size_t>(length);
    const Utf8Letters* set = rule->letters;
    // A word with its author's soft hyphens keeps those alone.
    if (set->narrow) {
        if (std::memchr(run, set->soft_hyphen, size) != nullptr) {
            clear(marks);
            return;
        }
    } else {
        for (std::size_t at = 0; at + 1 < size; ++at) {
            if (run[at] == 0xC2 && run[at + 1] == 0xAD) {
                clear(marks);
                return;
            }
        }
    }
    if (size >= rule->shortest && size <= rule->longest) {
        std::string form(reinterpret_cast<const char*>(run), size);
        for (char& byte : form) byte = static_cast<char>(rule->bytes->fold[static_cast<unsigned char>(byte)]);
        const auto found = rule->exceptions.find(form);
        if (found != rule->exceptions.end()) {
            for (int w = 0; w < RUN_MARK_WORDS; ++w) marks[w] = found->second[static_cast<std::size_t>(w)];
            return;
        }
    }
    bool any = false;
    for (int w = 0; w < RUN_MARK_WORDS; ++w) any = any || marks[w] != 0;
    if (!any) return;
    if (set->narrow) {
        // A byte a character: the minima are in bytes.
        const auto count = static_cast<std::int64_t>(size);
        const std::size_t head = size < static_cast<std::size_t>(MARKED_LETTERS_MAX) ? size : MARKED_LETTERS_MAX;
        for (std::size_t at = 0; at < head; ++at) {
            std::uint64_t& word = marks[at / 64];
            const std::uint64_t bit = std::uint64_t{1} << (at % 64);
            if ((word & bit) == 0) continue;
            const auto before = static_cast<std::int64_t>(at) + 1;
            const bool keep = at + 1 < size && before >= rule->left && count - before >= rule->right &&
                              !set->narrow_combining[run[at + 1]];
            if (!keep) word &= ~bit;
        }
        return;
    }
    // Letters in the run, and before each byte.
    std::int64_t letters = 0;
    for (std::size_t at = 0; at < size; ++at) letters += continuation(run[at]) ? 0 : 1;
    std::int64_t before = 0;  // letters that start at or before `at`
    const std::size_t head = size < static_cast<std::size_t>(MARKED_LETTERS_MAX) ? size : MARKED_LETTERS_MAX;
    for (std::size_t at = 0; at < head; ++at) {
        before += continuation(run[at]) ? 0 : 1;
        std::uint64_t& word = marks[at / 64];
        const std::uint64_t bit = std::uint64_t{1} << (at % 64);
        if ((word & bit) == 0) continue;
        bool keep = at + 1 < size && !continuation(run[at + 1]) && before >= rule->left &&
                    letters - before >= rule->right;
        if (keep && run[at + 1] >= 0x80) {
            std::uint32_t next = 0;
            keep = utf8_decode(run + at + 1, size - at - 1, &next) > 0 &&
                   utf8proc_get_property(static_cast<utf8proc_int32_t>(next))->combining_class == 0;
        }
        if (!keep) word &= ~bit;
    }
}
