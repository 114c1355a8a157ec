// The engine as the program runs it, on one thread in small blocks and on
// two threads in small pieces, against the plain walk: any difference in the
// output bytes is a finding.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/fuzz/fuzz_input.h"
#include "tests/support/differential.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzRun run = split_fuzz_input(data, size);
    const MarkingCase c{run.patterns, run.smallChars, run.largeChars, run.text};
    // Small blocks and pieces put runs across their ends.
    if (!differential_check(c, {one_thread(1024), threads(1, 1024, 0)}).empty()) std::abort();
    return 0;
}
