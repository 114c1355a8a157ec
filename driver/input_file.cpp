#include "driver/input_file.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "common/file_system.h"
#include "common/memory.h"

namespace {

constexpr std::int64_t STREAM_CHUNK = 64 * 1024;

}  // namespace

bool read_input_file(const char* path, InputText* text, int* error)
{
    std::FILE* file = open_for_reading(path, error);
    return file != nullptr && read_open_file(file, text, error);
}

bool read_open_file(std::FILE* file, InputText* text, int* error)
{
    PathKind kind;
    std::int64_t file_size;
    if (!stream_status(file, &kind, &file_size, error)) {
        std::fclose(file);
        return false;
    }

    // Room for the whole file and the NUL in one go when it can be sized;
    // a file that grows meanwhile, or a stream, makes the buffer grow.
    std::int64_t capacity = kind == PathKind::regular ? file_size + 1 : STREAM_CHUNK;
    unsigned char* bytes = static_cast<unsigned char*>(must_alloc(static_cast<std::size_t>(capacity)));
    std::int64_t size = 0;
    for (;;) {
        if (size == capacity) {
            capacity *= 2;
            bytes = static_cast<unsigned char*>(must_realloc(bytes, static_cast<std::size_t>(capacity)));
        }
        errno = 0;
        const std::size_t got = std::fread(bytes + size, 1, static_cast<std::size_t>(capacity - size), file);
        size += static_cast<std::int64_t>(got);
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

    if (size == capacity) bytes = static_cast<unsigned char*>(must_realloc(bytes, static_cast<std::size_t>(size) + 1));
    bytes[size] = 0;
    text->bytes = bytes;
    text->size = size;
    return true;
}
