// End-to-end runs of zarnet-utf8 on what differs most between systems: line
// ends and standard streams, arguments and file names outside any code page,
// and the output left alone on failure. They run against this build and,
// under Wine, against the Windows build.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A set's real words (tests/data/utf8) one a CR LF line, every fifth
// followed by symbols that are no letters, and the same with "-" where
// LuaTeX breaks the words.
struct Sample {
    std::string text;
    std::string marked;
};

Sample tex_sample(const std::string& set)
{
    const std::string data = std::string(ZARNET_SOURCE_DIR).append("/tests/data/utf8/").append(set);
    const std::vector<std::string> words = lines_of(read_bytes(data + ".words"));
    const std::vector<std::string> broken = lines_of(read_bytes(data + ".tex"));
    EXPECT_EQ(words.size(), broken.size()) << set;
    EXPECT_GE(words.size(), 100u) << set;
    Sample sample;
    for (std::size_t i = 0; i < words.size() && i < broken.size(); ++i) {
        const std::string tail = i % 5 == 0 ? " \xF0\x9F\x98\x80\xE2\x86\x92\xE2\x9C\x93\r\n" : "\r\n";  // 😀→✓
        sample.text.append(words[i]).append(tail);
        sample.marked.append(broken[i]).append(tail);
    }
    return sample;
}

TEST(Utf8Program, GreekAndHindiBreakWhereTexBreaksThem)
{
    // From a file to a file and from standard input to standard output: the
    // CR LF line ends and the symbols come back as they were.
    for (const std::string set : {"el-monoton", "hi"}) {
        const Sample sample = tex_sample(set);
        ScratchDir dir;
        write_bytes(dir.file("in.txt"), sample.text);
        const RunResult to_file = run_utf8_program({"--mark=-", set, dir.file("in.txt"), dir.file("out.txt")});
        ASSERT_EQ(to_file.exit_code, 0) << set << ": " << to_file.err;
        EXPECT_EQ(to_file.err, "") << set;
        EXPECT_EQ(read_bytes(dir.file("out.txt")), sample.marked) << set;

        const RunResult piped = run_utf8_program({"--mark=-", set, "-", "-"}, dir.file("in.txt"));
        ASSERT_EQ(piped.exit_code, 0) << set << ": " << piped.err;
        EXPECT_EQ(piped.out, sample.marked) << set;
    }
}

TEST(Utf8Program, TextThatIsNotUtf8IsRefusedAndNothingWritten)
{
    // A lone continuation byte on the second line: the output file is neither
    // made nor, when it exists, changed.
    const std::string text = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\r\n\xCE\xBC\xCE\xAD \x80 \xCF\x81\xCE\xB1\r\n";
    for (bool output_exists : {false, true}) {
        ScratchDir dir;
        write_bytes(dir.file("in.txt"), text);
        if (output_exists) write_bytes(dir.file("out.txt"), "before\r\n");
        const std::vector<std::string> before = folder_snapshot(dir.path);
        const RunResult run = run_utf8_program({"el", dir.file("in.txt"), dir.file("out.txt")});
        EXPECT_EQ(run.exit_code, 1) << output_exists;
        EXPECT_EQ(run.err, "zarnet-utf8: " + dir.file("in.txt") + ": not UTF-8 at line 2, byte offset 15\n");
        EXPECT_EQ(folder_snapshot(dir.path), before) << output_exists;
    }
}

TEST(Utf8Program, NamesAndMarkInGreekLetters)
{
    // The mark (U+2027, in no single-byte code page) and the names arrive as
    // the characters they are, and a missing file is named as given.
    const std::string mark = "\xE2\x80\xA7";
    ScratchDir dir;
    const std::string in = dir.file("Ξεσκεπάζω τὴν ψυχοφθόρα.txt");
    const std::string out = dir.file("Καλημέρα (σημαδεμένο).txt");
    write_bytes(in, "Καλημέρα κόσμε\r\n");
    const std::string marked = "Κα‧λη‧μέ‧ρα κό‧σμε\r\n";  // as LuaTeX breaks them, minima 1 and 1

    const RunResult run = run_utf8_program({"--mark=" + mark, "el", in, out});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(out), marked);

    const RunResult in_place = run_utf8_program({"--mark=" + mark, "--in-place", "el", in});
    ASSERT_EQ(in_place.exit_code, 0) << in_place.err;
    EXPECT_EQ(read_bytes(in), marked);

    const std::string missing = dir.file("Ωμέγα.txt");
    const RunResult failed = run_utf8_program({"el", missing, out});
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_EQ(failed.err, "zarnet-utf8: " + missing + ": No such file or directory\n");
    EXPECT_EQ(read_bytes(out), marked);
}

}  // namespace
