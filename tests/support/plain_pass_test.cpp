#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "byte/mark_expand.h"
#include "engine/loader.h"
#include "tests/support/break_values.h"
#include "tests/support/plain_pass.h"
#include "tests/support/test_support.h"

using namespace std::string_literals;

namespace {

AutomatonPtr load_text(const std::string& patterns)
{
    AutomatonPtr automaton = load_pattern_text(patterns);
    EXPECT_NE(automaton, nullptr);
    return automaton;
}

// Runs the text pass over `text` (a NUL is added after it, as the driver
// does) and returns what it wrote.
std::string mark(const PatternAutomaton* automaton, const std::string& text, const char* small = LOWER,
                 const char* large = UPPER)
{
    std::vector<unsigned char> input(text.begin(), text.end());
    input.push_back(0);
    const std::size_t room = 2 * text.size();
    std::vector<unsigned char> output(room + 16, '#');
    const std::int64_t written = run_text(automaton, input.data(), output.data(), small, large);
    EXPECT_GE(written, 0);
    EXPECT_LE(static_cast<std::size_t>(written), room);
    EXPECT_EQ(std::string(output.begin() + static_cast<std::ptrdiff_t>(room), output.end()), std::string(16, '#'));
    return std::string(output.begin(), output.begin() + written);
}

const std::string MARK(1, static_cast<char>(HYPHEN_MARK));

struct TextCase {
    const char* name;
    std::string extra_patterns;  // added to the basic patterns
    std::string small;
    std::string large;
    std::string input;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.name;
}

class TextPass : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextPass, Marks)
{
    const TextCase& c = GetParam();
    AutomatonPtr automaton = load_text(basic_patterns() + c.extra_patterns);
    ASSERT_NE(automaton, nullptr);
    EXPECT_EQ(mark(automaton.get(), c.input, c.small.c_str(), c.large.c_str()), c.expected);
}

const std::string lower(LOWER);
const std::string upper(UPPER);

INSTANTIATE_TEST_SUITE_P(
    Cases, TextPass,
    ::testing::Values(
        TextCase{"Empty", "", lower, upper, "", ""},
        TextCase{"OnlyNonLetters", "", lower, upper, " ,.;-\t\n1\xFF", " ,.;-\t\n1\xFF"},
        TextCase{"Sentence", "", lower, upper, "Winter is near.", "Win"s + MARK + "ter is near."},
        TextCase{"CaseKept", "", lower, upper, "WINTER wInTeR", "WIN"s + MARK + "TER wIn"s + MARK + "TeR"},
        TextCase{"HyphenSplitsWords", ".ma1i\n", lower, upper, "e-mail email",
                 "e-ma"s + MARK + "il email"},
        TextCase{"NulEndsText", "", lower, upper, std::string("Winter\0winter", 13), "Win"s + MARK + "ter"},
        TextCase{"LineEndsPassThrough", "", lower, upper, "Winter\r\nwinter\r\rwinter\n",
                 "Win"s + MARK + "ter\r\nwin"s + MARK + "ter\r\rwin"s + MARK + "ter\n"},
        // "." as a letter joins the two words into one run and can match inside it.
        TextCase{"DotInAlphabet", "r1.\n", lower + ".", upper, "winter.winter",
                 "win"s + MARK + "ter"s + MARK + ".win"s + MARK + "ter"},
        TextCase{"DotNotInAlphabet", "r1.\n", lower, upper, "winter.winter",
                 "win"s + MARK + "ter.win"s + MARK + "ter"},
        // With digits as letters "wint3" is a run of five, which may break after "win".
        TextCase{"DigitsInAlphabet", "", lower + "0123456789", upper, "wint3 wint", "win"s + MARK + "t3 wint"},
        TextCase{"DigitsNotInAlphabet", "", lower, upper, "wint3 wint", "wint3 wint"},
        TextCase{"MarkByteAsLetter", "n1\xAC\n", lower + "\xAC", upper, "win\xACter",
                 "win"s + MARK + "\xAC" "ter"},
        TextCase{"HighBytesAsLetters", "\xE4" "1\xF6\n", lower + "\xE4\xF6", upper + "\xC4\xD6",
                 "x\xC4\xD6yz \xE4\xF6\xE4\xF6\xE4",
                 "x\xC4"s + MARK + "\xD6yz \xE4\xF6\xE4"s + MARK + "\xF6\xE4"}),
    [](const ::testing::TestParamInfo<TextCase>& param) { return std::string(param.param.name); });

// Patterns that make every gap odd: each letter of a long run that may break
// gets a mark, up to letter 254 and no further.
class LongRun : public ::testing::TestWithParam<int> {};

TEST_P(LongRun, MarksOnlyAfterLetters0To254)
{
    AutomatonPtr automaton = load_text(".\n1a1\n1b1\n1c1\n");
    ASSERT_NE(automaton, nullptr);
    const int length = GetParam();
    std::string run;
    for (int i = 0; i < length; ++i) run.push_back("abcABC"[i % 6]);
    std::string expected = "x ";
    for (int j = 0; j < length; ++j) {
        expected.push_back(run[static_cast<std::size_t>(j)]);
        if (j >= 1 && j <= length - 3 && j <= 254) expected.append(MARK);
    }
    expected.append(" ab");
    const std::string marked = mark(automaton.get(), std::string("x ").append(run).append(" ab"));
    EXPECT_EQ(marked, expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongRun, ::testing::Values(4, 252, 253, 254, 255, 256, 257, 258, 300, 1000));

}  // namespace
