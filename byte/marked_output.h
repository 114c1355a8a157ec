#pragma once
// zarnet's output: the text with HYPHEN_MARK after every marked byte,
// written through a BlockWriter, as the sink of the engine's passes.

#include <cstddef>

#include <cstdio>

#include "engine/engine.h"
#include "engine/mark_sink.h"
#include "files/block_writer.h"

// The block a marked text is written through.
constexpr std::size_t MARKED_BLOCK = std::size_t{1} << 20;

// A sink writing into `writer`, whose block must have room for twice the
// text of a piece (and its slack, COPY_SLACK bytes). The block is written
// out when it is full, or, with `write_each_piece`, as soon as it holds a
// whole step of the file: the threaded pass hands on many small pieces, and
// the disk then gets the text as it comes.
MarkSink marked_output_sink(BlockWriter* writer, bool write_each_piece);

// Marks the text from `text` with `engine` into `out`, through this sink and
// a block writer, and writes out the rest at the end. On a failure *error
// holds the error number.
StreamEnd mark_to_file(const Engine* engine, ByteSource* text, std::FILE* out, int* error,
                       const MarkOptions& options);
