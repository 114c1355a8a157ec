#include "markup/zip_raw_names.h"

#include <cstring>

namespace {

constexpr std::size_t END_RECORD = 22;         // end of central directory record, without its comment
constexpr std::size_t ZIP64_LOCATOR = 20;      // zip64 end of central directory locator
constexpr std::size_t ZIP64_END_RECORD = 56;   // zip64 end record, without extensible data
constexpr std::size_t DIRECTORY_HEADER = 46;   // central directory file header, without its names
constexpr std::size_t MAX_COMMENT = 0xFFFF;

std::uint64_t little(const unsigned char* p, int bytes)
{
    std::uint64_t value = 0;
    for (int k = bytes - 1; k >= 0; --k) value = value << 8 | p[k];
    return value;
}

bool signature(const unsigned char* p, unsigned char third, unsigned char fourth)
{
    return p[0] == 'P' && p[1] == 'K' && p[2] == third && p[3] == fourth;
}

}  // namespace

RawNames scan_raw_names(const unsigned char* zip, std::size_t size, std::uint64_t entries)
{
    if (size < END_RECORD) return RawNames::UNREADABLE;
    // The end record whose comment reaches the end of the archive.
    std::size_t end = size - END_RECORD;
    const std::size_t lowest = end > MAX_COMMENT ? end - MAX_COMMENT : 0;
    for (;; --end) {
        if (signature(zip + end, 5, 6) && end + END_RECORD + little(zip + end + 20, 2) == size) break;
        if (end == lowest) return RawNames::UNREADABLE;
    }
    std::uint64_t count = little(zip + end + 10, 2);
    std::uint64_t directory_size = little(zip + end + 12, 4);
    std::size_t directory_end = end;
    if (end >= ZIP64_LOCATOR && signature(zip + end - ZIP64_LOCATOR, 6, 7)) {
        // The zip64 end record, where the locator says, which ends where
        // the locator starts.
        const std::size_t locator = end - ZIP64_LOCATOR;
        const std::uint64_t record = little(zip + locator + 8, 8);
        if (record > locator || locator - record < ZIP64_END_RECORD || !signature(zip + record, 6, 6) ||
            little(zip + record + 4, 8) != locator - record - 12) {
            return RawNames::UNREADABLE;
        }
        count = little(zip + record + 32, 8);
        directory_size = little(zip + record + 40, 8);
        directory_end = std::size_t(record);
    }
    if (count != entries || directory_size > directory_end) return RawNames::UNREADABLE;

    std::size_t at = directory_end - std::size_t(directory_size);
    for (std::uint64_t k = 0; k < count; ++k) {
        if (directory_end - at < DIRECTORY_HEADER || !signature(zip + at, 1, 2)) return RawNames::UNREADABLE;
        const std::size_t name_length = std::size_t(little(zip + at + 28, 2));
        const std::size_t variable = name_length + std::size_t(little(zip + at + 30, 2)) + std::size_t(little(zip + at + 32, 2));
        if (directory_end - at - DIRECTORY_HEADER < variable) return RawNames::UNREADABLE;
        if (std::memchr(zip + at + DIRECTORY_HEADER, 0, name_length) != nullptr) return RawNames::NUL_IN_NAME;
        at += DIRECTORY_HEADER + variable;
    }
    return at == directory_end ? RawNames::CLEAN : RawNames::UNREADABLE;
}
