#pragma once
// Output written in large blocks, each write ending on a whole step of the
// file, with the disk asked to start on what is written as it comes.

#include <cstddef>
#include <cstdint>
#include <cstdio>

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
// which costs it far less for each byte.
constexpr std::size_t WRITE_STEP = std::size_t{1} << 18;

// Writes out the block's bytes up to the last end of a WRITE_STEP of the
// file among them (nothing if there is none, or without a file) and moves
// the rest to the block's start.
void block_writer_drain(BlockWriter* writer);

// Writes `count` bytes to the writer's file (not through its block), unless
// a write failed before; a failure is kept in `error`.
void block_writer_put(BlockWriter* writer, const unsigned char* bytes, std::size_t count);


// A writer to `file` (null: the bytes stay in the block) with a block of
// `capacity` bytes and `slack` more that fixed-size copies may touch.
void block_writer_create(BlockWriter* writer, std::FILE* file, std::size_t capacity, std::size_t slack);
void block_writer_destroy(BlockWriter* writer);
