#include "common/byte_source.h"

#include <cerrno>
#include <cstring>

#include "common/saved_errno.h"

ByteSource byte_source_from_file(std::FILE* file)
{
    return ByteSource{file, nullptr, 0, 0, 0};
}

ByteSource byte_source_from_memory(const unsigned char* bytes, std::size_t size)
{
    return ByteSource{nullptr, bytes, size, 0, 0};
}

std::size_t byte_source_read(ByteSource* source, unsigned char* into, std::size_t count)
{
    if (source->file == nullptr) {
        const std::size_t left = source->size - source->position;
        const std::size_t taken = count < left ? count : left;
        if (taken != 0) std::memcpy(into, source->bytes + source->position, taken);
        source->position += taken;
        return taken;
    }
    errno = 0;
    const std::size_t got = std::fread(into, 1, count, source->file);
    if (got < count && std::ferror(source->file)) source->error = saved_errno(EIO);
    return got;
}
