#!/usr/bin/env python3
"""Checks the Debian package of the Linux build as a user's machine would take it.

usage: check_deb.py contents DEB
       check_deb.py test_hooks DEB

contents:
- the package holds exactly the program, the runtime, the host layer, the desktop plugin, the
  desktop entry and the icon, under /usr;
- its Depends name a package for every library the program, the runtime and the host layer link
  (and its Recommends, with the Depends, every library the plugin links), each satisfied by what
  this machine has installed; GTK is recommended, never required;
- the desktop entry is valid and starts the installed program;
- unpacked into a scratch root (dpkg-deb -x), the program runs from there with the libraries
  beside it, answers on a pipe as the terminal form, and finds its desktop plugin there.
test_hooks: no shipped file exports a test hook (a TbTest* or Win32Test* symbol).

The package is unpacked, never installed: the tests run on developers' machines too, and
installing with dpkg -i would change the machine for every program on it.
Exit status 77 (skipped) when dpkg-deb, readelf, objdump or desktop-file-validate is missing.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

from exported_hooks import test_hooks

SKIPPED = 77
PROGRAM = "usr/bin/quorlfix"
LIBRARY_DIR = "usr/lib/quorlfix"
PLUGIN = f"{LIBRARY_DIR}/libtb28desktop.so"
DESKTOP_ENTRY = "usr/share/applications/quorlfix.desktop"
EXPECTED_FILES = {
    PROGRAM, f"{LIBRARY_DIR}/libtb28run.so", f"{LIBRARY_DIR}/libtb28win32.so", PLUGIN, DESKTOP_ENTRY,
    "usr/share/icons/hicolor/scalable/apps/quorlfix.svg", "usr/share/icons/hicolor/48x48/apps/quorlfix.png",
}
GTK_PACKAGE = "libgtk-3-0"
TERMINAL_QUESTION = "| Fix the quorl database now ? |"
TERMINAL_NOT_FOUND = "| Quorl not found ? |"


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def field(deb, name):
    return run("dpkg-deb", "-f", deb, name).stdout.strip()


def relations(text):
    """{package: [(operator, version)]} of a Depends-style field (no alternatives are used)."""
    found = {}
    for entry in filter(None, (e.strip() for e in text.split(","))):
        match = re.fullmatch(r"([a-z0-9.+-]+)(?::\S+)?(?:\s*\(\s*([<>=]+)\s*([^)\s]+)\s*\))?", entry)
        if not match:
            raise ValueError(f"cannot read the relation {entry!r}")
        found.setdefault(match.group(1), [])
        if match.group(2):
            found[match.group(1)].append((match.group(2), match.group(3)))
    return found


def installed_versions(packages):
    """{package: version} of those packages that are installed here."""
    done = run("dpkg-query", "-W", "-f=${Package}\t${Status}\t${Version}\n", *packages)
    versions = {}
    for line in done.stdout.splitlines():
        package, status, version = line.split("\t")
        if status.endswith(" installed"):
            versions[package] = version
    return versions


def elf_files(root):
    """{name in the package: (whether it is 64-bit, the sonames it names as NEEDED)}."""
    found = {}
    for name in sorted(EXPECTED_FILES):
        if name.startswith(("usr/bin/", "usr/lib/")):
            header = run("readelf", "-h", "-d", str(root / name)).stdout
            found[name] = ("ELF64" in header, re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", header))
    return found


def library_owners(wanted):
    """{(soname, 64-bit): the installed package that provides it}, as the dynamic linker's cache
    finds each library."""
    paths = {}
    for line in run("ldconfig", "-p").stdout.splitlines():
        match = re.match(r"\s*(\S+) \(([^)]*)\) => (\S+)", line)
        key = match and (match.group(1), "x86-64" in match.group(2))
        if key in wanted:
            paths.setdefault(key, match.group(3))
    candidates = {p for path in paths.values() for p in (path, os.path.realpath(path))}
    packages = {}
    for line in run("dpkg", "-S", *sorted(candidates)).stdout.splitlines():
        package, _, path = line.partition(": ")
        packages[path.strip()] = package.split(":")[0]
    return {key: packages.get(path) or packages.get(os.path.realpath(path)) for key, path in paths.items()}


def check_dependencies(deb, root, faults):
    depends, recommends = relations(field(deb, "Depends")), relations(field(deb, "Recommends"))
    if GTK_PACKAGE in depends:
        faults.append(f"{GTK_PACKAGE} is required; the terminal form needs no GTK")
    if GTK_PACKAGE not in recommends:
        faults.append(f"{GTK_PACKAGE} is not recommended: {field(deb, 'Recommends')!r}")
    related = {**recommends, **depends}
    versions = installed_versions(related)
    for package, constraints in related.items():
        if package not in versions:
            faults.append(f"{package}, a dependency, is not installed here to check against")
            continue
        for operator, wanted in constraints:
            test = {"<<": "lt", "<=": "le", "=": "eq", ">=": "ge", ">>": "gt"}[operator]
            if run("dpkg", "--compare-versions", versions[package], test, wanted).returncode != 0:
                faults.append(f"{package} {versions[package]} does not satisfy ({operator} {wanted})")

    shipped = {Path(f).name for f in EXPECTED_FILES}
    files = elf_files(root)
    owners = library_owners({(soname, wide) for wide, sonames in files.values() for soname in sonames})
    for name, (wide, sonames) in files.items():
        allowed = set(depends) | (set(recommends) if name == PLUGIN else set())
        for soname in sonames:
            if soname in shipped:
                continue
            owner = owners.get((soname, wide))
            if owner is None:
                faults.append(f"{name} links {soname}, which no installed package provides")
            elif owner not in allowed:
                faults.append(f"{name} links {soname} from {owner}, which the package does not "
                              f"{'recommend or ' if name == PLUGIN else ''}depend on")


def check_icons(root, faults):
    png = (root / "usr/share/icons/hicolor/48x48/apps/quorlfix.png").read_bytes()
    if png[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", png[16:24]) != (48, 48):
        faults.append("the 48x48 icon is not a 48 by 48 PNG")
    svg = (root / "usr/share/icons/hicolor/scalable/apps/quorlfix.svg").read_text()
    if "<svg" not in svg:
        faults.append("the scalable icon is not an SVG")


def check_desktop_entry(root, faults):
    entry = root / DESKTOP_ENTRY
    done = run("desktop-file-validate", str(entry))
    if done.returncode != 0 or done.stdout.strip():
        faults.append(f"the desktop entry is not valid: {done.stdout}{done.stderr}")
    fields = dict(line.split("=", 1) for line in entry.read_text().splitlines() if "=" in line)
    if fields.get("Exec", "").split()[-1:] != [Path(PROGRAM).name] or fields.get("Icon") != "quorlfix":
        faults.append(f"the desktop entry does not start the installed program with its icon: {fields}")


def initialised(trace):
    """The libraries the loader's trace (LD_DEBUG=libs) shows started, as real paths."""
    return {os.path.realpath(path) for path in re.findall(r"calling init: (\S+)", trace)}


def check_runs(root, faults):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QUORLFIX_DIALOGS", "LD_LIBRARY_PATH")}
    program = root / PROGRAM
    done = run(str(program), input="y\n\n", env=dict(env, LD_DEBUG="libs"), timeout=60)
    if done.returncode != 0 or TERMINAL_QUESTION not in done.stdout or TERMINAL_NOT_FOUND not in done.stdout:
        faults.append(f"the unpacked program answered Yes and OK with status {done.returncode}:\n{done.stdout}")
    for library in ("libtb28run.so", "libtb28win32.so"):
        if os.path.realpath(root / LIBRARY_DIR / library) not in initialised(done.stderr):
            faults.append(f"the unpacked program did not load the unpacked {library}")
    # Forced to the desktop without a display: the plugin beside the host layer is loaded (with
    # GTK, which must be there), finds no display and leaves the dialog to the terminal.
    done = run(str(program), stdin=subprocess.DEVNULL, env=dict(env, LD_DEBUG="libs", QUORLFIX_DIALOGS="desktop"),
               timeout=60)
    if os.path.realpath(root / PLUGIN) not in initialised(done.stderr):
        faults.append("the unpacked program did not load the unpacked desktop plugin")
    if done.returncode != 0 or TERMINAL_QUESTION not in done.stdout or "the display cannot be opened" not in done.stderr:
        faults.append(f"without a display the unpacked program did not fall back to the terminal "
                      f"(status {done.returncode}):\n{done.stdout}")


def check_contents(deb, root):
    faults = []
    listed = run("dpkg-deb", "-c", deb).stdout.splitlines()
    files = {re.sub(r"^\./", "", line.split()[-1]) for line in listed if not line.startswith("d")}
    if files != EXPECTED_FILES:
        faults.append(f"files missing: {sorted(EXPECTED_FILES - files)}; files not expected: {sorted(files - EXPECTED_FILES)}")
        return faults
    if field(deb, "Package") != "quorlfix":
        faults.append(f"package name {field(deb, 'Package')!r}")
    architecture = run("dpkg", "--print-architecture").stdout.strip()
    if field(deb, "Architecture") != architecture:
        faults.append(f"architecture {field(deb, 'Architecture')!r}, expected {architecture!r}")
    if not os.access(root / PROGRAM, os.X_OK):
        faults.append(f"{PROGRAM} is not executable")
    check_dependencies(deb, root, faults)
    check_icons(root, faults)
    check_desktop_entry(root, faults)
    check_runs(root, faults)
    return faults


def check_test_hooks(root):
    faults = []
    for name in sorted(EXPECTED_FILES):
        if name.startswith(("usr/bin/", "usr/lib/")):
            hooks = test_hooks("objdump", root / name)
            if hooks:
                faults.append(f"{name} exports test hooks: {', '.join(hooks)}")
    return faults


def main(argv):
    if len(argv) != 3 or argv[1] not in ("contents", "test_hooks"):
        sys.exit(__doc__)
    check, deb = argv[1], argv[2]
    missing = [t for t in ("dpkg-deb", "readelf", "objdump", "desktop-file-validate") if not shutil.which(t)]
    if missing:
        print("SKIPPED: missing", ", ".join(missing))
        return SKIPPED
    with tempfile.TemporaryDirectory() as scratch:
        unpacked = run("dpkg-deb", "-x", deb, scratch)
        if unpacked.returncode != 0:
            print("FAILED: cannot unpack", deb, unpacked.stderr)
            return 1
        root = Path(scratch)
        faults = check_contents(deb, root) if check == "contents" else check_test_hooks(root)
    for fault in faults:
        print("FAILED:", fault)
    if not faults:
        print("PASSED:", check, deb)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
