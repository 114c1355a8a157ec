#pragma once
// The fast pass over a text: runs of letters found with letter masks, short
// words marked through a cache of words seen before, every other run with
// the compiled automaton (fast_marker.h). The text is streamed: read in large
// blocks into one reused buffer and written out in large blocks, so memory
// stays small whatever the size of the text.

#include <cstddef>
#include <cstdio>

#include "breaks/fast_marker.h"
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
