// Real pattern sets on real text: the expected break points were computed by
// an independent dictionary-based reference (scripts/reference_marks.py) and
// cross-checked against libhyphen.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/test_support.h"

namespace {

struct RealCase {
    const char* text;      // stem of the text under tests/data/real
    const char* patterns;  // stem of the pattern file under patterns/ and of its alphabets
};

class RealText : public ::testing::TestWithParam<RealCase> {};

std::string data_file(const std::string& name)
{
    std::string path(ZARNET_SOURCE_DIR);
    return path.append("/").append(name);
}

TEST_P(RealText, MarksMatchIndependentReference)
{
    const RealCase& c = GetParam();
    const std::string stem = data_file("tests/data/real/").append(c.text);
    const std::string alphabets = data_file("tests/data/real/").append(c.patterns);
    const std::string expected = read_bytes(std::string(stem).append(".marked"));
    const std::string input = read_bytes(std::string(stem).append(".txt"));
    ASSERT_GT(input.size(), 2000u);
    // The reference found plenty of breaks; a file without them would prove nothing.
    ASSERT_GT(std::count(expected.begin(), expected.end(), '\xAC'), 200);

    ScratchDir dir;
    const std::string out = dir.file("out");
    const RunResult run = run_zarnet({std::string(stem).append(".txt"), out,
                                      data_file("patterns/").append(c.patterns).append(".pat"),
                                      read_bytes(std::string(alphabets).append(".small")),
                                      read_bytes(std::string(alphabets).append(".large"))});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::string actual = read_bytes(out);
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected) << "first difference at byte "
                                    << (std::mismatch(actual.begin(), actual.end(), expected.begin()).first -
                                        actual.begin());

    // Taking the marks out gives the input back, byte for byte.
    std::string unmarked = actual;
    unmarked.erase(std::remove(unmarked.begin(), unmarked.end(), '\xAC'), unmarked.end());
    EXPECT_TRUE(unmarked == input);
}

INSTANTIATE_TEST_SUITE_P(PatternSets, RealText,
                         ::testing::Values(RealCase{"en", "en-us"}, RealCase{"de", "de-1996"}, RealCase{"ru", "ru"}),
                         [](const ::testing::TestParamInfo<RealCase>& param) { return std::string(param.param.text); });

}  // namespace
