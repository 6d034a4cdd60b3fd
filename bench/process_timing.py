#!/usr/bin/env python3
"""Times whole processes the way a script runs them: the answer "n" waiting in a pipe on standard
input, the output thrown away. The programs take turns, run after run, so that both meet the
same machine. Prints JSON: per program the median, mean and best wall time (ms), the median
processor time (user and system, ms: steadier than wall time on a busy machine) and the peak
resident set (KiB) that /usr/bin/time -f %M reports. The resident set is measured in runs of its
own: a child spawned straight from this interpreter inherits the interpreter's high-water mark.

Further programs given as NAME=PROGRAM (other builds of the program) take the same turns and are
reported under their names. Each program's wall-time median over each third of its runs, in
"thirds_median_ms", shows how far a median moves from one stretch of the run to the next.

usage: process_timing.py RUNS PROGRAM BASELINE [NAME=PROGRAM ...]
"""
import tempfile
import json
import os
import statistics
import sys
import time


def run_once(program, capture=False, argv=None):
    read_end, write_end = os.pipe()
    os.write(write_end, b"n\n")
    os.close(write_end)
    out_read = out_write = None
    if capture:
        out_read, out_write = os.pipe()
        stdout = out_write
    else:
        stdout = os.open(os.devnull, os.O_WRONLY)
    actions = [(os.POSIX_SPAWN_DUP2, read_end, 0), (os.POSIX_SPAWN_DUP2, stdout, 1)]
    start = time.perf_counter_ns()
    argv = argv or [program]
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    os.close(read_end)
    os.close(stdout)
    output = b""
    if capture:
        while chunk := os.read(out_read, 65536):
            output += chunk
        os.close(out_read)
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter_ns() - start
    run_once.cpu_ms = (usage.ru_utime + usage.ru_stime) * 1e3
    return elapsed / 1e6, os.waitstatus_to_exitcode(status), output


def peak_rss(program):
    with tempfile.NamedTemporaryFile("r") as report:
        _, code, _ = run_once(program, argv=["/usr/bin/time", "-f", "%M", "-o", report.name, program])
        if code != 0:
            sys.exit(f"{program} ended with {code} under /usr/bin/time")
        return int(report.read().split()[-1])


def main():
    runs, program, baseline = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    named = [("program", program), ("baseline", baseline)] + [tuple(a.split("=", 1)) for a in sys.argv[4:]]
    paths = [path for _, path in named]
    first = run_once(program, capture=True)
    for other in paths[1:]:
        second = run_once(other, capture=True)
        if first[1] != 0 or second[1] != 0:
            sys.exit(f"exit codes {first[1]} and {second[1]}: both must end with 0")
        if first[2] != second[2]:
            sys.exit(f"{other} does not print what the program prints:\n"
                     f"{first[2].decode(errors='replace')}\n---\n{second[2].decode(errors='replace')}")
    wall_samples = {p: [] for p in paths}
    cpu_samples = {p: [] for p in paths}
    rss_samples = {p: [] for p in paths}
    for _ in range(runs):
        for p in paths:
            ms, code, _ = run_once(p)
            if code != 0:
                sys.exit(f"{p} ended with {code}")
            wall_samples[p].append(ms)
            cpu_samples[p].append(run_once.cpu_ms)
    for _ in range(max(runs // 10, 5)):
        for p in paths:
            rss_samples[p].append(peak_rss(p))
    result = {}
    for name, key in named:
        wall = wall_samples[key]
        rss = rss_samples[key]
        third = max(len(wall) // 3, 1)
        result[name] = {"path": key, "runs": runs, "median_ms": statistics.median(wall),
                        "mean_ms": statistics.fmean(wall), "best_ms": min(wall),
                        "median_cpu_ms": statistics.median(cpu_samples[key]),
                        "thirds_median_ms": [statistics.median(wall[i:i + third]) for i in range(0, third * 3, third)],
                        "peak_rss_kib": max(rss), "median_rss_kib": statistics.median(rss),
                        "min_rss_kib": min(rss)}
    json.dump(result, sys.stdout, indent=1)
    print()


if __name__ == "__main__":
    main()
