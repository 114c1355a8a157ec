// Streams for the test of inputs beyond 4 GiB, without any of it on disk:
//   zarnet_large generate SAMPLE BYTES   writes SAMPLE repeated until BYTES are reached
//   zarnet_large check MARKED BYTES SAMPLE_SIZE
//                                        reads standard input and requires it to be
//                                        MARKED repeated as many times
// The sample must end with a byte that is not a letter, so that repeating it
// changes no word.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string read_file(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint64_t repeats(std::uint64_t bytes, std::uint64_t sample_size)
{
    return (bytes + sample_size - 1) / sample_size;
}

int generate(const std::string& sample, std::uint64_t bytes)
{
    std::uint64_t left = repeats(bytes, sample.size());
    std::string block;
    while (block.size() < (1u << 20)) block += sample;
    const std::uint64_t per_block = block.size() / sample.size();
    while (left > 0) {
        const std::uint64_t n = left < per_block ? left : per_block;
        if (std::fwrite(block.data(), 1, n * sample.size(), stdout) != n * sample.size()) return 1;
        left -= n;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int check(const std::string& marked, std::uint64_t bytes, std::uint64_t sample_size)
{
    const std::uint64_t expected = repeats(bytes, sample_size) * marked.size();
    std::vector<char> buffer(1 << 20);
    std::uint64_t seen = 0;
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), stdin);
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i, ++seen) {
            if (buffer[i] != marked[seen % marked.size()]) {
                std::fprintf(stderr, "output byte %llu differs from the sample's marks\n",
                             static_cast<unsigned long long>(seen));
                return 1;
            }
        }
    }
    if (seen != expected) {
        std::fprintf(stderr, "output has %llu bytes, expected %llu\n", static_cast<unsigned long long>(seen),
                     static_cast<unsigned long long>(expected));
        return 1;
    }
    std::printf("%llu bytes of output checked\n", static_cast<unsigned long long>(seen));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "generate") == 0) {
        return generate(read_file(argv[2]), std::strtoull(argv[3], nullptr, 10));
    }
    if (argc == 5 && std::strcmp(argv[1], "check") == 0) {
        return check(read_file(argv[2]), std::strtoull(argv[3], nullptr, 10), std::strtoull(argv[4], nullptr, 10));
    }
    std::fputs("usage: zarnet_large generate SAMPLE BYTES | check MARKED BYTES SAMPLE_SIZE\n", stderr);
    return 2;
}
