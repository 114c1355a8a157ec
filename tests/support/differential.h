#pragma once
// The one differential harness: the engine, as the program runs it, against
// the plain automaton walk over the whole text in memory. Any difference in
// the output bytes is a fault of the engine.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/support/random_cases.h"

// The plain walk's marked text: the reference.
std::string mark_plain(const PatternAutomaton* automaton, const MarkingCase& c);

struct Marked {
    std::string bytes;
    StreamEnd end;
    int error;
};

// The engine's marked text, with the program's own sink (0xAC after each
// marked byte) writing through a block writer into memory.
Marked mark_engine(const Engine* engine, const std::string& text, const MarkOptions& options);

// The pass on the calling thread alone, reading `chunk` bytes at a time.
MarkOptions one_thread(std::size_t chunk = TEXT_CHUNK);
// The threaded pass with `workers` more threads, pieces of `piece` bytes
// and the first `alone_bytes` marked before the workers start.
MarkOptions threads(unsigned workers, std::size_t piece, std::size_t alone_bytes);

// The case marked by the plain walk and by the engine under each of
// `options` (the single-threaded ones on one engine, the threaded ones on
// another, whose rows the threads make together). Returns an empty string
// when every output is the same, else the first difference in words; the
// number of marks goes to *marks when given.
std::string differential_check(const MarkingCase& c, const std::vector<MarkOptions>& options,
                               std::size_t* marks = nullptr);
