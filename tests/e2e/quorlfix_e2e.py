#!/usr/bin/env python3
"""End-to-end scenarios of QUORLFIX on Linux: usage: quorlfix_e2e.py SCENARIO [EMULATOR...] EXECUTABLE.

EMULATOR, when given, is the command that runs the executable (QEMU's user mode for the 32-bit
build); every run of the executable or of a copy of it goes through it."""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

QUESTION = "Fix the quorl database now ?"
NOT_FOUND = "Quorl not found ?"


EMULATOR = []


def run(exe, answers, env=None, cwd=None, args=()):
    done = subprocess.run([*EMULATOR, exe, *args], input=answers.encode(), capture_output=True, timeout=30, env=env,
                          cwd=cwd)
    return done.returncode, done.stdout.decode("latin-1"), done.stderr.decode("latin-1")


def check(condition, message, output=""):
    if not condition:
        print("FAILED:", message)
        print(output)
        sys.exit(1)


def box_lines(output, caption):
    """The lines of the box whose title bar shows the caption."""
    lines = output.splitlines()
    for i, line in enumerate(lines):
        if caption in line:
            return lines[max(0, i - 1): i + 8]
    return []


def expect_question(out):
    check(QUESTION in out, "the question stands in the title bar", out)
    box = "\n".join(box_lines(out, QUESTION))
    check("Confirm fix" in box, "the question's body reads Confirm fix", out)
    check("Yes" in box and "No" in box, "the question offers Yes and No", out)
    check("(i)" in box, "the question shows the information icon", out)


def scenario_no(exe):
    code, out, err = run(exe, "n\n")
    check(code == 0, f"exit 0 after No, got {code}", out + err)
    expect_question(out)
    check(NOT_FOUND not in out, "no second box after No", out)


def scenario_yes(exe):
    code, out, err = run(exe, "y\n\n")
    check(code == 0, f"exit 0 after Yes, got {code}", out + err)
    expect_question(out)
    check(out.index(QUESTION) < out.index(NOT_FOUND), "the second box follows the question", out)
    box = "\n".join(box_lines(out, NOT_FOUND))
    check("Error" in box and "OK" in box, "the second box reads Error with one OK button", out)
    check("Yes" not in box.split(NOT_FOUND, 1)[1], "the second box has no Yes button", out)


def scenario_eof(exe):
    code, out, err = run(exe, "")
    check(code == 0, f"exit 0 at end of input, got {code}", out + err)
    expect_question(out)
    check(NOT_FOUND not in out, "no second box when the first could not be shown", out)


def scenario_uppercase_and_retry(exe):
    code, out, err = run(exe, "x\nY\nok\n")
    check(code == 0, f"exit 0, got {code}", out + err)
    check(NOT_FOUND in out, "an unknown letter asks again; Y answers Yes", out)


def scenario_closed_output(exe):
    """Standard output a pipe that nobody reads: the box cannot be drawn, so it was not shown."""
    read_end, write_end = os.pipe()
    os.close(read_end)
    try:
        done = subprocess.run([*EMULATOR, exe], input=b"y\n\n", stdout=write_end, stderr=subprocess.PIPE, timeout=30)
    finally:
        os.close(write_end)
    err = done.stderr.decode("latin-1")
    check(done.returncode == 0, f"exit 0 when the box cannot be drawn, got {done.returncode}", err)


def scenario_flipped_signature(exe):
    data = open(exe, "rb").read()
    at = data.find(b"ATOMTABLE\0\0\0\x06\0\0\0START\0")
    check(at >= 0, "the executable carries the ATOMTABLE resource")
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "quorlfix")
        flipped = bytearray(data)
        flipped[at + 4] ^= 0x01
        open(copy, "wb").write(bytes(flipped))
        shutil.copymode(exe, copy)
        code, out, err = run(copy, "y\n\n")
    check(code == 255, f"a damaged ATOMTABLE exits with status 255, got {code}", out + err)
    check(out == "" and err == "", "a start-up failure prints nothing", out + err)


def read_until(fd, wanted, seen, seconds=20):
    """Reads the terminal until the text shows `wanted` more often than in `seen`; the text."""
    deadline = time.monotonic() + seconds
    count = seen.count(wanted) + 1
    while seen.count(wanted) < count:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            return seen
        try:
            block = os.read(fd, 4096)
        except OSError:  # the program has gone: the terminal is hung up
            return seen
        if not block:
            return seen
        seen += block.decode("latin-1")
    return seen


def scenario_terminal_prompt(exe):
    """On a terminal the prompt shows before the program waits for the answer to it."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["QUORLFIX_DIALOGS"] = "terminal"
    master, slave = os.openpty()
    child = subprocess.Popen([*EMULATOR, exe], stdin=slave, stdout=slave, stderr=slave, env=env, start_new_session=True)
    os.close(slave)
    try:
        out = read_until(master, "Answer (", "")
        check("Answer (" in out, "the question's prompt shows while the program waits", out)
        expect_question(out)
        check(NOT_FOUND not in out, "nothing after the prompt before it is answered", out)
        os.write(master, b"y\r")
        out = read_until(master, "Answer (", out)
        check(NOT_FOUND in out and out.count("Answer (") == 2, "the second box's prompt shows before its answer", out)
        os.write(master, b"\r")
        code = child.wait(timeout=30)
        check(code == 0, f"exit 0, got {code}", out)
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()
        os.close(master)


DEBUG_OPTION = "--tb28run:collect-publics"


def debug_run(exe, name, project_dir, option=True, args=None):
    """Runs a copy of the executable under another name (a path below a new directory), answering No."""
    env = dict(os.environ)
    env.pop("TBCurrentPrjDir", None)
    if project_dir is not None:
        env["TBCurrentPrjDir"] = project_dir
    if args is None:
        args = [DEBUG_OPTION] if option else []
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, name)
        os.makedirs(os.path.dirname(copy), exist_ok=True)
        shutil.copy2(exe, copy)
        return run(copy, "n\n", env=env, args=args)


def scenario_debug_launch(exe):
    for name in ("quorlfix.dbg", "QUORLFIX.DBG", "quorlfix.Dbg", "fixDBG"):
        code, out, err = debug_run(exe, name, "/tmp/project")
        check(code == 0 and QUESTION in out, f"{name} with TBCurrentPrjDir set goes on to the prompt", out + err)
    for name, project in (("quorlfix.exe", "/tmp/project"), ("quorlfix", "/tmp/project"),
                          ("quorlfix.dbg", None), ("quorlfix.dbg", "")):
        code, out, err = debug_run(exe, name, project)
        check(code == 0 and out == "", f"{name} with TBCurrentPrjDir={project!r} ends at once with 0", out + err)
    code, out, err = debug_run(exe, "quorlfix.exe", None, option=False)
    check(code == 0 and QUESTION in out, "without the runtime option nothing is checked", out + err)
    # A path longer than the 260-byte buffer is read whole, so its real ending counts.
    deep = os.path.join("d" * 100, "e" * 100, "f" * 60, "quorlfix.dbg")
    code, out, err = debug_run(exe, deep, "/tmp/project")
    check(code == 0 and QUESTION in out, "a debug build at a path of over 259 bytes goes on to the prompt", out + err)
    code, out, err = debug_run(exe, os.path.join("d" * 100, "e" * 100, "f" * 60, "quorlfix.exe"), "/tmp/project")
    check(code == 0 and out == "", "an exe at a path of over 259 bytes ends at once with 0", out + err)
    # The option counts only as an argument of its own, never inside another.
    for args in (["x " + DEBUG_OPTION], ['a" ' + DEBUG_OPTION], ['"' + DEBUG_OPTION]):
        code, out, err = debug_run(exe, "quorlfix.exe", "/tmp/project", args=args)
        check(code == 0 and QUESTION in out, f"arguments {args!r} hold no runtime option", out + err)


if __name__ == "__main__":
    EMULATOR = sys.argv[2:-1]
    globals()["scenario_" + sys.argv[1]](sys.argv[-1])
    print("passed")
