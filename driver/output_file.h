#pragma once
// The output file, written so that a failed run never leaves it half-written.
//
// When the output path names a regular file, or nothing yet, the bytes go to
// a temporary file in the same folder that replaces the file only once all
// of them are written (keeping an existing file's permission bits; a symbolic
// link is followed to its target). Anything else (a pipe, a device, a name
// for an open descriptor such as /dev/stdout) is written directly.

#include <cstdint>
#include <cstdio>
#include <string>

struct OutputFile {
    std::FILE* file;        // where the bytes go
    std::string target;     // the file that the temporary file replaces
    std::string temporary;  // empty when writing directly
};

// True when `path` would be written directly (not replaced) and is the very
// file that `input` reads, as in `zarnet f /dev/stdout ... >>f`: the input
// must then be read whole before the output is opened.
bool output_file_is_input(const char* path, std::FILE* input);

// Opens the output. Returns false with the system's error number in *error
// when it cannot be created.
bool output_file_open(OutputFile* output, const char* path, int* error);

// Flushes and closes the output and puts it in place. Returns false with the
// system's error number in *error when that fails; the temporary file is
// then removed.
bool output_file_commit(OutputFile* output, int* error);

// Closes the output and removes the temporary file, leaving the target as it was.
void output_file_abort(OutputFile* output);

// Writes `size` bytes to `path` in one go: open, write, commit.
bool write_output_file(const char* path, const unsigned char* bytes, std::int64_t size, int* error);
