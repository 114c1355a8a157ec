#pragma once
// A pattern set made ready for UTF-8 text, and the marking of one text with it.

#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "utf8/letters.h"
#include "utf8/pattern_sets.h"
#include "utf8/word_rule.h"

struct Utf8Marker {
    Utf8Letters letters;
    Utf8WordRule rule;
    Engine engine;
    std::string mark;
};

// Loads the patterns and exceptions (the texts of their files) with the
// fewest letters before the first break and after the last; in the set's
// narrow form (letters.h) where it has one, unless `narrow` is false.
void utf8_marker_build(Utf8Marker* marker, std::string_view patterns, std::string_view exceptions, int left,
                       int right, const std::string& mark, bool narrow = true);

// The same for a built-in set, from its form made when the program was built
// where there is one.
void utf8_marker_build_set(Utf8Marker* marker, const PatternSet* set, int left, int right, const std::string& mark);

// The marker for `set`'s language: the built-in set, or with `own` the
// patterns the user gave for it (a pattern file's text, no exceptions). A
// minimum of 0 is the set's own.
void utf8_marker_build_for(Utf8Marker* marker, const PatternSet* set, bool own, std::string_view own_patterns,
                           int left, int right, const std::string& mark);
void utf8_marker_destroy(Utf8Marker* marker);

// Marks in_file into out_file ("-": standard input or output), on every
// processor when `threads`; reports a failure on standard error and returns
// 1, else 0. The first text marked after the patterns were loaded is
// `first`: the heap is settled for the run then.
int utf8_mark_file(const Utf8Marker* marker, const char* in_file, const char* out_file, bool threads, bool first);

// The places of the marks in `text`, a whole UTF-8 text in memory, marked on
// the calling thread: each the offset of the byte a mark follows, plus one,
// in order. False when the text is not UTF-8.
bool utf8_breaks(const Utf8Marker* marker, const unsigned char* text, std::size_t size,
                 std::vector<std::uint64_t>* breaks);
