#pragma once
// Writes the output text so that a failed run never leaves it half-written.

#include <cstdint>

// Writes `size` bytes to `path`. When `path` is a regular file or does not
// exist yet, the bytes go to a temporary file in the same folder that then
// replaces it (keeping an existing file's permission bits); a symbolic link
// is followed to its target. Anything else (a pipe, a device) is written
// directly. Returns false with the system's error number in *error when the
// file cannot be created, written or closed; the temporary file is removed.
bool write_output_file(const char* path, const unsigned char* bytes, std::int64_t size, int* error);
