// The pattern loader on arbitrary bytes: it must never fail on content, the
// automaton it builds must hold together, and it must be the one that the
// string-index reference builds.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/pattern_file.h"
#include "tests/support/index_loader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = write_fuzz_patterns(std::string(reinterpret_cast<const char*>(data), size));
    PatternAutomaton* automaton = load_patterns(path.c_str());
    if (automaton == nullptr) std::abort();  // the file exists: any content loads
    for (std::int32_t s = 1; s < automaton->count; ++s) {
        const AutomatonState& state = automaton->states[s];
        if (state.failure < 0 || state.failure >= automaton->count) std::abort();
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            if (state.transitions[t].target <= 0 || state.transitions[t].target >= automaton->count) std::abort();
        }
    }
    PatternAutomaton* reference = load_patterns_by_index(path.c_str());
    if (reference == nullptr || !automaton_difference(reference, automaton).empty()) std::abort();
    automaton_destroy(reference);
    automaton_destroy(automaton);
    return 0;
}
