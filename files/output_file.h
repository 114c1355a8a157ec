#pragma once
// The output file, written so that a failed run never leaves it half-written.
//
// When the output path names a regular file, or nothing yet, the bytes go to
// a temporary file beside it (".out.txt.zarnet-XXXXXX"), which replaces the
// file by a rename only once all of them are written, with the old file's
// permission bits and owner. A symbolic link is followed to its target, a
// dangling one to the file it points to. Where a rename would change what
// the user sees, or is refused (other hard links, an owner that cannot be
// kept, a folder that refuses new files, a mount point, a sticky folder),
// the whole output goes to the temporary file first (in the system's
// temporary folder when the file's own refuses it) and is then copied into
// the file in place. A folder that takes new files but lets none go gets no
// temporary file: the output is copied from the system's temporary folder
// into out_file, made then when it is new. When out_file is in_file, the
// new file is forced to the disk before the rename and the folder after it.
//
// Anything else (a pipe, a device, a name for an open descriptor such as
// /dev/stdout) is written directly.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/file_system.h"

struct OutputFile {
    std::FILE* file;       // where the bytes go
    std::string target;    // out_file as named
    FilePlace place;       // the file that receives the output (no handle when written directly)
    FilePlace temporary;   // the temporary file; its name is empty when writing directly
    bool existed;          // the file was there when the output was opened
    bool copy_in;          // the output is copied into the file rather than renamed over it
    bool create;           // copied into a file made for it (in a folder that only takes new files)
    bool to_disk;          // out_file is in_file: the new text is forced to the disk
    std::string kept;      // after a failed commit: the file that holds the whole output, kept; else empty
};

// True when `path` would be written directly (not replaced) and is the very
// file that `input` reads, as in `zarnet f /dev/stdout ... >>f`: the input
// must then be read whole before the output is opened.
bool output_file_is_input(const char* path, std::FILE* input);

// Opens the output; `in_file` tells whether it is written in place of the
// input. Returns false with the system's error number in *error when it
// cannot be created.
bool output_file_open(OutputFile* output, const char* path, const char* in_file, int* error);

// Flushes and closes the output and puts it in place. Returns false with the
// system's error number in *error when that fails; the temporary file is
// then removed, unless a copy into out_file failed part way: then `kept`
// names it.
bool output_file_commit(OutputFile* output, int* error);

// Closes the output and removes the temporary file, leaving the target as it was.
void output_file_abort(OutputFile* output);

// Writes `size` bytes to `path` in one go: open, write, commit. After a
// copy into out_file failed part way, *kept names the file with the output.
bool write_output_file(const char* path, const char* in_file, const unsigned char* bytes, std::int64_t size,
                       int* error, std::string* kept);
