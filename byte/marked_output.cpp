#include "byte/marked_output.h"

#include <cstdint>

#include "byte/mark_expand.h"
#include "engine/copy_slack.h"

namespace {

static_assert(EXPAND_SLACK <= COPY_SLACK);
static_assert(MARKED_BLOCK >= 2 * WRITE_STEP, "a drained block keeps room for more text");

// Writes text[from .. to) with its marks spread in, writing the block out
// (up to the last whole step of the file in it) whenever it is full.
int put_marked(void* context, const unsigned char* text, const std::uint64_t* marks, std::size_t from,
               std::size_t to)
{
    BlockWriter* writer = static_cast<BlockWriter*>(context);
    for (;;) {
        // A byte takes at most two in the output.
        const std::size_t room = (writer->capacity - writer->used) / 2;
        const std::size_t count = to - from < room ? to - from : room;
        if (count > 0) {
            const unsigned char* end = expand_marks(text, marks, from, from + count, writer->bytes + writer->used);
            writer->used = static_cast<std::size_t>(end - writer->bytes);
            from += count;
        }
        if (from == to) return writer->error;
        block_writer_drain(writer);
        if (writer->error != 0) return writer->error;
    }
}

// The same, and then the whole steps the block holds are written at once.
int put_marked_now(void* context, const unsigned char* text, const std::uint64_t* marks, std::size_t from,
                   std::size_t to)
{
    const int error = put_marked(context, text, marks, from, to);
    if (error != 0) return error;
    BlockWriter* writer = static_cast<BlockWriter*>(context);
    block_writer_drain(writer);
    return writer->error;
}

}  // namespace

MarkSink marked_output_sink(BlockWriter* writer, bool write_each_piece)
{
    return MarkSink{write_each_piece ? put_marked_now : put_marked, writer};
}

StreamEnd mark_to_file(const Engine* engine, ByteSource* text, std::FILE* out, int* error,
                       const MarkOptions& options)
{
    BlockWriter writer;
    block_writer_create(&writer, out, MARKED_BLOCK, COPY_SLACK);
    const MarkSink sink = marked_output_sink(&writer, options.threaded);
    return block_writer_finish(&writer, engine_mark(engine, text, &sink, error, options), error);
}
