#pragma once
// HTML's named character references ("&eacute;", "&shy;" ...).

#include <cstddef>
#include <string_view>

struct NamedReference {
    const char* name;  // as written after "&": with its ";", or bare for those a browser also takes so
    const char* text;  // the UTF-8 text it stands for
};

extern const NamedReference NAMED_REFERENCES[];  // sorted by name, byte by byte
extern const std::size_t NAMED_REFERENCE_COUNT;

// The text that `name` (as written after "&", ";" included) stands for, or
// null when it names nothing.
const char* named_reference(std::string_view name);
