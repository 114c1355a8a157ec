#pragma once
// Output written in large blocks, each write ending on a whole step of the
// file, with the disk asked to start on what is written as it comes.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/stream_pass.h"

// Where marked text goes: a block of `capacity` bytes (and COPY_SLACK more)
// written to `file` whenever it fills.
struct BlockWriter {
    std::FILE* file;
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

// Writes out what the block holds.
void block_writer_flush(BlockWriter* writer);

// The file is written in whole steps of this many bytes, each write ending
// where one ends, until its last write. The system then keeps the new file
// in pages of that size (folios) instead of runs of pages of 4 to 64 KiB,
// which costs it far less for each byte.
constexpr std::size_t WRITE_STEP = std::size_t{1} << 18;

// Writes out the block's bytes up to the last end of a WRITE_STEP of the
// file among them (nothing if there is none) and moves the rest to the
// block's start.
void block_writer_drain(BlockWriter* writer);

// Writes `count` bytes to the writer's file (not through its block), unless
// a write failed before; a failure is kept in `error`.
void block_writer_put(BlockWriter* writer, const unsigned char* bytes, std::size_t count);


// A writer to `file` with a block of `capacity` bytes and `slack` more that
// fixed-size copies may touch.
void block_writer_create(BlockWriter* writer, std::FILE* file, std::size_t capacity, std::size_t slack);
void block_writer_destroy(BlockWriter* writer);

// Ends a pass that wrote through `writer`, which ended as `end`: a complete
// text has the rest of the block written out, and a write that failed makes
// it write_failed, with the error in *error. The block is given back.
StreamEnd block_writer_finish(BlockWriter* writer, StreamEnd end, int* error);
