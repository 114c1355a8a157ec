#pragma once
// The shipped pattern sets and sample texts, for the benchmarks.

#include <string>

struct BenchSet {
    const char* text;      // stem of the sample text under tests/data/real
    const char* patterns;  // stem of the pattern file under patterns/ and of its alphabets
};

inline constexpr BenchSet BENCH_SETS[] = {{"en", "en-us"}, {"de", "de-1996"}, {"ru", "ru"}};

std::string bench_path(const std::string& relative);
std::string bench_read(const std::string& path);
