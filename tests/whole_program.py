#!/usr/bin/env python3
"""Runs one unit-test program whole, as one test: usage: whole_program.py [EMULATOR...] PROGRAM.

The program's output passes through. The run fails when the program fails (any test failed or it
ended otherwise than with status 0); when it passed but some test of it was skipped, the run
reports itself skipped (status 77), never passed; otherwise it passes."""
import subprocess
import sys

SKIPPED = 77


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    sys.stdout.flush()
    skipped = set()
    with subprocess.Popen(argv[1:], stdout=subprocess.PIPE, stderr=subprocess.STDOUT) as program:
        for raw in program.stdout:
            line = raw.decode("utf-8", "replace")
            sys.stdout.write(line)
            if line.startswith("[  SKIPPED ] ") and "." in line:
                skipped.add(line.split()[3])
    status = program.returncode
    if status != 0:
        print(f"FAILED: {argv[-1]} ended with status {status}")
        return 1
    if skipped:
        print(f"SKIPPED: {len(skipped)} test(s) of {argv[-1]} skipped, the others passed")
        return SKIPPED
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
