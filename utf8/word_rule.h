#pragma once
// The rules that TeX applies to a word beyond its patterns, for words in
// their UTF-8 matching form: the fewest letters before the first break and
// after the last (counted in characters, not bytes), the exceptions (words
// whose breaks are given whole, without minima), and the rules of this
// program: no mark before a combining mark, none in a word whose author
// put in soft hyphens of their own.
//
// The engine looks at every run with a rule of one letter on either side
// (one byte) and hands the run and its marks to utf8_word_adjust, whose
// result the word cache keeps.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/break_rule.h"
#include "utf8/letters.h"

struct Utf8WordRule {
    int left;
    int right;
    // A word's matching form, and its breaks as mark bits after its bytes.
    std::unordered_map<std::string, std::array<std::uint64_t, RUN_MARK_WORDS>> exceptions;
    std::size_t shortest;  // of the exceptions' forms, in bytes
    std::size_t longest;
    const LetterTable* bytes;  // the engine's letters, whose ASCII capitals it folds
    const Utf8Letters* letters;  // in a narrow form, a byte is a character
};

// Reads the exception words (a "-" at every break; "%" comments).
void utf8_word_rule_build(Utf8WordRule* rule, const Utf8Letters* letters, std::string_view exceptions, int left,
                          int right);

// The engine's word rule: `context` is a Utf8WordRule.
void utf8_word_adjust(const void* context, const unsigned char* run, std::int64_t length,
                      std::uint64_t marks[RUN_MARK_WORDS]);
