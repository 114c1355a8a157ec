#include "driver/input_file.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "common/memory.h"

#ifdef _WIN32
#define ZARNET_FSTAT _fstat64
#define ZARNET_FILENO _fileno
using StatRecord = struct _stat64;
#else
#define ZARNET_FSTAT fstat
#define ZARNET_FILENO fileno
using StatRecord = struct stat;
#endif

namespace {

constexpr std::int64_t STREAM_CHUNK = 64 * 1024;

int saved_errno(int fallback)
{
    return errno != 0 ? errno : fallback;
}

}  // namespace

std::FILE* open_input_file(const char* path, int* error)
{
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *error = saved_errno(ENOENT);
        return nullptr;
    }
    StatRecord info;
    const bool sized = ZARNET_FSTAT(ZARNET_FILENO(file), &info) == 0;
    if (!sized || (info.st_mode & S_IFMT) == S_IFDIR) {
        *error = sized ? EISDIR : saved_errno(EIO);
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool read_input_file(const char* path, InputText* text, int* error)
{
    std::FILE* file = open_input_file(path, error);
    return file != nullptr && read_open_file(file, text, error);
}

bool read_open_file(std::FILE* file, InputText* text, int* error)
{
    StatRecord info;
    if (ZARNET_FSTAT(ZARNET_FILENO(file), &info) != 0) {
        *error = saved_errno(EIO);
        std::fclose(file);
        return false;
    }

    // Room for the whole file and the NUL in one go when it can be sized;
    // a file that grows meanwhile, or a stream, makes the buffer grow.
    const bool regular = (info.st_mode & S_IFMT) == S_IFREG;
    std::int64_t capacity = regular ? static_cast<std::int64_t>(info.st_size) + 1 : STREAM_CHUNK;
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
