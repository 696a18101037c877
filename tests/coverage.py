#!/usr/bin/env python3
"""Counts the lines of the plug-ins (toolkit/, cinema/, toytrain/) that each
named test runs and no other test runs, in the coverage build:

    cmake --preset coverage && cmake --build --preset coverage -j2
    tests/coverage.py 'Suite.Test' 'Other.Test' ...

Every other test but those that need the Windows build runs first and gives
the lines already covered; then each named test runs alone. Needs gcovr.
"""

import json
import re
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "coverage"
PLUG_INS = ("toolkit/", "cinema/", "toytrain/")


def reset_counts():
    for data in BUILD.rglob("*.gcda"):
        data.unlink()


def run_tests(*selection):
    done = subprocess.run(["ctest", "--test-dir", str(BUILD), "-j2", *selection],
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.stderr.write(done.stdout[-2000:])
        sys.exit(f"tests failed: ctest {' '.join(selection)}")


# The plug-ins' own objects: their libraries, and the cinema's sources built
# into its unit tests. A test's own calls of the native wrappers are not the
# plug-ins running.
OBJECTS = [BUILD / "toolkit", BUILD / "cinema", BUILD / "toytrain",
           BUILD / "tests" / "cinema" / "CMakeFiles" / "cinema_unit_tests.dir"]


def covered_lines():
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        filters = [arg for p in PLUG_INS for arg in ("--filter", str(ROOT / p))]
        subprocess.run(["gcovr", "-j", "2", "--root", str(ROOT), *filters, "--json", "--output",
                        out.name, *map(str, OBJECTS)], check=True, capture_output=True,
                       cwd=BUILD)
        report = json.load(open(out.name))
    return {(f["file"], line["line_number"])
            for f in report["files"] for line in f["lines"] if line["count"] > 0}


def main(names):
    if not names:
        sys.exit(__doc__)
    exact = "|".join(f"^{re.escape(n)}$" for n in names)
    reset_counts()
    run_tests("-LE", "windows", "-E", exact)
    before = covered_lines()
    print(f"other tests: {len(before)} lines of the plug-ins")
    new_anywhere = set()
    for name in names:
        reset_counts()
        run_tests("-R", f"^{re.escape(name)}$")
        own = covered_lines()
        new = own - before
        new_anywhere |= new
        where = ", ".join(sorted({f"{file}:{line}" for file, line in new})) or "-"
        print(f"{len(new):4d} new of {len(own):4d}  {name}  ({where})")
    print(f"all named tests together: {len(new_anywhere)} lines no other test runs")


if __name__ == "__main__":
    main(sys.argv[1:])
