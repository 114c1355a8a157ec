#include "files/file_source.h"

#include <cerrno>

#include "platform/saved_errno.h"

namespace {

std::size_t read_file(void* context, unsigned char* into, std::size_t count, int* error)
{
    std::FILE* file = static_cast<std::FILE*>(context);
    errno = 0;
    const std::size_t got = std::fread(into, 1, count, file);
    if (got < count && std::ferror(file)) *error = saved_errno(EIO);
    return got;
}

}  // namespace

ByteSource byte_source_from_file(std::FILE* file)
{
    return ByteSource{read_file, file, nullptr, 0, 0, 0, false, -1};
}
