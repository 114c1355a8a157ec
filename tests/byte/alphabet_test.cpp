#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "byte/alphabet.h"
#include "byte/letter_table.h"

namespace {

// ---- alphabets --------------------------------------------------------------

TEST(Alphabet, LettersAreBytesOfEitherAlphabet)
{
    EXPECT_TRUE(is_letter('a', "abc", "ABC"));
    EXPECT_TRUE(is_letter('C', "abc", "ABC"));
    EXPECT_FALSE(is_letter('d', "abc", "ABC"));
    EXPECT_FALSE(is_letter('-', "abc", "ABC"));
    EXPECT_FALSE(is_letter(0, "abc", "ABC"));
    EXPECT_TRUE(is_letter(0xE4, "a\xE4", "A\xC4"));
    EXPECT_TRUE(is_letter(0xC4, "a\xE4", "A\xC4"));
    EXPECT_FALSE(is_letter(0xC5, "a\xE4", "A\xC4"));
    EXPECT_FALSE(is_letter('a', "", ""));
}

struct FoldCase {
    const char* small;
    const char* large;
    unsigned char byte;
    unsigned char folded;
};

void PrintTo(const FoldCase& c, std::ostream* os)
{
    *os << "byte " << int{c.byte} << " in \"" << c.small << "\" / \"" << c.large << "\"";
}

class FoldLetter : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldLetter, FoldsByPosition)
{
    const FoldCase& c = GetParam();
    EXPECT_EQ(fold_letter(c.byte, c.small, c.large), c.folded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FoldLetter,
    ::testing::Values(FoldCase{"abc", "ABC", 'B', 'b'},          // upper case folds by position
                      FoldCase{"abc", "ABC", 'b', 'b'},          // lower case stays
                      FoldCase{"abc", "ABC", '-', '-'},          // not a letter stays
                      FoldCase{"abc", "CBA", 'A', 'c'},          // position, not the letter's name
                      FoldCase{"ab", "ABCD", 'C', 'C'},          // beyond the lower alphabet
                      FoldCase{"ab", "ABCD", 'D', 'D'},          //   likewise, last byte
                      FoldCase{"ab", "ABCD", 'B', 'b'},          //   within it still folds
                      FoldCase{"abc", "bca", 'a', 'a'},          // in both: taken unchanged
                      FoldCase{"abc", "bca", 'b', 'b'},          //   likewise
                      FoldCase{"a\xE4\xF6", "A\xC4\xD6", 0xD6, 0xF6},  // high bytes
                      FoldCase{"", "ABC", 'A', 'A'}));

TEST(LetterTable, AgreesWithTheAlphabetRulesForEveryByte)
{
    // Alphabets with repeats, high bytes, a byte in both, and upper-case
    // alphabets longer or shorter than the lower-case one.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string small;
        std::string large;
        for (std::size_t n = random() % 12; n > 0; --n) small.push_back(static_cast<char>(1 + random() % 255));
        for (std::size_t n = random() % 12; n > 0; --n) large.push_back(static_cast<char>(1 + random() % 255));
        if (!small.empty() && round % 3 == 0) large.push_back(small[0]);
        LetterTable table;
        letter_table_build(&table, small.c_str(), large.c_str());
        for (int b = 0; b < 256; ++b) {
            const unsigned char byte = static_cast<unsigned char>(b);
            ASSERT_EQ(table.letter[b], is_letter(byte, small.c_str(), large.c_str())) << round << " " << b;
            ASSERT_EQ(table.fold[b], fold_letter(byte, small.c_str(), large.c_str())) << round << " " << b;
        }
    }
}

}  // namespace
