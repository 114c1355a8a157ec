// End-to-end runs on file names in other scripts and on long paths, and, for
// the Windows build, how it takes its arguments and reports files in use.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string WINTER("Winter is near.");
const std::string WINTER_MARKED("Win\xACter is near.");

std::string joined(const std::string& a, const std::string& b)
{
    return std::string(a).append(b);
}

// The names in `folder` with their contents, sorted: equal lists mean nothing
// else was created, removed or changed there.
std::vector<std::string> folder_contents(const std::string& folder)
{
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        entries.push_back(entry.is_directory() ? joined(name, "/") : name + ": " + read_bytes(entry.path().string()));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string missing_message(const std::string& path)
{
    return joined("zarnet: ", path).append(": No such file or directory\n");
}

// Nested folders below `base`, each named with up to 100 repeats of `letter`
// (one character, in UTF-8), made so that `name` in the deepest one has a
// path of exactly `length` characters. Returns that path.
std::string path_of_length(const std::string& base, std::size_t length, const std::string& letter,
                           const std::string& name)
{
    std::string folder = base;
    std::size_t remaining = length - base.size() - 1 - name.size();  // characters of the folders below base
    EXPECT_NE(remaining, 1u);
    while (remaining > 1) {
        std::size_t part = std::min<std::size_t>(100, remaining - 1);
        if (remaining - 1 - part == 1) --part;
        folder.append("/");
        for (std::size_t i = 0; i < part; ++i) folder.append(letter);
        fs::create_directory(folder);
        remaining -= part + 1;
    }
    return folder + "/" + name;
}

std::size_t characters(const std::string& utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A folder holding the basic patterns; the texts go where each case wants them.
struct Patterns {
    ScratchDir dir;
    std::string hyp = dir.file("basic.pat");
    Patterns() { write_bytes(hyp, basic_patterns()); }
};

TEST(CliFileNames, NamesInPolishRussianAndGreekLetters)
{
    // In, out and pattern files named in each script, with spaces: marked,
    // marked in place, and a missing one named in the message as given
    // (in UTF-8 from the Windows build too, since code page 1252 has not
    // these letters).
    const std::vector<std::string> names{"Zażółć gęślą jaźń", "Съешь же ещё", "Ξεσκεπάζω τὴν ψυχοφθόρα"};
    for (const std::string& name : names) {
        ScratchDir dir;
        const std::string in = dir.file(name + ".txt");
        const std::string out = dir.file(name + " (marked).txt");
        const std::string hyp = dir.file(name + ".pat");
        write_bytes(in, WINTER);
        write_bytes(hyp, basic_patterns());
        const RunResult run = run_zarnet_utf8({in, out, hyp, LOWER, UPPER});
        ASSERT_EQ(run.exit_code, 0) << name << ": " << run.err;
        EXPECT_EQ(run.err, "") << name;
        EXPECT_EQ(folder_contents(dir.path),
                  (std::vector<std::string>{name + " (marked).txt: " + WINTER_MARKED, name + ".pat: " + basic_patterns(),
                                            name + ".txt: " + WINTER}));

        const RunResult in_place = run_zarnet_utf8({in, in, hyp, LOWER, UPPER});
        ASSERT_EQ(in_place.exit_code, 0) << name << ": " << in_place.err;
        EXPECT_EQ(folder_contents(dir.path),
                  (std::vector<std::string>{name + " (marked).txt: " + WINTER_MARKED, name + ".pat: " + basic_patterns(),
                                            name + ".txt: " + WINTER_MARKED}));

        const std::string missing = dir.file(name + " (missing).txt");
        const RunResult failed = run_zarnet_utf8({missing, out, hyp, LOWER, UPPER});
        EXPECT_EQ(failed.exit_code, 1) << name;
        EXPECT_EQ(failed.err, missing_message(missing)) << name;
    }
}

TEST(CliFileNames, ConsoleShowsTheNameInItsScript)
{
    // Standard error on a terminal (a console to a Windows program): the
    // name shows as its letters whatever the console's code page.
    if (run_shell("command -v script").exit_code != 0) GTEST_SKIP() << "script (util-linux) is not installed";
    Patterns patterns;
    const std::string missing = patterns.dir.file("Łódź-Ωμέγα-Жук.txt");
    const std::string command = with_utf8_arguments(
        program_command(Program::zarnet, {missing, patterns.dir.file("out.txt"), patterns.hyp, LOWER, UPPER}));
    // Wine's console moves the cursor with escape sequences; only the text counts.
    const RunResult run =
        run_shell(joined("script -qec ", shell_quote(command + " >/dev/null")).append(" /dev/null </dev/null"));
    EXPECT_EQ(run.exit_code, 1);
    std::string shown;
    for (std::size_t i = 0; i < run.out.size(); ++i) {
        if (run.out[i] == '\x1b' && i + 1 < run.out.size() && run.out[i + 1] == '[') {
            i += 2;
            while (i < run.out.size() && !std::isalpha(static_cast<unsigned char>(run.out[i]))) ++i;
        } else if (run.out[i] != '\r') {
            shown.push_back(run.out[i]);
        }
    }
    EXPECT_EQ(shown, missing_message(missing));
}

TEST(CliLongPaths, PathsAroundAndBeyond260Characters)
{
    // Beyond the 260 characters of a plain Windows path, and just below it
    // with a name shorter than the temporary one made beside it.
    for (std::size_t length : {250u, 259u, 300u}) {
        Patterns patterns;
        const std::string in = path_of_length(patterns.dir.path, length, "d", "i");
        const std::string folder = fs::path(in).parent_path().string();
        write_bytes(in, WINTER);
        write_bytes(folder + "/p", basic_patterns());
        ASSERT_EQ(characters(in), length);
        const RunResult run = run_zarnet({in, folder + "/o", folder + "/p", LOWER, UPPER});
        ASSERT_EQ(run.exit_code, 0) << length << ": " << run.err;
        EXPECT_EQ(folder_contents(folder), (std::vector<std::string>{joined("i: ", WINTER), joined("o: ", WINTER_MARKED),
                                                                     joined("p: ", basic_patterns())}))
            << length;
    }
}

TEST(CliLongPaths, PathsOf1000CharactersInRussianLettersAndInPlace)
{
    Patterns patterns;
    const std::string in = path_of_length(patterns.dir.path, 1000, "ж", "in.txt");
    const std::string folder = fs::path(in).parent_path().string();
    const std::string out = folder + "/out.txt";
    write_bytes(in, WINTER);
    ASSERT_EQ(characters(in), 1000u);
    const RunResult run = run_zarnet_utf8({in, out, patterns.hyp, LOWER, UPPER});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(folder_contents(folder),
              (std::vector<std::string>{joined("in.txt: ", WINTER), joined("out.txt: ", WINTER_MARKED)}));

    const RunResult in_place = run_zarnet_utf8({in, in, patterns.hyp, LOWER, UPPER});
    ASSERT_EQ(in_place.exit_code, 0) << in_place.err;
    EXPECT_EQ(folder_contents(folder),
              (std::vector<std::string>{joined("in.txt: ", WINTER_MARKED), joined("out.txt: ", WINTER_MARKED)}));
}

TEST(CliWindowsArguments, MessageNamesAFileInTheAnsiCodePageWhenItCan)
{
    if (!testing_windows_program()) GTEST_SKIP() << "the Windows build's messages";
    // Written to a file, a message keeps the bytes it always had: "ö" is
    // byte 0xF6 of code page 1252, although the name came in as UTF-8.
    Patterns patterns;
    const RunResult run = run_zarnet_utf8(
        {patterns.dir.file("Köln.txt"), patterns.dir.file("out.txt"), patterns.hyp, LOWER, UPPER});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, missing_message(patterns.dir.file("K\xF6ln.txt")));
}

TEST(CliWindowsArguments, AlphabetsAreBytesOfTheAnsiCodePage)
{
    if (!testing_windows_program()) GTEST_SKIP() << "the Windows build's arguments";
    // "ö" given as UTF-8 is the letter 0xF6 of code page 1252: without it
    // as a letter, "K\xF6nig" would be the words "K" and "nig", unmarked.
    Patterns patterns;
    const std::string in = patterns.dir.file("in.txt");
    const std::string out = patterns.dir.file("out.txt");
    write_bytes(in, "K\xF6nig");
    write_bytes(patterns.hyp, joined(basic_patterns(), "\xF6" "1n\n"));
    const RunResult run = run_zarnet_utf8({in, out, patterns.hyp, joined(LOWER, "ö"), joined(UPPER, "Ö")});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(out), "K\xF6\xACnig");

    // A letter that code page lacks has no byte to stand for: refused, rather
    // than taken as a look-alike ("L") or "?".
    const RunResult refused = run_zarnet_utf8({in, out, patterns.hyp, joined(LOWER, "ł"), joined(UPPER, "Ł")});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(refused.err, "zarnet: smallChars: ł is not in the ANSI code page (1252)\n");
    EXPECT_EQ(read_bytes(out), "K\xF6\xACnig");
}

TEST(CliArguments, AlphabetBytesThatCodePage1252LeavesUndefined)
{
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for no letter in code page 1252,
    // yet on the way in and back to bytes they must stay themselves.
    Patterns patterns;
    const std::string in = patterns.dir.file("in.txt");
    const std::string out = patterns.dir.file("out.txt");
    write_bytes(in, "aa\x81\x8D" "bb \x90\x9D\x8F\x81\x8D\x8F");
    write_bytes(patterns.hyp, joined(basic_patterns(), "\x81" "1\x8D\n"));
    const RunResult run =
        run_zarnet({in, out, patterns.hyp, joined(LOWER, "\x81\x8D\x8F"), joined(UPPER, "\x90\x9D\x8F")});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(out), "aa\x81\xAC\x8D" "bb \x90\x9D\x8F\x81\xAC\x8D\x8F");
}

// Runs `command` while another Windows program holds `held` open, sharing it
// with no one.
RunResult run_while_held(const std::string& held, const std::string& command)
{
    const std::string signal = held + ".held";
    std::string script = program_command(Program::hold_file, {held, signal});
    // Wine may take long to start the holder on a busy machine: the run
    // waits for it, and fails saying so rather than run with the file free.
    script.append(" & n=0; while [ ! -e ")
        .append(shell_quote(signal))
        .append(" ] && [ $n -lt 6000 ]; do sleep 0.02; n=$((n+1)); done; [ -e ")
        .append(shell_quote(signal))
        .append(" ] || { echo 'the holding program did not start' >&2; kill %1; exit 99; }; ")
        .append(command)
        .append(" </dev/null; code=$?; rm -f ")
        .append(shell_quote(signal))
        .append("; wait; exit $code");
    return run_shell(joined("timeout 300 bash -c ", shell_quote(script)));
}

TEST(CliWindowsFiles, FileInUseByAnotherProgram)
{
    if (!testing_windows_program()) GTEST_SKIP() << "sharing modes";
    Patterns patterns;
    const std::string in = patterns.dir.file("in.txt");
    const std::string out = patterns.dir.file("out.txt");
    write_bytes(in, WINTER);
    write_bytes(out, "earlier content\n");
    const std::string in_use = ": File in use by another program\n";
    const std::vector<std::string> before = folder_contents(patterns.dir.path);

    const RunResult reading = run_while_held(in, program_command(Program::zarnet, {in, out, patterns.hyp, LOWER, UPPER}));
    EXPECT_EQ(reading.exit_code, 1);
    EXPECT_EQ(reading.err, joined("zarnet: ", in).append(in_use));
    EXPECT_EQ(folder_contents(patterns.dir.path), before);

    const RunResult writing = run_while_held(out, program_command(Program::zarnet, {in, out, patterns.hyp, LOWER, UPPER}));
    EXPECT_EQ(writing.exit_code, 1);
    EXPECT_EQ(writing.err, joined("zarnet: ", out).append(in_use));
    EXPECT_EQ(folder_contents(patterns.dir.path), before);
}

TEST(CliWindowsFiles, ManifestDeclaresLongPathsAndLeavesTheCodePage)
{
    if (!testing_windows_program()) GTEST_SKIP() << "the Windows build's manifest";
    const std::string program = read_bytes(std::string(std::getenv("ZARNET_TEST_WINDOWS_DIR")) + "/zarnet.exe");
    EXPECT_NE(program.find("<ws2:longPathAware>true</ws2:longPathAware>"), std::string::npos);
    EXPECT_EQ(program.find("activeCodePage"), std::string::npos);
}

}  // namespace
