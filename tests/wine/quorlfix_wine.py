#!/usr/bin/env python3
"""QUORLFIX.EXE under Wine on a virtual display, found by window title and answered with keys.

usage: quorlfix_wine.py CASE BIN_DIR PROBE ARTEFACTS -- EMULATOR...

CASE is one of: no, yes, damaged_signature. BIN_DIR holds QUORLFIX.EXE and TB28RUN.DLL, PROBE is
box_probe.exe (reads the controls of a box), ARTEFACTS is where the screenshots go, EMULATOR the
command that runs a Windows program (the build's wine64 wrapper). Exit status 77 (skipped) when
Wine, Xvfb, xdotool or ImageMagick is missing.
"""
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import time
from pathlib import Path

SKIPPED = 77
QUESTION = "Fix the quorl database now ?"
NOT_FOUND = "Quorl not found ?"
# Every wait is a poll with a bound; none of them is expected to come near it. A case took up
# to 15 s in a fresh build beside the unit tests under Wine, so a bound leaves room for a machine
# slower than that.
WINDOW_BOUND = 60.0
EXIT_BOUND = 60.0
# The first Wine command of a fresh build creates its prefix: about twenty seconds on a quiet
# machine, several times that on a slow one running other tests beside it.
PREFIX_BOUND = 150.0
POLL_INTERVAL = 0.05
# The resource bytes: the signature, then the length and bytes of the first name.
ATOMTABLE_START = b"ATOMTABLE\0\0\0" + struct.pack("<I", 6) + b"START\0"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def poll(probe, bound):
    """The first truthy answer of probe(), asked until `bound` seconds have passed; None after."""
    deadline = time.monotonic() + bound
    while True:
        answer = probe()
        if answer or time.monotonic() >= deadline:
            return answer
        time.sleep(POLL_INTERVAL)


class VirtualDisplay:
    """An Xvfb server of its own; the display number comes back on a pipe once it accepts clients."""

    def __init__(self, log):
        self.log = log

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.log.parent.mkdir(parents=True, exist_ok=True)
        with open(self.log, "wb") as log:
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=log, stderr=log)
        os.close(write_end)
        # Xvfb writes the number and the newline separately, and gives up if the second write
        # finds the pipe closed: read up to the newline.
        reported = b""
        deadline = time.monotonic() + WINDOW_BOUND
        while not reported.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_end, 32) if ready else b""
            if not chunk:
                break
            reported += chunk
        os.close(read_end)
        number = reported.decode().strip()
        if not number:
            self.__exit__(None, None, None)
            raise Failure("Xvfb did not report a display")
        self.name = ":" + number
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        try:
            self.server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()


class Session:
    """Wine on one virtual display: runs programs, finds windows, types keys, takes screenshots."""

    def __init__(self, emulator, display, artefacts):
        self.emulator = emulator
        self.env = dict(os.environ, DISPLAY=display)
        self.artefacts = artefacts
        self.artefacts.mkdir(parents=True, exist_ok=True)
        # Wine draws the caption itself when no window manager decorates its windows.
        for value in ("Managed", "Decorated"):
            code, _ = self.run([*self.emulator, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", value, "/d", "N",
                                "/f"], bound=PREFIX_BOUND)
            check(code == 0, f"setting the X11 Driver value {value} failed")
        # Taken once Wine is up: creating the prefix shows a window of its own.
        self.baseline = self.visible_windows()

    def run(self, command, bound=EXIT_BOUND):
        done = subprocess.run(command, env=self.env, capture_output=True, timeout=bound)
        return done.returncode, done.stdout.decode("latin-1")

    def wine(self, *args):
        return self.run([*self.emulator, *args])

    def start(self, program):
        # A session of its own, so that a failing test can end the program with everything it started.
        return subprocess.Popen([*self.emulator, str(program)], env=self.env, start_new_session=True,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def find_window(self, caption):
        """The X window of the visible window titled caption, or None."""
        code, out = self.run(["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(caption) + "$"])
        ids = out.split()
        return ids[0] if code == 0 and ids else None

    def visible_windows(self):
        code, out = self.run(["xdotool", "search", "--onlyvisible", "--name", ""])
        return set(out.split()) if code == 0 else set()

    def new_windows(self):
        return self.visible_windows() - self.baseline

    def screenshot(self, window, name):
        path = self.artefacts / name
        code, _ = self.run(["import", "-window", window, str(path)])
        check(code == 0 and path.is_file(), f"screenshot {path} not taken")
        print("screenshot:", path)

    def press(self, window, key):
        code, _ = self.run(["xdotool", "windowfocus", "--sync", window, "key", key])
        check(code == 0, f"key {key} not delivered to window {window}")

    def controls(self, probe, caption):
        """The visible controls of the box titled caption, sorted (class, text) pairs with icons as
        "(icon)"; None when Windows knows no such window."""
        code, out = self.wine(str(probe), caption)
        if code != 0:
            return None
        return sorted(tuple(line.split("\t", 1)) for line in out.splitlines() if "\t" in line)


def wait_for_exit(session, process, forbidden=None):
    """The exit status of process, polled with a bound; fails if a window titled forbidden shows."""
    def finished():
        if forbidden and session.find_window(forbidden):
            raise Failure(f"a window titled {forbidden!r} appeared")
        return process.poll() is not None
    check(poll(finished, EXIT_BOUND), "the program did not end")
    return process.returncode


def expect_box(session, program, probe, caption, controls):
    """The X window of the box titled caption, once it shows exactly the given controls."""
    window = poll(lambda: session.find_window(caption) or program.poll() is not None, WINDOW_BOUND)
    check(program.poll() is None, f"the program ended with status {program.returncode} before {caption!r} showed")
    check(window, f"no window titled {caption!r} appeared")
    expected = sorted(controls)
    found = []
    def shows_expected():
        found[:] = [session.controls(probe, caption)]
        return found[0] == expected
    check(poll(shows_expected, WINDOW_BOUND), f"box {caption!r} shows {found[0]}, expected {expected}")
    return window


QUESTION_CONTROLS = [("Static", "(icon)"), ("Static", "Confirm fix"), ("Button", "&Yes"), ("Button", "&No")]
NOT_FOUND_CONTROLS = [("Static", "(icon)"), ("Static", "Error"), ("Button", "OK")]


def case_no(session, bin_dir, probe):
    program = session.start(bin_dir / "QUORLFIX.EXE")
    try:
        window = expect_box(session, program, probe, QUESTION, QUESTION_CONTROLS)
        session.screenshot(window, "question.png")
        session.press(window, "n")
        code = wait_for_exit(session, program, forbidden=NOT_FOUND)
        check(code == 0, f"exit status {code} after No, expected 0")
    finally:
        end(program)


def case_yes(session, bin_dir, probe):
    program = session.start(bin_dir / "QUORLFIX.EXE")
    try:
        window = expect_box(session, program, probe, QUESTION, QUESTION_CONTROLS)
        session.screenshot(window, "question.png")
        session.press(window, "y")
        second = expect_box(session, program, probe, NOT_FOUND, NOT_FOUND_CONTROLS)
        check(not session.find_window(QUESTION), "the question is still shown beside the second box")
        session.screenshot(second, "not_found.png")
        session.press(second, "Return")
        code = wait_for_exit(session, program)
        check(code == 0, f"exit status {code} after Yes and OK, expected 0")
    finally:
        end(program)


def case_damaged_signature(session, bin_dir, probe):
    copy = session.artefacts / "program"
    copy.mkdir(exist_ok=True)
    for name in ("QUORLFIX.EXE", "TB28RUN.DLL"):
        shutil.copy2(bin_dir / name, copy / name)
    image = bytearray((copy / "QUORLFIX.EXE").read_bytes())
    at = image.find(ATOMTABLE_START)
    check(at >= 0, "the ATOMTABLE resource bytes are not in QUORLFIX.EXE")
    check(image.find(ATOMTABLE_START, at + 1) < 0, "the ATOMTABLE resource bytes occur twice")
    image[at + 8] ^= 0x01  # "ATOMTABLE" becomes "ATOMTABLD"
    (copy / "QUORLFIX.EXE").write_bytes(bytes(image))

    program = session.start(copy / "QUORLFIX.EXE")
    try:
        def ended_without_window():
            shown = session.new_windows()
            if shown:
                raise Failure(f"the damaged program showed windows {sorted(shown)}")
            return program.poll() is not None
        check(poll(ended_without_window, EXIT_BOUND), "the damaged program did not end")
        # Under Wine the process's 32-bit exit code -1 reaches a POSIX parent as 255.
        check(program.returncode == 255, f"exit status {program.returncode}, expected 255")
        session.run(["import", "-window", "root", str(session.artefacts / "screen_after_exit.png")])
    finally:
        end(program)


def end(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


CASES = {"no": case_no, "yes": case_yes, "damaged_signature": case_damaged_signature}


def main(argv, cases=CASES, usage=__doc__):
    """Runs one case: argv is CASE BIN_DIR PROBE ARTEFACTS -- EMULATOR..."""
    if len(argv) < 6 or argv[1] not in cases or argv[5] != "--":
        sys.exit(usage)
    case, bin_dir, probe, artefacts = argv[1], Path(argv[2]), Path(argv[3]), Path(argv[4])
    emulator = argv[6:]
    missing = [tool for tool in ("Xvfb", "xdotool", "import") if not shutil.which(tool)]
    if not emulator:
        missing.insert(0, "wine64")
    if missing:
        print("SKIPPED: missing", ", ".join(missing))
        return SKIPPED
    with VirtualDisplay(artefacts / case / "xvfb.log") as display:
        try:
            session = Session(emulator, display.name, artefacts / case)
            cases[case](session, bin_dir, probe)
        except (Failure, subprocess.TimeoutExpired) as failure:
            print("FAILED:", failure)
            return 1
    print("PASSED:", case)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
