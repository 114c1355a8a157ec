#include "engine/byte_source.h"

#include <cstring>

ByteSource byte_source_from_memory(const unsigned char* bytes, std::size_t size)
{
    return ByteSource{nullptr, nullptr, bytes, size, 0, 0, false, -1};
}

std::size_t byte_source_read(ByteSource* source, unsigned char* into, std::size_t count)
{
    std::size_t got = 0;
    if (source->read != nullptr) {
        got = source->read(source->context, into, count, &source->error);
    } else {
        const std::size_t left = source->size - source->position;
        got = count < left ? count : left;
        if (got != 0) std::memcpy(into, source->bytes + source->position, got);
    }
    if (source->find_nul && source->nul_at < 0) {
        const void* nul = std::memchr(into, 0, got);
        if (nul != nullptr) {
            source->nul_at = static_cast<std::int64_t>(source->position) + (static_cast<const unsigned char*>(nul) - into);
        }
    }
    source->position += got;
    return got;
}
