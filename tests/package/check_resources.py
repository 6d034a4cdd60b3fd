#!/usr/bin/env python3
"""Checks the resources a Windows user expects in the shipped program files.

usage: check_resources.py ZIP VERSION

- QUORLFIX.EXE and TB28RUN.DLL carry version information (RT_VERSION 1): the fixed part gives
  VERSION as file and product version and the right file type; the US English strings give the
  product name, both versions, a description, the internal and the original file name;
- QUORLFIX.EXE carries its application manifest (RT_MANIFEST 1): run as the invoker, the
  systems from Vista to 11 supported, aware of each monitor's DPI, the common controls 6.
VERSION is the project's version (major.minor[.patch[.tweak]]).
"""
import struct
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

from check_package import PROGRAM, RUNTIME, PeImage

RT_VERSION, RT_MANIFEST = 16, 24
FIXED_SIGNATURE = 0xFEEF04BD
VOS_NT_WINDOWS32, VFT_APP, VFT_DLL = 0x40004, 1, 2
STRING_TABLE, TRANSLATION = "040904B0", (0x409, 1200)
ASM_V1, ASM_V3 = "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005, SETTINGS_2016 = ("http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                "http://schemas.microsoft.com/SMI/2016/WindowsSettings")
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


def align4(offset):
    return (offset + 3) & ~3


class VersionNode:
    """One block of a version resource: key, value type (0 binary, 1 text), value, children."""

    def __init__(self, data, offset):
        length, value_length, self.value_type = struct.unpack_from("<HHH", data, offset)
        if length < 6 or offset + length > len(data):
            raise ValueError(f"a version block at {offset} runs past the resource")
        self.end = offset + length
        key_end = offset + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
            if key_end >= self.end:
                raise ValueError(f"the key of the version block at {offset} is not terminated")
        self.key = data[offset + 6:key_end].decode("utf-16-le")
        position = align4(key_end + 2)
        size = value_length * 2 if self.value_type == 1 else value_length
        self.value = data[position:min(position + size, self.end)]
        position = align4(position + size)
        self.children = []
        while position < self.end:
            child = VersionNode(data, position)
            self.children.append(child)
            position = align4(child.end)

    def child(self, key):
        return next((c for c in self.children if c.key == key), None)

    def text(self):
        return self.value.decode("utf-16-le").split("\0", 1)[0]


def version_words(version):
    parts = [int(p) for p in version.split(".")]
    return (parts + [0, 0, 0, 0])[:4]


def check_version_info(name, image, version, file_type, faults):
    languages = image.resource(RT_VERSION, 1)
    if len(languages) != 1:
        faults.append(f"{name}: {len(languages)} version resources, expected one")
        return
    data = next(iter(languages.values()))
    try:
        root = VersionNode(data, 0)
    except (ValueError, struct.error) as fault:
        faults.append(f"{name}: the version resource is damaged: {fault}")
        return
    if root.key != "VS_VERSION_INFO" or len(root.value) != 52:
        faults.append(f"{name}: the version resource holds {root.key!r} with {len(root.value)} fixed bytes")
        return
    fixed = struct.unpack("<13I", root.value)
    words = version_words(version)
    expected = [words[0] << 16 | words[1], words[2] << 16 | words[3]]
    if fixed[0] != FIXED_SIGNATURE:
        faults.append(f"{name}: the fixed version part has the signature {fixed[0]:#x}")
    if list(fixed[2:4]) != expected or list(fixed[4:6]) != expected:
        faults.append(f"{name}: file and product version words {fixed[2:6]}, expected {expected * 2} ({version})")
    if fixed[8] != VOS_NT_WINDOWS32 or fixed[9] != file_type:
        faults.append(f"{name}: file OS {fixed[8]:#x} and type {fixed[9]}, "
                      f"expected {VOS_NT_WINDOWS32:#x} and {file_type}")

    dotted = ".".join(str(w) for w in words)
    table = root.child("StringFileInfo") and root.child("StringFileInfo").child(STRING_TABLE)
    strings = {node.key: node.text() for node in table.children} if table else {}
    expected_strings = {"ProductName": "QUORLFIX", "FileVersion": dotted, "ProductVersion": dotted,
                        "OriginalFilename": name, "InternalName": Path(name).stem}
    for key, value in expected_strings.items():
        if strings.get(key) != value:
            faults.append(f"{name}: version string {key} reads {strings.get(key)!r}, expected {value!r}")
    if not strings.get("FileDescription"):
        faults.append(f"{name}: the version strings carry no FileDescription")
    translation = root.child("VarFileInfo") and root.child("VarFileInfo").child("Translation")
    if not translation or struct.unpack("<HH", translation.value[:4]) != TRANSLATION:
        faults.append(f"{name}: the version translation is not US English, Unicode")


def check_manifest(name, image, version, faults):
    languages = image.resource(RT_MANIFEST, 1)
    if len(languages) != 1:
        faults.append(f"{name}: {len(languages)} application manifests, expected one")
        return
    try:
        root = ElementTree.fromstring(next(iter(languages.values())))
    except ElementTree.ParseError as fault:
        faults.append(f"{name}: the manifest is no well-formed XML: {fault}")
        return

    spaces = {"v1": ASM_V1, "v3": ASM_V3, "c": COMPATIBILITY, "s5": SETTINGS_2005, "s16": SETTINGS_2016}

    def find(path):
        return root.find(path, spaces)

    identity = find("v1:assemblyIdentity")
    if identity is None or identity.get("version") != ".".join(str(w) for w in version_words(version)):
        faults.append(f"{name}: the manifest's own identity does not carry the version {version}")
    level = find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel")
    if level is None or level.get("level") != "asInvoker" or level.get("uiAccess", "false") != "false":
        faults.append(f"{name}: the manifest does not ask to run as the invoker")
    supported = {node.get("Id") for node in root.iterfind("c:compatibility/c:application/c:supportedOS", spaces)}
    if supported != set(SUPPORTED_OS):
        missing = [SUPPORTED_OS[i] for i in SUPPORTED_OS if i not in supported]
        faults.append(f"{name}: the manifest's supported systems {sorted(supported)} (missing: {missing})")
    aware = find("v3:application/v3:windowsSettings/s5:dpiAware")
    awareness = find("v3:application/v3:windowsSettings/s16:dpiAwareness")
    if aware is None or (aware.text or "").strip().lower() != "true/pm":
        faults.append(f"{name}: the manifest's dpiAware is not true/pm")
    if awareness is None or (awareness.text or "").split(",")[0].strip() != "PerMonitorV2":
        faults.append(f"{name}: the manifest's dpiAwareness does not ask for PerMonitorV2 first")
    controls = [node for node in root.iterfind("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", spaces)
                if node.get("name") == "Microsoft.Windows.Common-Controls"]
    if len(controls) != 1 or controls[0].get("version") != "6.0.0.0" \
            or controls[0].get("publicKeyToken") != "6595b64144ccf1df":
        faults.append(f"{name}: the manifest does not depend on the common controls 6")


def check_resources(zip_path, version):
    """The list of faults found; empty when both files carry what they should."""
    faults = []
    with tempfile.TemporaryDirectory() as unpacked, zipfile.ZipFile(zip_path) as archive:
        archive.extractall(unpacked)
        shipped = {Path(n).name.upper(): Path(unpacked) / n for n in archive.namelist() if not n.endswith("/")}
        for name, file_type in ((PROGRAM, VFT_APP), (RUNTIME, VFT_DLL)):
            if name not in shipped:
                faults.append(f"{name} is not in the ZIP")
                continue
            image = PeImage(shipped[name].read_bytes())
            check_version_info(name, image, version, file_type, faults)
            if name == PROGRAM:
                check_manifest(name, image, version, faults)
    return faults


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    faults = check_resources(argv[1], argv[2])
    for fault in faults:
        print("FAILED:", fault)
    if not faults:
        print("PASSED:", argv[1])
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
