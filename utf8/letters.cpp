#include "utf8/letters.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include <utf8proc.h>

#include "utf8/utf8_decode.h"

namespace {

// Code points of a line of UTF-8 (bytes that are not UTF-8 are skipped).
template <typename Take>
void for_each_code_point(std::string_view text, Take take)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t at = 0;
    while (at < text.size()) {
        std::uint32_t cp = 0;
        const int length = utf8_decode(bytes + at, text.size() - at, &cp);
        if (length <= 0) {
            ++at;
            continue;
        }
        take(cp);
        at += static_cast<std::size_t>(length);
    }
}

// The canonical decomposition of `cp` (itself when it has none).
int decompose(std::uint32_t cp, utf8proc_int32_t* into, int room)
{
    int last_boundclass = 0;
    const utf8proc_ssize_t n = utf8proc_decompose_char(static_cast<utf8proc_int32_t>(cp), into, room,
                                                       UTF8PROC_DECOMPOSE, &last_boundclass);
    return n < 0 || n > room ? 0 : static_cast<int>(n);
}

// Where composed letters are that a text in the set's scripts may hold in
// parts: the 128-character blocks of its letters and their capitals, and
// the Latin, Greek and Cyrillic letters with diacritics.
void note_seconds_in(Utf8Letters* letters, std::uint32_t first, std::uint32_t last)
{
    for (std::uint32_t cp = first; cp <= last; ++cp) {
        utf8proc_int32_t parts[8];
        const int n = decompose(cp, parts, 8);
        for (int k = 1; k < n; ++k) letters->seconds.insert(static_cast<std::uint32_t>(parts[k]));
    }
}

}  // namespace

std::vector<std::uint32_t> utf8_set_characters(std::string_view patterns, std::string_view exceptions)
{
    std::vector<std::uint32_t> characters;
    // The characters seen so far, to take each once.
    std::vector<std::uint64_t> seen((0x110000 + 63) / 64, 0);
    const auto note = [&](std::uint32_t cp) {
        std::uint64_t& word = seen[cp / 64];
        const std::uint64_t bit = std::uint64_t{1} << (cp % 64);
        if ((word & bit) != 0) return;
        word |= bit;
        characters.push_back(cp);
    };
    // A pattern's characters other than its digits, dots and hyphens.
    const auto note_in_pattern = [&](std::uint32_t cp) {
        if ((cp < '0' || cp > '9') && cp != '.' && cp != '-') note(cp);
    };
    for_each_entry(patterns, [&](std::string_view line) {
        const std::string_view pattern = pattern_of(line);
        const auto* bytes = reinterpret_cast<const unsigned char*>(pattern.data());
        std::size_t at = 0;
        // Most of a pattern is ASCII, taken without decoding.
        while (at < pattern.size() && bytes[at] < 0x80) note_in_pattern(bytes[at++]);
        for_each_code_point(pattern.substr(at), note_in_pattern);
    });
    for_each_entry(exceptions, [&](std::string_view line) {
        for_each_code_point(line, [&](std::uint32_t cp) {
            if (cp != '-' && cp > ' ') note(cp);
        });
    });
    return characters;
}

void utf8_letters_build(Utf8Letters* letters, std::string_view patterns, std::string_view exceptions, bool narrow)
{
    utf8_letters_make(letters, utf8_set_characters(patterns, exceptions), narrow);
}

void utf8_letters_make(Utf8Letters* letters, const std::vector<std::uint32_t>& characters, bool narrow)
{
    letters->letters.clear();
    letters->seconds.clear();
    letters->letters.insert(characters.begin(), characters.end());

    std::unordered_set<std::uint32_t> blocks;
    for (std::uint32_t cp : letters->letters) {
        blocks.insert(cp >> 7);
        blocks.insert(static_cast<std::uint32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(cp))) >> 7);
    }
    for (std::uint32_t block : blocks) note_seconds_in(letters, block << 7, (block << 7) + 127);
    note_seconds_in(letters, 0x00C0, 0x024F);
    note_seconds_in(letters, 0x0370, 0x04FF);
    note_seconds_in(letters, 0x1E00, 0x1FFF);

    // The narrow form, when the letters outside ASCII, their capitals and
    // the soft hyphen are few enough.
    std::vector<std::uint32_t> wide;
    for (std::uint32_t cp : letters->letters) {
        if (cp >= 0x80) wide.push_back(cp);
        for (const utf8proc_int32_t cased : {utf8proc_toupper(static_cast<utf8proc_int32_t>(cp)),
                                             utf8proc_totitle(static_cast<utf8proc_int32_t>(cp))}) {
            const auto capital = static_cast<std::uint32_t>(cased);
            if (capital >= 0x80 && capital != cp && utf8_matching_form(letters, capital) == cp) wide.push_back(capital);
        }
    }
    wide.push_back(0xAD);
    std::sort(wide.begin(), wide.end());
    wide.erase(std::unique(wide.begin(), wide.end()), wide.end());
    letters->narrow = narrow && wide.size() <= NARROW_BYTES;
    letters->narrow_bytes.clear();
    for (int b = 0; b < 256; ++b) {
        letters->narrow_text.bytes[b] = static_cast<std::uint32_t>(b);
        letters->narrow_text.length[b] = 1;
        letters->narrow_combining[b] = false;
    }
    letters->soft_hyphen = 0;
    if (letters->narrow) {
        for (std::size_t k = 0; k < wide.size(); ++k) {
            const auto byte = static_cast<unsigned char>(0x80 + k);
            const std::uint32_t cp = wide[k];
            letters->narrow_bytes[cp] = byte;
            unsigned char encoded[4] = {};
            letters->narrow_text.length[byte] = static_cast<unsigned char>(utf8_encode(cp, encoded));
            letters->narrow_text.bytes[byte] = static_cast<std::uint32_t>(encoded[0]) | static_cast<std::uint32_t>(encoded[1]) << 8 |
                                         static_cast<std::uint32_t>(encoded[2]) << 16 |
                                         static_cast<std::uint32_t>(encoded[3]) << 24;
            letters->narrow_combining[byte] =
                utf8proc_get_property(static_cast<utf8proc_int32_t>(cp))->combining_class != 0;
        }
        letters->soft_hyphen = letters->narrow_bytes[0xAD];
    }
    for (int k = 0; k < 128; ++k) {
        letters->narrow_text.first[k] = static_cast<unsigned char>(letters->narrow_text.bytes[0x80 + k]);
        letters->narrow_text.second[k] = static_cast<unsigned char>(letters->narrow_text.bytes[0x80 + k] >> 8);
        letters->narrow_text.third[k] = static_cast<unsigned char>(letters->narrow_text.bytes[0x80 + k] >> 16);
    }

    LetterTable* bytes = &letters->bytes;
    for (int b = 0; b < 256; ++b) {
        bytes->letter[b] = false;
        bytes->fold[b] = static_cast<unsigned char>(b);
    }
    for (std::uint32_t cp : letters->letters) {
        unsigned char form[4];
        const int length = utf8_form_bytes(letters, cp, form);
        for (int k = 0; k < length; ++k) bytes->letter[form[k]] = true;
    }
    for (int b = 'A'; b <= 'Z'; ++b) {
        const std::uint32_t small = static_cast<std::uint32_t>(b - 'A' + 'a');
        if (letters->letters.count(small) != 0 && letters->letters.count(static_cast<std::uint32_t>(b)) == 0) {
            bytes->letter[b] = true;
            bytes->fold[b] = static_cast<unsigned char>(small);
        }
    }
    if (letters->narrow) {
        // Each capital folds to its small letter's byte.
        for (const auto& [cp, byte] : letters->narrow_bytes) {
            unsigned char form[4];
            if (cp == 0xAD || utf8_form_bytes(letters, utf8_matching_form(letters, cp), form) != 1) continue;
            bytes->letter[byte] = true;
            bytes->fold[byte] = form[0];
        }
    }
    // A soft hyphen joins the parts of a word that its author broke: the word
    // is one run, and keeps the author's breaks alone.
    if (letters->narrow) {
        bytes->letter[letters->soft_hyphen] = true;
    } else {
        bytes->letter[0xC2] = true;
        bytes->letter[0xAD] = true;
    }

    // The window.
    letters->window_base = 0;
    letters->window_length = 0;
    std::fill(std::begin(letters->window_bytes), std::end(letters->window_bytes), 0);
    if (!letters->narrow) return;
    const auto plain = [&](std::uint32_t cp) {
        const std::uint32_t info = utf8_char_info(letters, cp);
        return cp != 0xAD && (info & (CHAR_LETTER | CHAR_OWN | CHAR_CHANGES)) == (CHAR_LETTER | CHAR_OWN);
    };
    // Only a character with a narrow byte of its own can be one; the
    // letters in each 64 code points.
    std::unordered_map<std::uint32_t, int> per_64;
    for (const auto& [cp, byte] : letters->narrow_bytes) {
        if (cp >= 0x80 && cp < 0x10000 && plain(cp)) ++per_64[cp >> 6];
    }
    int best = 0;
    for (const auto& [part, count] : per_64) {
        for (const std::uint32_t base : {part << 6, (part - 1) << 6}) {
            const int length = utf8_encoded_length(base);
            // Both halves of the same length, and of the same first byte
            // when they have three bytes.
            if (base < 0x80 || utf8_encoded_length(base + 127) != length ||
                (length == 3 && (base >> 12) != ((base + 127) >> 12))) {
                continue;
            }
            const auto letters_in = [&](std::uint32_t key) {
                const auto found = per_64.find(key);
                return found == per_64.end() ? 0 : found->second;
            };
            const int held = letters_in(base >> 6) + letters_in((base >> 6) + 1);
            if (held > best || (held == best && base < letters->window_base)) {
                best = held;
                letters->window_base = base;
                letters->window_length = length;
            }
        }
    }
    if (best == 0) return;
    for (std::uint32_t k = 0; k < 128; ++k) {
        const std::uint32_t cp = letters->window_base + k;
        if (plain(cp)) letters->window_bytes[k] = static_cast<unsigned char>(utf8_char_info(letters, cp) & CHAR_FORM);
    }
}

int utf8_form_bytes(const Utf8Letters* letters, std::uint32_t cp, unsigned char* out)
{
    if (letters->narrow && cp >= 0x80) {
        const auto found = letters->narrow_bytes.find(cp);
        if (found != letters->narrow_bytes.end()) {
            out[0] = found->second;
            return 1;
        }
    }
    return utf8_encode(cp, out);
}

std::uint32_t utf8_matching_form(const Utf8Letters* letters, std::uint32_t cp)
{
    if (letters->letters.count(cp) != 0) return cp;
    const std::uint32_t lower = static_cast<std::uint32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(cp)));
    return letters->letters.count(lower) != 0 ? lower : cp;
}

std::uint32_t utf8_char_info(const Utf8Letters* letters, std::uint32_t cp)
{
    std::uint32_t info = CHAR_KNOWN;
    const std::uint32_t form = utf8_matching_form(letters, cp);
    const bool letter = cp != '-' && letters->letters.count(form) != 0;
    if (letter) {
        info |= CHAR_LETTER;
        if (letters->narrow) {
            // Its own byte, or its small letter's; a letter the narrow form
            // has no byte for keeps its text apart (its form then differs).
            unsigned char own[4];
            unsigned char small[4];
            if (utf8_form_bytes(letters, cp, own) == 1 && (cp < 0x80 ? cp == form : true)) {
                info |= CHAR_OWN | own[0];
            } else {
                utf8_form_bytes(letters, form, small);
                info |= small[0];
            }
        } else {
            info |= form;
        }
    }
    const utf8proc_property_t* property = utf8proc_get_property(static_cast<utf8proc_int32_t>(cp));
    const bool second = letters->seconds.count(cp) != 0;
    if (property->combining_class != 0 || second) info |= CHAR_JOINS;
    bool changes = second || (letter && utf8_encoded_length(form) != utf8_encoded_length(cp));
    if (!changes) {
        // Not NFC on its own: a singleton, or a letter kept out of composition.
        utf8proc_int32_t parts[8];
        int n = decompose(cp, parts, 8);
        if (n > 1 || (n == 1 && static_cast<std::uint32_t>(parts[0]) != cp)) {
            n = static_cast<int>(utf8proc_normalize_utf32(parts, n, UTF8PROC_COMPOSE));
            changes = n != 1 || static_cast<std::uint32_t>(parts[0]) != cp;
        }
    }
    if (changes) info |= CHAR_CHANGES;
    return info;
}
