#include "driver/zarnet_main.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "automaton/loader.h"
#include "common/memory.h"
#include "driver/input_file.h"
#include "driver/output_file.h"
#include "driver/text_pass.h"

namespace {

int report_file_error(const char* path, int error)
{
    std::fprintf(stderr, "zarnet: %s: %s\n", path, std::strerror(error));
    return 1;
}

}  // namespace

int zarnet_main(int argc, char** argv)
{
    if (argc != 6) {
        std::fputs("Usage: zarnet.exe <in_file> <out_file> <hyp_file> <smallChars> <largeChars>\n", stdout);
        std::fflush(stdout);
        return 1;
    }
    const char* in_file = argv[1];
    const char* out_file = argv[2];
    const char* hyp_file = argv[3];
    const char* smallChars = argv[4];
    const char* largeChars = argv[5];

    int error = 0;
    PatternAutomaton* automaton = load_patterns(hyp_file, &error);
    if (automaton == nullptr) return report_file_error(hyp_file, error);

    InputText text;
    if (!read_input_file(in_file, &text, &error)) {
        automaton_destroy(automaton);
        return report_file_error(in_file, error);
    }

    unsigned char* output = static_cast<unsigned char*>(must_alloc(2 * static_cast<std::size_t>(text.size)));
    const std::int64_t output_size = run_text(automaton, text.bytes, output, smallChars, largeChars);
    automaton_destroy(automaton);
    mem_release(text.bytes);

    const bool written = write_output_file(out_file, output, output_size, &error);
    mem_release(output);
    if (!written) return report_file_error(out_file, error);
    return 0;
}
