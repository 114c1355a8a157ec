// Cost of starting zarnet-utf8 with a built-in set: its automaton read from
// the image made when the program was built, and the whole marker made ready.

#include <benchmark/benchmark.h>

#include "engine/automaton_image.h"
#include "utf8/prepared_sets.h"
#include "utf8/utf8_run.h"

namespace {

const PreparedSet* prepared(benchmark::State& state, const char* name)
{
    const PreparedSet* set = prepared_set_of(find_pattern_set(name));
    if (set == nullptr) state.SkipWithError("this build carries no built-in sets");
    return set;
}

void BM_AutomatonFromImage(benchmark::State& state, const char* name)
{
    const PreparedSet* set = prepared(state, name);
    if (set == nullptr) return;
    for (auto _ : state) {
        AutomatonImage image;
        benchmark::DoNotOptimize(
            automaton_image_read(&image, reinterpret_cast<const unsigned char*>(set->image.data()), set->image.size()));
        benchmark::DoNotOptimize(image.first_child);
    }
}

void BM_MarkerFromBuiltInSet(benchmark::State& state, const char* name)
{
    const PatternSet* set = find_pattern_set(name);
    if (prepared(state, name) == nullptr) return;
    for (auto _ : state) {
        Utf8Marker marker;
        utf8_marker_build_set(&marker, set, set->left, set->right, "\xC2\xAD");
        benchmark::DoNotOptimize(marker.engine.compiled);
        utf8_marker_destroy(&marker);
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_AutomatonFromImage, de_1996, "de-1996")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AutomatonFromImage, hu, "hu")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AutomatonFromImage, en_us, "en-us")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MarkerFromBuiltInSet, de_1996, "de-1996")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MarkerFromBuiltInSet, en_us, "en-us")->Unit(benchmark::kMicrosecond);
