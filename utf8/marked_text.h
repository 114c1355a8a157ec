#pragma once
// zarnet-utf8's output: the text as it was written, with the mark (a soft
// hyphen, or the user's string) after every letter the engine marked in its
// matching form, written through a BlockWriter.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/mark_sink.h"
#include "files/block_writer.h"
#include "utf8/text_reader.h"

struct Utf8Output {
    BlockWriter* writer;
    Utf8Reader* reader;   // holds the text's own bytes, and where its form is irregular
    std::string mark;
    std::uint64_t handed; // bytes of the matching form handed on so far
    // When set, nothing is written: the places of the marks in the text
    // (the offsets of the bytes they would follow, plus one) are put here.
    std::vector<std::uint64_t>* breaks;
    std::uint64_t text_at;  // bytes of the text passed so far, for `breaks`
    // Taken from the reader, which may be reading on another thread while
    // the output writes: the patches not yet written, and what the narrow
    // bytes before `next_byte` stand for.
    PatchQueue patches;
    NarrowText narrow_text;
    unsigned next_byte;
};

// An output of the text `reader` (made already) reads into `writer`, or,
// with `breaks` set, of the places of its marks only.
void utf8_output_create(Utf8Output* output, BlockWriter* writer, Utf8Reader* reader, const std::string& mark,
                        std::vector<std::uint64_t>* breaks);
void utf8_output_destroy(Utf8Output* output);

// A sink writing the text of `output->reader` with `output->mark` put in.
MarkSink utf8_output_sink(Utf8Output* output);
