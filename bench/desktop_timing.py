#!/usr/bin/env python3
"""Times the desktop question: from the start of a program to its question's window being mapped,
on an Xvfb display of its own without a window manager. QUORLFIX (standard input /dev/null, as a
launcher starts it, so that it chooses the desktop form) takes turns with its two baselines, run
after run: a minimal C program showing the same GTK 3 message dialog, and zenity --question with
the same texts. Prints JSON: per program the median, quartiles, mean and best time (ms) over RUNS runs,
and the median and quartiles of the processor time the program had used by then (user and system, ms).

Each NAME=PLUGIN after them adds the program once more, with another build of its desktop plugin
(say, the one before a change), to the same turns: a copy of the program and its two libraries
beside that plugin, which it then loads. Its figures come out under "plugin NAME".

usage: desktop_timing.py RUNS MAP_TIMER QUORLFIX MINIMAL_GTK_DIALOG [NAME=PLUGIN...]
"""
import json
import os
import re
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


PLUGIN = "libtb28desktop.so"
OWN_LIBRARIES = ("libtb28run.so", "libtb28win32.so")


def with_plugin(quorlfix, plugin, directory, env):
    """A copy of the program and its libraries in directory beside plugin, and the environment that
    makes the copy load them (the program's run path gives way to LD_LIBRARY_PATH). Checked: the
    copy loads the host library beside the plugin, where the host library looks for it."""
    linked = subprocess.run(["ldd", quorlfix], capture_output=True, text=True, check=True).stdout
    for library in OWN_LIBRARIES:
        path = re.search(rf"{re.escape(library)} => (\S+)", linked)
        if path is None:
            sys.exit(f"{quorlfix} does not load {library}")
        shutil.copy2(path.group(1), directory)
    shutil.copy2(quorlfix, directory)
    shutil.copy2(plugin, directory / PLUGIN)
    env = dict(env, LD_LIBRARY_PATH=str(directory))
    program = str(directory / Path(quorlfix).name)
    traced = subprocess.run([program], env=dict(env, LD_DEBUG="files", QUORLFIX_DIALOGS="terminal"), input="n\n",
                            capture_output=True, text=True, timeout=60)
    if f"calling init: {directory}/{OWN_LIBRARIES[1]}" not in traced.stderr:
        sys.exit(f"the copy of the program beside {plugin} does not load its own libraries")
    return [program], env


def quartiles(values):
    """The first and third quartiles: how far the runs spread on a machine others share."""
    first, _, third = statistics.quantiles(values, n=4)
    return [first, third]


def main():
    if len(sys.argv) < 5 or any("=" not in extra for extra in sys.argv[5:]):
        sys.exit(__doc__)
    runs, map_timer, quorlfix, minimal = int(sys.argv[1]), *sys.argv[2:5]
    zenity = shutil.which("zenity")
    if zenity is None:
        sys.exit("zenity is missing")
    programs = {
        "program": [quorlfix],
        "minimal_gtk": [minimal],
        "zenity": [zenity, "--question", "--title", QUESTION, "--text", TEXT],
    }
    with VirtualDisplay(Path(tempfile.gettempdir()) / "desktop_timing_xvfb.log") as display, \
            tempfile.TemporaryDirectory() as copies:
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QUORLFIX_DIALOGS")}
        env["DISPLAY"] = display.name
        envs = {name: env for name in programs}
        for number, extra in enumerate(sys.argv[5:]):
            name, plugin = extra.split("=", 1)
            directory = Path(copies) / str(number)
            directory.mkdir()
            programs["plugin " + name], envs["plugin " + name] = with_plugin(quorlfix, plugin, directory, env)
        samples = {name: [] for name in programs}
        cpu = {name: [] for name in programs}
        # One round first that is not counted: it fills the caches with GTK and the fonts.
        for round_number in range(runs + 1):
            for name, command in programs.items():
                done = subprocess.run([map_timer, QUESTION, *command], env=envs[name], capture_output=True,
                                      text=True, timeout=60)
                if done.returncode != 0:
                    sys.exit(f"{name}: {done.stderr.strip()}")
                if round_number > 0:
                    wall, used = done.stdout.split()
                    samples[name].append(float(wall))
                    cpu[name].append(float(used))
    result = {name: {"command": programs[name], "runs": runs, "median_ms": statistics.median(values),
                     "mean_ms": statistics.fmean(values), "best_ms": min(values),
                     "quartiles_ms": quartiles(values), "median_cpu_ms": statistics.median(cpu[name]),
                     "quartiles_cpu_ms": quartiles(cpu[name])}
              for name, values in samples.items()}
    json.dump(result, sys.stdout, indent=1)
    print()


if __name__ == "__main__":
    main()
