#pragma once
// The bounds a book must keep to be read: a book is untrusted, and its zip
// declares sizes that are checked before anything is read, and read no
// further than declared.

#include "markup/epub.h"

#include <cstdint>

struct EpubLimits {
    std::uint64_t entry_bytes;  // the largest entry, uncompressed
    std::uint64_t book_bytes;   // all entries together, uncompressed
    std::uint64_t ratio;        // the most an entry may grow when uncompressed ...
    std::uint64_t ratio_from;   // ... once larger than this
    std::uint64_t entries;      // the most entries
};

constexpr std::uint64_t MIB = std::uint64_t(1) << 20;

// A book of novels with its images is some MB; one of pictures some hundred.
// Text and markup deflate by 3 to 10 times, repeated runs some tens; 200 is
// a zip bomb's.
constexpr EpubLimits EPUB_LIMITS{256 * MIB, 1024 * MIB, 200, 1 * MIB, 100000};

// epub_mark within `limits`.
bool epub_mark_limited(const EpubLimits& limits, const EpubDocumentMarker* marker, const char* name,
                       const unsigned char* book, std::size_t size, std::string* out, std::string* reason);
