#include "engine/byte_source.h"

#include <cstring>

ByteSource byte_source_from_memory(const unsigned char* bytes, std::size_t size)
{
    return ByteSource{nullptr, nullptr, bytes, size, 0, 0};
}

std::size_t byte_source_read(ByteSource* source, unsigned char* into, std::size_t count)
{
    if (source->read != nullptr) return source->read(source->context, into, count, &source->error);
    const std::size_t left = source->size - source->position;
    const std::size_t taken = count < left ? count : left;
    if (taken != 0) std::memcpy(into, source->bytes + source->position, taken);
    source->position += taken;
    return taken;
}
