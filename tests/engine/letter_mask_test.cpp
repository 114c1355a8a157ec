#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/letter_mask.h"

namespace {

TEST(LetterMask, EveryPathGivesThePlainMask)
{
    std::mt19937 random(33);
    std::vector<unsigned char> text(64 * 40);
    for (int round = 0; round < 50; ++round) {
        bool letter[256] = {};
        const int letters = 1 + static_cast<int>(random() % 200);
        for (int k = 0; k < letters; ++k) letter[1 + random() % 255] = true;
        for (unsigned char& b : text) b = static_cast<unsigned char>(random());
        std::vector<std::uint64_t> plain(40), other(40);
        letter_mask_build_along(LetterMaskPath::plain, letter, text.data(), text.size(), plain.data());
        for (LetterMaskPath path : {LetterMaskPath::ssse3, LetterMaskPath::avx2}) {
            if (!letter_mask_path_supported(path)) continue;
            letter_mask_build_along(path, letter, text.data(), text.size(), other.data());
            ASSERT_EQ(other, plain) << "round " << round << ", path " << static_cast<int>(path);
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            ASSERT_EQ((plain[i / 64] >> (i % 64) & 1) != 0, letter[text[i]]) << "byte " << i;
        }
    }
}

}  // namespace
