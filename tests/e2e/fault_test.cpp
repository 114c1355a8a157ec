// Memory running out at each allocation in turn: every run must end with the
// out-of-memory message and exit code 1, leaving out_file as it was and no
// temporary file behind, until a run needs no more allocations than allowed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

std::vector<std::string> folder_names(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult run_failing(int allocation, const std::vector<std::string>& args)
{
    std::vector<std::string> all{std::to_string(allocation)};
    all.insert(all.end(), args.begin(), args.end());
    return run_shell(program_command(Program::zarnet_fault, all).append(" </dev/null"));
}

// Fails allocation 0, 1, 2 ... of a run that writes `out`; returns how many
// runs failed before one completed.
int fail_each_allocation(const ScratchDir& dir, const std::string& in, const std::string& out,
                         const std::string& expected)
{
    const std::string before = read_bytes(out);
    const std::vector<std::string> names = folder_names(dir.path);
    for (int n = 0; n < 5000; ++n) {
        const RunResult run = run_failing(n, {in, out, dir.file("p.pat"), LOWER, UPPER});
        if (run.exit_code == 0) {
            EXPECT_TRUE(read_bytes(out) == expected);
            return n;
        }
        EXPECT_EQ(run.exit_code, 1) << "allocation " << n;
        EXPECT_TRUE(is_allocation_message(run.err)) << "allocation " << n << ": " << run.err;
        EXPECT_TRUE(read_bytes(out) == before) << "allocation " << n;
        EXPECT_EQ(folder_names(dir.path), names) << "allocation " << n;
        if (::testing::Test::HasFailure()) return n;
    }
    ADD_FAILURE() << "no run completed";
    return -1;
}

TEST(FaultInjection, EachAllocationFailingLeavesTheOutputAsItWas)
{
    ScratchDir dir;
    write_bytes(dir.file("p.pat"), basic_patterns().append("1ba\nhe2n\n"));
    write_bytes(dir.file("in.txt"), std::string("Winter is near.\n").append(300, 'n').append(" end"));
    write_bytes(dir.file("out.txt"), "the old output");
    const std::string expected = std::string("Win\xACter is near.\n").append(300, 'n').append(" end");
    const int runs = fail_each_allocation(dir, dir.file("in.txt"), dir.file("out.txt"), expected);
    // Loading, the matcher and the text pass each allocate (the automaton's
    // small records come out of a few large blocks).
    EXPECT_GT(runs, 20);
}

TEST(FaultInjection, ThreadedRunCopiedIntoAFileWithAnotherLink)
{
    // Long enough for the threaded pass (where there are two processors);
    // the vectors and threads of the C++ library fail like the rest.
    ScratchDir dir;
    write_bytes(dir.file("p.pat"), basic_patterns());
    std::string text;
    for (int k = 0; k < 45000; ++k) text.append("Winter is near.\n");
    write_bytes(dir.file("in.txt"), text);
    write_bytes(dir.file("out.txt"), "the old output");
    std::filesystem::create_hard_link(dir.file("out.txt"), dir.file("twin.txt"));
    std::string expected;
    for (int k = 0; k < 45000; ++k) expected.append("Win\xACter is near.\n");
    fail_each_allocation(dir, dir.file("in.txt"), dir.file("out.txt"), expected);
}

TEST(FaultInjection, TemporaryFileThatGetsNoStreamIsReportedWithTheReason)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (run_shell("command -v strace").exit_code != 0) GTEST_SKIP() << "strace is not installed";
    ScratchDir dir;
    write_bytes(dir.file("p.pat"), basic_patterns());
    write_bytes(dir.file("in.txt"), "Winter");
    const std::vector<std::string> names = folder_names(dir.path);
    // The folder's handle copied for the temporary file, then the C
    // library's check of the file for its stream, fail in turn.
    for (const char* when : {"1", "2"}) {
        const RunResult run =
            run_shell(std::string("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e trace=fcntl "
                                      "-e inject=fcntl:error=ENOMEM:when=")
                          .append(when)
                          .append(" ")
                          .append(program_command(Program::zarnet,
                                                  {dir.file("in.txt"), dir.file("out.txt"), dir.file("p.pat"), LOWER,
                                                   UPPER})));
        EXPECT_EQ(run.exit_code, 1) << when;
        EXPECT_EQ(run.err, "zarnet: " + dir.file("out.txt") + ": " + std::strerror(ENOMEM) + "\n") << when;
        EXPECT_EQ(folder_names(dir.path), names) << when;
    }
}

TEST(FaultInjection, MarkingAFileInPlace)
{
    ScratchDir dir;
    write_bytes(dir.file("p.pat"), basic_patterns());
    write_bytes(dir.file("text.txt"), "Winter");
    fail_each_allocation(dir, dir.file("text.txt"), dir.file("text.txt"), "Win\xACter");
}

}  // namespace
