#pragma once
// Many files marked in place: each file replaced by its marked text as one
// whole, the files spread over the processors; a file that fails is named
// and left as it was, and the others go on.

#include "utf8/utf8_run.h"

// Returns 0 when every file was marked, else 1.
int utf8_mark_in_place(const Utf8Marker* marker, const char* const* files, int count);
