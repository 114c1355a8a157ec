#pragma once
// The pass over the text with the compiled automaton. The text is streamed:
// read in large blocks into one reused buffer and written out in large
// blocks, so memory stays small whatever the size of the text.

#include <cstddef>
#include <cstdio>

#include "breaks/fast_marker.h"
#include "driver/text_source.h"

// Bytes of text read at a time.
constexpr std::size_t TEXT_CHUNK = std::size_t{1} << 18;

// Reads `in` to its end, or to its first NUL byte, and writes the marked text
// to `out`. Returns false when a read or a write fails; then *error holds the
// system's error number and *input_failed tells which side failed.
// `chunk` (rounded up to a multiple of 64, at least 1024) sets how much text
// is read at a time.
bool run_text_stream(const FastMarker* marker, TextSource* in, std::FILE* out, int* error, bool* input_failed,
                     std::size_t chunk = TEXT_CHUNK);
