#pragma once
// The UTF-8 pattern sets built into zarnet-utf8: every hyph-utf8 set, with
// its exceptions, its language, its minima and the BCP 47 tags that name it.

#include <cstddef>
#include <string_view>

struct PatternSet {
    const char* name;          // the hyph-utf8 name: "de-1996", "el-monoton" ...
    const char* language;      // in English
    int left;                  // the fewest letters before a break, as TeX uses them
    int right;                 // and after it
    const char* tags;          // lower-case BCP 47 tags that name the set, separated by commas
    std::string_view patterns; // the pattern file, header included
    std::string_view exceptions;  // the exception file, or empty
};

extern const PatternSet PATTERN_SETS[];
extern const std::size_t PATTERN_SET_COUNT;

// The set that `name` names: a set's own name, or a BCP 47 tag (any case,
// "_" for "-") that names it, with subtags taken off its end until one
// does ("de-DE-x-foo", "de-DE", "de"). Null when none does.
const PatternSet* find_pattern_set(const char* name);
