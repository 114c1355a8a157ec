#include "byte/marked_output.h"

#include <cstdint>

#include "byte/mark_expand.h"
#include "engine/copy_slack.h"

namespace {

static_assert(EXPAND_SLACK <= COPY_SLACK);
static_assert(MARKED_BLOCK >= 2 * WRITE_STEP, "a drained block keeps room for more text");

// Writes text[from .. to) with its marks spread in, and the block out up to
// the last whole step of the file in it.
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
        if (writer->file == nullptr) return 0;
        block_writer_drain(writer);
        if (from == to || writer->error != 0) return writer->error;
    }
}

}  // namespace

MarkSink marked_output_sink(BlockWriter* writer)
{
    return MarkSink{put_marked, writer};
}
