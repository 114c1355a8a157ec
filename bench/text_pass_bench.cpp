// Cost per byte of the pass over real text, with each shipped pattern set:
// the compiled matcher that the program uses, and the plain automaton walk.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "bench/bench_data.h"
#include "byte/letter_table.h"
#include "byte/marked_output.h"
#include "engine/engine.h"
#include "files/pattern_file.h"
#include "platform/processors.h"
#include "tests/support/differential.h"
#include "tests/support/plain_pass.h"

namespace {

constexpr std::size_t TEXT_BYTES = 8 << 20;

struct Loaded {
    PatternAutomaton* automaton;
    Engine engine;
    std::string smallChars;
    std::string largeChars;
    std::string text;  // the sample repeated to TEXT_BYTES
};

bool load_set(const BenchSet& set, Loaded* loaded)
{
    const std::string data = bench_path("tests/data/real/");
    loaded->automaton = load_patterns(bench_path("patterns/").append(set.patterns).append(".pat").c_str());
    const std::string sample = bench_read(std::string(data).append(set.text).append(".txt"));
    if (loaded->automaton == nullptr || sample.empty()) return false;
    loaded->smallChars = bench_read(std::string(data).append(set.patterns).append(".small"));
    loaded->largeChars = bench_read(std::string(data).append(set.patterns).append(".large"));
    LetterTable letters;
    letter_table_build(&letters, loaded->smallChars.c_str(), loaded->largeChars.c_str());
    engine_build(&loaded->engine, loaded->automaton, &letters);
    while (loaded->text.size() < TEXT_BYTES) loaded->text.append(sample);
    return true;
}

void release(Loaded* loaded)
{
    engine_destroy(&loaded->engine);
    automaton_destroy(loaded->automaton);
}

// Marks the text from memory into /dev/null as the program writes it.
StreamEnd mark_to_null(const Loaded* loaded, const MarkOptions& options)
{
    std::FILE* sink = std::fopen("/dev/null", "wb");
    ByteSource source =
        byte_source_from_memory(reinterpret_cast<const unsigned char*>(loaded->text.data()), loaded->text.size());
    int error = 0;
    const StreamEnd end = mark_to_file(&loaded->engine, &source, sink, &error, options);
    std::fclose(sink);
    return end;
}

void BM_TextPassCompiled(benchmark::State& state, BenchSet set)
{
    Loaded loaded{};
    if (!load_set(set, &loaded)) {
        state.SkipWithError("pattern set or sample missing");
        return;
    }
    // The text streams from memory to /dev/null: the cost measured is the
    // pass itself, without the disk.
    for (auto _ : state) benchmark::DoNotOptimize(mark_to_null(&loaded, mark_options_for(1, -1)));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * loaded.text.size()));
    release(&loaded);
}

// The same on every processor, as the program runs a large text: one
// thread per processor, this one included.
void BM_TextPassThreaded(benchmark::State& state, BenchSet set)
{
    Loaded loaded{};
    if (!load_set(set, &loaded)) {
        state.SkipWithError("pattern set or sample missing");
        return;
    }
    const MarkOptions options = mark_options_for(usable_processors(), -1);
    for (auto _ : state) benchmark::DoNotOptimize(mark_to_null(&loaded, options));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * loaded.text.size()));
    release(&loaded);
}

void BM_TextPassPlain(benchmark::State& state, BenchSet set)
{
    Loaded loaded{};
    if (!load_set(set, &loaded)) {
        state.SkipWithError("pattern set or sample missing");
        return;
    }
    std::vector<unsigned char> output(2 * loaded.text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(loaded.text.c_str());
    for (auto _ : state) {
        benchmark::DoNotOptimize(run_text(loaded.automaton, bytes, output.data(), loaded.smallChars.c_str(),
                                          loaded.largeChars.c_str()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * loaded.text.size()));
    release(&loaded);
}

}  // namespace

BENCHMARK_CAPTURE(BM_TextPassCompiled, en_us, BENCH_SETS[0])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextPassCompiled, de_1996, BENCH_SETS[1])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextPassCompiled, ru, BENCH_SETS[2])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextPassThreaded, en_us, BENCH_SETS[0])->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TextPassThreaded, de_1996, BENCH_SETS[1])->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TextPassThreaded, ru, BENCH_SETS[2])->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TextPassPlain, en_us, BENCH_SETS[0])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextPassPlain, de_1996, BENCH_SETS[1])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextPassPlain, ru, BENCH_SETS[2])->Unit(benchmark::kMillisecond);
