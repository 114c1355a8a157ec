#pragma once
// The fast pass over a text: runs of letters found with letter masks, short
// words marked through a cache of words seen before, every other run with
// the compiled automaton (fast_marker.h). The text is streamed: read in large
// blocks into one reused buffer and written out in large blocks, so memory
// stays small whatever the size of the text.

#include <cstddef>
#include <cstdio>

#include <cstdint>

#include "breaks/fast_marker.h"
#include "breaks/mark_cache.h"
#include "common/byte_source.h"

// Bytes of text read at a time.
constexpr std::size_t TEXT_CHUNK = std::size_t{1} << 18;

// The smallest block of text: a run that fills a whole block must be longer
// than any walk looks.
constexpr std::size_t CHUNK_MIN = 1024;
static_assert(CHUNK_MIN > static_cast<std::size_t>(WALK_LIMIT));

enum class StreamEnd {
    complete,
    read_failed,   // reading `in` failed
    write_failed,  // writing `out` failed
};

// Reads `in` to its end, or to its first NUL byte, and writes the marked text
// to `out`. On a failure *error holds the system's error number. `chunk`
// (rounded up to a multiple of 64, at least CHUNK_MIN) sets how much text is
// read at a time.
StreamEnd run_text_stream(const FastMarker* marker, ByteSource* in, std::FILE* out, int* error,
                          std::size_t chunk = TEXT_CHUNK);

// Rounds a chunk size the way run_text_stream does: a multiple of 64, at
// least CHUNK_MIN.
std::size_t text_chunk_capacity(std::size_t chunk);

// Where marked text goes: a block of `capacity` bytes (and COPY_SLACK more)
// written to `file` whenever it fills, or, without a file, kept in the block
// (which must then be large enough for all of it: twice the text).
struct BlockWriter {
    std::FILE* file;       // null: the text stays in `bytes`
    unsigned char* bytes;
    std::size_t capacity;
    std::size_t used;
    int error;             // 0 while every write succeeded
    std::uint64_t written;         // bytes written to the file
    std::uint64_t writeback_from;  // of those, the first the disk was not yet asked for
};

// Every this many bytes written, the system is asked to start putting them
// on the disk: left to the end, the whole file would be written out while
// the output is closed and renamed into place, and the run would wait for it.
constexpr std::uint64_t WRITEBACK_BYTES = std::uint64_t{1} << 22;

// Writes out what the block holds (nothing without a file).
void block_writer_flush(BlockWriter* writer);

// The file is written in whole steps of this many bytes, each write ending
// where one ends, until its last write. The system then keeps the new file
// in pages of that size (folios) instead of runs of pages of 4 to 64 KiB,
// which costs it far less for each byte: 0.91 of the CPU time of a large
// text on two processors.
constexpr std::size_t WRITE_STEP = std::size_t{1} << 18;

// Writes out the block's bytes up to the last end of a WRITE_STEP of the
// file among them (nothing if there is none, or without a file) and moves
// the rest to the block's start.
void block_writer_drain(BlockWriter* writer);

// Writes `count` bytes to the writer's file (not through its block), unless
// a write failed before; a failure is kept in `error`.
void block_writer_put(BlockWriter* writer, const unsigned char* bytes, std::size_t count);

// Words of marks kept past those of a block: a long run's marks are added
// a whole word at a time, and the marks are read a word past the last byte.
constexpr std::size_t MARK_WORDS_PAST = RUN_MARK_WORDS + 3;

// The state of the fast pass over one stream of text: the word cache, the
// letter mask of the current block and where marked text goes.
struct TextMarker {
    const FastMarker* marker;
    MarkCache cache;
    WaitingWalks waiting; // words of the block that missed the cache, until they are walked
    BlockWriter writer;
    std::uint64_t* bits;  // letter mask of the block, one word more than needed
    std::uint64_t* marks; // the block's marks (bit i of word k: after byte 64k + i), MARK_WORDS_PAST words more
    bool in_long_run;     // the block starts inside a run whose marked head is written
    // The block's marks are left in `marks`, for whoever writes the block to
    // spread into it (expand_marks); nothing is written.
    bool marks_only;
};

// `chunk` is the largest block text_marker_feed is given (a multiple of 64);
// `out` may be null, the marked text then staying in the writer's block of
// `out_capacity` bytes.
void text_marker_create(TextMarker* pass, const FastMarker* marker, std::size_t chunk, std::FILE* out,
                        std::size_t out_capacity);

// The words of marks a TextMarker keeps for blocks of at most `chunk` bytes.
inline std::size_t text_marker_mark_words(std::size_t chunk)
{
    return chunk / 64 + MARK_WORDS_PAST;
}
void text_marker_destroy(TextMarker* pass);

// Marks and writes text[0 .. count) (followed by COPY_SLACK zero bytes in the
// buffer) up to the start of a run that may go on in the next block, unless
// `final`. Returns the number of bytes written out. A run that reaches the
// end of a `final` block is taken as whole: that is right when it ends
// there, or when WALK_LIMIT of its letters or more are in the block.
std::size_t text_marker_feed(TextMarker* pass, const unsigned char* text, std::size_t count, bool final);
