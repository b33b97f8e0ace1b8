#!/usr/bin/env python3
"""Crunches a 141 x 141 picture (19,881 pixels) with default attributes and with the
largest scatter volume, with the cruncher's random seed fixed, and reports the wall
time of the whole program: with the path file written to disk, and with the path file
going to /dev/null (so that the disk's mood does not enter). Beside them: one write()
of the same number of bytes, the floor of any writer.

Usage: cruncher_bench.py [--baseline SOURCE] [--runs N] [--work FOLDER]

The seeded cruncher is built from this source tree, and with --baseline also from
another one (the unchanged source, say a `git worktree` of an earlier commit); the
figures of both stand side by side, each the median of N runs.
"""

import argparse
import atexit
import os
import shutil
import statistics
import struct
import subprocess
import tempfile
import time

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
CASES = [("default scatter (2, 2, 2)", "a\na\nbench.tga\nx\nd\ny\n\n"),
         ("largest scatter (20, 20, 20)", "a\na\nbench.tga\nb\n20\n20\n20\nx\nd\ny\n\n")]


def build(source, folder):
    subprocess.run(["cmake", "-S", source, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DZORVEL_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", folder, "--target", "Zorvel-cruncher-seeded"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(folder, "tests", "Zorvel-cruncher-seeded")


def picture(folder):
    pixels = bytearray()
    for r in range(141):
        for c in range(141):
            pixels += bytes([(c * 3) % 256, (r * 5) % 256, (r + c) % 256])
    with open(os.path.join(folder, "bench.tga"), "wb") as f:
        f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 141, 141, 24, 0) + pixels)


def crunch(program, folder, menu, to_null):
    path = os.path.join(folder, "bench.tga.pPath")
    if os.path.lexists(path):
        os.remove(path)
    os.sync()  # what earlier runs wrote goes to disk now, not during this run
    if to_null:
        os.symlink("/dev/null", path)
    start = time.monotonic()
    subprocess.run([program], cwd=folder, input=menu.encode(), check=True, stdout=subprocess.DEVNULL)
    seconds = time.monotonic() - start
    size = 0 if to_null else os.path.getsize(path)
    os.remove(path)
    return seconds, size


def one_write(folder, size):
    """One write() of `size` bytes to a new file, with the bytes already in memory."""
    data = b"7" * size
    path = os.path.join(folder, "floor")
    os.sync()
    start = time.monotonic()
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    written = 0
    while written < size:
        written += os.write(fd, memoryview(data)[written:])
    os.close(fd)
    seconds = time.monotonic() - start
    os.remove(path)
    return seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--baseline", help="another source tree to measure beside this one")
    parser.add_argument("--runs", type=int, default=5, help="runs per figure (the median is reported)")
    parser.add_argument("--work", default=os.path.join(SOURCE, "build-bench"), help="where the builds go")
    arguments = parser.parse_args()

    trees = [("new", SOURCE)] + ([("unchanged", os.path.abspath(arguments.baseline))] if arguments.baseline else [])
    programs = {label: build(source, os.path.join(arguments.work, f"{label}-cruncher")) for label, source in trees}
    folder = tempfile.mkdtemp(prefix="zorvel-crunch-bench-")
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    picture(folder)
    print("141 x 141 pixels, seeded; wall time of the whole program, median of", arguments.runs, "runs")
    for case, menu in CASES:
        size = crunch(programs["new"], folder, menu, False)[1]
        floor = statistics.median(one_write(folder, size) for _ in range(arguments.runs))
        print(f"{case}: {size / 1e6:.1f} MB of path file; one write() of as many bytes: {floor:.3f} s")
        times = {}
        for label, _ in trees:
            for to_null in (True, False):
                times[(label, to_null)] = statistics.median(
                    crunch(programs[label], folder, menu, to_null)[0] for _ in range(arguments.runs))
        for to_null in (False, True):
            row = f"  {'to /dev/null' if to_null else 'to disk':12s}"
            for label, _ in trees:
                row += f" | {label}: {times[(label, to_null)]:.3f} s"
            if arguments.baseline:
                row += f" | new / unchanged: {times[('new', to_null)] / times[('unchanged', to_null)]:.2f}"
            print(row)


if __name__ == "__main__":
    main()
