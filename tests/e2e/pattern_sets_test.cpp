// Every shipped pattern set: its alphabets, its header, and its marks on a
// real sample against those computed by the independent reference
// (scripts/reference_marks.py, when tests/data/sets/ was made).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

const std::string source_dir = ZARNET_SOURCE_DIR;

std::vector<std::string> shipped_sets()
{
    std::vector<std::string> sets;
    for (const auto& entry : std::filesystem::directory_iterator(source_dir + "/patterns")) {
        if (entry.path().extension() == ".pat") sets.push_back(entry.path().stem().string());
    }
    std::sort(sets.begin(), sets.end());
    return sets;
}

std::vector<std::string> lines_of(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

// The iconv name of each set's code page, from patterns/charsets.
std::string charset_of(const std::string& set)
{
    for (const std::string& line : lines_of(read_bytes(source_dir + "/patterns/charsets"))) {
        if (line.rfind(set + " ", 0) == 0) return line.substr(set.size() + 1);
    }
    return "";
}

TEST(PatternSets, AtLeastFiftyShipWithEverythingBesideThem)
{
    const std::vector<std::string> sets = shipped_sets();
    EXPECT_GE(sets.size(), 50u);
    for (const std::string& set : sets) {
        for (const char* suffix : {".small", ".large"}) {
            EXPECT_TRUE(file_exists(source_dir + "/patterns/" + set + suffix)) << set << suffix;
        }
        for (const char* suffix : {".txt", ".marked"}) {
            EXPECT_TRUE(file_exists(source_dir + "/tests/data/sets/" + set + suffix)) << set << suffix;
        }
        EXPECT_NE(charset_of(set), "") << set << " is not in patterns/charsets";
    }
}

class PatternSet : public ::testing::TestWithParam<std::string> {};

// The alphabets fold the patterns' letters: every letter a pattern uses is
// in the small alphabet, every letter there is used, no byte is in both or
// twice, none is the mark, and the code page is one where 0xAC is not a letter.
TEST_P(PatternSet, AlphabetsHoldExactlyThePatternLetters)
{
    const std::string& set = GetParam();
    const std::string small = read_bytes(source_dir + "/patterns/" + set + ".small");
    const std::string large = read_bytes(source_dir + "/patterns/" + set + ".large");
    ASSERT_FALSE(small.empty());
    EXPECT_LE(large.size(), small.size());
    std::set<unsigned char> seen;
    for (unsigned char c : small + large) {
        EXPECT_TRUE(seen.insert(c).second) << set << ": byte " << int(c) << " twice";
        EXPECT_GT(c, 0x20) << set;
        EXPECT_NE(c, 0xAC) << set << ": the mark is a letter";
        EXPECT_FALSE(is_digit(c) || c == '.') << set;
    }
    const std::set<std::string> code_pages = {"CP1250",     "CP1251",     "CP1252",     "CP1253",
                                              "CP1254",     "CP1257",     "ISO-8859-1", "ISO-8859-7",
                                              "ISO-8859-9", "ISO-8859-13", "ISO-8859-15"};
    EXPECT_TRUE(code_pages.count(charset_of(set))) << set << ": " << charset_of(set);

    std::set<unsigned char> used;
    for (const std::string& line : lines_of(read_bytes(source_dir + "/patterns/" + set + ".pat"))) {
        ASSERT_LE(line.size(), 78u) << set << ": " << line;
        if (line.empty() || line[0] == '%') continue;
        for (unsigned char c : line) {
            if (!is_digit(c) && c != '.') used.insert(c);
        }
    }
    for (unsigned char c : used) {
        EXPECT_NE(small.find(char(c)), std::string::npos) << set << ": pattern letter " << int(c);
    }
    for (unsigned char c : small) EXPECT_TRUE(used.count(c)) << set << ": unused letter " << int(c);
}

// The header names source and licence, and the exception count it gives is
// the number of whole-word exception lines after the patterns.
TEST_P(PatternSet, HeaderNamesSourceLicenceAndExceptions)
{
    const std::string& set = GetParam();
    const std::string bytes = read_bytes(source_dir + "/patterns/" + set + ".pat");
    EXPECT_NE(bytes.find("% Source: Debian package "), std::string::npos) << set;
    EXPECT_TRUE(bytes.find("licen") != std::string::npos || bytes.find("copying") != std::string::npos ||
                bytes.find("Copying") != std::string::npos)
        << set;
    const std::size_t at = bytes.find("% Exceptions: ");
    if (set == "en-us" || set == "de-1996" || set == "ru") {
        // first shipped without exceptions and kept byte for byte
        EXPECT_EQ(at, std::string::npos) << set;
        return;
    }
    ASSERT_NE(at, std::string::npos) << set;
    const int stated = std::stoi(bytes.substr(at + 14));
    const std::size_t copied = bytes.find("% Conversion: the ");
    ASSERT_NE(copied, std::string::npos) << set;
    const int patterns = std::stoi(bytes.substr(copied + 18));
    // after the set's own patterns: only lines such as .t8a9b8l8e., dots at
    // both ends and 8 or 9 in every gap
    int pattern_lines = 0;
    int whole_words = 0;
    for (const std::string& line : lines_of(bytes)) {
        if (line.empty() || line[0] == '%') continue;
        if (++pattern_lines <= patterns) continue;
        bool every_gap = line.size() >= 5 && line[0] == '.' && line.back() == '.' && line.size() % 2 == 1;
        for (std::size_t i = 2; every_gap && i + 1 < line.size(); i += 2) {
            every_gap = (line[i] == '8' || line[i] == '9') && !is_digit(static_cast<unsigned char>(line[i - 1]));
        }
        EXPECT_TRUE(every_gap) << set << ": " << line;
        whole_words += every_gap;
    }
    EXPECT_EQ(whole_words, stated) << set;
    EXPECT_EQ(pattern_lines, patterns + stated) << set;
}

// zarnet loads the set and marks the sample exactly as the reference did.
TEST_P(PatternSet, MarksSampleAsTheReference)
{
    const std::string& set = GetParam();
    const std::string stem = source_dir + "/tests/data/sets/" + set;
    const std::string expected = read_bytes(stem + ".marked");
    ASSERT_GE(std::count(expected.begin(), expected.end(), '\xAC'), 20) << set;

    ScratchDir dir;
    const RunResult run = run_zarnet({stem + ".txt", dir.file("out"), source_dir + "/patterns/" + set + ".pat",
                                      read_bytes(source_dir + "/patterns/" + set + ".small"),
                                      read_bytes(source_dir + "/patterns/" + set + ".large")});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::string actual = read_bytes(dir.file("out"));
    EXPECT_TRUE(actual == expected) << set << ": first difference at byte "
                                    << (std::mismatch(actual.begin(), actual.end(), expected.begin(),
                                                      expected.end())
                                            .first -
                                        actual.begin());
}

// Each folded exception gets exactly its own breaks from zarnet (none within
// two letters of either end), also with its first letter in capitals.
TEST_P(PatternSet, ExceptionWordsGetExactlyTheirBreaks)
{
    const std::string& set = GetParam();
    const std::string bytes = read_bytes(source_dir + "/patterns/" + set + ".pat");
    const std::size_t copied = bytes.find("% Conversion: the ");
    if (bytes.find("% Exceptions: ") == std::string::npos || bytes.find("% Exceptions: 0 ") != std::string::npos) {
        GTEST_SKIP() << set << " carries no exceptions";
    }
    const std::string small = read_bytes(source_dir + "/patterns/" + set + ".small");
    const std::string large = read_bytes(source_dir + "/patterns/" + set + ".large");
    const int patterns = std::stoi(bytes.substr(copied + 18));
    std::string text;
    std::string expected;
    int pattern_lines = 0;
    for (const std::string& line : lines_of(bytes)) {
        if (line.empty() || line[0] == '%' || ++pattern_lines <= patterns) continue;
        // .t8a9b8l8e. -> letters t a b l e, 9 after letter 1
        std::string word;
        std::string marked;
        const std::size_t letters = (line.size() - 1) / 2;
        for (std::size_t k = 0; k < letters; ++k) {
            char letter = line[1 + 2 * k];
            const std::size_t at = small.find(letter);
            if (k == 0 && at < large.size()) letter = large[at];
            word += letter;
            marked += letter;
            if (k >= 1 && k + 3 <= letters && line[2 + 2 * k] == '9') marked += '\xAC';
        }
        text += word + "\n";
        expected += marked + "\n";
    }
    ASSERT_FALSE(text.empty()) << set;

    ScratchDir dir;
    write_bytes(dir.file("in"), text);
    const RunResult run =
        run_zarnet({dir.file("in"), dir.file("out"), source_dir + "/patterns/" + set + ".pat", small, large});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(read_bytes(dir.file("out")) == expected) << set;
}

INSTANTIATE_TEST_SUITE_P(Shipped, PatternSet, ::testing::ValuesIn(shipped_sets()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
