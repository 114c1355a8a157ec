#pragma once
// Splits one fuzzer input into what a run of zarnet takes: the two alphabets,
// a pattern file and a text.
//   byte 0: length of smallChars; then its bytes
//   next byte: length of largeChars; then its bytes
//   next two bytes: length of the pattern file (little-endian); then its bytes
//   the rest: the text
// NUL bytes in the alphabets end them, as on a command line.

#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzRun {
    std::string smallChars;
    std::string largeChars;
    std::string patterns;
    std::string text;
};

inline FuzzRun split_fuzz_input(const std::uint8_t* data, std::size_t size)
{
    FuzzRun run;
    std::size_t at = 0;
    const auto take = [&](std::size_t count) {
        const std::size_t n = count < size - at ? count : size - at;
        std::string part(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return part;
    };
    const auto byte = [&]() -> std::size_t { return at < size ? data[at++] : 0; };
    run.smallChars = take(byte());
    run.largeChars = take(byte());
    const std::size_t low = byte();
    run.patterns = take(low | byte() << 8);
    run.text = take(size - at);
    run.smallChars = run.smallChars.c_str();
    run.largeChars = run.largeChars.c_str();
    return run;
}

// Writes the pattern file where load_patterns can read it; the path is
// private to this process.
std::string write_fuzz_patterns(const std::string& patterns);
