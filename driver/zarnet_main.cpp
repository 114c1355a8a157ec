#include "driver/zarnet_main.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "automaton/compiled_automaton.h"
#include "automaton/loader.h"
#include "breaks/fast_marker.h"
#include "breaks/parallel_pass.h"
#include "breaks/plain_pass.h"
#include "breaks/stream_pass.h"
#include "common/byte_source.h"
#include "common/error_line.h"
#include "common/file_system.h"
#include "common/large_pages.h"
#include "common/memory.h"
#include "common/processors.h"
#include "driver/input_file.h"
#include "driver/messages.h"
#include "driver/output_file.h"

namespace {

struct Arguments {
    const char* in_file;
    const char* out_file;
    const char* hyp_file;
    const char* smallChars;
    const char* largeChars;
};

bool take_arguments(int argc, char** argv, Arguments* arguments)
{
    if (argc != 6) {
        std::fputs("Usage: zarnet.exe <in_file> <out_file> <hyp_file> <smallChars> <largeChars>\n", stdout);
        std::fflush(stdout);
        return false;
    }
    *arguments = Arguments{argv[1], argv[2], argv[3], argv[4], argv[5]};
    return true;
}

// Reads the whole text, marks it with the plain walk into a buffer twice its
// size and writes that. Takes over the automaton.
int run_plain(const Arguments& arguments, PatternAutomaton* automaton)
{
    int error = 0;
    FileBytes text;
    if (!read_input_file(arguments.in_file, &text, &error)) {
        automaton_destroy(automaton);
        return report_file_error(arguments.in_file, error);
    }
    unsigned char* output = static_cast<unsigned char*>(must_alloc(2 * static_cast<std::size_t>(text.size)));
    const std::int64_t output_size =
        run_text(automaton, text.bytes, output, arguments.smallChars, arguments.largeChars);
    automaton_destroy(automaton);
    mem_release(text.bytes);

    std::string kept;
    const bool written = write_output_file(arguments.out_file, arguments.in_file, output, output_size, &error, &kept);
    mem_release(output);
    if (!written) return report_output_error(arguments.out_file, error, kept);
    return 0;
}

// True when the source saw a NUL byte and the text goes on after it.
bool bytes_follow_nul(const ByteSource& source, std::FILE* in)
{
    if (source.nul_at < 0) return false;
    PathKind kind = PathKind::other;
    std::int64_t size = static_cast<std::int64_t>(source.size);
    int error = 0;
    // When the size cannot be told, the rest is taken to be there.
    if (in != nullptr && !stream_status(in, &kind, &size, &error)) return true;
    return source.nul_at + 1 < size;
}

// Texts past this size are long: several blocks of the pass.
constexpr std::int64_t LONG_TEXT_BYTES = std::int64_t{1} << 20;

// Streams the text from in_file to out_file through the compiled matcher.
int run_streamed(const Arguments& arguments, CompiledAutomaton* compiled)
{
    int error = 0;
    std::FILE* in = open_for_reading(arguments.in_file, &error);
    if (in == nullptr) return report_file_error(arguments.in_file, error);
    // The patterns are loaded. A long text is worth the little time it takes
    // to give back the loader's spare memory, since its word cache and rows
    // come on top for the whole run.
    PathKind kind = PathKind::other;
    std::int64_t size = 0;
    int status_error = 0;
    const bool long_text = !stream_status(in, &kind, &size, &status_error) || kind != PathKind::regular ||
                           size > LONG_TEXT_BYTES;
    heap_end_large_pages(long_text);

    // Writing straight into the file being read would read the new text back.
    FileBytes whole{nullptr, 0};
    ByteSource source = byte_source_from_file(in);
    if (output_file_is_input(arguments.out_file, in)) {
        if (!read_open_file(in, &whole, &error)) return report_file_error(arguments.in_file, error);
        in = nullptr;
        source = byte_source_from_memory(whole.bytes, static_cast<std::size_t>(whole.size));
    }
    OutputFile output;
    if (!output_file_open(&output, arguments.out_file, arguments.in_file, &error)) {
        if (in != nullptr) std::fclose(in);
        mem_release(whole.bytes);
        return report_file_error(arguments.out_file, error);
    }
    // Written in place, a text that a NUL byte ends early would lose the rest.
    source.find_nul = output.to_disk;

    // The pass reads and writes large blocks: through the C library's own
    // buffer each would be copied once more and cut into two system calls.
    if (in != nullptr) std::setvbuf(in, nullptr, _IONBF, 0);
    std::setvbuf(output.file, nullptr, _IONBF, 0);

    FastMarker marker;
    fast_marker_build(&marker, compiled, arguments.smallChars, arguments.largeChars);
    // One thread per processor, this one included, from THREADS_FROM
    // processors up; with fewer, or for a file too small for threads to
    // start, the pass runs here alone.
    const unsigned processors = usable_processors();
    const bool small_file = !long_text && kind == PathKind::regular && size <= static_cast<std::int64_t>(ALONE_BYTES);
    const StreamEnd end =
        processors >= THREADS_FROM && !small_file
            ? run_text_parallel(&marker, &source, output.file, &error, {processors - 1, PIECE_BYTES, ALONE_BYTES})
            : run_text_stream(&marker, &source, output.file, &error);
    const bool cut_in_place = end == StreamEnd::complete && bytes_follow_nul(source, in);
    if (in != nullptr) std::fclose(in);
    mem_release(whole.bytes);
    if (cut_in_place) {
        output_file_abort(&output);
        return report_cut_in_place(arguments.in_file);
    }
    if (end != StreamEnd::complete) {
        output_file_abort(&output);
        return report_file_error(end == StreamEnd::read_failed ? arguments.in_file : arguments.out_file, error);
    }
    if (!output_file_commit(&output, &error)) return report_output_error(arguments.out_file, error, output.kept);
    return 0;
}

// The whole run: the compiled matcher, streamed; the plain walk over the
// whole text when asked for (the reference that tests compare with).
int run(int argc, char** argv, bool plain)
{
    // Messages and piped text are bytes on every platform.
    set_binary_standard_streams();
    Arguments arguments;
    if (!take_arguments(argc, argv, &arguments)) return 1;
    int error = 0;
    PatternAutomaton* automaton =
        load_patterns(arguments.hyp_file, &error, plain ? FailureLinks::made : FailureLinks::left_out);
    if (automaton == nullptr) return report_file_error(arguments.hyp_file, error);

    if (plain) return run_plain(arguments, automaton);
    CompiledAutomaton* compiled = compile_automaton(automaton);
    const int code = run_streamed(arguments, compiled);
    compiled_automaton_destroy(compiled);
    automaton_destroy(automaton);
    return code;
}

}  // namespace

int zarnet_main(int argc, char** argv)
{
    return run(argc, argv, false);
}

int zarnet_main_plain(int argc, char** argv)
{
    return run(argc, argv, true);
}
