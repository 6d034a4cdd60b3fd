#!/usr/bin/env python3
"""Generates the ATOMTABLE resource and the symbol constants from the list of names.

Usage: gen_atomtable.py NAMES OUTDIR
Writes atomtable.bin (the resource bytes), atomtable.rc (Windows), atomtable_resource.cpp
(POSIX hosts: the bytes registered as resource type 0x5441, name 1) and atomtable_symbols.h.
"""
import struct
import sys
from pathlib import Path

FIRST_SYMBOL = 444
SIGNATURE = b"ATOMTABLE\0\0\0"


def main():
    names_file, outdir = Path(sys.argv[1]), Path(sys.argv[2])
    names = [line.rstrip("\r\n") for line in names_file.read_text(encoding="ascii").splitlines()]
    names = [n for n in names if n]
    if len(set(names)) != len(names):
        sys.exit("atomtable: duplicate name")
    data = bytearray(SIGNATURE)
    for name in names:
        encoded = name.encode("ascii") + b"\0"
        data += struct.pack("<I", len(encoded)) + encoded
    data += struct.pack("<I", 0)
    outdir.mkdir(parents=True, exist_ok=True)
    write_if_changed(outdir / "atomtable.bin", bytes(data))
    # Without a LANGUAGE statement windres stamps the resource US English; it is language-neutral.
    write_if_changed(outdir / "atomtable.rc", b'LANGUAGE 0, 0\n1 21569 "atomtable.bin"\n')
    rows = ",".join(str(b) for b in data)
    cpp = (
        "// Generated from atomtable.txt: the ATOMTABLE resource, linked into the executable.\n"
        "#include <win32_resources.h>\n\n"
        "namespace {\n"
        f"const unsigned char kAtomTable[{len(data)}] = {{{rows}}};\n"
        "const Win32ResourceRegistration registration(0x5441, 1, kAtomTable, sizeof kAtomTable);\n"
        "}  // namespace\n"
    )
    write_if_changed(outdir / "atomtable_resource.cpp", cpp.encode())
    header = [
        "// Generated from atomtable.txt: the program's symbols, numbered from 444 in resource order.",
        "#pragma once",
        "",
        '#include "tb28run/values.h"',
        "",
        f"constexpr Sym ATOMTABLE_FIRST_SYMBOL = {FIRST_SYMBOL};",
        f"constexpr unsigned ATOMTABLE_NAME_COUNT = {len(names)};",
    ]
    header += [f"constexpr Sym SYM_{n} = {FIRST_SYMBOL + i};" for i, n in enumerate(names)]
    header += ["", "constexpr const char* ATOMTABLE_NAMES[] = {"]
    header += [f'    "{n}",' for n in names]
    header += ["};", ""]
    write_if_changed(outdir / "atomtable_symbols.h", "\n".join(header).encode())


def write_if_changed(path, content):
    if not path.exists() or path.read_bytes() != content:
        path.write_bytes(content)


if __name__ == "__main__":
    main()
