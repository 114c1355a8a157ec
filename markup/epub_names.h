#pragma once
// Names inside a book: the checks of an entry's name, and the entry that a
// package document's href points to.

#include <string>
#include <string_view>

// Why an entry may not be named `name`, or null when it may: empty,
// absolute (`/x`, `\x`, `C:x`), or climbing out of the book through `..`
// (with `/` or `\` between the segments, as an extractor on Windows reads
// them).
const char* entry_name_fault(std::string_view name);

// `name` with ASCII letters in lower case: two entries whose names are equal
// so would be one file on a file system that ignores case.
std::string folded_name(std::string_view name);

enum class HrefTarget { ENTRY, REMOTE, OUTSIDE };

// The entry that `href` (a relative URL, percent-encoded, perhaps with a
// fragment) names from the package document `package_path` into *entry:
// ENTRY; REMOTE for a URL with a scheme; OUTSIDE for an absolute path, one
// that climbs above the book's root, or one holding NUL.
HrefTarget resolve_href(std::string_view package_path, std::string_view href, std::string* entry);
