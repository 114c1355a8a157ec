#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/fuzz/fuzz_input.h"

std::string write_fuzz_patterns(const std::string& patterns)
{
    static const std::string path = "/tmp/zarnet-fuzz-" + std::to_string(getpid()) + ".pat";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return path;
    std::fwrite(patterns.data(), 1, patterns.size(), file);
    std::fclose(file);
    return path;
}
