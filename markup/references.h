#pragma once
// Character references in text: "&eacute;", "&#233;", "&#xE9;".

#include <cstddef>

#include "markup/markup_scan.h"

// The reference that starts at text[0] ("&"), `length` bytes at hand: its
// length, with the UTF-8 text it stands for in `out` (at most 8 bytes) and
// its length in *out_length. 0 when it is no reference (a plain "&"); -1 in
// XML when it is not well-formed there. XML knows its five own names, and
// HTML's too in a document with a DOCTYPE (which may declare them).
int read_reference(const unsigned char* text, std::size_t length, MarkupSyntax syntax, bool html_names,
                   unsigned char out[8], std::size_t* out_length);
