#!/usr/bin/env python3
"""Checks that the shipped libraries export no test hook, and that their test builds do.

usage: exported_hooks.py OBJDUMP [--program ELF] --shipped FILE... --testing FILE...

A test hook is an export named TbTest... (the runtime) or Win32Test... (the host layer). FILE is an
ELF shared object or a PE DLL. The test builds must export hooks: a check that saw none there
would no longer be reading the exports at all. The program, when given, must find the shipped
libraries when it runs from the build tree, never the test builds.
Exit status 77 (skipped) when objdump is missing.
"""
import re
import shutil
import subprocess
import sys
from pathlib import Path

SKIPPED = 77
HOOK_PREFIXES = ("TbTest", "Win32Test")


def exports(objdump, path):
    """The names the file exports: the defined dynamic symbols of an ELF, the export table of a PE."""
    if Path(path).read_bytes()[:4] == b"\x7fELF":
        text = subprocess.run([objdump, "-T", str(path)], capture_output=True, text=True, check=True).stdout
        return {line.split()[-1] for line in text.splitlines()
                if re.match(r"[0-9a-f]{8,} ", line) and "*UND*" not in line}
    text = subprocess.run([objdump, "-p", str(path)], capture_output=True, text=True, check=True).stdout
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    return set(re.findall(r"^\s*\[\s*\d+\] (\S+)", table[1], re.M)) if len(table) == 2 else set()


def test_hooks(objdump, path):
    return sorted(name for name in exports(objdump, path) if name.startswith(HOOK_PREFIXES))


def search_path(objdump, program):
    """The directories an ELF program's RUNPATH (or RPATH) names."""
    text = subprocess.run([objdump, "-p", str(program)], capture_output=True, text=True, check=True).stdout
    found = re.search(r"^\s*(?:RUNPATH|RPATH)\s+(\S+)", text, re.M)
    return [Path(d).resolve() for d in found.group(1).split(":")] if found else []


def main(argv):
    try:
        objdump, rest = argv[1], argv[2:]
        program = rest[rest.index("--program") + 1] if "--program" in rest else None
        shipped = rest[rest.index("--shipped") + 1:rest.index("--testing")]
        testing = rest[rest.index("--testing") + 1:]
    except (IndexError, ValueError):
        sys.exit(__doc__)
    if not shutil.which(objdump):
        print("SKIPPED: objdump missing:", objdump)
        return SKIPPED
    faults = []
    for path in shipped:
        if not exports(objdump, path):
            faults.append(f"{path} exports nothing")
        hooks = test_hooks(objdump, path)
        if hooks:
            faults.append(f"{path} ships with test hooks: {hooks}")
    for path in testing:
        if not test_hooks(objdump, path):
            faults.append(f"{path}, a test build, exports no test hook")
    if program:
        dirs = search_path(objdump, program)
        for path in shipped:
            if Path(path).resolve().parent not in dirs:
                faults.append(f"{program} does not look for {path} where it lies")
        for path in testing:
            if Path(path).resolve().parent in dirs:
                faults.append(f"{program} looks for libraries where the test build {path} lies")
    for fault in faults:
        print("FAILED:", fault)
    if not faults:
        print("PASSED:", " ".join(shipped))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
