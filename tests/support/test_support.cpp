#include "tests/support/test_support.h"

#include "files/pattern_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

const char* const LOWER = "abcdefghijklmnopqrstuvwxyz";
const char* const UPPER = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zarnet-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> folder_snapshot(const std::string& root)
{
    namespace fs = std::filesystem;
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        std::string line = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            line.append(" -> ").append(fs::read_symlink(entry.path()).string());
        } else if (entry.is_directory()) {
            line.append("/");
        } else if (!entry.is_regular_file()) {
            line.append(" (special file)");
        } else if (entry.file_size() > 65536) {
            line.append(": ").append(std::to_string(entry.file_size())).append(" bytes");
        } else {
            line.append(": ").append(read_bytes(entry.path().string()));
        }
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string shell_quote(const std::string& text)
{
    std::string quoted(1, '\'');
    for (char c : text) {
        if (c == '\'') {
            quoted.append("'\\''");
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back('\'');
    return quoted;
}

bool is_allocation_message(const std::string& text)
{
    const std::string head = "can't allocate ";
    const std::string tail = " bytes\n";
    if (text.size() <= head.size() + tail.size()) return false;
    if (text.compare(0, head.size(), head) != 0) return false;
    if (text.compare(text.size() - tail.size(), tail.size(), tail) != 0) return false;
    for (std::size_t i = head.size(); i < text.size() - tail.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

RunResult run_shell(const std::string& command)
{
    ScratchDir capture;
    const std::string out = capture.file("stdout");
    const std::string err = capture.file("stderr");
    std::string line("( ");
    line.append(command).append(" ) >").append(shell_quote(out)).append(" 2>").append(shell_quote(err));
    const int status = std::system(line.c_str());
    RunResult result;
    result.exit_code = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    result.out = read_bytes(out);
    result.err = read_bytes(err);
    return result;
}

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string program_command(Program program, const std::vector<std::string>& args)
{
    const bool fault = program == Program::zarnet_fault;
    const bool utf8 = program == Program::zarnet_utf8;
    const std::string windows = environment("ZARNET_TEST_WINDOWS_DIR");
    std::string command;
    if (windows.empty() || program == Program::zarnet_here) {
        command = shell_quote(fault ? ZARNET_FAULT_EXE : utf8 ? ZARNET_UTF8_EXE : ZARNET_EXE);
    } else {
        const char* name = fault ? "/zarnet_fault.exe"
                           : utf8 ? "/zarnet-utf8.exe"
                           : program == Program::hold_file ? "/zarnet_hold_file.exe"
                                                           : "/zarnet.exe";
        command = shell_quote(std::string(ZARNET_SOURCE_DIR).append("/scripts/wine-run.sh"));
        command.append(" ").append(shell_quote(windows + name));
    }
    for (const std::string& arg : args) command.append(" ").append(shell_quote(arg));
    return command;
}

bool testing_windows_program()
{
    return !environment("ZARNET_TEST_WINDOWS_DIR").empty();
}

RunResult run_zarnet(const std::vector<std::string>& args, const std::string& stdin_path)
{
    std::string command = program_command(Program::zarnet, args);
    command.append(" <").append(shell_quote(stdin_path.empty() ? std::string("/dev/null") : stdin_path));
    return run_shell(command);
}

std::string with_utf8_arguments(const std::string& command)
{
    return testing_windows_program() ? std::string("WINE_RUN_CHARSET=UTF-8 ").append(command) : command;
}

RunResult run_zarnet_utf8(const std::vector<std::string>& args)
{
    return run_shell(with_utf8_arguments(program_command(Program::zarnet, args)).append(" </dev/null"));
}

RunResult run_utf8_program(const std::vector<std::string>& args, const std::string& stdin_path)
{
    std::string command = with_utf8_arguments(program_command(Program::zarnet_utf8, args));
    command.append(" <").append(shell_quote(stdin_path.empty() ? std::string("/dev/null") : stdin_path));
    return run_shell(command);
}

AutomatonPtr load_pattern_text(const std::string& bytes, int* error, FailureLinks links)
{
    ScratchDir dir;
    write_bytes(dir.file("patterns.pat"), bytes);
    return AutomatonPtr(load_patterns(dir.file("patterns.pat").c_str(), error, links));
}

std::string basic_patterns()
{
    std::string text = "n1t\n.\n";
    for (char c = 'a'; c <= 'z'; ++c) {
        text += c;
        text += '\n';
    }
    return text;
}
