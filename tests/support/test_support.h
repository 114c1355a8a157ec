#pragma once
// Helpers shared by the tests: scratch folders, whole-file reads and writes,
// and running the built executable.

#include <memory>
#include <string>
#include <vector>

#include "engine/automaton.h"
#include "engine/loader.h"

// A fresh folder under the system's temporary folder, removed with its contents
// when the object goes out of scope.
struct ScratchDir {
    std::string path;
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

// Every entry below `root` with its kind and, for files, its content (its size
// for big ones): equal snapshots mean nothing was created, removed or changed.
std::vector<std::string> folder_snapshot(const std::string& root);

void write_bytes(const std::string& path, const std::string& bytes);
std::string read_bytes(const std::string& path);
bool file_exists(const std::string& path);

struct RunResult {
    int exit_code;     // -1 when the process did not exit normally
    std::string out;   // standard output
    std::string err;   // standard error
};

// The programs the end-to-end tests run: this build's own executables, or,
// when ZARNET_TEST_WINDOWS_DIR names the folder of a Windows build, its
// zarnet.exe, zarnet-utf8.exe and zarnet_fault.exe, run under Wine by
// scripts/wine-run.sh. `zarnet_here` is always this build's own zarnet, to
// compare the other with.
// `hold_file` (Windows build only) holds a file open, sharing it with no one:
//   hold_file FILE SIGNAL  creates SIGNAL once FILE is held, and lets go when SIGNAL is removed.
enum class Program { zarnet, zarnet_fault, zarnet_here, hold_file, zarnet_utf8 };

// The shell command line that runs `program` with `args`, each quoted.
std::string program_command(Program program, const std::vector<std::string>& args);

// True when the program under test is a Windows build: tests of what only
// POSIX systems have (permission bits, symbolic links, FIFOs, resource
// limits) are skipped, and those of Windows' own names run.
bool testing_windows_program();

#define SKIP_FOR_WINDOWS_PROGRAM(reason) \
    if (testing_windows_program()) GTEST_SKIP() << "Windows has no " << reason

// Runs the zarnet executable with the given arguments (each passed as raw
// bytes); standard input comes from `stdin_path` when it is not empty, else
// from /dev/null.
RunResult run_zarnet(const std::vector<std::string>& args, const std::string& stdin_path = "");

// The same with the arguments read as UTF-8, for file names in any script.
// A POSIX build takes them as bytes anyway; under Wine they become the
// characters they encode, on a Windows system still set to code page 1252
// (see scripts/wine-run.sh), and Wine keeps the names in UTF-8 on disk.
RunResult run_zarnet_utf8(const std::vector<std::string>& args);

// Runs zarnet-utf8 with the given arguments, read as UTF-8 as above (its
// marks and file names are text); standard input as for run_zarnet.
RunResult run_utf8_program(const std::vector<std::string>& args, const std::string& stdin_path = "");

// `command` (from program_command) with the arguments read as UTF-8, as above.
std::string with_utf8_arguments(const std::string& command);

// Runs a shell command line, capturing its outputs the same way.
RunResult run_shell(const std::string& command);

std::string shell_quote(const std::string& text);

// True for exactly "can't allocate N bytes\n" with N a decimal number.
bool is_allocation_message(const std::string& text);

// The pattern file used by many cases: "n1t" and the 27 one-byte lines
// ".", "a" .. "z", which give the root a transition for every letter.
std::string basic_patterns();

struct AutomatonDeleter {
    void operator()(PatternAutomaton* automaton) const { automaton_destroy(automaton); }
};
using AutomatonPtr = std::unique_ptr<PatternAutomaton, AutomatonDeleter>;

// Loads a pattern file with the given bytes (written to a scratch file);
// null when loading fails, with the reason in *error when given.
AutomatonPtr load_pattern_text(const std::string& bytes, int* error = nullptr,
                               FailureLinks links = FailureLinks::made);

extern const char* const LOWER;  // a..z
extern const char* const UPPER;  // A..Z
