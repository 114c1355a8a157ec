// The whole marking, the plain way, of a text with any pattern file and
// alphabets: taking the marks out must give the text back.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "byte/mark_expand.h"
#include "files/pattern_file.h"
#include "tests/support/break_values.h"
#include "tests/support/plain_pass.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzRun run = split_fuzz_input(data, size);
    PatternAutomaton* automaton = load_patterns(write_fuzz_patterns(run.patterns).c_str());
    if (automaton == nullptr) std::abort();
    const std::string text = run.text.c_str();  // the text ends at its first NUL
    std::vector<unsigned char> output(2 * text.size() + 1);
    const std::int64_t written =
        run_text(automaton, reinterpret_cast<const unsigned char*>(text.c_str()), output.data(),
                 run.smallChars.c_str(), run.largeChars.c_str());
    automaton_destroy(automaton);

    // Marks follow letters only; without them the text comes back.
    std::string unmarked;
    std::size_t t = 0;
    for (std::int64_t o = 0; o < written; ++o) {
        const char byte = static_cast<char>(output[static_cast<std::size_t>(o)]);
        if (t < text.size() && byte == text[t]) {
            unmarked.push_back(byte);
            ++t;
        } else if (output[static_cast<std::size_t>(o)] != HYPHEN_MARK) {
            std::abort();
        }
    }
    if (unmarked != text) std::abort();
    return 0;
}
