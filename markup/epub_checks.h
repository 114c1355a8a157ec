#pragma once
// The checks of a book's zip before anything in it is read.

#include "markup/epub_limits.h"

#include <zip.h>

#include <string>

// The book `book[0 .. size)` opened read-only (and checked by libzip for
// consistency between its directory and its entries) into *archive, once
// every entry has passed the checks: names neither absolute nor climbing
// out, nor equal to another's (ignoring ASCII case), nor holding NUL; not
// encrypted; stored or deflated; sizes within `limits`. False, with the
// reason, otherwise. The caller closes the archive with zip_discard.
bool open_checked_book(const EpubLimits& limits, const unsigned char* book, std::size_t size, zip_t** archive,
                       std::string* reason);

// "<entry>" as it goes into a message.
std::string entry_label(zip_t* archive, zip_uint64_t index);
