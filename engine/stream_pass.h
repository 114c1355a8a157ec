#pragma once
// The fast pass over a text: runs of letters found with letter masks, short
// words marked through a cache of words seen before, every other run with
// the compiled automaton (fast_marker.h). The text is streamed: read in large
// blocks into one reused buffer and written out in large blocks, so memory
// stays small whatever the size of the text.

#include <cstddef>
#include <cstdint>

#include "engine/fast_marker.h"
#include "engine/word_cache.h"
#include "engine/byte_source.h"
#include "engine/mark_sink.h"

// Bytes of text read at a time.
constexpr std::size_t TEXT_CHUNK = std::size_t{1} << 18;

// The smallest block of text: a run that fills a whole block must be longer
// than any walk looks.
constexpr std::size_t CHUNK_MIN = 1024;
static_assert(CHUNK_MIN > static_cast<std::size_t>(WALK_LIMIT));

enum class StreamEnd {
    complete,
    read_failed,   // reading `in` failed
    write_failed,  // the sink failed
};

// Reads `in` to its end, or to its first NUL byte, and hands the text with
// its marks to `out`. On a failure *error holds the error number. `chunk`
// (rounded up to a multiple of 64, at least CHUNK_MIN) sets how much text is
// read at a time.
StreamEnd run_text_stream(const FastMarker* marker, ByteSource* in, const MarkSink* out, int* error,
                          std::size_t chunk = TEXT_CHUNK);

// Rounds a chunk size the way run_text_stream does: a multiple of 64, at
// least CHUNK_MIN.
std::size_t text_chunk_capacity(std::size_t chunk);

// Words of marks kept past those of a block: a long run's marks are added
// a whole word at a time, and the marks are read a word past the last byte.
constexpr std::size_t MARK_WORDS_PAST = RUN_MARK_WORDS + 3;

// The state of the fast pass over one stream of text: the word cache, the
// letter mask of the current block and its marks.
struct TextMarker {
    const FastMarker* marker;
    WordCache own_words;  // the pass's own word cache, unless its cache uses another's (made with the first block)
    MarkCache cache;      // the word cache it uses
    WaitingWalks waiting; // words of the block that missed the cache, until they are walked
    std::uint64_t* bits;  // letter mask of the block, one word more than needed
    std::uint64_t* marks; // the block's marks (bit i of word k: after byte 64k + i), MARK_WORDS_PAST words more
    bool in_long_run;     // the block starts inside a run whose head is marked
};

// `chunk` is the largest block text_marker_feed is given (a multiple of 64).
void text_marker_create(TextMarker* pass, const FastMarker* marker, std::size_t chunk);

// The words of marks a TextMarker keeps for blocks of at most `chunk` bytes.
inline std::size_t text_marker_mark_words(std::size_t chunk)
{
    return chunk / 64 + MARK_WORDS_PAST;
}
void text_marker_destroy(TextMarker* pass);

// Finds the marks of text[0 .. count) (followed by COPY_SLACK zero bytes in
// the buffer) up to the start of a run that may go on in the next block,
// unless `final`, and leaves them in pass->marks. Returns the number of
// bytes marked. A run that reaches the
// end of a `final` block is taken as whole: that is right when it ends
// there, or when WALK_LIMIT of its letters or more are in the block.
std::size_t text_marker_feed(TextMarker* pass, const unsigned char* text, std::size_t count, bool final);
