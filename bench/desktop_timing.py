#!/usr/bin/env python3
"""Times the desktop question: from the start of a program to its question's window being mapped,
on an Xvfb display of its own without a window manager. QUORLFIX (standard input /dev/null, as a
launcher starts it, so that it chooses the desktop form) takes turns with its two baselines, run
after run: a minimal C program showing the same GTK 3 message dialog, and zenity --question with
the same texts. Prints JSON: per program the median, mean and best time (ms) over RUNS runs, and
the median processor time the program had used by then (user and system, ms).

usage: desktop_timing.py RUNS MAP_TIMER QUORLFIX MINIMAL_GTK_DIALOG
"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "wine"))
from quorlfix_wine import VirtualDisplay  # noqa: E402

QUESTION = "Fix the quorl database now ?"
TEXT = "Confirm fix"


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    runs, map_timer, quorlfix, minimal = int(sys.argv[1]), *sys.argv[2:]
    zenity = shutil.which("zenity")
    if zenity is None:
        sys.exit("zenity is missing")
    programs = {
        "program": [quorlfix],
        "minimal_gtk": [minimal],
        "zenity": [zenity, "--question", "--title", QUESTION, "--text", TEXT],
    }
    with VirtualDisplay(Path(tempfile.gettempdir()) / "desktop_timing_xvfb.log") as display:
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QUORLFIX_DIALOGS")}
        env["DISPLAY"] = display.name
        samples = {name: [] for name in programs}
        cpu = {name: [] for name in programs}
        # One round first that is not counted: it fills the caches with GTK and the fonts.
        for round_number in range(runs + 1):
            for name, command in programs.items():
                done = subprocess.run([map_timer, QUESTION, *command], env=env, capture_output=True, text=True,
                                      timeout=60)
                if done.returncode != 0:
                    sys.exit(f"{name}: {done.stderr.strip()}")
                if round_number > 0:
                    wall, used = done.stdout.split()
                    samples[name].append(float(wall))
                    cpu[name].append(float(used))
    result = {name: {"command": programs[name], "runs": runs, "median_ms": statistics.median(values),
                     "mean_ms": statistics.fmean(values), "best_ms": min(values),
                     "median_cpu_ms": statistics.median(cpu[name])}
              for name, values in samples.items()}
    json.dump(result, sys.stdout, indent=1)
    print()


if __name__ == "__main__":
    main()
