#include "files/input_file.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "platform/file_system.h"
#include "platform/memory.h"

namespace {

constexpr std::int64_t STREAM_CHUNK = 64 * 1024;

}  // namespace

bool read_input_file(const char* path, FileBytes* text, int* error)
{
    std::FILE* file = open_for_reading(path, error);
    return file != nullptr && read_open_file(file, text, error);
}

bool read_open_file(std::FILE* file, FileBytes* text, int* error)
{
    PathKind kind;
    std::int64_t file_size;
    if (!stream_status(file, &kind, &file_size, error)) {
        std::fclose(file);
        return false;
    }

    // Room for the whole file and the NUL in one go when it can be sized;
    // a file that grows meanwhile, or a stream, makes the buffer grow.
    std::size_t capacity = static_cast<std::size_t>(kind == PathKind::regular ? file_size + 1 : STREAM_CHUNK);
    unsigned char* bytes = static_cast<unsigned char*>(must_alloc(capacity));
    std::size_t size = 0;
    for (;;) {
        bytes = static_cast<unsigned char*>(grow_to_fit(bytes, &capacity, size + 1));
        errno = 0;
        const std::size_t got = std::fread(bytes + size, 1, capacity - size, file);
        size += got;
        if (size < capacity) {
            if (std::ferror(file)) {
                *error = saved_errno(EIO);
                std::fclose(file);
                mem_release(bytes);
                return false;
            }
            if (std::feof(file)) break;
        }
    }
    std::fclose(file);

    bytes = static_cast<unsigned char*>(grow_to_fit(bytes, &capacity, size + 1));
    bytes[size] = 0;
    text->bytes = bytes;
    text->size = static_cast<std::int64_t>(size);
    return true;
}
