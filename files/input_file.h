#pragma once
// Reads a whole file into memory: the input of the plain run, or one that
// the output would overwrite while it is being read.

#include <cstdint>
#include <cstdio>

struct FileBytes {
    unsigned char* bytes;  // `size` bytes followed by a NUL; from must_alloc
    std::int64_t size;
};

// Reads an open file to its end into a new buffer and closes it. A regular
// file is read into a buffer of its size; anything that cannot be sized is
// read in growing pieces. Returns false with the system's error number in
// *error on a read error.
bool read_open_file(std::FILE* file, FileBytes* text, int* error);

// Reads the file at `path` to its end, in binary mode. A regular file is read
// into a buffer of its size; anything that cannot be sized (a pipe, a
// terminal) is read in growing pieces. Returns false with the system's error
// number in *error when the file cannot be opened or read; a buffer that
// cannot be had ends the process like must_alloc does.
bool read_input_file(const char* path, FileBytes* text, int* error);
