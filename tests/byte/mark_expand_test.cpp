#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "byte/mark_expand.h"

namespace {

TEST(MarkExpand, EveryPathWritesTheTextWithAMarkAfterEachMarkedByte)
{
    std::mt19937 random(34);
    constexpr std::size_t WORDS = 12;
    std::vector<unsigned char> text(64 * WORDS + 64);
    std::vector<std::uint64_t> marks(WORDS + 2);
    for (int round = 0; round < 400; ++round) {
        for (unsigned char& b : text) b = static_cast<unsigned char>(random());
        // From no marks to a mark after every byte.
        const unsigned density = round % 9;
        for (std::uint64_t& word : marks) {
            word = 0;
            for (int i = 0; i < 64; ++i) word |= static_cast<std::uint64_t>(random() % 8 < density) << i;
        }
        const std::size_t from = random() % (64 * WORDS);
        const std::size_t to = from + random() % (64 * WORDS - from + 1);
        std::string expected;
        for (std::size_t i = from; i < to; ++i) {
            expected += static_cast<char>(text[i]);
            if (marks[i / 64] >> (i % 64) & 1) expected += static_cast<char>(HYPHEN_MARK);
        }
        for (ExpandPath path : {ExpandPath::plain, ExpandPath::ssse3, ExpandPath::avx512}) {
            if (!expand_path_supported(path)) continue;
            std::vector<unsigned char> out(2 * (to - from) + EXPAND_SLACK, 0x55);
            const unsigned char* end = expand_marks_along(path, text.data(), marks.data(), from, to, out.data());
            const std::size_t written = static_cast<std::size_t>(end - out.data());
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(out.data()), written), expected)
                << "round " << round << ", path " << static_cast<int>(path) << ", bytes " << from << " to " << to;
        }
    }
}

}  // namespace
