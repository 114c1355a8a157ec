#pragma once
// The names in a zip's central directory as bytes. libzip hands names out as
// C strings, which end at a NUL byte: a name holding one would come out
// shortened, as another name.

#include <cstddef>
#include <cstdint>

enum class RawNames { CLEAN, NUL_IN_NAME, UNREADABLE };

// Whether a name in the central directory of `zip[0 .. size)` holds a NUL.
// The directory is found as libzip's consistency checks require it (just
// before the end record, which ends the archive with its comment), and must
// hold `entries` entries: UNREADABLE otherwise.
RawNames scan_raw_names(const unsigned char* zip, std::size_t size, std::uint64_t entries);
