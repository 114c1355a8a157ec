#include "byte/zarnet_main.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "byte/letter_table.h"
#include "byte/marked_output.h"
#include "engine/engine.h"
#include "files/file_source.h"
#include "files/input_file.h"
#include "files/messages.h"
#include "files/output_file.h"
#include "platform/error_line.h"
#include "platform/file_system.h"
#include "platform/large_pages.h"
#include "platform/memory.h"
#include "platform/processors.h"

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

// Streams the text from in_file to out_file through the engine.
int run_streamed(const Arguments& arguments, const Engine* engine)
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

    // One thread per processor, this one included, unless the file is too
    // small for threads to pay off.
    const MarkOptions options = mark_options_for(usable_processors(), long_text ? -1 : size);
    const StreamEnd end = mark_to_file(engine, &source, output.file, &error, options);
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

}  // namespace

int zarnet_main(int argc, char** argv)
{
    // Messages and piped text are bytes on every platform.
    set_binary_standard_streams();
    Arguments arguments;
    if (!take_arguments(argc, argv, &arguments)) return 1;
    int error = 0;
    std::FILE* patterns = open_for_reading(arguments.hyp_file, &error);
    if (patterns == nullptr) return report_file_error(arguments.hyp_file, error);
    ByteSource pattern_bytes = byte_source_from_file(patterns);
    LetterTable letters;
    letter_table_build(&letters, arguments.smallChars, arguments.largeChars);
    Engine engine;
    const bool loaded = engine_load(&engine, &pattern_bytes, &letters, &error);
    std::fclose(patterns);
    if (!loaded) return report_file_error(arguments.hyp_file, error);
    const int code = run_streamed(arguments, &engine);
    engine_destroy(&engine);
    return code;
}
