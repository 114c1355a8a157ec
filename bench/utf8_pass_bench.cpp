// Cost per byte of zarnet-utf8's work in memory, with a built-in set on the
// real words of its language (tests/data/utf8/*.words) repeated: the reader
// turning the text into the engine's form alone, and the whole pass on one
// thread, its marks spread into the text and written to /dev/null. The
// words repeat, so the word cache answers nearly every one: what is left is
// mostly the conversion both ways.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "engine/copy_slack.h"
#include "engine/engine.h"
#include "files/block_writer.h"
#include "utf8/marked_text.h"
#include "utf8/pattern_sets.h"
#include "utf8/text_reader.h"
#include "utf8/utf8_run.h"

namespace {

constexpr std::size_t TEXT_BYTES = 8 << 20;

// What the threaded pass asks the reader for at a time.
constexpr std::size_t PIECE_BYTES = 128 << 10;

// A built-in set's marker, with the soft hyphen, and its words repeated;
// false, with the benchmark skipped, when either is missing.
bool load(benchmark::State& state, const char* name, Utf8Marker* marker, std::string* text)
{
    const PatternSet* set = find_pattern_set(name);
    const std::string words = bench_read(bench_path("tests/data/utf8/").append(name).append(".words"));
    if (set == nullptr || words.empty()) {
        state.SkipWithError("pattern set or words missing");
        return false;
    }
    utf8_marker_build_set(marker, set, set->left, set->right, "\xC2\xAD");
    while (text->size() < TEXT_BYTES) text->append(words);
    return true;
}

ByteSource source_of(const std::string& text)
{
    return byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

void BM_Utf8Reading(benchmark::State& state, const char* name)
{
    Utf8Marker marker;
    std::string text;
    if (!load(state, name, &marker, &text)) return;
    std::vector<unsigned char> piece(PIECE_BYTES + COPY_SLACK);
    for (auto _ : state) {
        ByteSource in = source_of(text);
        Utf8Reader reader;
        utf8_reader_create(&reader, &in, &marker.letters);
        ByteSource form = utf8_reader_source(&reader);
        std::size_t total = 0;
        for (std::size_t got = PIECE_BYTES; got == PIECE_BYTES; total += got) {
            got = byte_source_read(&form, piece.data(), PIECE_BYTES);
        }
        benchmark::DoNotOptimize(total);
        utf8_reader_destroy(&reader);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    utf8_marker_destroy(&marker);
}

void BM_Utf8Pass(benchmark::State& state, const char* name)
{
    Utf8Marker marker;
    std::string text;
    if (!load(state, name, &marker, &text)) return;
    for (auto _ : state) {
        std::FILE* sink = std::fopen("/dev/null", "wb");
        ByteSource in = source_of(text);
        Utf8Reader reader;
        utf8_reader_create(&reader, &in, &marker.letters);
        ByteSource form = utf8_reader_source(&reader);
        BlockWriter writer;
        block_writer_create(&writer, sink, 1 << 20, COPY_SLACK);
        Utf8Output output;
        utf8_output_create(&output, &writer, &reader, marker.mark, nullptr);
        const MarkSink marks = utf8_output_sink(&output);
        int error = 0;
        StreamEnd end = engine_mark(&marker.engine, &form, &marks, &error, mark_options_for(1, -1));
        utf8_output_destroy(&output);
        end = block_writer_finish(&writer, end, &error);
        benchmark::DoNotOptimize(end);
        utf8_reader_destroy(&reader);
        std::fclose(sink);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    utf8_marker_destroy(&marker);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Utf8Reading, ru, "ru")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Reading, el_monoton, "el-monoton")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Reading, de_1996, "de-1996")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Pass, ru, "ru")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Pass, el_monoton, "el-monoton")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Pass, de_1996, "de-1996")->Unit(benchmark::kMillisecond);
