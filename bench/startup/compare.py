#!/usr/bin/env python3
"""Starts the program and the one-window floor in turns and prints how far
apart they are: medians of wall time, CPU time and peak memory, and their
ratios. Both run on the same platform plugin, one after the other, so that
whatever else the machine is doing weighs on both alike.

usage: compare.py BUILD_DIR [--pairs N] [--max-time-ratio R] [--max-memory-ratio R]
Exits with 1 when a ratio is above its given maximum.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run(command, cwd, env):
    """One start: wall seconds, CPU seconds, peak resident KiB."""
    start = time.perf_counter()
    child = subprocess.Popen(command, cwd=cwd, env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    errors = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"{command[0]} exited with {code}:\n{errors}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="the build folder")
    parser.add_argument("--pairs", type=int, default=21)
    parser.add_argument("--max-time-ratio", type=float)
    parser.add_argument("--max-memory-ratio", type=float)
    options = parser.parse_args()
    if options.pairs < 1:
        parser.error("--pairs must be at least 1")

    build = os.path.abspath(options.build)
    program = os.path.join(build, "root", "bin", "tovalo")
    floor = os.path.join(build, "bench", "tovalo-startup-floor")
    for path in (program, floor):
        if not os.access(path, os.X_OK):
            sys.exit(f"{path} is missing: build the project first")

    with tempfile.TemporaryDirectory(prefix="tovalo-startup-") as home:
        # A learner who has entered a profile before, as on every start but
        # the first.
        config = os.path.join(home, "config")
        os.makedirs(os.path.join(config, "Marvesta"))
        with open(os.path.join(config, "Marvesta", "Tovalo Vidod v2.conf"), "w",
                  encoding="utf-8") as f:
            f.write("[General]\nName=Learner\nOrg=\nEmail=learner@example.invalid\n"
                    "Serial=12345678\n")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config,
                   QT_QPA_PLATFORM="offscreen", TOVALO_EXIT_AFTER_SHOW="1")
        env.pop("XDG_DATA_HOME", None)

        starts = {"program": ([program], os.path.dirname(program)),
                  "floor": ([floor], home)}
        # One start each first, so that neither pays for a cold page cache.
        for command, cwd in starts.values():
            run(command, cwd, env)
        figures = {name: [] for name in starts}
        for _ in range(options.pairs):
            for name, (command, cwd) in starts.items():
                figures[name].append(run(command, cwd, env))

    def median(name, column):
        return statistics.median(row[column] for row in figures[name])

    print(f"{options.pairs} pairs, QT_QPA_PLATFORM=offscreen, medians")
    print(f"{'':10}{'program':>12}{'floor':>12}{'ratio':>9}")
    over = []
    for column, label, scale, unit, limit in (
            (0, "wall", 1000, "ms", options.max_time_ratio),
            (1, "CPU", 1000, "ms", options.max_time_ratio),
            (2, "memory", 1 / 1024, "MiB", options.max_memory_ratio)):
        mine, least = median("program", column), median("floor", column)
        ratio = mine / least
        print(f"{label:10}{mine * scale:>9.1f} {unit:3}{least * scale:>9.1f} {unit:3}"
              f"{ratio:>8.2f}×")
        if limit is not None and ratio > limit:
            over.append(f"{label} {ratio:.2f}× is above {limit}×")
    if over:
        sys.exit("; ".join(over))


if __name__ == "__main__":
    main()
