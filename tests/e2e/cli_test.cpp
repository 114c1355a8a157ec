// End-to-end runs of the zarnet executable on files, pipes and devices.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/plain_pass.h"
#include "tests/support/random_cases.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string WINTER("Winter is near.");
const std::string WINTER_MARKED("Win\xACter is near.");

// The quoted command line that runs zarnet with `args`, for use in a shell.
std::string zarnet_command(const std::vector<std::string>& args)
{
    return program_command(Program::zarnet, args);
}

std::string joined(const std::string& a, const std::string& b)
{
    return std::string(a).append(b);
}

std::string error_line(const std::string& file, int error)
{
    return std::string("zarnet: ").append(file).append(": ").append(std::strerror(error)).append("\n");
}

// The one error line naming `file`. Where the reason is the system's own
// rather than the program's (a read or write refused by the device), a
// Windows system may give it in other words, so there only the form counts.
void expect_system_error_line(const std::string& err, const std::string& file, int error)
{
    if (!testing_windows_program()) {
        EXPECT_EQ(err, error_line(file, error));
        return;
    }
    const std::string head = std::string("zarnet: ").append(file).append(": ");
    EXPECT_EQ(err.compare(0, head.size(), head), 0) << err;
    EXPECT_GT(err.size(), head.size() + 1) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

std::vector<std::string> snapshot(const std::string& root)
{
    return folder_snapshot(root);
}

unsigned mode_of(const std::string& path)
{
    struct stat info;
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// A folder holding the input "Winter is near.", the basic patterns and an
// output file with earlier content.
struct Job {
    ScratchDir dir;
    std::string in = dir.file("in.txt");
    std::string out = dir.file("out.txt");
    std::string hyp = dir.file("basic.pat");
    Job()
    {
        write_bytes(in, WINTER);
        write_bytes(hyp, basic_patterns());
        write_bytes(out, "earlier content\n");
    }
    std::vector<std::string> args() const { return {in, out, hyp, LOWER, UPPER}; }
};

// The run fails with one line naming `named` and the system's reason, and
// leaves the folder of the job exactly as it was.
void expect_failure(const Job& job, const std::vector<std::string>& args, const std::string& named, int error,
                    bool system_reason = false)
{
    const std::vector<std::string> before = snapshot(job.dir.path);
    const RunResult run = run_zarnet(args);
    EXPECT_EQ(run.exit_code, 1);
    if (system_reason) {
        expect_system_error_line(run.err, named, error);
    } else {
        EXPECT_EQ(run.err, error_line(named, error));
    }
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(snapshot(job.dir.path), before);
}

// Reading /proc/self/mem at offset 0 fails with EIO where address 0 is unmapped.
bool proc_mem_gives_eio()
{
    const int fd = open("/proc/self/mem", O_RDONLY);
    if (fd < 0) return false;
    char byte;
    const bool eio = read(fd, &byte, 1) < 0 && errno == EIO;
    close(fd);
    return eio;
}

class CliUsage : public ::testing::TestWithParam<int> {};

TEST_P(CliUsage, WrongArgumentCountPrintsUsageAndOpensNothing)
{
    Job job;
    fs::remove(job.out);
    // The pattern file is missing: loading it would show up on stderr.
    const std::vector<std::string> all = {job.in, job.out, job.dir.file("missing.pat"), LOWER, UPPER, "extra"};
    const RunResult run = run_zarnet(std::vector<std::string>(all.begin(), all.begin() + GetParam()));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "Usage: zarnet.exe <in_file> <out_file> <hyp_file> <smallChars> <largeChars>\n");
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(file_exists(job.out));
}

INSTANTIATE_TEST_SUITE_P(ArgumentCounts, CliUsage, ::testing::Values(0, 4, 6));

TEST(CliRun, MarksBreaksKeepsCaseAndSplitsWordsAtNonLetters)
{
    Job job;
    // "m1a" may break "email" but not "mail", whose first gap is never marked.
    write_bytes(job.hyp, joined(basic_patterns(), "m1a\n"));
    write_bytes(job.in, "Winter is near. WINTER email e-mail");
    const RunResult run = run_zarnet(job.args());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(read_bytes(job.out), "Win\xACter is near. WIN\xACTER em\xAC" "ail e-mail");
}

TEST(CliRun, EmptyInputCreatesEmptyOutput)
{
    Job job;
    write_bytes(job.in, "");
    fs::remove(job.out);
    ASSERT_EQ(run_zarnet(job.args()).exit_code, 0);
    ASSERT_TRUE(file_exists(job.out));
    EXPECT_EQ(fs::file_size(job.out), 0u);
}

TEST(CliRun, EveryNonLetterBytePassesThrough)
{
    Job job;
    std::string others;
    for (int b = 1; b < 256; ++b) {
        if ((b < 'a' || b > 'z') && (b < 'A' || b > 'Z')) others.push_back(static_cast<char>(b));
    }
    write_bytes(job.in, joined("Winter\r\nWinter\r\n", others).append("Winter"));
    ASSERT_EQ(run_zarnet(job.args()).exit_code, 0);
    EXPECT_EQ(read_bytes(job.out), joined("Win\xACter\r\nWin\xACter\r\n", others).append("Win\xACter"));
}

TEST(CliRun, NulByteEndsTheText)
{
    Job job;
    write_bytes(job.in, std::string("Winter\0is near\r\n", 16));
    ASSERT_EQ(run_zarnet(job.args()).exit_code, 0);
    EXPECT_EQ(read_bytes(job.out), "Win\xACter");
}

// A pattern set too large for packed 32-bit tables (over 2^16 states with
// transitions and over 2^16 outputs) is still served by the streamed pass:
// an endless input ends at its first NUL byte, and nothing is read whole.
TEST(CliRun, LargePatternSetStillStreams)
{
    SKIP_FOR_WINDOWS_PROGRAM("/dev/zero");
    Job job;
    std::mt19937 random(9);
    std::string patterns;
    for (int line = 0; line < 70000; ++line) {
        for (int k = 0; k < 8; ++k) patterns.push_back(static_cast<char>('a' + random() % 26));
        patterns.append("1\n");
    }
    write_bytes(job.hyp, patterns);
#if defined(__SANITIZE_ADDRESS__)
    const char* limit = "";  // AddressSanitizer cannot run under a virtual memory limit
#else
    const char* limit = "ulimit -v 1048576 && ";
#endif
    const RunResult run = run_shell(
        joined(std::string(limit) + "timeout 60 ", zarnet_command({"/dev/zero", job.out, job.hyp, LOWER, UPPER})));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(job.out), "");
}

TEST(CliRun, HighBytesAreLettersWhenInTheAlphabets)
{
    // ISO-8859-1: ä ö ü ß and Ä Ö Ü, passed as raw bytes.
    Job job;
    write_bytes(job.hyp, joined(basic_patterns(), "\xF6" "1n\na1\xDF\n"));
    write_bytes(job.in, "K\xF6nig K\xD6NIG Stra\xDF" "e \xABgut\xBB");
    const RunResult run =
        run_zarnet({job.in, job.out, job.hyp, joined(LOWER, "\xE4\xF6\xFC\xDF"), joined(UPPER, "\xC4\xD6\xDC")});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(job.out), "K\xF6\xACnig K\xD6\xACNIG Stra\xAC\xDF" "e \xABgut\xBB");
}

TEST(CliRun, InputAndOutputMayBeTheSameFile)
{
    Job job;
    ASSERT_EQ(run_zarnet({job.in, job.in, job.hyp, LOWER, UPPER}).exit_code, 0);
    EXPECT_EQ(read_bytes(job.in), WINTER_MARKED);
}

TEST(CliRun, WildcardsInArgumentsAreNotExpanded)
{
    // Run in a folder where "x*" names two files: expanded, the alphabets
    // would become those names and the argument count would be wrong.
    Job job;
    write_bytes(job.dir.file("x1"), "");
    write_bytes(job.dir.file("x2"), "");
    write_bytes(job.hyp, "*1x\n");
    write_bytes(job.in, "x*x* X*X* *x");
    const RunResult run = run_shell(joined("cd ", shell_quote(job.dir.path))
                                        .append(" && ")
                                        .append(zarnet_command({"in.txt", "out.txt", "basic.pat", "x*", "X*"})));
    ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
    EXPECT_EQ(read_bytes(job.out), "x*\xACx* X*\xACX* *x");
}

TEST(CliRun, NullDeviceIsWrittenDirectly)
{
    // Replacing the null device would put a plain file in its place.
    Job job;
    const std::string null_device = testing_windows_program() ? "NUL" : "/dev/null";
    const std::vector<std::string> before = snapshot(job.dir.path);
    const RunResult run = run_zarnet({job.in, null_device, job.hyp, LOWER, UPPER});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(snapshot(job.dir.path), before);
    if (!testing_windows_program()) {
        EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
    }
}

TEST(CliRun, WindowsPathsWithDriveAndBackslashes)
{
    if (!testing_windows_program()) GTEST_SKIP() << "Windows paths";
    // Wine's drive Z: is the root of the POSIX file system.
    Job job;
    const auto windows_path = [](std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return joined("Z:", path);
    };
    const RunResult run = run_zarnet({windows_path(job.in), windows_path(job.out), windows_path(job.hyp), LOWER, UPPER});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(snapshot(job.dir.path),
              (std::vector<std::string>{joined("basic.pat: ", basic_patterns()), joined("in.txt: ", WINTER),
                                        joined("out.txt: ", WINTER_MARKED)}));
    const std::string missing = windows_path(job.dir.file("missing\\out.txt"));
    expect_failure(job, {job.in, missing, job.hyp, LOWER, UPPER}, missing, ENOENT);
}

TEST(CliRun, WindowsBuildWritesTheSameBytesAsThisOne)
{
    if (!testing_windows_program()) GTEST_SKIP() << "compares the Windows build with this system's";
    // Random pattern files (CR LF, 0x1A), alphabets of any bytes and texts,
    // and now and then a missing file: outputs, messages and exit codes
    // must be the same to the byte.
    CaseGenerator generator{std::mt19937(1209)};
    std::size_t marks = 0;
    for (int i = 0; i < 40; ++i) {
        const MarkingCase c = generator.make(static_cast<std::size_t>(generator.below(6000)));
        Job job;
        write_bytes(job.hyp, c.patterns);
        write_bytes(job.in, c.text);
        const std::string hyp = i % 10 == 9 ? job.dir.file("missing.pat") : job.hyp;
        const std::string out_here = job.dir.file("here.txt");
        const std::string label = "case " + std::to_string(i);
        const RunResult windows = run_zarnet({job.in, job.out, hyp, c.smallChars, c.largeChars});
        const RunResult here =
            run_shell(program_command(Program::zarnet_here, {job.in, out_here, hyp, c.smallChars, c.largeChars})
                          .append(" </dev/null"));
        EXPECT_EQ(windows.exit_code, here.exit_code) << label;
        EXPECT_EQ(windows.out, here.out) << label;
        EXPECT_EQ(windows.err, here.err) << label;
        const std::string marked = read_bytes(job.out);
        if (here.exit_code == 0) {
            EXPECT_TRUE(marked == read_bytes(out_here)) << label;
        }
        marks += static_cast<std::size_t>(std::count(marked.begin(), marked.end(), '\xAC'));
        if (HasFailure()) return;
    }
    EXPECT_GT(marks, 1000u);
}

// Some MiB of real text with long runs in it: enough for the threaded pass.
std::string large_text()
{
    const std::string sample = read_bytes(std::string(ZARNET_SOURCE_DIR) + "/tests/data/real/en.txt");
    std::string text;
    for (int k = 0; text.size() < 3u << 20; ++k) {
        text += sample;
        if (k % 50 == 0) text.append(static_cast<std::size_t>(300 + 7 * k), "nt"[k % 2]);
    }
    return text;
}

TEST(CliRun, LargeInputGivesThePlainWalksBytes)
{
    Job job;
    const std::string text = large_text();
    const std::string patterns = read_bytes(std::string(ZARNET_SOURCE_DIR) + "/patterns/en-us.pat");
    write_bytes(job.in, text);
    write_bytes(job.hyp, patterns);
    const RunResult run = run_zarnet(job.args());
    ASSERT_EQ(run.exit_code, 0) << run.err;

    const AutomatonPtr automaton = load_pattern_text(patterns);
    ASSERT_NE(automaton, nullptr);
    std::vector<unsigned char> expected(2 * text.size() + 1);
    const std::int64_t size =
        run_text(automaton.get(), reinterpret_cast<const unsigned char*>(text.c_str()), expected.data(), LOWER, UPPER);
    EXPECT_TRUE(read_bytes(job.out) ==
                std::string(reinterpret_cast<const char*>(expected.data()), static_cast<std::size_t>(size)));
}

TEST(CliFailure, LargeOutputFailingPartWay)
{
    if (testing_windows_program()) GTEST_SKIP() << "no /dev/full and no file size limit";
    Job job;
    write_bytes(job.in, large_text());
    expect_failure(job, {job.in, "/dev/full", job.hyp, LOWER, UPPER}, "/dev/full", ENOSPC);
    const std::vector<std::string> before = snapshot(job.dir.path);
    // Under a file size limit of 1 MiB the write fails while pieces are still being marked.
    const RunResult run = run_shell(joined("trap '' XFSZ && ulimit -f 1024 && ", zarnet_command(job.args())));
    EXPECT_EQ(run.exit_code, 1);
    expect_system_error_line(run.err, job.out, EFBIG);
    EXPECT_EQ(snapshot(job.dir.path), before);
}

TEST(CliPatternFile, CrlfLinesReadLikeLfLines)
{
    Job job;
    std::string crlf;
    for (char c : basic_patterns()) {
        if (c == '\n') crlf.push_back('\r');
        crlf.push_back(c);
    }
    write_bytes(job.hyp, crlf);
    ASSERT_EQ(run_zarnet(job.args()).exit_code, 0);
    EXPECT_EQ(read_bytes(job.out), WINTER_MARKED);
}

TEST(CliPatternFile, CtrlZEndsTheFile)
{
    // Patterns after a 0x1A byte are not read; without it they would mark.
    Job job;
    write_bytes(job.in, "Winter");
    write_bytes(job.hyp, joined(basic_patterns(), "i1n\nt1e\n"));
    ASSERT_EQ(run_zarnet(job.args()).exit_code, 0);
    EXPECT_EQ(read_bytes(job.out), "Wi\xACn\xACt\xAC" "er");
    write_bytes(job.hyp, joined(basic_patterns(), "\x1Ai1n\nt1e\n"));
    ASSERT_EQ(run_zarnet(job.args()).exit_code, 0);
    EXPECT_EQ(read_bytes(job.out), "Win\xACter");
}

TEST(CliFailure, PatternFileMissing)
{
    Job job;
    const std::string missing = job.dir.file("missing.pat");
    expect_failure(job, {job.in, job.out, missing, LOWER, UPPER}, missing, ENOENT);
}

TEST(CliFailure, PatternFileIsAFolder)
{
    Job job;
    const std::string folder = job.dir.file("patterns");
    fs::create_directory(folder);
    expect_failure(job, {job.in, job.out, folder, LOWER, UPPER}, folder, EISDIR);
}

TEST(CliFailure, InputFileMissing)
{
    Job job;
    const std::string missing = job.dir.file("missing.txt");
    expect_failure(job, {missing, job.out, job.hyp, LOWER, UPPER}, missing, ENOENT);
}

TEST(CliFailure, InputFileIsAFolder)
{
    Job job;
    expect_failure(job, {job.dir.path, job.out, job.hyp, LOWER, UPPER}, job.dir.path, EISDIR);
}

TEST(CliFailure, ReadErrors)
{
    if (!proc_mem_gives_eio()) GTEST_SKIP() << "/proc/self/mem gives no read error here";
    Job job;
    expect_failure(job, {"/proc/self/mem", job.out, job.hyp, LOWER, UPPER}, "/proc/self/mem", EIO, true);
    expect_failure(job, {job.in, job.out, "/proc/self/mem", LOWER, UPPER}, "/proc/self/mem", EIO, true);
}

TEST(CliFailure, OutputFolderMissing)
{
    Job job;
    const std::string out = job.dir.file("no-such-folder/out.txt");
    expect_failure(job, {job.in, out, job.hyp, LOWER, UPPER}, out, ENOENT);
}

TEST(CliFailure, OutputIsAFolder)
{
    Job job;
    const std::string folder = job.dir.file("folder");
    fs::create_directory(folder);
    expect_failure(job, {job.in, folder, job.hyp, LOWER, UPPER}, folder, EISDIR);
}

TEST(CliFailure, OutputDeviceFull)
{
    Job job;
    expect_failure(job, {job.in, "/dev/full", job.hyp, LOWER, UPPER}, "/dev/full", ENOSPC);
}

TEST(CliFailure, OutputWriteFailsPartWay)
{
    // Under a file size limit of 512 bytes the write of the longer text fails.
    Job job;
    std::string text;
    while (text.size() < 2000) text.append(WINTER);
    write_bytes(job.in, text);
    const std::vector<std::string> before = snapshot(job.dir.path);
    const RunResult run = run_shell(joined("trap '' XFSZ && ulimit -f 1 && ", zarnet_command(job.args())));
    EXPECT_EQ(run.exit_code, 1);
    expect_system_error_line(run.err, job.out, EFBIG);
    EXPECT_EQ(snapshot(job.dir.path), before);
}

TEST(CliFailure, OutputFolderNotWritable)
{
    if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    Job job;
    const std::string folder = job.dir.file("locked");
    fs::create_directory(folder);
    // A new file cannot be made there (an existing one is written in place).
    const std::string out = joined(folder, "/out.txt");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    expect_failure(job, {job.in, out, job.hyp, LOWER, UPPER}, out, EACCES);
}

// Makes a folder immutable while alive, where the file system and the user
// allow it: then not even root may create or rename a file in it.
struct ImmutableFolder {
    std::string path;
    bool made;
    explicit ImmutableFolder(const std::string& folder)
        : path(folder), made(run_shell(joined("chattr +i ", shell_quote(folder))).exit_code == 0)
    {
    }
    ~ImmutableFolder()
    {
        if (made) run_shell(joined("chattr -i ", shell_quote(path)));
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
};

TEST(CliFailure, OutputFolderImmutable)
{
    Job job;
    const std::string folder = job.dir.file("locked");
    fs::create_directory(folder);
    const std::string out = joined(folder, "/out.txt");
    const std::string kept = joined(folder, "/kept.txt");
    write_bytes(kept, "earlier content\n");
    const ImmutableFolder lock(folder);
    if (!lock.made) GTEST_SKIP() << "chattr +i is not allowed here";
    // No new file can be made there...
    expect_failure(job, {job.in, out, job.hyp, LOWER, UPPER}, out, EPERM, true);
    // ... but an existing one may be written: the output is made in the
    // system's temporary folder and copied in.
    ScratchDir temporary;
    const RunResult run = run_shell(joined("TMPDIR=", shell_quote(temporary.path))
                                        .append(" ")
                                        .append(zarnet_command({job.in, kept, job.hyp, LOWER, UPPER})));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(kept), WINTER_MARKED);
    // (Windows has a temporary folder of its own.)
    if (!testing_windows_program()) {
        EXPECT_TRUE(fs::is_empty(temporary.path));
    }
}

TEST(CliFailure, OutputFileReadOnly)
{
    // Wine shows a file without write permission as a read-only one, to root too.
    if (geteuid() == 0 && !testing_windows_program()) GTEST_SKIP() << "root may write anywhere";
    Job job;
    fs::permissions(job.out, fs::perms::owner_read);
    expect_failure(job, job.args(), job.out, EACCES);
}

TEST(CliFailure, OutputFolderVanishingDuringTheRun)
{
    // The text comes through a FIFO, so the run can be held while the
    // temporary output exists; then its folder is removed.
    Job job;
    const std::string fifo = job.dir.file("in.fifo");
    const std::string folder = job.dir.file("out");
    const std::string out = folder + "/marked.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    std::string script = "( ";
    script.append(zarnet_command({fifo, out, job.hyp, LOWER, UPPER}))
        .append(" ) & exec 3>")
        .append(shell_quote(fifo))
        .append("; printf Winter >&3; n=0; while [ -z \"$(ls -A ")
        .append(shell_quote(folder))
        .append(")\" ] && [ $n -lt 2000 ]; do sleep 0.01; n=$((n+1)); done; rm -rf ")
        .append(shell_quote(folder))
        .append("; printf ' is near' >&3; exec 3>&-; wait $!");
    const RunResult run = run_shell(joined("timeout 30 bash -c ", shell_quote(script)));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, error_line(out, ENOENT));
    EXPECT_FALSE(file_exists(folder));
}

TEST(CliReplace, ReplacesTheFileAndLeavesNoTemporaryFile)
{
    Job job;
    const RunResult run = run_zarnet(job.args());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(snapshot(job.dir.path),
              (std::vector<std::string>{joined("basic.pat: ", basic_patterns()), joined("in.txt: ", WINTER),
                                        joined("out.txt: ", WINTER_MARKED)}));
}

TEST(CliReplace, KeepsPermissionBitsAndLeavesNoTemporaryFile)
{
    SKIP_FOR_WINDOWS_PROGRAM("permission bits");
    Job job;
    ASSERT_EQ(chmod(job.out.c_str(), 0640), 0);
    // With umask 022 a newly created file would get 0644.
    const RunResult run = run_shell(joined("umask 022 && ", zarnet_command(job.args())));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(job.out), WINTER_MARKED);
    EXPECT_EQ(mode_of(job.out), 0640u);
    EXPECT_EQ(snapshot(job.dir.path),
              (std::vector<std::string>{joined("basic.pat: ", basic_patterns()), joined("in.txt: ", WINTER),
                                        joined("out.txt: ", WINTER_MARKED)}));
}

TEST(CliReplace, NewFileGetsModeFromUmask)
{
    SKIP_FOR_WINDOWS_PROGRAM("permission bits");
    Job job;
    fs::remove(job.out);
    ASSERT_EQ(run_shell(joined("umask 027 && ", zarnet_command(job.args()))).exit_code, 0);
    EXPECT_EQ(mode_of(job.out), 0640u);
    fs::remove(job.out);
    ASSERT_EQ(run_shell(joined("umask 002 && ", zarnet_command(job.args()))).exit_code, 0);
    EXPECT_EQ(mode_of(job.out), 0664u);
    EXPECT_EQ(read_bytes(job.out), WINTER_MARKED);
}

TEST(CliReplace, SymlinkStaysALinkAndItsTargetGetsTheText)
{
    SKIP_FOR_WINDOWS_PROGRAM("symbolic links to files in general use");
    Job job;
    fs::create_directory(job.dir.file("real"));
    write_bytes(job.dir.file("real/target.txt"), "earlier content\n");
    const std::string link = job.dir.file("link.txt");
    fs::create_symlink("real/target.txt", link);
    ASSERT_EQ(run_zarnet({job.in, link, job.hyp, LOWER, UPPER}).exit_code, 0);
    EXPECT_EQ(snapshot(job.dir.path),
              (std::vector<std::string>{joined("basic.pat: ", basic_patterns()), joined("in.txt: ", WINTER),
                                        "link.txt -> real/target.txt", "out.txt: earlier content\n", "real/",
                                        joined("real/target.txt: ", WINTER_MARKED)}));
}

TEST(CliStream, PipelineThroughStdinAndStdout)
{
    SKIP_FOR_WINDOWS_PROGRAM("names for the standard streams");
    Job job;
    // More than one read's worth, so that the input has to grow.
    std::string text;
    std::string expected;
    while (text.size() < 300 * 1024) {
        text.append("Winter\r\n");
        expected.append("Win\xACter\r\n");
    }
    write_bytes(job.in, text);
    const RunResult run =
        run_shell(joined(joined("cat ", shell_quote(job.in)).append(" | "),
                         zarnet_command({"/dev/stdin", "/dev/stdout", job.hyp, LOWER, UPPER})));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out == expected) << "got " << run.out.size() << " bytes";
}

TEST(CliStream, FifoIsWrittenDirectly)
{
    SKIP_FOR_WINDOWS_PROGRAM("FIFOs");
    Job job;
    const std::string fifo = job.dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string received = job.dir.file("received");
    // The reader gives up after a while should the FIFO never be opened.
    const RunResult run = run_shell(joined("timeout 20 cat ", shell_quote(fifo))
                                        .append(" >")
                                        .append(shell_quote(received))
                                        .append(" & ")
                                        .append(zarnet_command({job.in, fifo, job.hyp, LOWER, UPPER}))
                                        .append(" && wait"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(received), WINTER_MARKED);
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}

TEST(CliStream, StdoutRedirectedToAFileIsWrittenDirectly)
{
    SKIP_FOR_WINDOWS_PROGRAM("names for the standard streams");
    // The shell keeps its descriptor of the file: what it writes after the
    // run must land in the same file, not in one replaced behind its back.
    Job job;
    const std::string log = job.dir.file("log");
    write_bytes(log, "");
    const RunResult run =
        run_shell(joined("{ ", zarnet_command({job.in, "/dev/stdout", job.hyp, LOWER, UPPER}))
                      .append(" && printf '|end'; } >>")
                      .append(shell_quote(log)));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(log), joined(WINTER_MARKED, "|end"));
}

TEST(CliStream, AppendingToTheInputThroughStdoutReadsTheInputFirst)
{
    SKIP_FOR_WINDOWS_PROGRAM("names for the standard streams");
    // Streaming into the file being read would read the marks back in and
    // never reach the end of the input.
    Job job;
    const std::string text(100000, 'x');
    write_bytes(job.in, joined(text, " Winter"));
    const RunResult run = run_shell(joined("timeout 20 ", zarnet_command({job.in, "/dev/stdout", job.hyp, LOWER, UPPER}))
                                        .append(" >>")
                                        .append(shell_quote(job.in)));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::string once = joined(text, " Win\xACter");
    EXPECT_EQ(read_bytes(job.in), joined(joined(text, " Winter"), once));
}

TEST(CliMemory, ExhaustedMemoryEndsTheRun)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot run under a virtual memory limit";
#else
    // Zarnet's own allocations failing under Windows are covered by the fault injection.
    SKIP_FOR_WINDOWS_PROGRAM("virtual memory limit that Wine could start under");
    Job job;
    // 30000 distinct patterns of 78 letters make over two million states:
    // far more than a 64 MiB address space holds.
    std::mt19937 random(42);
    std::string patterns;
    for (int line = 0; line < 30000; ++line) {
        for (int k = 0; k < 78; ++k) patterns.push_back(static_cast<char>('a' + random() % 26));
        patterns.push_back('\n');
    }
    write_bytes(job.hyp, patterns);
    const std::vector<std::string> before = snapshot(job.dir.path);
    const RunResult run = run_shell(joined("ulimit -v 65536 && ", zarnet_command(job.args())));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(is_allocation_message(run.err)) << run.err;
    EXPECT_EQ(snapshot(job.dir.path), before);
#endif
}

TEST(CliValgrind, NoLeaksOrMemoryErrors)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "sanitized build";
#else
    SKIP_FOR_WINDOWS_PROGRAM("valgrind");
    if (run_shell("command -v valgrind").exit_code != 0) GTEST_SKIP() << "valgrind is not installed";
    Job job;
    // zarnet itself is linked statically on Linux, where valgrind cannot
    // see its allocations: the same program, linked dynamically, is the
    // fault tool with no allocation made to fail.
    const auto command = [](std::vector<std::string> args) {
        args.insert(args.begin(), "-1");
        return program_command(Program::zarnet_fault, args);
    };
    const std::string valgrind =
        "valgrind -q --leak-check=full --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=9 ";
    RunResult run = run_shell(joined(valgrind, command(job.args())));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(job.out), WINTER_MARKED);
    // A failed run releases the automaton too.
    run = run_shell(joined(valgrind, command({job.dir.file("missing.txt"), job.out, job.hyp, LOWER, UPPER})));
    EXPECT_EQ(run.exit_code, 1) << run.err;
#endif
}

}  // namespace
