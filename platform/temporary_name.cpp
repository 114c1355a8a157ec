#include "platform/temporary_name.h"

std::string temporary_name(const std::string& target, const std::string& suffix, std::size_t name_max)
{
    const std::string tag = ".zarnet-";
    const std::size_t fixed = 1 + tag.size() + suffix.size();
    if (fixed > name_max) return std::string();
    std::size_t keep = target.size() < name_max - fixed ? target.size() : name_max - fixed;
    // A cut name should still read as text: back off to the start of a character.
    if (keep < target.size()) {
        while (keep > 0 && (static_cast<unsigned char>(target[keep]) & 0xC0) == 0x80) --keep;
    }
    return std::string(".").append(target, 0, keep).append(tag).append(suffix);
}
