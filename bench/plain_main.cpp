// zarnet with the plain automaton walk over the whole text in memory, for
// comparisons: the same arguments, files and messages as the program.

#include <cstdint>
#include <cstdio>
#include <string>

#include "files/pattern_file.h"
#include "files/input_file.h"
#include "files/messages.h"
#include "files/output_file.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "tests/support/plain_pass.h"

int main(int argc, char** argv)
{
    set_binary_standard_streams();
    if (argc != 6) {
        std::fputs("Usage: zarnet.exe <in_file> <out_file> <hyp_file> <smallChars> <largeChars>\n", stdout);
        return 1;
    }
    const char* in_file = argv[1];
    const char* out_file = argv[2];
    int error = 0;
    PatternAutomaton* automaton = load_patterns(argv[3], &error, FailureLinks::made);
    if (automaton == nullptr) return report_file_error(argv[3], error);
    FileBytes text;
    if (!read_input_file(in_file, &text, &error)) {
        automaton_destroy(automaton);
        return report_file_error(in_file, error);
    }
    unsigned char* output = static_cast<unsigned char*>(must_alloc(2 * static_cast<std::size_t>(text.size)));
    const std::int64_t output_size = run_text(automaton, text.bytes, output, argv[4], argv[5]);
    automaton_destroy(automaton);
    mem_release(text.bytes);
    std::string kept;
    const bool written = write_output_file(out_file, in_file, output, output_size, &error, &kept);
    mem_release(output);
    if (!written) return report_output_error(out_file, error, kept);
    return 0;
}
