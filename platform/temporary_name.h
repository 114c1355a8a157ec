#pragma once
// The name of a temporary file that shows which file it stands in for.

#include <cstddef>
#include <string>

// ".<target>.zarnet-" followed by `suffix`, with `target` cut short so that
// the whole name has at most `name_max` bytes (never inside a UTF-8
// sequence). Empty when not even the suffix would fit.
std::string temporary_name(const std::string& target, const std::string& suffix, std::size_t name_max);
