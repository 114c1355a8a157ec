// zarnet-utf8's reader, engine and writer on any bytes, in small blocks and
// in small pieces on two threads: a text that is UTF-8 comes back whole once
// the marks are taken out (the mark is one byte or two that UTF-8 never
// holds), and the same from both passes; one that is not UTF-8 is refused.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/block_writer.h"
#include "engine/copy_slack.h"
#include "utf8/marked_text.h"
#include "utf8/pattern_sets.h"
#include "utf8/utf8_decode.h"
#include "utf8/utf8_run.h"
#include "tests/support/differential.h"

namespace {

const char* const SETS[] = {"en-us", "de-1996", "el-monoton", "hi", "cu", "ru"};
constexpr int SET_COUNT = sizeof SETS / sizeof SETS[0];

// Set k with a mark of one byte, or of two.
const Utf8Marker* marker_for(int k, bool two)
{
    static Utf8Marker* markers[2][SET_COUNT] = {};
    if (markers[two][k] == nullptr) {
        const PatternSet* set = find_pattern_set(SETS[k]);
        markers[two][k] = new Utf8Marker;
        utf8_marker_build(markers[two][k], set->patterns, set->exceptions, set->left, set->right,
                          two ? "\xFF\xFE" : "\xFF");
    }
    return markers[two][k];
}

bool is_utf8(const std::string& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        std::uint32_t cp = 0;
        const int length = utf8_decode(bytes + at, text.size() - at, &cp);
        if (length <= 0) return false;
        at += static_cast<std::size_t>(length);
    }
    return true;
}

// The marked text, or "" with *refused set when the pass failed.
std::string mark(const Utf8Marker* marker, const std::string& text, const MarkOptions& options, bool* refused)
{
    ByteSource in = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    Utf8Reader reader;
    utf8_reader_create(&reader, &in, &marker->letters);
    ByteSource form = utf8_reader_source(&reader);
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    BlockWriter writer;
    block_writer_create(&writer, out, std::size_t{1} << 20, COPY_SLACK);
    Utf8Output output;
    utf8_output_create(&output, &writer, &reader, marker->mark, nullptr);
    const MarkSink sink = utf8_output_sink(&output);
    int error = 0;
    const StreamEnd end = block_writer_finish(&writer, engine_mark(&marker->engine, &form, &sink, &error, options), &error);
    std::fclose(out);
    std::string marked(buffer, length);
    std::free(buffer);
    *refused = end != StreamEnd::complete || reader.invalid;
    utf8_output_destroy(&output);
    utf8_reader_destroy(&reader);
    return marked;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const Utf8Marker* marker = marker_for(data[0] % SET_COUNT, data[0] / SET_COUNT % 2 != 0);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    bool refused = false;
    const std::string marked = mark(marker, text, one_thread(1024), &refused);
    if (refused != !is_utf8(text)) std::abort();
    if (refused) return 0;
    std::string unmarked;
    for (char byte : marked) {
        if (byte != '\xFF' && byte != '\xFE') unmarked.push_back(byte);
    }
    if (unmarked != text) std::abort();
    bool refused_threaded = false;
    if (mark(marker, text, threads(1, 1024, 0), &refused_threaded) != marked || refused_threaded) std::abort();
    return 0;
}
