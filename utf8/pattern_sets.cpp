#include "utf8/pattern_sets.h"

#include <string>

namespace {

std::string normal_tag(const char* name)
{
    std::string tag;
    for (const char* p = name; *p != '\0'; ++p) {
        char c = *p;
        if (c == '_') c = '-';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        tag.push_back(c);
    }
    return tag;
}

bool tag_listed(const char* tags, const std::string& tag)
{
    std::string_view rest(tags);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (rest.substr(0, comma) == tag) return true;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

}  // namespace

const PatternSet* find_pattern_set(const char* name)
{
    std::string tag = normal_tag(name);
    for (std::size_t k = 0; k < PATTERN_SET_COUNT; ++k) {
        if (tag == PATTERN_SETS[k].name) return &PATTERN_SETS[k];
    }
    while (!tag.empty()) {
        for (std::size_t k = 0; k < PATTERN_SET_COUNT; ++k) {
            if (tag_listed(PATTERN_SETS[k].tags, tag)) return &PATTERN_SETS[k];
        }
        const std::size_t dash = tag.rfind('-');
        if (dash == std::string::npos) break;
        tag.resize(dash);
    }
    return nullptr;
}
