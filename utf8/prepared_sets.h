#pragma once
// The built-in pattern sets made ready when the program was built
// (by zarnet_prepare_sets, utf8/prepare_sets.cpp), so that a run starts
// without reading their pattern files.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "utf8/pattern_sets.h"

// A built-in set made ready when the program was built: its characters
// (utf8_set_characters, in UTF-8) and the image of its automaton in its
// narrow form where it has one (automaton_image.h).
struct PreparedSet {
    std::string_view characters;
    std::string_view image;
};

// [k] for PATTERN_SETS[k]; none in a build that could not make them.
extern const PreparedSet PREPARED_SETS[];
extern const std::size_t PREPARED_SET_COUNT;

// The prepared form of a built-in set; null for any other.
const PreparedSet* prepared_set_of(const PatternSet* set);

// The characters of a prepared set, decoded.
std::vector<std::uint32_t> prepared_characters(const PreparedSet* prepared);
