// Cost of turning each shipped pattern file into a ready matcher.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "engine/compiled_automaton.h"
#include "files/pattern_file.h"
#include "bench/bench_data.h"

std::string bench_path(const std::string& relative)
{
    std::string path(ZARNET_SOURCE_DIR);
    return path.append("/").append(relative);
}

std::string bench_read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

namespace {

// Loading a pattern file into the automaton, and with `compile` also making
// the matcher ready (its rows are made later, as the text needs them).
void load(benchmark::State& state, const BenchSet& set, bool compile)
{
    const std::string path = bench_path("patterns/").append(set.patterns).append(".pat");
    for (auto _ : state) {
        PatternAutomaton* automaton = load_patterns(path.c_str());
        if (automaton == nullptr) {
            state.SkipWithError("pattern file missing");
            return;
        }
        if (compile) {
            CompiledAutomaton* compiled = compile_automaton(automaton);
            benchmark::DoNotOptimize(compiled);
            compiled_automaton_destroy(compiled);
        }
        benchmark::DoNotOptimize(automaton->states);
        automaton_destroy(automaton);
    }
}

void BM_LoadPatterns(benchmark::State& state, BenchSet set)
{
    load(state, set, true);
}

void BM_LoadOnly(benchmark::State& state, BenchSet set)
{
    load(state, set, false);
}

}  // namespace

BENCHMARK_CAPTURE(BM_LoadPatterns, en_us, BENCH_SETS[0])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPatterns, de_1996, BENCH_SETS[1])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPatterns, ru, BENCH_SETS[2])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadOnly, en_us, BENCH_SETS[0])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadOnly, de_1996, BENCH_SETS[1])->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadOnly, ru, BENCH_SETS[2])->Unit(benchmark::kMillisecond);
