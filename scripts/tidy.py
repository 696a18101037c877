#!/usr/bin/env python3
"""Runs clang-tidy over the files named, with the flags a build's
compile_commands.json gives each, and keeps a clean verdict:

    scripts/tidy.py build/native-sanitize toolkit/entry.cpp sim/game/world.cpp ...

A verdict is keyed on all the analysis reads: the tool's version, the
.clang-tidy checks, the file's flags and the file itself as preprocessed
(comments kept, so a NOLINT counts). A file whose key was clean before is not
analysed again; one with findings always is. The verdicts are kept in
$TIDY_CACHE, else ~/.cache/rdr2-standin/tidy. Exit status 1 on any finding.
"""

import hashlib
import json
import os
import shlex
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path


def fail(message):
    print(f"tidy: {message}", file=sys.stderr)
    sys.exit(2)


def compile_commands(db):
    path = db / "compile_commands.json"
    try:
        entries = json.loads(path.read_text())
    except (OSError, ValueError) as error:
        fail(f"{path}: {error}")
    commands = {}
    for entry in entries:
        args = entry.get("arguments") or shlex.split(entry["command"])
        commands[os.path.realpath(os.path.join(entry["directory"], entry["file"]))] = (entry["directory"], args)
    return commands


def preprocessing(args, source):
    """The compile command turned into one that prints the preprocessed file."""
    out = []
    skip = False
    for arg in args:
        if skip:
            skip = False
        elif arg in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif arg in ("-c", "-MD", "-MMD") or arg == source:
            pass
        else:
            out.append(arg)
    return out + ["-E", "-C", source]


def key_of(root, directory, args, source, config):
    done = subprocess.run(preprocessing(args, source), cwd=directory, capture_output=True)
    if done.returncode != 0:
        return None  # the analysis will say why
    digest = hashlib.sha256(config)
    # A clean clone elsewhere reads the same files: hash paths below the tree relative to it.
    digest.update(" ".join(args).replace(str(root), ".").encode())
    digest.update(done.stdout.replace(str(root).encode(), b"."))
    return digest.hexdigest()


def main():
    if len(sys.argv) < 2:
        fail("usage: tidy.py BUILD_DIR FILE...")
    root = Path.cwd().resolve()
    db = Path(sys.argv[1])
    commands = compile_commands(db)
    version = subprocess.run(["clang-tidy", "--version"], capture_output=True, text=True).stdout
    config = (version + (root / ".clang-tidy").read_text()).encode()
    cache = Path(os.environ.get("TIDY_CACHE") or Path.home() / ".cache" / "rdr2-standin" / "tidy")
    cache.mkdir(parents=True, exist_ok=True)

    def analyse(name):
        source = os.path.realpath(name)
        if source not in commands:
            return name, False, f"{name}: not in {db}/compile_commands.json\n"
        directory, args = commands[source]
        key = key_of(root, directory, args, source, config)
        verdict = cache / key if key else None
        if verdict and verdict.exists():
            return name, True, None
        done = subprocess.run(["clang-tidy", "-p", str(db), "--quiet", name], capture_output=True, text=True)
        if done.returncode == 0:
            if verdict:
                verdict.touch()
            return name, False, None
        return name, False, done.stdout + done.stderr

    files = sys.argv[2:]
    kept = 0
    findings = 0
    with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for name, was_kept, report in pool.map(analyse, files):
            kept += was_kept
            if report:
                findings += 1
                sys.stdout.write(report)
    print(f"clang-tidy: {len(files)} files, {kept} unchanged since a clean verdict, {findings} with findings")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
