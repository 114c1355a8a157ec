// copy_floor IN OUT SMALL LARGE: the least a marker must do, for comparisons.
// Finds the runs of letters with the fastest letter mask the processor has
// and copies the text with one byte inserted after the second letter of
// every run of four letters or more, streaming as zarnet does (256 KiB read,
// 1 MiB written at a time). Its output is not a marked text.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/letter_mask.h"
#include "byte/letter_table.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fputs("usage: copy_floor IN OUT SMALL LARGE\n", stderr);
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (in == nullptr || out == nullptr) {
        std::perror("copy_floor");
        return 1;
    }
    LetterTable letters;
    letter_table_build(&letters, argv[3], argv[4]);
    constexpr std::size_t chunk = std::size_t{1} << 18;
    constexpr std::size_t block = std::size_t{1} << 20;
    std::vector<unsigned char> text(chunk + 64, 0);
    std::vector<unsigned char> marked(block + 2 * chunk);
    std::vector<std::uint64_t> bits(chunk / 64 + 1, 0);
    std::size_t used = 0;
    std::size_t carried = 0;
    for (;;) {
        const std::size_t got = std::fread(text.data() + carried, 1, chunk - carried, in);
        const std::size_t count = carried + got;
        const bool final = got < chunk - carried;
        std::memset(text.data() + count, 0, 64);
        letter_mask_build(letters.letter, text.data(), (count + 63) / 64 * 64, bits.data());
        bits[(count + 63) / 64] = 0;
        // Without the end of the text, a run touching the end waits for the next block.
        std::size_t limit = count;
        if (!final) {
            while (limit > 0 && letters.letter[text[limit - 1]]) --limit;
        }
        std::size_t from = 0;
        std::size_t pos = 0;
        while (pos < limit) {
            std::uint64_t word = bits[pos / 64] >> (pos % 64) << (pos % 64);
            std::size_t k = pos / 64;
            while (word == 0 && 64 * ++k < limit) word = bits[k];
            if (word == 0) break;
            const std::size_t start = 64 * k + static_cast<std::size_t>(std::countr_zero(word));
            if (start >= limit) break;
            std::uint64_t rest = ~bits[start / 64] >> (start % 64) << (start % 64);
            std::size_t e = start / 64;
            while (rest == 0) rest = ~bits[++e];
            const std::size_t end = 64 * e + static_cast<std::size_t>(std::countr_zero(rest));
            if (end - start >= 4) {
                std::memcpy(marked.data() + used, text.data() + from, start + 2 - from);
                used += start + 2 - from;
                marked[used++] = 0xAC;
                from = start + 2;
            }
            pos = end;
        }
        std::memcpy(marked.data() + used, text.data() + from, limit - from);
        used += limit - from;
        if (used >= block || final) {
            std::fwrite(marked.data(), 1, used, out);
            used = 0;
        }
        carried = count - limit;
        std::memmove(text.data(), text.data() + limit, carried);
        if (final) break;
    }
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : 1;
}
