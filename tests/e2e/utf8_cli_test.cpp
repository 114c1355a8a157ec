// zarnet-utf8 end to end: what passes through untouched, what is marked, and
// how failures end. Breaks themselves are compared with TeX elsewhere
// (tests/utf8/tex_agreement.sh); the marks here are TeX's too.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

using namespace std::string_literals;

RunResult run_utf8(const std::vector<std::string>& args, const std::string& stdin_text = "")
{
    std::string command = shell_quote(ZARNET_UTF8_EXE);
    for (const std::string& arg : args) command.append(" ").append(shell_quote(arg));
    if (!stdin_text.empty()) {
        ScratchDir dir;
        write_bytes(dir.file("in"), stdin_text);
        return run_shell(command + " <" + shell_quote(dir.file("in")));
    }
    return run_shell(command + " </dev/null");
}

struct MarkCase {
    const char* name;
    std::vector<std::string> options;  // before LANG
    const char* lang;
    std::string text;
    std::string marked;  // with "=" as the mark
};

const MarkCase MARK_CASES[] = {
    {"EnglishMinimaAreTheLanguagesOwn", {}, "en", "Hyphenation beautifully.\n", "Hy=phen=ation beau=ti=fully.\n"},
    {"MinimaGivenOnTheCommandLine", {"--right=2"}, "en-US", "beautifully", "beau=ti=ful=ly"},
    {"GreekWithCapitals", {}, "el", "ΥΠΟΛΟΓΙΣΤΗΣ υπολογιστής", "Υ=ΠΟ=ΛΟ=ΓΙ=ΣΤΗΣ υ=πο=λο=γι=στής"},
    {"Hindi", {}, "hi", "हिन्दी भाषा", "हि=न्दी भा=षा"},
    {"EmojiSymbolsBomCrLfAndNulPassThrough",
     {},
     "de",
     "\xEF\xBB\xBF" "Donaudampfschiff\xF0\x9F\x98\x80\xE2\x86\x92\xE2\x9C\x93 Kapit\xC3\xA4n\r\n\0Wunderbar"s,
     "\xEF\xBB\xBF" "Do=nau=dampf=schiff\xF0\x9F\x98\x80\xE2\x86\x92\xE2\x9C\x93 Ka=pi=t\xC3\xA4n\r\n\0Wun=der=bar"s},
    {"DecomposedAccentsGetTheComposedWordsMarks", {}, "de", "Kapita\xCC\x88n Ka\xCC\x88ssebrot", "Ka=pi=ta\xCC\x88n Ka\xCC\x88s=se=brot"},
    {"AWordWithItsAuthorsSoftHyphensIsLeftAlone", {}, "de", "Donau\xC2\xAD" "dampfschiff Donaudampf",
     "Donau\xC2\xAD" "dampfschiff Do=nau=dampf"},
    {"PartsJoinedByAHyphenAreWordsOfTheirOwn", {}, "de", "Donaudampfschifffahrts-Kapitän well-known",
     "Do=nau=dampf=schiff=fahrts-Ka=pi=tän well-known"},
    {"BcpTagsNameTheirSets", {}, "sr-Latn", "hemija", "he=mi=ja"},
};

class Utf8Marks : public ::testing::TestWithParam<MarkCase> {};

// Each text through a file and through standard input and output.
TEST_P(Utf8Marks, MarksOnlyLettersAndKeepsEveryOtherByte)
{
    const MarkCase& c = GetParam();
    ScratchDir dir;
    write_bytes(dir.file("in.txt"), c.text);
    std::vector<std::string> args = c.options;
    args.insert(args.begin(), "--mark==");
    args.push_back(c.lang);
    std::vector<std::string> files = args;
    files.push_back(dir.file("in.txt"));
    files.push_back(dir.file("out.txt"));
    const RunResult run = run_utf8(files);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(dir.file("out.txt")), c.marked);
    args.push_back("-");
    args.push_back("-");
    const RunResult piped = run_utf8(args, c.text);
    EXPECT_EQ(piped.exit_code, 0) << piped.err;
    EXPECT_EQ(piped.out, c.marked);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Marks, ::testing::ValuesIn(MARK_CASES),
                         [](const ::testing::TestParamInfo<MarkCase>& param) { return std::string(param.param.name); });

TEST(Utf8Marks, TheDefaultMarkIsTheSoftHyphen)
{
    const RunResult run = run_utf8({"en", "-", "-"}, "patterns");
    EXPECT_EQ(run.out, "pat\xC2\xADterns");
}

TEST(Utf8Failure, TextThatIsNotUtf8IsRefusedWithItsLineAndOffsetAndNothingIsWritten)
{
    ScratchDir dir;
    write_bytes(dir.file("in.txt"), "first line\nsecond \xC3(line\n");
    write_bytes(dir.file("out.txt"), "kept");
    const RunResult run = run_utf8({"de", dir.file("in.txt"), dir.file("out.txt")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("in.txt: not UTF-8 at line 2, byte offset 18"), std::string::npos) << run.err;
    EXPECT_EQ(read_bytes(dir.file("out.txt")), "kept");
    EXPECT_EQ(folder_snapshot(dir.path).size(), 2u);
}

// A long stretch of ASCII is read straight into the engine's pieces: the
// text after it is marked as it is alone, and a bad byte after it is placed
// by its line and offset.
TEST(Utf8Marks, TextAfterALongAsciiStretchIsMarkedAndPlacedAsAlone)
{
    std::string ascii;
    for (int k = 0; k < 40000; ++k) ascii += "Donaudampfschiff Wunderbar " + std::to_string(k) + "\n";
    const std::string rest = "Kapit\xC3\xA4n \xC3\x9C" "bergr\xC3\xB6\xC3\x9F" "e Donaudampfschiff\n";
    const RunResult whole = run_utf8({"--mark==", "de", "-", "-"}, ascii + rest);
    ASSERT_EQ(whole.exit_code, 0) << whole.err;
    EXPECT_EQ(whole.out, run_utf8({"--mark==", "de", "-", "-"}, ascii).out +
                             run_utf8({"--mark==", "de", "-", "-"}, rest).out);
    EXPECT_NE(whole.out.find("Ka=pi=t\xC3\xA4n"), std::string::npos);
    ScratchDir dir;
    write_bytes(dir.file("in.txt"), ascii + "Kapit\xC3(n\n");
    const RunResult bad = run_utf8({"de", dir.file("in.txt"), dir.file("out.txt")});
    EXPECT_EQ(bad.exit_code, 1);
    EXPECT_NE(bad.err.find("not UTF-8 at line 40001, byte offset " + std::to_string(ascii.size() + 5)),
              std::string::npos)
        << bad.err;
}

TEST(Utf8Failure, AnUnknownLanguageIsRefusedWithTheNames)
{
    const RunResult run = run_utf8({"xx-YY", "-", "-"}, "text");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("no pattern set for 'xx-YY'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" el-monoton "), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST(Utf8InPlace, EveryFileIsMarkedAndAFailingOneIsNamedAndLeftAsItWas)
{
    ScratchDir dir;
    std::vector<std::string> args{"--mark==", "--in-place", "de"};
    // Text k of the twelve: "Donaudampfschiff k", the sixth not UTF-8.
    const auto text = [](int k, const char* word) { return std::string(word).append(std::to_string(k)).append("\n"); };
    for (int k = 0; k < 12; ++k) {
        const std::string name = dir.file(std::string("f").append(std::to_string(k)).append(".txt"));
        write_bytes(name, k == 5 ? std::string("Kapit\xE4n\n") : text(k, "Donaudampfschiff "));
        args.push_back(name);
    }
    args.push_back(dir.file("missing.txt"));
    const RunResult run = run_utf8(args);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("f5.txt: not UTF-8 at line 1, byte offset 5"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("missing.txt: No such file or directory"), std::string::npos) << run.err;
    for (int k = 0; k < 12; ++k) {
        const std::string content = read_bytes(dir.file(std::string("f").append(std::to_string(k)).append(".txt")));
        EXPECT_EQ(content, k == 5 ? std::string("Kapit\xE4n\n") : text(k, "Do=nau=dampf=schiff "));
    }
    EXPECT_FALSE(file_exists(dir.file("missing.txt")));
}

// Every file in the format its name says; those that cannot be marked are
// named and left as they were.
TEST(Utf8Markup, EachFileInItsFormatAndTheFaultyOnesLeftAsTheyWere)
{
    ScratchDir dir;
    const std::string page = "<p title=\"Silbentrennung\">Silbentrennung</p>";
    const std::string xhtml = "<html xmlns=\"http://www.w3.org/1999/xhtml\">" + page + "</html>";
    const struct {
        const char* name;
        std::string text;
        std::string after;  // empty: refused, left as it was
        const char* reason;
    } files[] = {
        {"a.html", page, "<p title=\"Silbentrennung\">Sil=ben=tren=nung</p>", nullptr},
        {"b.XHTML", xhtml, "<html xmlns=\"http://www.w3.org/1999/xhtml\"><p title=\"Silbentrennung\">Sil=ben=tren=nung</p></html>",
         nullptr},
        {"c.txt", page, "<p title=\"Sil=ben=tren=nung\">Sil=ben=tren=nung</p>", nullptr},
        {"d.xhtml", page + "<br>", "", "d.xhtml: not well-formed XML at line 1, byte offset 44"},
        {"e.htm", "<p>Kapit\xE4n</p>", "", "e.htm: not UTF-8 at line 1, byte offset 8"},
        {"f.epub", page, "", "f.epub: "},
    };
    std::vector<std::string> args{"--mark==", "--in-place", "de"};
    for (const auto& file : files) {
        write_bytes(dir.file(file.name), file.text);
        args.push_back(dir.file(file.name));
    }
    const RunResult run = run_utf8(args);
    EXPECT_EQ(run.exit_code, 1);
    for (const auto& file : files) {
        EXPECT_EQ(read_bytes(dir.file(file.name)), file.after.empty() ? file.text : file.after) << file.name;
        if (file.reason != nullptr) {
            EXPECT_NE(run.err.find(file.reason), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(folder_snapshot(dir.path).size(), std::size(files));
    // A refused book leaves no output behind.
    const RunResult book = run_utf8({"de", dir.file("f.epub"), dir.file("out.epub")});
    EXPECT_EQ(book.exit_code, 1);
    EXPECT_NE(book.err.find("f.epub: not a zip archive"), std::string::npos) << book.err;
    EXPECT_FALSE(file_exists(dir.file("out.epub")));
}

TEST(Utf8Markup, ANamedReferenceAsTheMarkOnlyInHtml)
{
    const std::string page = "<p>Silbentrennung</p>";
    EXPECT_EQ(run_utf8({"--format=html", "--mark=&shy;", "de", "-", "-"}, page).out, "<p>Sil&shy;ben&shy;tren&shy;nung</p>");
    const RunResult refused = run_utf8({"--format=xhtml", "--mark=&shy;", "de", "-", "-"}, page);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("named reference"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());
}

}  // namespace
