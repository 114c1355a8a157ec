#include "files/block_writer.h"

#include <cerrno>
#include <cstring>

#include "platform/file_system.h"
#include "platform/memory.h"
#include "platform/saved_errno.h"

void block_writer_put(BlockWriter* writer, const unsigned char* bytes, std::size_t count)
{
    if (writer->error != 0 || count == 0) return;
    errno = 0;
    if (std::fwrite(bytes, 1, count, writer->file) != count) {
        writer->error = saved_errno(EIO);
        return;
    }
    writer->written += count;
    if (writer->written - writer->writeback_from >= WRITEBACK_BYTES) {
        start_writeback(writer->file, static_cast<std::int64_t>(writer->writeback_from),
                        static_cast<std::int64_t>(writer->written - writer->writeback_from));
        writer->writeback_from = writer->written;
    }
}

void block_writer_drain(BlockWriter* writer)
{
    const std::uint64_t end = (writer->written + writer->used) / WRITE_STEP * WRITE_STEP;
    if (end <= writer->written) return;
    const std::size_t count = static_cast<std::size_t>(end - writer->written);
    block_writer_put(writer, writer->bytes, count);
    std::memmove(writer->bytes, writer->bytes + count, writer->used - count);
    writer->used -= count;
}

void block_writer_flush(BlockWriter* writer)
{
    block_writer_put(writer, writer->bytes, writer->used);
    writer->used = 0;
}

void block_writer_create(BlockWriter* writer, std::FILE* file, std::size_t capacity, std::size_t slack)
{
    *writer = BlockWriter{file, static_cast<unsigned char*>(must_alloc(capacity + slack)), capacity, 0, 0, 0, 0};
}

void block_writer_destroy(BlockWriter* writer)
{
    mem_release(writer->bytes);
    writer->bytes = nullptr;
}

StreamEnd block_writer_finish(BlockWriter* writer, StreamEnd end, int* error)
{
    if (end == StreamEnd::complete) {
        block_writer_flush(writer);
        if (writer->error != 0) {
            *error = writer->error;
            end = StreamEnd::write_failed;
        }
    }
    block_writer_destroy(writer);
    return end;
}
