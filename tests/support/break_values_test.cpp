#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "byte/mark_expand.h"
#include "engine/loader.h"
#include "engine/break_rule.h"
#include "tests/support/break_values.h"
#include "tests/support/plain_pass.h"
#include "tests/support/test_support.h"

namespace {

AutomatonPtr load_lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\n");
    AutomatonPtr automaton = load_pattern_text(text);
    EXPECT_NE(automaton, nullptr);
    return automaton;
}

// The lines "n1t" and ".", "a" .. "z".
std::vector<std::string> basic_lines()
{
    std::vector<std::string> lines{"n1t", "."};
    for (char c = 'a'; c <= 'z'; ++c) lines.emplace_back(1, c);
    return lines;
}

std::vector<std::string> with_single_letters(std::vector<std::string> lines)
{
    lines.emplace_back(".");
    for (char c = 'a'; c <= 'z'; ++c) lines.emplace_back(1, c);
    return lines;
}

constexpr std::size_t GUARD = 64;

// Runs find_break_values with guard bytes on both sides of the 256 entries
// and returns the entries that belong to the run's letters.
std::string values_for(const PatternAutomaton* automaton, const std::string& run, const char* small = LOWER,
                       const char* large = UPPER)
{
    std::vector<char> buffer(GUARD + WORD_VALUES_MAX + GUARD, '#');
    char* values = buffer.data() + GUARD;
    find_break_values(automaton, reinterpret_cast<const unsigned char*>(run.data()),
                      static_cast<std::int64_t>(run.size()), values, small, large);
    const std::string guards = std::string(buffer.begin(), buffer.begin() + GUARD) +
                               std::string(buffer.end() - GUARD, buffer.end());
    EXPECT_EQ(guards, std::string(2 * GUARD, '#')) << "wrote outside the 256 entries, run length " << run.size();
    return std::string(values, std::min<std::size_t>(run.size(), WORD_VALUES_MAX));
}

// Liang's rule by brute force: every substring of the framed word is looked
// up in a dictionary of the patterns; the result is trimmed to the gaps that
// leave two letters on each side.
std::string naive_values(const std::vector<std::string>& patterns, const std::string& lower_word)
{
    std::map<std::string, std::string> dictionary;  // letters -> one digit per gap
    std::size_t longest = 0;
    for (const std::string& pattern : patterns) {
        std::string letters;
        std::string gaps = "0";
        for (char c : pattern) {
            if (c >= '0' && c <= '9') {
                gaps.back() = c;
            } else {
                letters.push_back(c);
                gaps.push_back('0');
            }
        }
        longest = std::max(longest, letters.size());
        dictionary[letters] = gaps;
    }
    const std::string framed = std::string(".").append(lower_word).append(".");
    std::vector<char> gap(framed.size() + 1, '0');  // gap g lies in front of framed byte g
    for (std::size_t i = 0; i < framed.size(); ++i) {
        for (std::size_t len = 1; len <= longest && i + len <= framed.size(); ++len) {
            const auto found = dictionary.find(framed.substr(i, len));
            if (found == dictionary.end()) continue;
            for (std::size_t k = 0; k <= len; ++k) gap[i + k] = std::max(gap[i + k], found->second[k]);
        }
    }
    const std::size_t length = lower_word.size();
    std::string result;
    for (std::size_t j = 0; j < std::min<std::size_t>(length, WORD_VALUES_MAX); ++j) {
        result.push_back(j >= 1 && j + 3 <= length ? gap[j + 2] : '0');
    }
    return result;
}

// ---- hand-worked cases ------------------------------------------------------

struct WordCase {
    const char* name;
    std::vector<std::string> patterns;  // the one-byte lines "." and "a".."z" are added
    std::string run;
    std::string expected;
};

void PrintTo(const WordCase& c, std::ostream* os)
{
    *os << c.name;
}

class BreakValues : public ::testing::TestWithParam<WordCase> {};

TEST_P(BreakValues, HandWorked)
{
    const WordCase& c = GetParam();
    AutomatonPtr automaton = load_lines(with_single_letters(c.patterns));
    ASSERT_NE(automaton, nullptr);
    EXPECT_EQ(values_for(automaton.get(), c.run), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BreakValues,
    ::testing::Values(
        WordCase{"Winter", {"n1t"}, "winter", "001000"},
        WordCase{"UpperCaseFolds", {"n1t"}, "WINTER", "001000"},
        WordCase{"MixedCaseFolds", {"n1t"}, "wInTeR", "001000"},
        WordCase{"OutputOnFailureChain", {"a1b", "xab"}, "xabyz", "01000"},
        WordCase{"OutputTwoLinksDown", {"a1b", "xab", "wxab"}, "wxabyz", "001000"},
        WordCase{"OddAllowed", {"a1b"}, "xabcy", "01000"},
        WordCase{"HigherEvenVetoes", {"a1b", "2bc"}, "xabcy", "02000"},
        WordCase{"HigherOddOverridesEven", {"a2b", "3bc"}, "xabcy", "03000"},
        WordCase{"StartAnchorMatchesAtStartOnly", {".ab1c"}, "abcabcab", "01000000"},
        WordCase{"UnanchoredMatchesTwice", {"ab1c"}, "abcabcab", "01001000"},
        WordCase{"EndAnchorMatchesAtEndOnly", {"x1yz."}, "xyzxyzxyz", "000000100"},
        WordCase{"UnanchoredEndMatchesTwice", {"x1yz"}, "xyzxyzxyz", "000100100"},
        WordCase{"WholeWordPattern", {".w1i2n3t4e5r."}, "winter", "023400"},
        WordCase{"DigitBeforeLeadingDotDropped", {"1.ab3c"}, "abcd", "0300"},
        WordCase{"DigitsOnlyBeforeDot", {"9.a"}, "abcd", "0000"},
        WordCase{"RootOutputNeverMerged", {"1"}, "winter", "000000"}),
    [](const ::testing::TestParamInfo<WordCase>& param) { return std::string(param.param.name); });

// Patterns that put 1 into every gap show which entries survive the trim.
class TrimByLength : public ::testing::TestWithParam<int> {};

TEST_P(TrimByLength, OnlyEntriesOneToLengthLessThreeRemain)
{
    AutomatonPtr automaton = load_lines({".", "1a1", "1b1", "1c1", "1d1"});
    ASSERT_NE(automaton, nullptr);
    const int length = GetParam();
    std::string run;
    for (int i = 0; i < length; ++i) run.push_back("abcd"[i % 4]);
    std::string expected(static_cast<std::size_t>(length), '0');
    for (int j = 1; j <= length - 3; ++j) expected[static_cast<std::size_t>(j)] = '1';
    EXPECT_EQ(values_for(automaton.get(), run), expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, TrimByLength, ::testing::Values(1, 2, 3, 4, 5, 6, 9));

TEST(BreakValuesEdge, EmptyRunClearsTwoEntries)
{
    AutomatonPtr automaton = load_lines({".1."});
    ASSERT_NE(automaton, nullptr);
    std::vector<char> values(WORD_VALUES_MAX, '#');
    const unsigned char nothing[1] = {0};
    find_break_values(automaton.get(), nothing, 0, values.data(), LOWER, UPPER);
    EXPECT_EQ(values[0], '0');
    EXPECT_EQ(values[1], '0');
}

TEST(BreakValuesEdge, ByteWithoutRootTransitionStaysAtRoot)
{
    // Only "n1t": the root has no transition for w, i, e, r or ".".
    AutomatonPtr automaton = load_lines({"n1t"});
    ASSERT_NE(automaton, nullptr);
    EXPECT_EQ(values_for(automaton.get(), "winter"), "001000");
    EXPECT_EQ(values_for(automaton.get(), "innter"), "001000");
    EXPECT_EQ(values_for(automaton.get(), "qqqqqq"), "000000");
}

TEST(BreakValuesEdge, ByteInBothAlphabetsIsTakenUnchanged)
{
    // "t" also stands where "Z" would be; it must not fold to "z".
    AutomatonPtr automaton = load_lines(basic_lines());
    ASSERT_NE(automaton, nullptr);
    EXPECT_EQ(values_for(automaton.get(), "winter", LOWER, "ABCDEFGHIJKLMNOPQRSTUVWXYt"), "001000");
}

TEST(BreakValuesEdge, UpperAlphabetLongerThanLowerFoldsToItself)
{
    AutomatonPtr automaton = load_lines({".", "a", "b", "c", "D1b"});
    ASSERT_NE(automaton, nullptr);
    EXPECT_EQ(values_for(automaton.get(), "aDbc", "abc", "ABCD"), "0100");
    EXPECT_EQ(values_for(automaton.get(), "aBbc", "abc", "ABCD"), "0000");
}

TEST(BreakValuesEdge, HighBytesAreLettersRegardlessOfCharSign)
{
    AutomatonPtr automaton = load_lines({".", "a", "\xE4", "\xF6", "\xFF", "\xE4" "1\xF6"});
    ASSERT_NE(automaton, nullptr);
    EXPECT_EQ(values_for(automaton.get(), "a\xC4\xD6\xFF" "a", "a\xE4\xF6\xFF", "A\xC4\xD6"), "01000");
}

// ---- against the brute-force reference ------------------------------------

std::vector<std::string> random_patterns(std::mt19937& random)
{
    std::vector<std::string> patterns;
    for (int i = 0; i < 120; ++i) {
        std::string pattern;
        const auto maybe_digit = [&] {
            if (random() % 3 == 0) pattern.push_back(static_cast<char>('0' + random() % 10));
        };
        maybe_digit();
        if (random() % 5 == 0) {
            pattern.push_back('.');
            maybe_digit();
        }
        const int letters = 1 + static_cast<int>(random() % 5);
        for (int k = 0; k < letters; ++k) {
            pattern.push_back("abc"[random() % 3]);
            maybe_digit();
        }
        if (random() % 5 == 0) {
            pattern.push_back('.');
            maybe_digit();
        }
        patterns.push_back(pattern);
    }
    return patterns;
}

class AgainstReference : public ::testing::TestWithParam<int> {};

TEST_P(AgainstReference, RandomWordsOfThisLength)
{
    const int length = GetParam();
    std::mt19937 random(static_cast<unsigned>(length) * 7919u + 1u);
    const std::vector<std::string> patterns = random_patterns(random);
    AutomatonPtr automaton = load_lines(patterns);
    ASSERT_NE(automaton, nullptr);
    for (int trial = 0; trial < 5; ++trial) {
        std::string lower;
        std::string run;
        for (int i = 0; i < length; ++i) {
            const int letter = static_cast<int>(random() % 3);
            lower.push_back(static_cast<char>('a' + letter));
            run.push_back(static_cast<char>((random() % 2 ? 'a' : 'A') + letter));
        }
        ASSERT_EQ(values_for(automaton.get(), run), naive_values(patterns, lower)) << run;
    }
}

// 252 letters are the longest run framed in the fixed buffer, 254 the longest
// whose values fit the caller's array; longer runs hand back their first 256.
INSTANTIATE_TEST_SUITE_P(Lengths, AgainstReference,
                         ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 20, 40, 251, 252, 253, 254, 255,
                                           256, 257, 300, 1000));

TEST(BreakRule, MarkBitsSayWhereTheMarkedLettersPutAMark)
{
    // The two forms of the rule: marks as bits (the fast pass) and letters
    // copied with their marks (the plain pass), for runs up to past the
    // 255-letter cap and break values of every kind.
    std::mt19937 random(35);
    for (std::int64_t length = 0; length <= 300; ++length) {
        std::vector<std::uint8_t> values(static_cast<std::size_t>(length) + 1);
        for (std::uint8_t& value : values) value = static_cast<std::uint8_t>(random() % 10);
        const std::string run(static_cast<std::size_t>(length), 'a');
        std::vector<unsigned char> marked(2 * static_cast<std::size_t>(length) + 1);
        const unsigned char* end = copy_marked_letters(reinterpret_cast<const unsigned char*>(run.data()), length,
                                                       values.data(), marked.data());
        std::uint64_t bits[RUN_MARK_WORDS];
        run_mark_bits(length, values.data(), bits);
        std::string from_bits;
        for (std::int64_t j = 0; j < std::min<std::int64_t>(length, MARKED_LETTERS_MAX); ++j) {
            from_bits += 'a';
            if (bits[j / 64] >> (j % 64) & 1) from_bits += static_cast<char>(HYPHEN_MARK);
        }
        const std::string from_letters(reinterpret_cast<const char*>(marked.data()),
                                       static_cast<std::size_t>(end - marked.data()));
        ASSERT_EQ(from_bits, from_letters) << length << " letters";
        for (std::int64_t j = MARKED_LETTERS_MAX; j < 64 * RUN_MARK_WORDS; ++j) {
            ASSERT_EQ(bits[j / 64] >> (j % 64) & 1, 0u) << "bit " << j;
        }
    }
}

}  // namespace
