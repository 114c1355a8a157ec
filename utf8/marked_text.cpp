#include "utf8/marked_text.h"

#include <bit>
#include <cerrno>

#include "engine/copy_slack.h"
#include <cstring>

namespace {

// Room in the writer's block for `count` more bytes, written out when
// needed; false after a failed write.
bool make_room(BlockWriter* writer, std::size_t count)
{
    if (writer->capacity - writer->used >= count) return true;
    if (writer->file == nullptr) return false;
    block_writer_drain(writer);
    if (writer->capacity - writer->used < count) block_writer_flush(writer);
    return writer->error == 0 && writer->capacity - writer->used >= count;
}

// Copies the next `count` bytes of the text to the output.
bool put_text(Utf8Output* output, std::size_t count)
{
    BlockWriter* writer = output->writer;
    while (count > 0) {
        if (!make_room(writer, 1)) return false;
        const std::size_t room = writer->capacity - writer->used;
        const std::size_t part = count < room ? count : room;
        text_queue_take(&output->reader->text, part, writer->bytes + writer->used);
        writer->used += part;
        count -= part;
    }
    return true;
}

bool put_mark(Utf8Output* output)
{
    BlockWriter* writer = output->writer;
    if (!make_room(writer, output->mark.size())) return false;
    std::memcpy(writer->bytes + writer->used, output->mark.data(), output->mark.size());
    writer->used += output->mark.size();
    return true;
}

bool marked(const std::uint64_t* marks, std::size_t at)
{
    return (marks[at / 64] >> (at % 64) & 1) != 0;
}

// The text where it stands at the same places as its form, form[from ..
// to), with a mark after each marked byte.
bool put_in_step(Utf8Output* output, const std::uint64_t* marks, std::size_t from, std::size_t to)
{
    if (from == to) return true;
    std::size_t count = 0;
    for (std::size_t word = from / 64; 64 * word < to; ++word) {
        std::uint64_t bits = marks[word];
        if (64 * word < from) bits &= ~std::uint64_t{0} << (from % 64);
        if (to - 64 * word < 64) bits &= (std::uint64_t{1} << (to - 64 * word)) - 1;
        count += static_cast<std::size_t>(std::popcount(bits));
    }
    const std::size_t mark_length = output->mark.size();
    BlockWriter* writer = output->writer;
    if (!make_room(writer, to - from + count * mark_length)) {
        // More than the block holds at once: a mark at a time.
        std::size_t done = from;
        for (std::size_t at = from; at < to; ++at) {
            if (!marked(marks, at)) continue;
            if (!put_text(output, at + 1 - done) || !put_mark(output)) return false;
            done = at + 1;
        }
        return put_text(output, to - done);
    }
    TextQueue* text = &output->reader->text;
    const unsigned char* source = text->bytes + text->head;
    unsigned char* target = writer->bytes + writer->used;
    const char* mark = output->mark.data();
    // Short copies move 32 bytes whatever they need, into the slack of the
    // queue and of the block.
    static_assert(QUEUE_SLACK >= 32 && COPY_SLACK >= 32);
    const bool short_mark = mark_length <= 8;
    char mark_word[8] = {};
    if (short_mark) std::memcpy(mark_word, mark, mark_length);
    std::size_t done = from;
    for (std::size_t word = from / 64; 64 * word < to; ++word) {
        std::uint64_t bits = marks[word];
        if (64 * word < from) bits &= ~std::uint64_t{0} << (from % 64);
        if (to - 64 * word < 64) bits &= (std::uint64_t{1} << (to - 64 * word)) - 1;
        while (bits != 0) {
            const std::size_t at = 64 * word + static_cast<std::size_t>(std::countr_zero(bits));
            bits &= bits - 1;
            const std::size_t n = at + 1 - done;
            if (n <= 32) {
                std::memcpy(target, source, 16);
                std::memcpy(target + 16, source + 16, 16);
            } else {
                std::memcpy(target, source, n);
            }
            target += n;
            source += n;
            if (short_mark) {
                std::memcpy(target, mark_word, 8);
            } else {
                std::memcpy(target, mark, mark_length);
            }
            target += mark_length;
            done = at + 1;
        }
    }
    std::memcpy(target, source, to - done);
    target += to - done;
    text->head += to - from;
    writer->used = static_cast<std::size_t>(target - writer->bytes);
    return true;
}

int put_utf8(void* context, const unsigned char*, const std::uint64_t* marks, std::size_t from, std::size_t to)
{
    Utf8Output* output = static_cast<Utf8Output*>(context);
    std::deque<Irregular>& irregular = output->reader->irregular;
    const std::uint64_t base = output->handed - from;  // the place of form[0] in the whole form
    std::size_t at = from;
    bool ok = true;
    while (ok && at < to) {
        std::size_t stop = to;
        if (!irregular.empty() && irregular.front().at < base + to) {
            stop = irregular.front().at > base + at ? static_cast<std::size_t>(irregular.front().at - base) : at;
        }
        ok = put_in_step(output, marks, at, stop);
        at = stop;
        if (!ok || at == to) break;
        // A stretch whose form has another length: its text goes out with its
        // last byte of form, and a mark after that byte goes after its text;
        // none goes inside it. A block may end inside the stretch.
        const Irregular stretch = irregular.front();
        const std::uint64_t stretch_end = stretch.at + stretch.form_length;
        if (stretch_end > base + to) {
            at = to;
            break;
        }
        irregular.pop_front();
        at = static_cast<std::size_t>(stretch_end - base);
        ok = put_text(output, stretch.text_length);
        if (ok && marked(marks, at - 1)) ok = put_mark(output);
    }
    output->handed = base + to;
    return ok ? 0 : (output->writer->error != 0 ? output->writer->error : ENOSPC);
}

}  // namespace

MarkSink utf8_output_sink(Utf8Output* output)
{
    return MarkSink{put_utf8, output};
}
