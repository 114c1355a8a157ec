#pragma once
// The letters of a UTF-8 pattern set, and what each character of a text is
// to it. The letters are the characters its patterns and exceptions use
// (the hyphen excepted: it joins words, it is no letter); a capital is a
// letter when its lower-case form is. Words are matched in their
// lower-case form, in Unicode's composed form (NFC).

#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "engine/letter_table.h"

struct Utf8Letters {
    std::unordered_set<std::uint32_t> letters;  // as the patterns and exceptions write them
    // Characters that canonical composition may join to the character
    // before them (the second parts of composed letters).
    std::unordered_set<std::uint32_t> seconds;
    // The bytes of the letters' UTF-8 forms are letters of the text that
    // the engine sees; ASCII capitals fold to their small letters there.
    LetterTable bytes;
};

// What a character is to the set, packed in 32 bits (see the masks).
constexpr std::uint32_t CHAR_KNOWN = 1u << 31;      // the entry is filled in
constexpr std::uint32_t CHAR_LETTER = 1u << 30;     // a letter, or the capital of one
// The character may change when its word is put in NFC (it joins the one
// before, is not NFC on its own, or its lower-case form has another
// length): the word around it takes the slow way.
constexpr std::uint32_t CHAR_CHANGES = 1u << 29;
// The character joins the one before it in NFC: a combining mark, or the
// second part of a composed letter.
constexpr std::uint32_t CHAR_JOINS = 1u << 27;
constexpr std::uint32_t CHAR_FORM = 0x1FFFFF;       // a letter's lower-case form, for matching

void utf8_letters_build(Utf8Letters* letters, std::string_view patterns, std::string_view exceptions);

// What `cp` is to the set (CHAR_KNOWN always set).
std::uint32_t utf8_char_info(const Utf8Letters* letters, std::uint32_t cp);

// The code point as the set writes it: its lower-case form when that is a
// letter of the set, else itself.
std::uint32_t utf8_matching_form(const Utf8Letters* letters, std::uint32_t cp);

// The lines of a pattern or exception file that hold patterns or words: not
// blank, not a "%" comment. Calls `take` with each, without its line end.
template <typename Take>
void for_each_entry(std::string_view file, Take take)
{
    while (!file.empty()) {
        std::size_t end = file.find('\n');
        std::string_view line = file.substr(0, end);
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty() || line.front() == '%') continue;
        take(line);
    }
}
