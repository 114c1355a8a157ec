// Times whole runs of programs, side by side: each command is started in
// turn (A B C A B C ...) after one warm-up round, from its start to its exit,
// and its median, fastest and slowest wall time and its peak resident memory
// are printed, one line per command:
//
//   whole_run RUNS NAME -- COMMAND ARGS... [NAME -- COMMAND ARGS...]...
//
// Arguments pass as raw bytes (hyperfine refuses arguments that are not
// UTF-8, and the alphabets of an 8-bit text are not). Standard output and
// standard error of the commands go to /dev/null; a command that does not
// exit with 0 stops the measurement.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Command {
    std::string name;
    std::vector<char*> argv;  // null-terminated
    std::vector<double> milliseconds;
    long peak_kib = 0;
};

// One run; false when the command cannot be started or fails.
bool run_once(Command* command, bool counted)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, command->argv[0], &actions, nullptr, command->argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "whole_run: %s: %s\n", command->argv[0], std::strerror(spawned));
        return false;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "whole_run: %s failed (status %d)\n", command->name.c_str(), status);
        return false;
    }
    if (counted) {
        command->milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        command->peak_kib = std::max(command->peak_kib, static_cast<long>(usage.ru_maxrss));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: whole_run RUNS NAME -- COMMAND ARGS... [NAME -- COMMAND ARGS...]...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Command> commands;
    for (int i = 2; i < argc;) {
        if (i + 2 >= argc || std::strcmp(argv[i + 1], "--") != 0) {
            std::fprintf(stderr, "whole_run: expected NAME -- COMMAND at argument %d\n", i);
            return 2;
        }
        Command command;
        command.name = argv[i];
        i += 2;
        while (i < argc && !(i + 1 < argc && std::strcmp(argv[i + 1], "--") == 0)) command.argv.push_back(argv[i++]);
        command.argv.push_back(nullptr);
        commands.push_back(command);
    }
    for (int round = 0; round <= runs; ++round) {
        for (Command& command : commands) {
            if (!run_once(&command, round > 0)) return 1;
        }
    }
    for (Command& command : commands) {
        std::vector<double>& ms = command.milliseconds;
        std::sort(ms.begin(), ms.end());
        std::printf("%s %.3f %.3f %.3f %ld\n", command.name.c_str(), ms[ms.size() / 2], ms.front(), ms.back(),
                    command.peak_kib);
    }
    return 0;
}
