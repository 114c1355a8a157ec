#pragma once
// The letters of a UTF-8 pattern set, and what each character of a text is
// to it. The letters are the characters its patterns and exceptions use
// (the hyphen excepted: it joins words, it is no letter); a capital is a
// letter when its lower-case form is. Words are matched in their
// lower-case form, in Unicode's composed form (NFC).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/letter_table.h"

// What each byte of a narrow form stands for: its UTF-8 bytes (in order
// from the lowest, the rest zero) and how many; a byte below 0x80 stands
// for itself. The first three bytes of each one's text again, apart, for
// the bytes from 0x80 on.
struct NarrowText {
    std::uint32_t bytes[256];
    unsigned char length[256];
    unsigned char first[128];
    unsigned char second[128];
    unsigned char third[128];
};

struct Utf8Letters {
    std::unordered_set<std::uint32_t> letters;  // as the patterns and exceptions write them
    // Characters that canonical composition may join to the character
    // before them (the second parts of composed letters).
    std::unordered_set<std::uint32_t> seconds;
    // The bytes of the letters' UTF-8 forms are letters of the text that
    // the engine sees; ASCII capitals fold to their small letters there.
    LetterTable bytes;
    // A set with at most NARROW_BYTES letters outside ASCII, counting their
    // capitals and the soft hyphen, is matched in its narrow form: each of
    // those characters is one byte there, from 0x80 on, and its capitals
    // fold to their small letters as ASCII capitals do. The engine then
    // walks a byte per letter, as for a single-byte text.
    bool narrow;
    std::unordered_map<std::uint32_t, unsigned char> narrow_bytes;  // a character's byte
    NarrowText narrow_text;      // what each byte stands for
    bool narrow_combining[256];  // it stands for a combining mark
    unsigned char soft_hyphen;   // the soft hyphen's byte in the narrow form
    // The window: the 128 code points from window_base (a multiple of 64),
    // all of the same UTF-8 length, window_length (2 or 3; 0: no window),
    // that hold the most letters that stand for themselves in the narrow
    // form and never change; window_bytes gives their narrow bytes, 0 for
    // the other code points. A text's letters in it are turned into the
    // narrow form many at a time.
    std::uint32_t window_base;
    int window_length;
    unsigned char window_bytes[128];
};

constexpr std::size_t NARROW_BYTES = 128;

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
// A letter's lower-case form, for matching: its code point, or in a narrow
// form its byte there.
constexpr std::uint32_t CHAR_FORM = 0x1FFFFF;
// In a narrow form: the letter's byte stands for the letter itself (not
// only for its lower-case form), so the text can be taken back from it.
constexpr std::uint32_t CHAR_OWN = 1u << 28;

// `narrow`: in the narrow form when the set allows it.
void utf8_letters_build(Utf8Letters* letters, std::string_view patterns, std::string_view exceptions,
                        bool narrow = true);

// The characters that patterns and exceptions use, each once, in the order
// they first come; and the letters made from them, as above.
std::vector<std::uint32_t> utf8_set_characters(std::string_view patterns, std::string_view exceptions);
void utf8_letters_make(Utf8Letters* letters, const std::vector<std::uint32_t>& characters, bool narrow = true);

// What `cp` is to the set (CHAR_KNOWN always set).
std::uint32_t utf8_char_info(const Utf8Letters* letters, std::uint32_t cp);

// The code point as the set writes it: its lower-case form when that is a
// letter of the set, else itself.
std::uint32_t utf8_matching_form(const Utf8Letters* letters, std::uint32_t cp);

// Writes the bytes of a letter's matching form as the engine sees them (its
// byte in a narrow form, else its UTF-8 form) and returns how many.
int utf8_form_bytes(const Utf8Letters* letters, std::uint32_t cp, unsigned char* out);

// The pattern of a line of a pattern file: its bytes up to the first blank.
inline std::string_view pattern_of(std::string_view line)
{
    std::size_t end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    return line.substr(0, end);
}

// The lines of a pattern or exception file that hold patterns or words: not
// blank, not a "%" comment. Calls `take` with each, without its line end.
template <typename Take>
void for_each_entry(std::string_view file, Take take)
{
    while (!file.empty()) {
        // Lines are short: a plain loop finds their ends sooner than a
        // library search set up anew for each.
        std::size_t end = 0;
        while (end < file.size() && file[end] != '\n') ++end;
        if (end == file.size()) end = std::string_view::npos;
        std::string_view line = file.substr(0, end);
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty() || line.front() == '%') continue;
        take(line);
    }
}
