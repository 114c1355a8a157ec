#include "utf8/utf8_run.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "engine/copy_slack.h"
#include "files/block_writer.h"
#include "files/file_source.h"
#include "files/input_file.h"
#include "files/messages.h"
#include "files/output_file.h"
#include "platform/error_line.h"
#include "platform/file_system.h"
#include "platform/large_pages.h"
#include "platform/memory.h"
#include "platform/processors.h"
#include "utf8/marked_text.h"
#include "utf8/prepared_sets.h"
#include "utf8/set_automaton.h"
#include "utf8/text_reader.h"
#include "utf8/utf8_decode.h"

namespace {

// Texts past this size are long: several blocks of the pass.
constexpr std::int64_t LONG_TEXT_BYTES = std::int64_t{1} << 20;

// The block the marked text is written through.
constexpr std::size_t OUTPUT_BLOCK = std::size_t{1} << 20;

bool is_standard(const char* name)
{
    return name[0] == '-' && name[1] == '\0';
}

int report_not_utf8(const char* in_file, const Utf8Reader& reader)
{
    const std::string reason = "not UTF-8 at line " + std::to_string(reader.invalid_line) + ", byte offset " +
                               std::to_string(reader.invalid_offset);
    write_error_line(printable_name(is_standard(in_file) ? "standard input" : in_file).c_str(), reason.c_str());
    return 1;
}

// Marks the text from `in` into `out` (written directly, or an output file).
StreamEnd mark_stream(const Utf8Marker* marker, ByteSource* in, std::FILE* out, bool threads, std::int64_t size,
                      int* error, Utf8Reader* reader)
{
    utf8_reader_create(reader, in, &marker->letters);
    ByteSource form = utf8_reader_source(reader);
    BlockWriter writer;
    block_writer_create(&writer, out, OUTPUT_BLOCK, COPY_SLACK);
    Utf8Output output;
    utf8_output_create(&output, &writer, reader, marker->mark, nullptr);
    const MarkSink sink = utf8_output_sink(&output);
    const MarkOptions options = mark_options_for(threads ? usable_processors() : 1, size);
    const StreamEnd end = engine_mark(&marker->engine, &form, &sink, error, options);
    utf8_output_destroy(&output);
    return block_writer_finish(&writer, end, error);
}

}  // namespace

namespace {

// The marker's letters and engine are made: the rest of it.
void finish_marker(Utf8Marker* marker, std::string_view exceptions, int left, int right, const std::string& mark)
{
    utf8_word_rule_build(&marker->rule, &marker->letters, exceptions, left, right);
    marker->mark = mark;
    // Marks are looked for between any two bytes; the word rule keeps those
    // with enough letters on either side.
    // A word has at least as many bytes as letters: a run shorter than the
    // minima together gets no marks, unless it is an exception.
    const std::size_t shortest = std::min(static_cast<std::size_t>(left + right), marker->rule.shortest);
    engine_set_word_rule(&marker->engine, MarkRule{1, 1}, utf8_word_adjust, &marker->rule,
                         static_cast<std::int64_t>(std::max<std::size_t>(shortest, 2)));
}

}  // namespace

void utf8_marker_build(Utf8Marker* marker, std::string_view patterns, std::string_view exceptions, int left,
                       int right, const std::string& mark, bool narrow)
{
    utf8_letters_build(&marker->letters, patterns, exceptions, narrow);
    engine_build(&marker->engine, utf8_set_automaton(&marker->letters, patterns), &marker->letters.bytes);
    marker->engine.owns_automaton = true;
    finish_marker(marker, exceptions, left, right, mark);
}

void utf8_marker_build_set(Utf8Marker* marker, const PatternSet* set, int left, int right, const std::string& mark)
{
    const PreparedSet* prepared = prepared_set_of(set);
    if (prepared != nullptr) {
        utf8_letters_make(&marker->letters, prepared_characters(prepared));
        // The image is read where the program carries it.
        if (engine_build_from_image(&marker->engine, reinterpret_cast<const unsigned char*>(prepared->image.data()),
                                    prepared->image.size(), &marker->letters.bytes)) {
            finish_marker(marker, set->exceptions, left, right, mark);
            return;
        }
    }
    utf8_marker_build(marker, set->patterns, set->exceptions, left, right, mark);
}

void utf8_marker_build_for(Utf8Marker* marker, const PatternSet* set, bool own, std::string_view own_patterns,
                           int left, int right, const std::string& mark)
{
    left = left != 0 ? left : set->left;
    right = right != 0 ? right : set->right;
    if (own) {
        utf8_marker_build(marker, own_patterns, std::string_view(), left, right, mark);
    } else {
        utf8_marker_build_set(marker, set, left, right, mark);
    }
}

void utf8_marker_destroy(Utf8Marker* marker)
{
    engine_destroy(&marker->engine);
}

bool utf8_breaks(const Utf8Marker* marker, const unsigned char* text, std::size_t size,
                 std::vector<std::uint64_t>* breaks)
{
    ByteSource in = byte_source_from_memory(text, size);
    Utf8Reader reader;
    utf8_reader_create(&reader, &in, &marker->letters);
    ByteSource form = utf8_reader_source(&reader);
    Utf8Output output;
    utf8_output_create(&output, nullptr, &reader, marker->mark, breaks);
    const MarkSink sink = utf8_output_sink(&output);
    int error = 0;
    const StreamEnd end = engine_mark(&marker->engine, &form, &sink, &error,
                                      mark_options_for(1, static_cast<std::int64_t>(size)));
    utf8_output_destroy(&output);
    utf8_reader_destroy(&reader);
    return end == StreamEnd::complete;
}

int utf8_mark_file(const Utf8Marker* marker, const char* in_file, const char* out_file, bool threads, bool first)
{
    int error = 0;
    std::FILE* in = is_standard(in_file) ? stdin : open_for_reading(in_file, &error);
    if (in == nullptr) return report_file_error(in_file, error);
    const char* in_name = is_standard(in_file) ? "standard input" : in_file;
    PathKind kind = PathKind::other;
    std::int64_t size = 0;
    int status_error = 0;
    if (!stream_status(in, &kind, &size, &status_error) || kind != PathKind::regular) size = -1;
    // The patterns are loaded. A long text is worth the little time it takes
    // to give back the loader's spare memory, since the word cache and the
    // matcher's rows come on top for the whole run.
    if (first) heap_end_large_pages(size < 0 || size > LONG_TEXT_BYTES);

    // Writing straight into the file being read would read the new text back.
    FileBytes whole{nullptr, 0};
    ByteSource source = byte_source_from_file(in);
    if (!is_standard(out_file) && output_file_is_input(out_file, in)) {
        if (!read_open_file(in, &whole, &error)) return report_file_error(in_name, error);
        in = nullptr;
        source = byte_source_from_memory(whole.bytes, static_cast<std::size_t>(whole.size));
    }
    if (in != nullptr) std::setvbuf(in, nullptr, _IONBF, 0);

    Utf8Reader reader;
    int code = 0;
    if (is_standard(out_file)) {
        const StreamEnd end = mark_stream(marker, &source, stdout, threads, size, &error, &reader);
        std::fflush(stdout);
        if (end == StreamEnd::read_failed) {
            code = reader.invalid ? report_not_utf8(in_file, reader) : report_file_error(in_name, error);
        } else if (end == StreamEnd::write_failed || std::ferror(stdout)) {
            code = report_file_error("standard output", error != 0 ? error : EIO);
        }
    } else {
        OutputFile output;
        if (!output_file_open(&output, out_file, is_standard(in_file) ? "" : in_file, &error)) {
            if (in != nullptr && in != stdin) std::fclose(in);
            mem_release(whole.bytes);
            return report_file_error(out_file, error);
        }
        std::setvbuf(output.file, nullptr, _IONBF, 0);
        const StreamEnd end = mark_stream(marker, &source, output.file, threads, size, &error, &reader);
        // The input is closed before the output takes its place: Windows
        // replaces no file that is still open.
        if (in != nullptr && in != stdin) std::fclose(in);
        in = nullptr;
        if (end != StreamEnd::complete) {
            output_file_abort(&output);
            if (end == StreamEnd::write_failed) {
                code = report_file_error(out_file, error);
            } else {
                code = reader.invalid ? report_not_utf8(in_file, reader) : report_file_error(in_name, error);
            }
        } else if (!output_file_commit(&output, &error)) {
            code = report_output_error(out_file, error, output.kept);
        }
    }
    utf8_reader_destroy(&reader);
    if (in != nullptr && in != stdin) std::fclose(in);
    mem_release(whole.bytes);
    return code;
}
