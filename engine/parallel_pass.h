#pragma once
// The fast pass on several threads. The text is read in pieces that end
// where a run of letters ends (or deep inside a run too long for any mark
// to depend on what follows), so every piece is marked on its own, by
// whichever thread takes it, exactly as the single-threaded pass marks it;
// the marked pieces are written in their order. Memory stays bounded: a
// ring of pieces and their marks; the threads share one word cache and one
// compiled matcher.

#include <cstddef>

#include "engine/fast_marker.h"
#include "engine/stream_pass.h"
#include "engine/byte_source.h"

// Bytes of text in a piece.
constexpr std::size_t PIECE_BYTES = std::size_t{1} << 17;

// Text marked on the calling thread before any thread is started: a small
// text is done before threads would pay off.
constexpr std::size_t ALONE_BYTES = std::size_t{1} << 19;

// The fewest processors on which the text is marked on several threads: a
// large text is marked on every processor, since its wall time is what the
// user waits for, although two busy threads spend more processor time in
// all than one would (the pieces' text passes between the processors'
// caches).
constexpr unsigned THREADS_FROM = 2;

// Pieces in the ring for each thread: room to read ahead and to go on
// marking while one thread is held up.
constexpr std::size_t PIECES_PER_THREAD = 4;

struct ParallelOptions {
    unsigned workers;         // threads started besides the calling one; 0: it marks every piece alone
    std::size_t piece;        // bytes per piece (text_chunk_capacity rounds it)
    std::size_t alone_bytes;  // text marked on the calling thread before the workers start
};

// Reads `in` to its end, or to its first NUL byte, and hands the text with
// its marks to `out`, piece by piece in the order of the text. On a failure
// *error holds the error number; nothing after the failure is handed on.
StreamEnd run_text_parallel(const FastMarker* marker, ByteSource* in, const MarkSink* out, int* error,
                            const ParallelOptions& options);
