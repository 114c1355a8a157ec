// The compiled matcher with the streamed pass, and with the threaded pass in
// small pieces, against the plain walk: any difference in the output bytes
// is a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "automaton/compiled_automaton.h"
#include "automaton/loader.h"
#include "breaks/fast_marker.h"
#include "breaks/parallel_pass.h"
#include "breaks/stream_pass.h"
#include "breaks/plain_pass.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzRun run = split_fuzz_input(data, size);
    PatternAutomaton* automaton = load_patterns(write_fuzz_patterns(run.patterns).c_str());
    if (automaton == nullptr) std::abort();

    std::string text = run.text;
    std::vector<unsigned char> plain(2 * text.size() + 1);
    const std::int64_t plain_size = run_text(automaton, reinterpret_cast<const unsigned char*>(text.c_str()),
                                             plain.data(), run.smallChars.c_str(), run.largeChars.c_str());

    // The program's own way: the matcher on an automaton without failure links.
    PatternAutomaton* unlinked =
        load_patterns(write_fuzz_patterns(run.patterns).c_str(), nullptr, FailureLinks::left_out);
    if (unlinked == nullptr) std::abort();
    CompiledAutomaton* compiled = compile_automaton(unlinked);
    if (compiled == nullptr) std::abort();
    FastMarker marker;
    fast_marker_build(&marker, compiled, run.smallChars.c_str(), run.largeChars.c_str());
    char* fast = nullptr;
    std::size_t fast_size = 0;
    std::FILE* out = open_memstream(&fast, &fast_size);
    ByteSource source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    int error = 0;
    // Small blocks put runs across block ends.
    if (run_text_stream(&marker, &source, out, &error, 1024) != StreamEnd::complete) std::abort();
    std::fclose(out);

    if (static_cast<std::int64_t>(fast_size) != plain_size ||
        std::string(fast, fast_size) != std::string(reinterpret_cast<const char*>(plain.data()), fast_size)) {
        std::abort();
    }
    std::free(fast);

    // Pieces of 1024 bytes shared by this thread and one more.
    out = open_memstream(&fast, &fast_size);
    source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    if (run_text_parallel(&marker, &source, out, &error, {1, 1024, 0}) != StreamEnd::complete) std::abort();
    std::fclose(out);
    if (static_cast<std::int64_t>(fast_size) != plain_size ||
        std::string(fast, fast_size) != std::string(reinterpret_cast<const char*>(plain.data()), fast_size)) {
        std::abort();
    }
    std::free(fast);
    compiled_automaton_destroy(compiled);
    automaton_destroy(unlinked);
    automaton_destroy(automaton);
    return 0;
}
