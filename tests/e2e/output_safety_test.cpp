// How out_file is written when the run is cut short by a signal, when a
// rename would change the file the user sees, on a full disk, with the
// longest paths, and what is forced to the disk.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string WINTER("Winter is near.\n");
const std::string WINTER_MARKED("Win\xACter is near.\n");

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) all.append(text);
    return all;
}

// A folder with the input "Winter is near." and the basic patterns.
struct Scene {
    ScratchDir dir;
    std::string in = dir.file("in.txt");
    std::string hyp = dir.file("basic.pat");
    Scene()
    {
        write_bytes(in, WINTER);
        write_bytes(hyp, basic_patterns());
    }
    std::string command(const std::string& in_file, const std::string& out) const
    {
        return program_command(Program::zarnet, {in_file, out, hyp, LOWER, UPPER});
    }
};

std::string with_tmpdir(const std::string& folder, const std::string& command)
{
    return std::string("TMPDIR=").append(shell_quote(folder)).append(" ").append(command);
}

// Prefix that runs a command as the user nobody (root may write anywhere,
// so the cases of an ordinary user are tried as one).
std::string as_nobody()
{
    return geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

bool tool_available(const std::string& tool)
{
    return run_shell("command -v " + tool).exit_code == 0;
}

// The bash script that starts `command` reading the FIFO `fifo`, feeds it a
// word and, once a file whose name starts with `prefix` shows up in
// `watched` (the temporary output), sends `signal`, runs `then` and prints
// the status.
std::string interrupt_script(const std::string& command, const std::string& fifo, const std::string& watched,
                             const std::string& prefix, const std::string& signal, const std::string& then = "")
{
    return std::string("set -m; ulimit -c 0; ")
        .append(command)
        .append(" & pid=$!; exec 3>")
        .append(shell_quote(fifo))
        .append("; printf Winter >&3; n=0; until ls -A ")
        .append(shell_quote(watched))
        .append(" | grep -q -F -e ")
        .append(shell_quote(prefix))
        .append("; do sleep 0.01; n=$((n+1)); [ $n -lt 3000 ] || break; done; kill -")
        .append(signal)
        .append(" $pid; ")
        .append(then)
        .append("wait $pid; echo \"status $?\"; exec 3>&-");
}

int status_of_script(const RunResult& run)
{
    const std::size_t at = run.out.rfind("status ");
    return at == std::string::npos ? -1 : std::stoi(run.out.substr(at + 7));
}

TEST(OutputSignals, EndingSignalsRemoveTheTemporaryFileAndEndTheRunTheSameWay)
{
    Scene setup;
    const std::string fifo = setup.dir.file("in.fifo");
    const std::string out = setup.dir.file("out.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    write_bytes(out, "earlier content\n");
    const std::vector<std::string> before = folder_snapshot(setup.dir.path);
    // On Windows a console's Ctrl-C; Wine turns SIGINT into one.
    std::vector<std::pair<std::string, int>> signals{{"INT", SIGINT}};
    if (!testing_windows_program()) {
        signals.insert(signals.end(), {{"TERM", SIGTERM}, {"HUP", SIGHUP}, {"QUIT", SIGQUIT}, {"ALRM", SIGALRM},
                                       {"USR1", SIGUSR1}, {"USR2", SIGUSR2}, {"PIPE", SIGPIPE}, {"VTALRM", SIGVTALRM},
                                       {"PROF", SIGPROF}, {"XCPU", SIGXCPU}, {"IO", SIGIO}, {"RTMIN+1", SIGRTMIN + 1}});
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // A sanitizer keeps its own handler for the faults.
        signals.push_back({"SEGV", SIGSEGV});
#endif
    }
    for (const auto& [name, number] : signals) {
        const std::string script =
            interrupt_script(setup.command(fifo, out), fifo, setup.dir.path, ".out.txt.zarnet-", name);
        const RunResult run = run_shell(std::string("timeout 60 bash -c ").append(shell_quote(script)));
        if (testing_windows_program()) {
            // STATUS_CONTROL_C_EXIT, as Windows ends a program on Ctrl-C (its low byte here).
            EXPECT_EQ(status_of_script(run), 0x3A) << name;
        } else {
            EXPECT_EQ(status_of_script(run), 128 + number) << name << ": " << run.out << run.err;
        }
        EXPECT_EQ(folder_snapshot(setup.dir.path), before) << name;
    }
}

TEST(OutputSignals, SignalIgnoredAtTheStartStaysIgnored)
{
    SKIP_FOR_WINDOWS_PROGRAM("POSIX signals");
    Scene setup;
    const std::string fifo = setup.dir.file("in.fifo");
    const std::string out = setup.dir.file("out.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The signal comes while the temporary file is there; the run then gets
    // the rest of its text and ends as ever.
    const std::string script =
        "trap '' USR1; " + interrupt_script(setup.command(fifo, out), fifo, setup.dir.path, ".out.txt.zarnet-", "USR1",
                                            "printf ' is near' >&3; exec 3>&-; ");
    const RunResult run = run_shell(std::string("timeout 60 bash -c ").append(shell_quote(script)));
    EXPECT_EQ(status_of_script(run), 0) << run.out << run.err;
    EXPECT_EQ(read_bytes(out), "Win\xACter is near");
}

TEST(OutputSignals, FileSizeLimitRemovesTheTemporaryFile)
{
    SKIP_FOR_WINDOWS_PROGRAM("file size limit");
    Scene setup;
    write_bytes(setup.in, repeated(WINTER, 2000));
    const std::string out = setup.dir.file("out.txt");
    write_bytes(out, "earlier content\n");
    const std::vector<std::string> before = folder_snapshot(setup.dir.path);
    const RunResult run = run_shell(std::string("bash -c ")
                                        .append(shell_quote(std::string("ulimit -c 0; ulimit -f 8; ")
                                                                .append(setup.command(setup.in, out))
                                                                .append("; echo \"status $?\""))));
    EXPECT_EQ(status_of_script(run), 128 + SIGXFSZ) << run.err;
    EXPECT_EQ(folder_snapshot(setup.dir.path), before);
}

TEST(OutputLinks, DanglingLinkIsWrittenThroughATemporaryFileInItsTargetsFolder)
{
    SKIP_FOR_WINDOWS_PROGRAM("symbolic links to files in general use");
    Scene setup;
    fs::create_directory(setup.dir.file("real"));
    const std::string link = setup.dir.file("link.txt");
    fs::create_symlink("real/new.txt", link);
    const std::string fifo = setup.dir.file("in.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::string> before = folder_snapshot(setup.dir.path);

    // Cut short, it leaves nothing where the link points.
    const std::string script =
        interrupt_script(setup.command(fifo, link), fifo, setup.dir.file("real"), ".new.txt.zarnet-", "TERM");
    const RunResult cut = run_shell(std::string("timeout 60 bash -c ").append(shell_quote(script)));
    EXPECT_EQ(status_of_script(cut), 128 + SIGTERM) << cut.err;
    EXPECT_EQ(folder_snapshot(setup.dir.path), before);

    // Completed, the link stays a link and its target holds the text.
    const RunResult run = run_shell(setup.command(setup.in, link));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read_bytes(setup.dir.file("real/new.txt")), WINTER_MARKED);
    EXPECT_EQ(folder_snapshot(setup.dir.file("real")), std::vector<std::string>{"new.txt: " + WINTER_MARKED});
}

TEST(OutputCopy, OtherHardLinksGetTheNewTextToo)
{
    Scene setup;
    const std::string out = setup.dir.file("out.txt");
    const std::string other = setup.dir.file("other.txt");
    write_bytes(out, "earlier content\n");
    fs::create_hard_link(out, other);
    const RunResult run = run_shell(setup.command(setup.in, out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(other), WINTER_MARKED);
    EXPECT_EQ(fs::hard_link_count(out), 2u);
    EXPECT_EQ(folder_snapshot(setup.dir.path),
              (std::vector<std::string>{"basic.pat: " + basic_patterns(), "in.txt: " + WINTER,
                                        "other.txt: " + WINTER_MARKED, "out.txt: " + WINTER_MARKED}));
}

// The run under strace, with `inject` done to each of its calls of `call`
// (a write into out_file failing with EIO, or held back for a while).
std::string under_strace(const std::string& call, const std::string& inject, const std::string& command)
{
    // (LeakSanitizer cannot work under ptrace.)
    return std::string("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e trace=")
        .append(call)
        .append(" -e inject=")
        .append(call)
        .append(":")
        .append(inject)
        .append(" ")
        .append(command);
}

TEST(OutputCopy, RunsCopyingIntoTheSameFileTakeTurns)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (!tool_available("strace")) GTEST_SKIP() << "strace is not installed";
    Scene setup;
    const std::string out = setup.dir.file("out.txt");
    write_bytes(setup.dir.file("a.txt"), repeated(WINTER, 40000));
    write_bytes(setup.dir.file("b.txt"), repeated("Autumn went by.\n", 40000));
    write_bytes(out, "earlier content\n");
    fs::create_hard_link(out, setup.dir.file("twin.txt"));
    // Both runs read their text from a FIFO, both ended at once, so that
    // they start copying together; each write into out_file (a block of
    // the copy) then waits 2 ms.
    const auto run = [&](const std::string& in) {
        return under_strace("pwrite64", "delay_enter=2000", setup.command(setup.dir.file(in), out));
    };
    // Each run's output made alone; then 100 pairs of runs at once into
    // out.txt, which has another link and so is copied into.
    const std::string script = std::string("cd ")
                                   .append(shell_quote(setup.dir.path))
                                   .append(" && ")
                                   .append(setup.command(setup.dir.file("a.txt"), setup.dir.file("a.alone")))
                                   .append(" && ")
                                   .append(setup.command(setup.dir.file("b.txt"), setup.dir.file("b.alone")))
                                   .append(" && mkfifo a.fifo b.fifo && for i in $(seq 100); do printf earlier >out.txt; ")
                                   .append(run("a.fifo"))
                                   .append(" & a=$!; ")
                                   .append(run("b.fifo"))
                                   .append(" & b=$!; exec 3>a.fifo 4>b.fifo; cat a.txt >&3 & ca=$!; cat b.txt >&4 & "
                                           "cb=$!; wait $ca $cb; exec 3>&- 4>&-; wait $a || echo failed; "
                                           "wait $b || echo failed; "
                                           "cmp -s out.txt a.alone || cmp -s out.txt b.alone || echo mixed; done");
    const RunResult result = run_shell(std::string("bash -c ").append(shell_quote(script)));
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_NE(read_bytes(setup.dir.file("a.alone")), read_bytes(setup.dir.file("b.alone")));
    EXPECT_EQ(fs::hard_link_count(out), 2u);
    EXPECT_EQ(folder_snapshot(setup.dir.path).size(), 10u);  // no temporary file left
}

TEST(OutputCopy, CopyFailingAtItsFirstWriteLeavesTheFileAsItWas)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (!tool_available("strace")) GTEST_SKIP() << "strace is not installed";
    Scene setup;
    const std::string out = setup.dir.file("out.txt");
    write_bytes(out, "earlier content\n");
    fs::create_hard_link(out, setup.dir.file("other.txt"));
    const std::vector<std::string> before = folder_snapshot(setup.dir.path);
    const RunResult run = run_shell(under_strace("pwrite64", "error=EIO:when=1", setup.command(setup.in, out)));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "zarnet: " + out + ": " + std::strerror(EIO) + "\n");
    EXPECT_EQ(folder_snapshot(setup.dir.path), before);
}

TEST(OutputCopy, CopyFailingPartWayKeepsAndNamesTheWholeOutput)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (!tool_available("strace")) GTEST_SKIP() << "strace is not installed";
    Scene setup;
    const std::string text = repeated(WINTER, 40000);  // more than one block of the copy
    write_bytes(setup.in, text);
    const std::string out = setup.dir.file("out.txt");
    write_bytes(out, "earlier content\n");
    fs::create_hard_link(out, setup.dir.file("other.txt"));
    const RunResult run = run_shell(under_strace("pwrite64", "error=EIO:when=2", setup.command(setup.in, out)));
    EXPECT_EQ(run.exit_code, 1);
    const std::string head = "zarnet: " + out +
                             ": Input/output error while copying the output into it; it is incomplete, the whole "
                             "output is in ";
    ASSERT_EQ(run.err.compare(0, head.size(), head), 0) << run.err.substr(0, 500);
    const std::string kept = run.err.substr(head.size(), run.err.find('\n') - head.size());
    EXPECT_EQ(kept.rfind(setup.dir.path + "/.out.txt.zarnet-", 0), 0u) << kept;
    EXPECT_TRUE(read_bytes(kept) == repeated(WINTER_MARKED, 40000)) << kept;
    EXPECT_TRUE(read_bytes(out) != "earlier content\n");
}

TEST(OutputCopy, SignalDuringTheCopyKeepsAndNamesTheWholeOutput)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (!tool_available("strace")) GTEST_SKIP() << "strace is not installed";
    Scene setup;
    write_bytes(setup.in, repeated(WINTER, 40000));
    const std::string out = setup.dir.file("out.txt");
    write_bytes(out, "earlier content\n");
    fs::create_hard_link(out, setup.dir.file("other.txt"));
    // Each write into out_file waits half a second; once the whole output is
    // in the temporary file, the copy is under way.
    const std::string script = std::string("set -m; ")
                                   .append(under_strace("pwrite64", "delay_enter=500000", setup.command(setup.in, out)))
                                   .append(" & pid=$!; n=0; until [ \"$(cat ")
                                   .append(shell_quote(setup.dir.path))
                                   .append("/.out.txt.zarnet-* 2>/dev/null | wc -c)\" -eq 680000 ]; do sleep 0.01; "
                                           "n=$((n+1)); [ $n -lt 3000 ] || break; done; sleep 0.2; "
                                           "kill -TERM $(pgrep -P $pid); wait $pid; echo \"status $?\"");
    const RunResult run = run_shell(std::string("timeout 60 bash -c ").append(shell_quote(script)));
    EXPECT_EQ(status_of_script(run), 128 + SIGTERM) << run.out << run.err.substr(0, 500);
    const std::string head = "zarnet: " + out +
                             ": interrupted while copying the output into it; it is incomplete, the whole output "
                             "is in " + setup.dir.path + "/";
    ASSERT_EQ(run.err.compare(0, head.size(), head), 0) << run.err.substr(0, 500);
    // The first line is zarnet's; the shell's notice of the ended job may follow.
    const std::string kept = setup.dir.file(run.err.substr(head.size(), run.err.find('\n') - head.size()));
    EXPECT_TRUE(read_bytes(kept) == repeated(WINTER_MARKED, 40000)) << kept;
}

TEST(OutputCopy, SignalOnceTheCopyIsWholeRemovesTheTemporaryFileSayingNothing)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (!tool_available("strace")) GTEST_SKIP() << "strace is not installed";
    Scene setup;
    write_bytes(setup.in, repeated(WINTER, 40000));
    const std::string out = setup.dir.file("out.txt");
    write_bytes(out, "earlier content\n");
    fs::create_hard_link(out, setup.dir.file("other.txt"));
    // The copy cuts out_file to its length last, and then waits a second.
    const std::string script = std::string("set -m; ")
                                   .append(under_strace("ftruncate", "delay_exit=1000000", setup.command(setup.in, out)))
                                   .append(" & pid=$!; n=0; until [ \"$(wc -c <")
                                   .append(shell_quote(out))
                                   .append(")\" -eq 680000 ]; do sleep 0.01; n=$((n+1)); [ $n -lt 3000 ] || break; "
                                           "done; sleep 0.3; kill -TERM $(pgrep -P $pid); wait $pid; "
                                           "echo \"status $?\"");
    const RunResult run = run_shell(std::string("timeout 60 bash -c ").append(shell_quote(script)));
    EXPECT_EQ(status_of_script(run), 128 + SIGTERM) << run.out << run.err.substr(0, 500);
    // Only the shell's notice of the ended job.
    EXPECT_EQ(run.err.find("zarnet: "), std::string::npos) << run.err.substr(0, 500);
    EXPECT_TRUE(read_bytes(out) == repeated(WINTER_MARKED, 40000));
    EXPECT_EQ(folder_snapshot(setup.dir.path).size(), 4u);  // no temporary file left
}

TEST(OutputCopy, BindMountedFileIsWrittenInPlace)
{
    SKIP_FOR_WINDOWS_PROGRAM("bind mounts");
    Scene setup;
    const std::string source = setup.dir.file("source.txt");
    const std::string out = setup.dir.file("out.txt");
    write_bytes(source, "earlier content\n");
    write_bytes(out, "under the mount\n");
    if (run_shell("unshare -m true").exit_code != 0) GTEST_SKIP() << "no mount namespace may be made here";
    // In a mount namespace of its own, which goes with the run.
    const std::string script = std::string("mount --bind ")
                                   .append(shell_quote(source))
                                   .append(" ")
                                   .append(shell_quote(out))
                                   .append(" && ")
                                   .append(setup.command(setup.in, out));
    const RunResult run = run_shell(std::string("unshare -m --propagation private sh -c ").append(shell_quote(script)));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(source), WINTER_MARKED);
    EXPECT_EQ(read_bytes(out), "under the mount\n");
    EXPECT_EQ(folder_snapshot(setup.dir.path).size(), 4u);
}

TEST(OutputCopy, AnotherUsersFileInASharedFolderKeepsItsOwner)
{
    SKIP_FOR_WINDOWS_PROGRAM("owners");
    if (geteuid() != 0 || !tool_available("setpriv")) GTEST_SKIP() << "needs root and setpriv to act as two users";
    Scene setup;
    ASSERT_EQ(chmod(setup.dir.path.c_str(), 0755), 0);
    const std::string shared = setup.dir.file("shared");
    fs::create_directory(shared);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string out = shared + "/theirs.txt";
    write_bytes(out, "earlier content\n");
    ASSERT_EQ(chown(out.c_str(), 1234, 1234), 0);
    ASSERT_EQ(chmod(out.c_str(), 0666), 0);
    const RunResult run = run_shell(as_nobody() + setup.command(setup.in, out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    struct stat info;
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 1234u);
    EXPECT_EQ(info.st_gid, 1234u);
    EXPECT_EQ(info.st_mode & 07777, 0666u);
    EXPECT_EQ(folder_snapshot(shared), std::vector<std::string>{"theirs.txt: " + WINTER_MARKED});
}

TEST(OutputCopy, WritableFileInAFolderThatRefusesNewFiles)
{
    SKIP_FOR_WINDOWS_PROGRAM("permission bits");
    if (geteuid() == 0 && !tool_available("setpriv")) GTEST_SKIP() << "needs setpriv to act as an ordinary user";
    Scene setup;
    ScratchDir temporary;
    ASSERT_EQ(chmod(setup.dir.path.c_str(), 0755), 0);
    ASSERT_EQ(chmod(temporary.path.c_str(), 0777), 0);
    const std::string locked = setup.dir.file("locked");
    fs::create_directory(locked);
    const std::string out = locked + "/out.txt";
    write_bytes(out, "earlier content\n");
    ASSERT_EQ(chmod(out.c_str(), 0666), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    const RunResult run = run_shell(with_tmpdir(temporary.path, as_nobody() + setup.command(setup.in, out)));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(folder_snapshot(locked), std::vector<std::string>{"out.txt: " + WINTER_MARKED});
    EXPECT_TRUE(fs::is_empty(temporary.path));
}

// A folder made append-only (chattr +a) while alive, where allowed.
struct AppendOnlyFolder {
    std::string path;
    bool made;
    explicit AppendOnlyFolder(const std::string& folder) : path(folder)
    {
        made = run_shell("chattr +a " + shell_quote(folder)).exit_code == 0;
    }
    ~AppendOnlyFolder()
    {
        if (made) run_shell("chattr -a " + shell_quote(path));
    }
    AppendOnlyFolder(const AppendOnlyFolder&) = delete;
    AppendOnlyFolder& operator=(const AppendOnlyFolder&) = delete;
};

TEST(OutputAppendOnly, FolderThatOnlyTakesNewFilesIsLeftNoTemporaryFile)
{
    SKIP_FOR_WINDOWS_PROGRAM("append-only folders");
    Scene setup;
    ScratchDir temporary;
    const std::string folder = setup.dir.file("log");
    fs::create_directory(folder);
    write_bytes(folder + "/old.txt", "earlier content\n");
    const AppendOnlyFolder append_only(folder);
    if (!append_only.made) GTEST_SKIP() << "chattr +a is not allowed here";
    for (const char* name : {"old.txt", "new.txt"}) {
        const RunResult run = run_shell(with_tmpdir(temporary.path, setup.command(setup.in, folder + "/" + name)));
        EXPECT_EQ(run.exit_code, 0) << name << ": " << run.err;
    }
    EXPECT_EQ(folder_snapshot(folder),
              (std::vector<std::string>{"new.txt: " + WINTER_MARKED, "old.txt: " + WINTER_MARKED}));
    EXPECT_TRUE(fs::is_empty(temporary.path));
}

TEST(OutputInPlace, TextThatANulEndsEarlyIsLeftAsItWas)
{
    Scene setup;
    const std::string file = setup.dir.file("x.txt");
    const std::string text("keep this\0and this part matters\n", 32);
    // Replaced by a rename, then copied into (another link).
    for (const bool linked : {false, true}) {
        if (linked) fs::create_hard_link(file, setup.dir.file("twin.txt"));
        write_bytes(file, text);
        const RunResult run = run_shell(setup.command(file, file));
        EXPECT_EQ(run.exit_code, 1) << linked;
        EXPECT_EQ(run.err, "zarnet: " + file +
                               ": bytes follow the NUL byte that ends the text, and writing it in place would lose "
                               "them; left as it was\n");
        EXPECT_EQ(read_bytes(file), text);
    }
    // A NUL at the very end leaves nothing to lose.
    write_bytes(file, std::string("Winter\0", 7));
    const RunResult run = run_shell(setup.command(file, file));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(setup.dir.file("twin.txt")), "Win\xACter");
    EXPECT_EQ(folder_snapshot(setup.dir.path).size(), 4u);
}

// A tmpfs of a given size mounted on a new folder while alive, where allowed.
struct SmallDisk {
    std::string path;
    bool made;
    SmallDisk(const std::string& folder, const std::string& size) : path(folder), made(false)
    {
        fs::create_directory(folder);
        made = run_shell("mount -t tmpfs -o size=" + size + " zarnet-test " + shell_quote(folder)).exit_code == 0;
    }
    ~SmallDisk()
    {
        if (made) run_shell("umount " + shell_quote(path));
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
};

TEST(OutputFullDisk, NothingIsLeftBehindAndOutFileStaysAsItWas)
{
    SKIP_FOR_WINDOWS_PROGRAM("small file systems made on the spot");
    Scene setup;
    SmallDisk disk(setup.dir.file("disk"), "256k");
    if (!disk.made) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const std::string big = setup.dir.file("big.txt");
    const std::string middle = setup.dir.file("middle.txt");
    write_bytes(big, repeated(WINTER, 30000));    // about 500 KB marked: does not fit
    write_bytes(middle, repeated(WINTER, 9000));  // about 150 KB marked: fits once, not twice
    const std::string out = disk.path + "/out.txt";
    write_bytes(out, "earlier content\n");
    fs::create_symlink("nowhere/../new.txt", setup.dir.file("disk/dangling"));
    fs::create_directory(disk.path + "/nowhere");
    fs::create_hard_link(out, disk.path + "/other.txt");
    const std::vector<std::string> before = folder_snapshot(setup.dir.path);

    const std::string full = std::string(": ") + std::strerror(ENOSPC) + "\n";
    struct Case {
        std::string in_file, out_file;
    };
    // Replaced by a rename; a dangling link's target; other links, copied in
    // place, where the room is reserved before out_file is touched.
    for (const Case& c : {Case{big, out}, Case{big, disk.path + "/dangling"}, Case{middle, out}}) {
        const RunResult run = run_shell(setup.command(c.in_file, c.out_file));
        EXPECT_EQ(run.exit_code, 1) << c.out_file;
        EXPECT_EQ(run.err, "zarnet: " + c.out_file + full);
        EXPECT_EQ(folder_snapshot(setup.dir.path), before) << c.out_file;
    }
}

TEST(OutputPaths, LongestPathTheSystemAcceptsWorks)
{
    SKIP_FOR_WINDOWS_PROGRAM("POSIX path limit");
    Scene setup;
    const long limit = pathconf(setup.dir.path.c_str(), _PC_PATH_MAX);
    const std::size_t longest = (limit > 0 ? static_cast<std::size_t>(limit) : 4096) - 1;
    // A short file name at the end: the temporary name beside it is longer.
    std::string folder = setup.dir.path;
    while (folder.size() + 201 + 4 < longest) folder.append("/").append(200, 'd');
    const std::size_t last = longest - folder.size() - 1 - 5;  // room for "/f.tx"
    folder.append("/").append(last, 'e');
    fs::create_directories(folder);
    const std::string out = folder + "/f.tx";
    ASSERT_EQ(out.size(), longest);
    write_bytes(out, "earlier content\n");
    RunResult run = run_shell(setup.command(setup.in, out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(out), WINTER_MARKED);
    // In place, marked twice: the marks are no letters and split the words.
    run = run_shell(setup.command(out, out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_bytes(out), WINTER_MARKED);
    EXPECT_EQ(folder_snapshot(folder).size(), 1u);
}

TEST(OutputFlush, OnlyARunInPlaceForcesTheTextToTheDisk)
{
    SKIP_FOR_WINDOWS_PROGRAM("strace");
    if (!tool_available("strace")) GTEST_SKIP() << "strace is not installed";
    Scene setup;
    const std::string out = setup.dir.file("out.txt");
    const std::string trace = setup.dir.file("trace");
    const auto flushes = [&](const std::string& in_file) {
        const RunResult run = run_shell("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o " + shell_quote(trace) +
                                        " -e trace=fsync,fdatasync " + setup.command(in_file, out));
        EXPECT_EQ(run.exit_code, 0) << run.err;
        const std::string calls = read_bytes(trace);
        int count = 0;
        for (std::size_t at = calls.find("sync("); at != std::string::npos; at = calls.find("sync(", at + 1)) ++count;
        return count;
    };
    EXPECT_EQ(flushes(setup.in), 0);  // a new file
    EXPECT_EQ(flushes(setup.in), 0);  // replacing another
    write_bytes(out, WINTER);
    EXPECT_EQ(flushes(out), 2);       // the new text, then its folder
    EXPECT_EQ(read_bytes(out), WINTER_MARKED);
}

TEST(OutputMessages, ReasonsAreTheOnesTheSystemGives)
{
    Scene setup;
    ScratchDir temporary;
    // An empty name names no file.
    RunResult run = run_shell(setup.command(setup.in, "") + " </dev/null");
    EXPECT_EQ(run.exit_code, 1);
    if (testing_windows_program()) {
        EXPECT_EQ(run.err.find(std::strerror(EISDIR)), std::string::npos) << run.err;
        return;
    }
    EXPECT_EQ(run.err, std::string("zarnet: : ") + std::strerror(ENOENT) + "\n");
    // /proc takes no new files, and its status file no text: refused by
    // the write itself to root, by the permission bits to anyone else.
    run = run_shell(with_tmpdir(temporary.path, setup.command(setup.in, "/proc/self/status")));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, std::string("zarnet: /proc/self/status: ") + std::strerror(geteuid() == 0 ? EINVAL : EACCES) + "\n");
    EXPECT_TRUE(fs::is_empty(temporary.path));
}

TEST(OutputMessages, ControlBytesInFileNamesAreShownEscaped)
{
    Scene setup;
    const std::string out = setup.dir.file("no\nsuch\tfolder\x1b/out.txt");
    const RunResult run = run_shell(setup.command(setup.in, out) + " </dev/null");
    EXPECT_EQ(run.exit_code, 1);
    const std::string head = "zarnet: " + setup.dir.path + "/no\\nsuch\\tfolder\\x1b/out.txt: ";
    EXPECT_EQ(run.err.compare(0, head.size(), head), 0) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    if (!testing_windows_program()) {
        EXPECT_EQ(run.err, head + std::strerror(ENOENT) + "\n");
    }
}

}  // namespace
