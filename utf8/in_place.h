#pragma once
// Many files marked in place: each file replaced by its marked text as one
// whole, the files spread over the processors; a file that fails is named
// and left as it was, and the others go on.

// Marks one file in its own place; returns 0, or 1 after reporting a failure.
struct InPlaceWork {
    int (*mark)(void* context, const char* file);
    void* context;
};

// Returns 0 when every file was marked, else 1. With `one_thread`, the files
// are marked one after another on this thread.
int mark_in_place(const InPlaceWork* work, const char* const* files, int count, bool one_thread);
