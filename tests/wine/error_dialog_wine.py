#!/usr/bin/env python3
"""The runtime's error dialog under Wine, shown by a program built like QUORLFIX, found by its
caption and answered with keys.

usage: error_dialog_wine.py CASE BIN_DIR PROBE ARTEFACTS -- EMULATOR...

CASE is one of the keys of CASES. BIN_DIR holds error_dialog_program.exe and TB28RUN.DLL, PROBE is
box_probe.exe (reads the controls of a window), ARTEFACTS is where the screenshots, the log the
program wrote and its output go, EMULATOR the command that runs a Windows program. Exit status 77
(skipped) when Wine, Xvfb, xdotool or ImageMagick is missing.
"""
import re
import shutil
import subprocess
import sys
from pathlib import Path

import quorlfix_wine
from quorlfix_wine import WINDOW_BOUND, Failure, check, end, poll, wait_for_exit

PROGRAM = "error_dialog_program.exe"
CAPTION = "ERROR"
LOG = "TBERROR.LOG"
BANNER = "*" * 23 + "ERROR" + "*" * 32
FIELD_LABELS = [
    "SubSystem", "SubCode", "GenCode", "OsCode", "ArgType", "FuncPtr", "ArgNum", "FuncSym", "Severity", "CanDefault",
    "CanRetry", "CanSubstitute", "Operation", "Description", "FileName", "Tries", "FileHandle", "SubCodeText", "Arg",
    "ArgTypeReq", "MaxSize", "SubstituteType", "CallFuncSym",
]


class Raised:
    """What the program's error brings: the program's argument, the buttons DefError's option words
    offer (left to right), lines the message must hold, fields of the logged record, and the exit
    status after quitting (the error's generic code)."""

    def __init__(self, argument, buttons, message_lines, fields, gencode, continued):
        self.argument, self.buttons, self.message_lines = argument, buttons, message_lines
        self.fields, self.gencode, self.continued = fields, gencode, continued


# Eval of a number: the runtime's argument error, which can default, substitute and be retried;
# no recovery point exists, so the third option quits.
EVAL = Raised(
    "eval", ["Default", "Retry", "Quit"],
    ["Error Code:  1 [ ARGUMENT ERROR ]", "Subsystem: TB28RUN", "Operation: Eval", "Argument: 86",
     "Argument Number: 1", "Description: Argument of the wrong type", "CallStack:"],
    {"SubSystem": "TB28RUN", "GenCode": "Argument error", "ArgNum": "1", "Severity": "2", "CanDefault": ".T.",
     "CanRetry": ".T.", "CanSubstitute": ".T.", "Operation": "Eval", "Description": "Argument of the wrong type",
     "Arg": "86"},
    gencode=1, continued="continued: NIL")
# SetInternational with a symbol that names no mode: the program's own error, which can only
# default.
INTERNATIONAL = Raised(
    "international", ["Default", "Quit"],
    ["Error Code:  30 [ OPERATION NOT SUPPORTED ]", "Subsystem: International", "Argument: GERMAN", "CallStack:"],
    {"SubSystem": "International", "GenCode": "Operation not supported", "Severity": "0", "CanDefault": ".T.",
     "CanRetry": ".F.", "CanSubstitute": ".F.", "Operation": "", "Description": "", "Arg": "GERMAN"},
    gencode=30, continued="continued: WINDOWS")


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def dialog_windows(session):
    """The X windows of the visible windows titled as the dialog."""
    code, out = session.run(["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(CAPTION) + "$"])
    return set(out.split()) if code == 0 else set()


def dialog_controls(session, probe):
    """The visible controls of the dialog, in the window's order: (class, text) pairs."""
    code, out = session.wine(str(probe), CAPTION)
    if code != 0:
        return None
    rows = [line.split("\t", 1) for line in out.splitlines() if "\t" in line]
    return [(cls, unescape(text)) for cls, text in rows]


def records(workdir):
    """The records of the log beside the program, each as its list of lines; [] without a log."""
    log = workdir / LOG
    if not log.is_file():
        return []
    data = log.read_bytes().decode("latin-1")
    check("\n" not in data.replace("\r\n", ""), "a line of the log ends without CR LF")
    lines = data.split("\r\n")
    check(lines[-1] == "", "the log does not end with CR LF")
    starts = [i for i, line in enumerate(lines) if line == BANNER]
    check(starts and starts[0] == 0, "the log does not begin with the banner line")
    for before in starts[1:]:
        check(lines[before - 1] == "", "no empty line between two records")
    ends = [i - 1 for i in starts[1:]] + [len(lines) - 1]
    return [lines[start:stop] for start, stop in zip(starts, ends)]


def check_record(record, raised, shown_message):
    """A whole record: banner, heading lines, the message as the dialog shows it, every field
    line in order, and the closing rule."""
    check(record[0] == BANNER, "the record does not open with the banner")
    check(record[1].startswith("TB28RUN "), f"line 2 is not the runtime's version: {record[1]!r}")
    # The time is written in the user locale's conventions, with AM or PM where it has them.
    check(re.fullmatch(r"\S+ \d\d?:\d\d:\d\d( \S+)?", record[2]), f"line 3 is not a date and a time: {record[2]!r}")
    check(record[3].lower().startswith("application: ") and PROGRAM.lower() in record[3].lower(),
          f"line 4 does not name the program: {record[3]!r}")
    check(record[4:7] == [" ", "Error message:", "-" * 14], f"lines 5 to 7: {record[4:7]}")
    check("Error Object created:" in record, "no 'Error Object created:' line")
    heading = record.index("Error Object created:")
    logged_message = "\r\n".join(record[7:heading - 1]) + "\r\n"
    check(record[heading - 1] == "", "no empty line after the message")
    check(logged_message == shown_message,
          f"the dialog shows another text than the log holds:\n{shown_message!r}\n{logged_message!r}")
    check(record[heading + 1] == "-" * 20, "the heading of the fields is not underlined with 20 hyphens")
    fields = record[heading + 2:]
    check(len(fields) == len(FIELD_LABELS) + 1 and fields[-1] == "-" * 20,
          f"the record does not close with 23 field lines and the rule: {fields}")
    for line, label in zip(fields, FIELD_LABELS):
        check(line.startswith(label.ljust(16) + ":"), f"field line {line!r} is not {label!r}")
        value = line[17:]
        if label in raised.fields:
            check(value == raised.fields[label], f"{label} reads {value!r}, expected {raised.fields[label]!r}")


class Run:
    """One run of the program in a directory of its own, its output kept in a file."""

    def __init__(self, session, bin_dir, raised):
        self.session, self.raised = session, raised
        self.workdir = session.artefacts / "workdir"
        shutil.rmtree(self.workdir, ignore_errors=True)
        self.workdir.mkdir(parents=True)
        self.output = session.artefacts / "output.txt"
        with open(self.output, "wb") as out:
            # A session of its own, so that a failing test can end the program with everything it started.
            self.process = subprocess.Popen([*session.emulator, str(bin_dir / PROGRAM), raised.argument],
                                            env=session.env, cwd=self.workdir, start_new_session=True,
                                            stdout=out, stderr=subprocess.STDOUT)

    def dialog(self, probe, number, previous=None):
        """The X window of the number-th dialog (1-based) once it shows, with its checks: the
        offered buttons only, left to right; the log, written and closed before the dialog
        showed, holding one whole record per dialog so far, the last with the message shown.
        Its screenshot is kept as dialog_<number>.png."""
        def shown():
            if self.process.poll() is not None:
                raise Failure(f"the program ended with status {self.process.returncode} before dialog {number}")
            return next(iter(dialog_windows(self.session) - {previous}), None)
        window = poll(shown, WINDOW_BOUND)
        check(window, f"dialog {number} titled {CAPTION!r} did not appear")
        found = []

        def complete():
            found[:] = [dialog_controls(self.session, probe)]
            return found[0] and [text for cls, text in found[0] if cls == "Button"] == self.raised.buttons
        check(poll(complete, WINDOW_BOUND), f"the dialog shows {found[0]}, expected the buttons {self.raised.buttons}")
        controls = found[0]
        texts = [text for cls, text in controls if cls == "Edit"]
        check(len(texts) == 1 and len(controls) == len(self.raised.buttons) + 1,
              f"the dialog holds other controls than one text and the buttons: {controls}")
        message = texts[0]
        for line in self.raised.message_lines:
            check(line in message.split("\r\n"), f"the message lacks the line {line!r}:\n{message}")
        check("RAISEONEERROR" in message.split("CallStack:", 1)[1], "the call stack does not name the raiser")
        logged = records(self.workdir)
        check(len(logged) == number, f"{len(logged)} records in the log beside dialog {number}")
        check_record(logged[-1], self.raised, message)
        self.session.screenshot(window, f"dialog_{number}.png")
        return window

    def press_button(self, window, label):
        """Enter for the first button, the default one; for another, the focus moved on from the
        first with Tab and the button pressed with the space bar."""
        steps = self.raised.buttons.index(label)
        if steps == 0:
            self.session.press(window, "Return")
            return
        for _ in range(steps):
            self.session.press(window, "Tab")
        self.session.press(window, "space")

    def ends(self, status, continued):
        code = wait_for_exit(self.session, self.process)
        printed = self.output.read_bytes().decode("latin-1").replace("\r", "")
        check(code == status, f"exit status {code}, expected {status}; output: {printed!r}")
        lines = printed.splitlines()
        if continued:
            check(continued in lines, f"the program did not go on: {printed!r}")
        else:
            check(not any(line.startswith("continued") for line in lines), f"the program went on: {printed!r}")


def answer(raised, presses):
    """A case: the program raises the error, each dialog in turn is answered with the button
    named (a retry brings the next dialog), and the last answer decides how the program ends."""
    def case(session, bin_dir, probe):
        run = Run(session, bin_dir, raised)
        try:
            window = None
            for number, label in enumerate(presses, 1):
                window = run.dialog(probe, number, previous=window)
                run.press_button(window, label)
            if presses[-1] == "Default":
                run.ends(0, raised.continued)
            else:
                run.ends(raised.gencode, None)
        finally:
            end(run.process)
    return case


CASES = {
    "eval_default": answer(EVAL, ["Default"]),
    "eval_retry_quit": answer(EVAL, ["Retry", "Quit"]),
    "international_default": answer(INTERNATIONAL, ["Default"]),
    "international_quit": answer(INTERNATIONAL, ["Quit"]),
}


if __name__ == "__main__":
    sys.exit(quorlfix_wine.main(sys.argv, CASES, __doc__))
