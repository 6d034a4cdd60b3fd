#!/usr/bin/env python3
"""The desktop form of QUORLFIX's dialogs under Xvfb and openbox, driven by window title and keys.

usage: quorlfix_desktop.py CASE QUORLFIX ERROR_RAISER MESSAGE_BOXES CLOSE_REQUEST PLUGIN RUNTIME HOST ARTEFACTS

CASE is one of: no, yes, windows_keys, styles, error_dialog, choice. QUORLFIX is the program,
ERROR_RAISER the test program that raises a runtime error, MESSAGE_BOXES the one that shows a
message box of each style it is given, CLOSE_REQUEST the helper that asks a
window to close as its close box does, PLUGIN the desktop plugin, RUNTIME and HOST the runtime
library and the host layer as built (the choice case copies the program and these two without
the plugin), ARTEFACTS where the screenshots go. Exit status 77 (skipped) when a tool is missing
or the plugin or the helper was not built.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "wine"))
from quorlfix_wine import EXIT_BOUND, WINDOW_BOUND, Failure, VirtualDisplay, check, end, poll  # noqa: E402

SKIPPED = 77
QUESTION = "Fix the quorl database now ?"
NOT_FOUND = "Quorl not found ?"
ERROR_CAPTION = "ERROR"
TERMINAL_QUESTION = "| Fix the quorl database now ? |"
# What the error raiser's argument reads once its Latin-1 bytes and its control character are
# made fit for the desktop.
ARGUMENT_LINE = "Argument: Stra\u00dfe \u2401 caf\u00e9"
GTK_LIBRARY = "libgtk-3.so"
# The variables that choose the form or the language; each run names its own.
CHOOSING = ("DISPLAY", "WAYLAND_DISPLAY", "QUORLFIX_DIALOGS", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")


class Desktop:
    """One Xvfb display with openbox managing its windows: runs programs, finds windows, types
    keys, takes screenshots."""

    def __init__(self, display, artefacts, close_request):
        self.display = display
        self.artefacts = artefacts
        self.artefacts.mkdir(parents=True, exist_ok=True)
        self.close_request = close_request
        self.tools_env = dict(os.environ, DISPLAY=display)
        with open(artefacts / "openbox.log", "wb") as log:
            self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.tools_env, stdout=log, stderr=log)
        # openbox names the current desktop once it manages the screen.
        check(poll(lambda: self.tool(["xdotool", "get_desktop"])[0] == 0, WINDOW_BOUND), "openbox did not start")

    def close(self):
        self.manager.terminate()
        try:
            self.manager.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.manager.kill()
            self.manager.wait()

    def env(self, **settings):
        env = {k: v for k, v in os.environ.items() if k not in CHOOSING}
        env.update(DISPLAY=self.display, LANG="C.UTF-8", NO_AT_BRIDGE="1")
        env.update(settings)
        return {k: v for k, v in env.items() if v is not None}

    def tool(self, command):
        done = subprocess.run(command, env=self.tools_env, capture_output=True, timeout=EXIT_BOUND)
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def start(self, command, env, stdin=subprocess.DEVNULL, cwd=None):
        # A session of its own, so that a failing test can end it with everything it started.
        return subprocess.Popen([str(part) for part in command], env=env, stdin=stdin, cwd=cwd,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)

    def find_window(self, caption):
        code, out = self.tool(["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(caption) + "$"])
        ids = out.split()
        return ids[0] if code == 0 and ids else None

    def screenshot(self, window, name):
        """The window with the title bar openbox draws, once GTK has painted it (a window is black
        between being mapped and its first drawing)."""
        path = self.artefacts / name

        def painted():
            code, _ = self.tool(["import", "-frame", "-window", window, str(path)])
            if code != 0 or not path.is_file():
                return False
            code, mean = self.tool(["convert", str(path), "-format", "%[fx:mean]", "info:"])
            return code == 0 and float(mean) > 0.3

        check(poll(painted, WINDOW_BOUND), f"screenshot {path} not taken")
        print("screenshot:", path)

    def press(self, window, *keys):
        code, _ = self.tool(["xdotool", "windowactivate", "--sync", window, "key", "--clearmodifiers", *keys])
        check(code == 0, f"keys {keys} not delivered to window {window}")

    def ask_to_close(self, window):
        code, _ = self.tool([str(self.close_request), window])
        check(code == 0, f"window {window} was not asked to close")

    def clipboard(self):
        code, text = self.tool(["xclip", "-o", "-selection", "clipboard"])
        return text if code == 0 else ""


def expect_window(desktop, program, caption):
    window = poll(lambda: desktop.find_window(caption) or program.poll() is not None, WINDOW_BOUND)
    check(program.poll() is None, f"the program ended with status {program.returncode} before {caption!r} showed")
    check(window, f"no window titled {caption!r} appeared")
    return window


def finish(desktop, program, forbidden=None):
    """The program's exit status and standard output, polled with a bound; fails if a window titled
    forbidden shows meanwhile."""
    def ended():
        if forbidden and desktop.find_window(forbidden):
            raise Failure(f"a window titled {forbidden!r} appeared")
        return program.poll() is not None
    check(poll(ended, EXIT_BOUND), "the program did not end")
    out, err = program.communicate()
    return program.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")


def case_no(desktop, paths):
    program = desktop.start([paths.quorlfix], desktop.env())
    try:
        window = expect_window(desktop, program, QUESTION)
        desktop.screenshot(window, "question.png")
        desktop.press(window, "n")
        code, out, err = finish(desktop, program, forbidden=NOT_FOUND)
        check(code == 0, f"exit status {code} after No, expected 0: {err}")
        check(out == "", f"the desktop form also wrote to the terminal: {out!r}")
    finally:
        end(program)


def case_yes(desktop, paths):
    program = desktop.start([paths.quorlfix], desktop.env())
    try:
        window = expect_window(desktop, program, QUESTION)
        desktop.screenshot(window, "question.png")
        desktop.press(window, "y")
        second = expect_window(desktop, program, NOT_FOUND)
        check(not desktop.find_window(QUESTION), "the question is still shown beside the second box")
        desktop.screenshot(second, "not_found.png")
        desktop.press(second, "Return")
        code, out, err = finish(desktop, program)
        check(code == 0, f"exit status {code} after Yes and OK, expected 0: {err}")
        check(out == "", f"the desktop form also wrote to the terminal: {out!r}")
    finally:
        end(program)


def case_windows_keys(desktop, paths):
    """German labels, and the keys a Windows user knows: J answers Ja; Escape and the close box
    do nothing on a Yes/No box; the close box answers a lone OK."""
    program = desktop.start([paths.quorlfix], desktop.env(LANG="de_DE.UTF-8"))
    try:
        window = expect_window(desktop, program, QUESTION)
        desktop.screenshot(window, "question_de.png")
        # Had Escape or the close request answered the question, the program would end without
        # the second box: the keys that follow them reach the window after them.
        desktop.press(window, "Escape")
        desktop.ask_to_close(window)
        desktop.press(window, "j")
        second = expect_window(desktop, program, NOT_FOUND)
        desktop.screenshot(second, "not_found_de.png")
        desktop.ask_to_close(second)
        code, _, err = finish(desktop, program)
        check(code == 0, f"exit status {code} after Ja and closing OK, expected 0: {err}")
    finally:
        end(program)


# Box by box: the style, the keys (or "close" for the close box) and the answer expected.
OKCANCEL, ABORTRETRYIGNORE, YESNOCANCEL, YESNO, RETRYCANCEL = 1, 2, 3, 4, 5
ICONSTOP, ICONQUESTION, ICONWARNING = 0x10, 0x20, 0x30
DEFBUTTON2, DEFBUTTON3 = 0x100, 0x200
IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO = 1, 2, 3, 4, 5, 6, 7
LONG_CAPTION = "A caption much longer than the text of the box it stands over"
STYLES = [
    (OKCANCEL | ICONQUESTION, ["Escape"], IDCANCEL),
    (YESNOCANCEL | ICONWARNING | DEFBUTTON3, ["Return"], IDCANCEL),
    (ABORTRETRYIGNORE | ICONSTOP | DEFBUTTON2, ["Escape", "close", "i"], IDIGNORE),
    (ABORTRETRYIGNORE | DEFBUTTON2, ["Return"], IDRETRY),
    (RETRYCANCEL, ["R"], IDRETRY),
    (YESNO | DEFBUTTON2, ["shift+Tab", "Return"], IDYES),
    (OKCANCEL, ["close"], IDCANCEL),
    (YESNOCANCEL, ["alt+n"], IDNO),
    (0, ["Escape"], IDOK),
]


def case_styles(desktop, paths):
    """Each button set in Windows order with its default; the keys Windows answers it with."""
    arguments = [str(style) for style, _, _ in STYLES]
    arguments[-1] += ":" + LONG_CAPTION
    program = desktop.start([paths.message_boxes, *arguments], desktop.env())
    try:
        for number, (style, keys, _) in enumerate(STYLES, 1):
            caption = LONG_CAPTION if number == len(STYLES) else f"box {number}"
            window = expect_window(desktop, program, caption)
            desktop.screenshot(window, f"box_{number}.png")
            if caption == LONG_CAPTION:
                _, geometry = desktop.tool(["xdotool", "getwindowgeometry", window])
                width = int(re.search(r"Geometry: (\d+)x", geometry).group(1))
                check(width >= 5.5 * len(caption), f"a window {width} pixels wide cannot show its caption whole")
            for key in keys:
                if key == "close":
                    desktop.ask_to_close(window)
                else:
                    desktop.press(window, key)
        code, out, err = finish(desktop, program)
        check(code == 0, f"exit status {code}: {err}")
        answers = [int(line) for line in out.split()]
        check(answers == [answer for _, _, answer in STYLES], f"answers {answers}")
    finally:
        end(program)


def case_error_dialog(desktop, paths):
    """The message can be copied from the dialog; its first option goes on with the process in
    the locale it had; closing the dialog is its third option, here Quit."""
    with tempfile.TemporaryDirectory() as work:
        program = desktop.start([paths.error_raiser], desktop.env(LANG="de_DE.UTF-8"), cwd=work)
        try:
            window = expect_window(desktop, program, ERROR_CAPTION)
            desktop.screenshot(window, "error.png")
            # Shift+Tab leads from the default button into the text; its letters then still
            # answer, while Ctrl+A and Ctrl+C select and copy.
            desktop.press(window, "shift+Tab", "ctrl+a", "ctrl+c")
            copied = poll(lambda: ARGUMENT_LINE in desktop.clipboard() and desktop.clipboard(), WINDOW_BOUND)
            check(copied, f"the copied message lacks {ARGUMENT_LINE!r}: {desktop.clipboard()!r}")
            check("RAISERMAIN (Line:7)" in copied, f"the copied message lacks the call stack: {copied!r}")
            desktop.press(window, "d")
            code, out, err = finish(desktop, program)
            check(code == 0, f"exit status {code} after Default, expected 0: {err}")
            check(out == "handled; 1.5\n", f"after the dialog the program printed {out!r}")
        finally:
            end(program)

        program = desktop.start([paths.error_raiser], desktop.env(), cwd=work)
        try:
            window = expect_window(desktop, program, ERROR_CAPTION)
            desktop.ask_to_close(window)
            code, out, err = finish(desktop, program)
            check(code == 1, f"exit status {code} after closing the error dialog, expected the generic code 1: {err}")
        finally:
            end(program)


def run_terminal(program, env, stdin, answers=b""):
    """Runs the program to its end as the terminal form: its status, standard output, and the
    loader's trace (LD_DEBUG), which names every library it loaded and where from."""
    env = dict(env, LD_DEBUG="files,libs")
    done = subprocess.run([str(program)], env=env, stdin=stdin, input=answers if stdin is None else None,
                          capture_output=True, timeout=EXIT_BOUND)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def expect_terminal(what, program, env, stdin=subprocess.DEVNULL, answers=b"", loads_plugin=False):
    code, out, trace = run_terminal(program, env, stdin, answers)
    check(code == 0, f"{what}: exit status {code}, expected 0")
    check(TERMINAL_QUESTION in out, f"{what}: the terminal form was not shown: {out!r}")
    check((GTK_LIBRARY in trace) == loads_plugin,
          f"{what}: GTK was {'not ' if loads_plugin else ''}loaded")
    return trace


def system_library(soname):
    """The path of a library the dynamic linker's cache knows (one of the program's own would be
    a second copy of it in the process)."""
    found = []
    for line in subprocess.run(["ldconfig", "-p"], capture_output=True, text=True).stdout.splitlines():
        name, _, path = line.strip().partition(" => ")
        if name.startswith(soname + " "):
            found.append((sys.maxsize.bit_length() == 63 and "64" not in name, path))
    check(found, f"{soname} is not installed")
    return Path(min(found)[1])  # one of the program's own word size first


def case_choice(desktop, paths):
    base = desktop.env()
    no_display = {k: v for k, v in base.items() if k != "DISPLAY"}
    expect_terminal("no display", paths.quorlfix, no_display)
    expect_terminal("forced terminal with a display", paths.quorlfix, dict(base, QUORLFIX_DIALOGS="terminal"))
    expect_terminal("answers on a pipe with a display", paths.quorlfix, base, stdin=None, answers=b"n\n")
    with tempfile.TemporaryFile() as answers:
        answers.write(b"n\n")
        answers.seek(0)
        expect_terminal("answers in a file with a display", paths.quorlfix, base, stdin=answers)

    # A display that cannot be opened: the plugin and GTK are loaded, and the terminal form runs.
    unused = dict(base, DISPLAY=":" + str(1000 + int(desktop.display.lstrip(":"))))
    expect_terminal("a display that cannot be opened", paths.quorlfix, unused, loads_plugin=True)

    # The program, the runtime and the host layer without the plugin beside them.
    with tempfile.TemporaryDirectory() as copy:
        for library in (paths.runtime, paths.host):
            shutil.copy2(library, copy)
        shutil.copy2(paths.quorlfix, copy)
        check(not (Path(copy) / paths.plugin.name).exists(), "the plugin was copied")
        alone = dict(base, LD_LIBRARY_PATH=copy)
        trace = expect_terminal("plugin removed", Path(copy) / paths.quorlfix.name, alone)
        check(f"calling init: {copy}/{paths.host.name}" in trace, "the copy did not use the host layer beside it")
        forced = dict(alone, QUORLFIX_DIALOGS="desktop")
        copied_program = Path(copy) / paths.quorlfix.name
        code, out, err = run_terminal(copied_program, forced, subprocess.DEVNULL)
        check(code == 0 and TERMINAL_QUESTION in out and "QUORLFIX_DIALOGS=desktop: the desktop plugin" in err,
              "a forced desktop form without the plugin does not say why")
        # A plugin that does not load (as when GTK's libraries are missing), and a library that is
        # no plugin of this layout, under the plugin's name.
        plugin = Path(copy) / paths.plugin.name
        for content, note in ((b"not a library\n" * 1000, f"QUORLFIX_DIALOGS=desktop: {plugin}: "),
                              (system_library("libz.so.1").read_bytes(),
                               f"QUORLFIX_DIALOGS=desktop: {plugin} is a desktop plugin of")):
            plugin.write_bytes(content)
            code, out, err = run_terminal(copied_program, forced, subprocess.DEVNULL)
            notes = [line for line in err.splitlines() if line.startswith("QUORLFIX_DIALOGS")]
            check(code == 0 and TERMINAL_QUESTION in out and any(line.startswith(note) for line in notes),
                  f"a broken plugin does not leave the dialog to the terminal with the note {note!r}: {notes}")

    # Forced desktop with answers on a pipe, and an unknown setting with a terminal-less launcher.
    for settings, stdin, note in (({"QUORLFIX_DIALOGS": "desktop"}, subprocess.PIPE, None),
                                  ({"QUORLFIX_DIALOGS": "gtk"}, subprocess.DEVNULL, "QUORLFIX_DIALOGS=gtk is neither")):
        program = desktop.start([paths.quorlfix], desktop.env(**settings), stdin=stdin)
        try:
            window = expect_window(desktop, program, QUESTION)
            desktop.press(window, "n")
            code, out, err = finish(desktop, program)
            check(code == 0 and out == "", f"{settings}: exit status {code}, output {out!r}")
            check(note is None or note in err, f"{settings}: no note on standard error: {err!r}")
        finally:
            end(program)


CASES = {"no": case_no, "yes": case_yes, "windows_keys": case_windows_keys, "styles": case_styles,
         "error_dialog": case_error_dialog, "choice": case_choice}


class Paths:
    def __init__(self, argv):
        (self.quorlfix, self.error_raiser, self.message_boxes, self.close_request, self.plugin, self.runtime,
         self.host, self.artefacts) = (Path(a) for a in argv[2:10])


def missing_tools(case, paths):
    tools = ["Xvfb", "openbox", "xdotool", "import", "convert"] + (["xclip"] if case == "error_dialog" else [])
    missing = [tool for tool in tools if not shutil.which(tool)]
    if not paths.close_request.is_file():
        missing.append("the close_request helper (Xlib's development files)")
    if case in ("windows_keys", "error_dialog"):
        locales = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
        if "de_DE.utf8" not in locales:
            missing.append("the de_DE.UTF-8 locale (locales-all)")
    return missing


def main(argv):
    if len(argv) != 10 or argv[1] not in CASES:
        sys.exit(__doc__)
    case, paths = argv[1], Paths(argv)
    if not paths.plugin.is_file():
        print("SKIPPED: the desktop plugin was not built (GTK 3's development files are missing)")
        return SKIPPED
    missing = missing_tools(case, paths)
    if missing:
        print("SKIPPED: missing", ", ".join(missing))
        return SKIPPED
    artefacts = paths.artefacts / case
    with VirtualDisplay(artefacts / "xvfb.log") as display:
        desktop = None
        try:
            desktop = Desktop(display.name, artefacts, paths.close_request)
            CASES[case](desktop, paths)
        except (Failure, subprocess.TimeoutExpired) as failure:
            print("FAILED:", failure)
            return 1
        finally:
            if desktop:
                desktop.close()
    print("PASSED:", case)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
