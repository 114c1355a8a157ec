#include "breaks/stream_pass.h"

#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "breaks/break_rule.h"
#include "breaks/copy_slack.h"
#include "breaks/letter_mask.h"
#include "breaks/mark_cache.h"
#include "common/file_system.h"
#include "common/memory.h"
#include "common/saved_errno.h"

// Kept out of line: long runs are rare, and the loop over words stays small.
#if defined(_MSC_VER)
#define ZARNET_NOINLINE __declspec(noinline)
#elif defined(__GNUC__)
#define ZARNET_NOINLINE __attribute__((noinline))
#else
#define ZARNET_NOINLINE
#endif

namespace {

constexpr std::size_t OUT_BLOCK = std::size_t{1} << 20;

}  // namespace

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

void block_writer_flush(BlockWriter* writer)
{
    // Text kept in memory stays where it is.
    if (writer->file == nullptr) return;
    block_writer_put(writer, writer->bytes, writer->used);
    writer->used = 0;
}

namespace {

void flush(BlockWriter* writer)
{
    block_writer_flush(writer);
}

// Appends `count` bytes; the SHORT_COPY bytes from `bytes` on must be
// readable even when `count` is smaller.
void append(BlockWriter* writer, const unsigned char* bytes, std::size_t count)
{
    if (count <= SHORT_COPY && writer->capacity - writer->used >= count) {
        std::memcpy(writer->bytes + writer->used, bytes, SHORT_COPY);
        writer->used += count;
        return;
    }
    if (writer->capacity - writer->used < count) {
        flush(writer);
        if (count >= writer->capacity) {
            block_writer_put(writer, bytes, count);
            return;
        }
    }
    std::memcpy(writer->bytes + writer->used, bytes, count);
    writer->used += count;
}

// Position of the first byte at or after `pos` that is not a letter; `pos`
// is in word k of the mask, which is `current`.
std::size_t run_end(const std::uint64_t* bits, std::size_t k, std::uint64_t current, std::size_t pos)
{
    std::uint64_t word = ~current & (~std::uint64_t{0} << (pos % 64));
    while (word == 0) word = ~bits[++k];
    return 64 * k + static_cast<unsigned>(std::countr_zero(word));
}

// Writes a run longer than CACHED_RUN_MAX letters with its marks, after the
// bytes from `pending` on; returns where the bytes not yet written start.
ZARNET_NOINLINE const unsigned char* write_long_run(TextMarker* pass, const unsigned char* run, std::size_t length,
                                                      const unsigned char* pending)
{
    append(&pass->writer, pending, static_cast<std::size_t>(run - pending));
    // Room for the marked head and for a short copy out of it.
    unsigned char head[2 * MARKED_LETTERS_MAX + SHORT_COPY];
    const unsigned char* end = write_marked_head(pass->marker, run, static_cast<std::int64_t>(length), head);
    append(&pass->writer, head, static_cast<std::size_t>(end - head));
    return run + (length < MARKED_LETTERS_MAX ? length : MARKED_LETTERS_MAX);
}

// Where the loop over words writes, held in registers rather than in the
// writer: the writer's fields would be read again after every copy, since a
// copy of bytes may change any object as far as the compiler knows.
struct OutCursor {
    unsigned char* at;
    unsigned char* end;  // the end of the writer's block, before its slack
};

OutCursor cursor_of(BlockWriter* writer)
{
    return {writer->bytes + writer->used, writer->bytes + writer->capacity};
}

void cursor_store(const OutCursor* out, BlockWriter* writer)
{
    writer->used = static_cast<std::size_t>(out->at - writer->bytes);
}

// write_long_run, from the loop over words.
inline const unsigned char* write_long_run_from(TextMarker* pass, OutCursor* out, const unsigned char* run,
                                                std::size_t length, const unsigned char* pending)
{
    cursor_store(out, &pass->writer);
    pending = write_long_run(pass, run, length, pending);
    *out = cursor_of(&pass->writer);
    return pending;
}

// Copies the text from `pending` to `run` and then `copy` bytes of a marked
// form, of which `marked_length` count, through `out`. The text has slack
// enough for copies of SHORT_COPY bytes.
template <std::size_t copy>
inline void put_marked(TextMarker* pass, OutCursor* out, const unsigned char* pending, const unsigned char* run,
                       const unsigned char* marked, std::size_t marked_length)
{
    const std::size_t gap = static_cast<std::size_t>(run - pending);
    if (gap <= SHORT_COPY && static_cast<std::size_t>(out->end - out->at) >= SHORT_COPY + copy) {
        std::memcpy(out->at, pending, SHORT_COPY);
        out->at += gap;
    } else {
        BlockWriter* writer = &pass->writer;
        cursor_store(out, writer);
        append(writer, pending, gap);
        if (writer->capacity - writer->used < copy) flush(writer);
        *out = cursor_of(writer);
    }
    std::memcpy(out->at, marked, copy);
    out->at += marked_length;
}

// Writes a run of 4 .. CACHED_RUN_MAX letters the same way, through `out`,
// and returns where the bytes not yet written start.
inline const unsigned char* write_short_run(TextMarker* pass, const MarkCache* cache, OutCursor* out,
                                            const unsigned char* run, std::size_t length,
                                            const unsigned char* pending)
{
    if (length <= SHORT_RUN_MAX) {
        const ShortSlot* slot = mark_cache_find_short(cache, run, static_cast<std::int64_t>(length));
        put_marked<SHORT_MARKED_COPY>(pass, out, pending, run, slot->marked, slot->marked_length);
        return run + length;
    }
    const MarkCacheSlot* slot = mark_cache_find(cache, run, static_cast<std::int64_t>(length));
    if (slot == nullptr) return write_long_run_from(pass, out, run, length, pending);
    put_marked<MARKED_COPY>(pass, out, pending, run, slot->marked, slot->marked_length);
    return run + length;
}

}  // namespace

std::size_t text_marker_feed(TextMarker* pass, const unsigned char* text, std::size_t count, bool final)
{
    // A text that fits in one block gets a cache of its size.
    if (pass->cache.slots == nullptr) {
        mark_cache_create(&pass->cache, pass->marker, final ? mark_cache_set_bits_for(count) : MARK_CACHE_SET_BITS);
    }
    const bool* letter = pass->marker->letter;
    std::size_t start = 0;
    if (pass->in_long_run) {
        // Letters past the marked head of a long run are copied as they are.
        while (start < count && letter[text[start]]) ++start;
        append(&pass->writer, text, start);
        pass->in_long_run = start == count;
        if (start == count) return count;
    }

    const std::size_t words = (count + 63) / 64;
    letter_mask_build(letter, text, 64 * words, pass->bits);
    pass->bits[words] = 0;
    const std::uint64_t* bits = pass->bits;

    // Without `final`, stop before the run that touches the end of the block.
    std::size_t limit = count;
    if (!final && count > 0 && letter[text[count - 1]]) {
        std::size_t last = count;
        while (last > start && letter[text[last - 1]]) --last;
        if (last == start) {
            // The whole rest of the block is one run: it is longer than any
            // walk can see, so its head can be marked now.
            const unsigned char* pending = write_long_run(pass, text + start, count - start, text + start);
            append(&pass->writer, pending, static_cast<std::size_t>(text + count - pending));
            pass->in_long_run = true;
            return count;
        }
        limit = last;
    }

    const unsigned char* pending = text + start;
    // The cache's fields stay the same through the loop.
    const MarkCache cache = pass->cache;
    OutCursor out = cursor_of(&pass->writer);
    for (std::size_t k = start / 64; 64 * k < limit; ++k) {
        const std::uint64_t current = bits[k];
        const std::uint64_t following = bits[k + 1];
        const std::uint64_t before = k == 0 ? 0 : bits[k - 1] >> 63;
        std::uint64_t starts = current & ~((current << 1) | before);
        // Only runs of four letters or more can get a mark.
        starts &= (current >> 1 | following << 63) & (current >> 2 | following << 62) &
                  (current >> 3 | following << 61);
        if (k == start / 64) starts &= ~std::uint64_t{0} << (start % 64);
        if (limit - 64 * k < 64) starts &= (std::uint64_t{1} << (limit - 64 * k)) - 1;
        while (starts != 0) {
            const std::size_t pos = 64 * k + static_cast<unsigned>(std::countr_zero(starts));
            starts &= starts - 1;
            const std::size_t length = run_end(bits, k, current, pos) - pos;
            if (length <= CACHED_RUN_MAX) {
                pending = write_short_run(pass, &cache, &out, text + pos, length, pending);
            } else {
                pending = write_long_run_from(pass, &out, text + pos, length, pending);
            }
        }
    }
    cursor_store(&out, &pass->writer);
    append(&pass->writer, pending, static_cast<std::size_t>(text + limit - pending));
    return limit;
}

void text_marker_create(TextMarker* pass, const FastMarker* marker, std::size_t chunk, std::FILE* out,
                        std::size_t out_capacity)
{
    pass->marker = marker;
    // The word cache is made with the first block, sized for the text.
    pass->cache.marker = marker;
    pass->cache.slots = nullptr;
    pass->cache.short_slots = nullptr;
    pass->cache.set_bits = 0;
    pass->writer = BlockWriter{out, static_cast<unsigned char*>(must_alloc(out_capacity + COPY_SLACK)), out_capacity,
                               0, 0, 0, 0};
    pass->bits = static_cast<std::uint64_t*>(must_alloc((chunk / 64 + 2) * sizeof(std::uint64_t)));
    pass->in_long_run = false;
}

void text_marker_destroy(TextMarker* pass)
{
    mark_cache_destroy(&pass->cache);
    mem_release(pass->bits);
    mem_release(pass->writer.bytes);
    pass->bits = nullptr;
    pass->writer.bytes = nullptr;
}

std::size_t text_chunk_capacity(std::size_t chunk)
{
    return chunk < CHUNK_MIN ? CHUNK_MIN : (chunk + 63) / 64 * 64;
}

StreamEnd run_text_stream(const FastMarker* marker, ByteSource* in, std::FILE* out, int* error,
                          std::size_t chunk)
{
    const std::size_t capacity = text_chunk_capacity(chunk);
    unsigned char* buffer = static_cast<unsigned char*>(must_alloc(capacity + COPY_SLACK));
    TextMarker pass;
    text_marker_create(&pass, marker, capacity, out, OUT_BLOCK);

    int read_error = 0;
    std::size_t filled = 0;
    for (bool final = false; !final;) {
        const std::size_t got = byte_source_read(in, buffer + filled, capacity - filled);
        if (got < capacity - filled) {
            read_error = in->error;
            final = true;
        }
        // The text ends at its first NUL byte.
        const void* nul = std::memchr(buffer + filled, 0, got);
        filled += got;
        if (nul != nullptr) {
            filled = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - buffer);
            final = true;
        }
        if (read_error != 0) break;
        std::memset(buffer + filled, 0, COPY_SLACK);
        const std::size_t done = text_marker_feed(&pass, buffer, filled, final);
        std::memmove(buffer, buffer + done, filled - done);
        filled -= done;
        if (pass.writer.error != 0) break;
    }
    flush(&pass.writer);

    const int write_error = pass.writer.error;
    text_marker_destroy(&pass);
    mem_release(buffer);
    if (read_error != 0) {
        *error = read_error;
        return StreamEnd::read_failed;
    }
    if (write_error != 0) {
        *error = write_error;
        return StreamEnd::write_failed;
    }
    return StreamEnd::complete;
}
