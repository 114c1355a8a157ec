#include "driver/text_source.h"

#include <cerrno>
#include <cstring>

TextSource text_source_from_file(std::FILE* file)
{
    return TextSource{file, nullptr, 0, 0, 0};
}

TextSource text_source_from_memory(const unsigned char* bytes, std::size_t size)
{
    return TextSource{nullptr, bytes, size, 0, 0};
}

std::size_t text_source_read(TextSource* source, unsigned char* into, std::size_t count)
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
    if (got < count && std::ferror(source->file)) source->error = errno != 0 ? errno : EIO;
    return got;
}
