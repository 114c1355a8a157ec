#!/usr/bin/env python3
"""Times whole processes side by side.

    timed_runs.py [--before COMMAND] RUNS NAME COMMAND [NAME COMMAND ...]

Runs every COMMAND (split as a shell splits words, no shell in between) once
to warm up and then RUNS rounds, each round running the commands in turn, so
that a drift in the machine's speed touches all of them alike. Each round
starts one command further on than the round before, so that no command
always runs in the same place: on a virtual machine the run after a large
one (the Rust peer frees about 90 MiB) often gets memory that the host must
first supply again, and clearing it could take a quarter of a zarnet run.
Each run comes after a sync, so that none is timed while the system writes
out the files of the one before. For each
command it prints one line, tab-separated: NAME, the median wall seconds,
median CPU seconds (user + system, from the kernel's accounting of the
finished child) and the peak resident memory in KiB (of one more run, under
GNU time). Then, for every
pair of commands, the median over the rounds of their wall and CPU ratios,
as lines "ratio A B WALL CPU". A command that fails stops everything.

With --before, its COMMAND runs before every run of every command (the
warm-up and the memory run too), outside the timing: to lay out fresh input
files for a command that changes its input, for instance.
"""
import os
import shlex
import statistics
import subprocess
import sys
import tempfile
import time


def prepare(before):
    if before and subprocess.run(before).returncode != 0:
        sys.exit(f"timed_runs.py: {' '.join(before)} failed")


def run(argv, before=None):
    prepare(before)
    # What the command before left for the disk is written out first, so that
    # no command is timed while the system flushes another one's output.
    os.sync()
    start = time.perf_counter()
    pid = os.posix_spawnp(argv[0], argv, os.environ,
                          file_actions=[(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)])
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"timed_runs.py: {' '.join(argv)} failed with exit code {code}")
    return wall, usage.ru_utime + usage.ru_stime


def peak_kib(argv, before=None):
    """The command's peak resident memory, by GNU time: a child of this
    script would count this script's own peak as well."""
    prepare(before)
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name, *argv], stdout=subprocess.DEVNULL,
                       check=True)
        return int(report.read().split()[-1])


def main():
    args = sys.argv[1:]
    before = None
    if args[:1] == ["--before"]:
        before, args = shlex.split(args[1]), args[2:]
    runs = int(args[0])
    pairs = args[1:]
    names, commands = pairs[0::2], [shlex.split(c) for c in pairs[1::2]]
    for argv in commands:
        run(argv, before)
    walls = {n: [] for n in names}
    cpus = {n: [] for n in names}
    for round_number in range(runs):
        first = round_number % len(names)
        for k in range(len(names)):
            name, argv = names[(first + k) % len(names)], commands[(first + k) % len(names)]
            wall, cpu = run(argv, before)
            walls[name].append(wall)
            cpus[name].append(cpu)
    peaks = {name: peak_kib(argv, before) for name, argv in zip(names, commands)}
    for name in names:
        print(f"{name}\t{statistics.median(walls[name]):.4f}\t{statistics.median(cpus[name]):.4f}\t{peaks[name]}")
    for a in names:
        for b in names:
            if a == b:
                continue
            wall = statistics.median(x / y for x, y in zip(walls[a], walls[b]))
            cpu_pairs = [x / y for x, y in zip(cpus[a], cpus[b]) if y > 0]
            cpu = statistics.median(cpu_pairs) if cpu_pairs else float("nan")
            print(f"ratio\t{a}\t{b}\t{wall:.3f}\t{cpu:.3f}")


if __name__ == "__main__":
    main()
