#pragma once
// The engine as a whole: a pattern set made ready for a text's letters, and
// the passes that find the marks of a text with it. It reads bytes from a
// ByteSource and hands marks to a MarkSink; it knows no files, and what a
// letter is comes from the caller's LetterTable.

#include <cstddef>
#include <cstdint>

#include "engine/automaton.h"
#include "engine/automaton_image.h"
#include "engine/break_rule.h"
#include "engine/byte_source.h"
#include "engine/compiled_automaton.h"
#include "engine/fast_marker.h"
#include "engine/letter_table.h"
#include "engine/mark_sink.h"
#include "engine/stream_pass.h"

struct Engine {
    PatternAutomaton* automaton;  // the patterns as loaded, or null
    bool owns_automaton;
    AutomatonImage* image;        // or the image they were read from, or null
    CompiledAutomaton* compiled;  // the matcher, whose rows are made as texts need them
    FastMarker marker;            // the matcher with the text's letters
};

// Loads the patterns from the bytes of a pattern file and makes them ready
// for `letters`. False when reading fails, with the error number in *error;
// nothing is then left to destroy.
bool engine_load(Engine* engine, ByteSource* patterns, const LetterTable* letters, int* error);

// Makes an automaton already loaded ready for `letters`; the automaton stays
// the caller's and must outlive the engine.
void engine_build(Engine* engine, PatternAutomaton* automaton, const LetterTable* letters);

// The same for an automaton's image (automaton_image.h), read in place: the
// bytes must outlive the engine. False, with nothing to destroy, when they
// are not a whole image.
bool engine_build_from_image(Engine* engine, const unsigned char* image, std::size_t size,
                             const LetterTable* letters);

void engine_destroy(Engine* engine);

// The fewest letters (bytes of the text) a mark leaves on either side, a
// program's own rules for a word's marks, and the shortest run to look at
// (fast_marker.h); two and two, none, and four, until set.
void engine_set_word_rule(Engine* engine, MarkRule rule, WordAdjust adjust, const void* context,
                          std::int64_t min_run);

// Lets several threads mark texts with the engine at once from now on.
// False when its pattern set is too large for one matcher to be shared.
bool engine_share(const Engine* engine);

// How a text is marked: on the calling thread alone, or by it and `workers`
// more threads, in pieces of `piece` bytes after the first `alone_bytes`.
struct MarkOptions {
    bool threaded;
    unsigned workers;
    std::size_t piece;        // of the threaded pass
    std::size_t alone_bytes;  // marked by the calling thread before the workers start
    std::size_t chunk;        // bytes read at a time on one thread
};

// The options for a text of `size` bytes (negative: unknown) on
// `processors` processors: threads for a large text when there are enough
// processors.
MarkOptions mark_options_for(unsigned processors, std::int64_t size);

// Reads the text from `text` to its end, or to its first NUL byte, and hands
// it with its marks to `out` in the order of the text.
StreamEnd engine_mark(const Engine* engine, ByteSource* text, const MarkSink* out, int* error,
                      const MarkOptions& options);

// The marks of one run of `length` letters: bit j of marks[j / 64] for a
// mark after letter j.
void engine_run_marks(const Engine* engine, const unsigned char* run, std::int64_t length,
                      std::uint64_t marks[RUN_MARK_WORDS]);
