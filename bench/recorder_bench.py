#!/usr/bin/env python3
"""Records a crunched 141 x 141 picture (19,881 pixels, default scatter) with the
recorder, the framed camera, in each draw mode: at 1280 x 720 as raw frames thrown
away and as an mp4 video, and at 1920 x 1080 as raw frames. Reports frames per second,
the peak resident memory, and where the time went (drawing, reading pixels, waiting for
the encoder, added up over the drawing threads), as the recorder's --timing says it.
With --large, also the same picture crunched with the largest scatter (about 640 MB of
path file, 2,891 frames), recorded at 1280 x 720 in each mode.

Usage: recorder_bench.py [--baseline SOURCE] [--large] [--rounds N] [--work FOLDER] [BUILD]

BUILD is a build of this tree (default: build). With --baseline, the recorder is also
built from another source tree (the unchanged source, say a `git worktree` of an
earlier commit) under FOLDER, and each recording is made with both, one after the
other, so that their figures come from one run. Each recording is made in N rounds
(default 2), the two recorders going first in turns, so that a machine that speeds up
or slows down favours neither; every round's figures are shown.
"""

import argparse
import atexit
import os
import re
import shutil
import subprocess
import tempfile

from cruncher_bench import picture  # the same 141 x 141 bench picture

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
MODES = ("wire", "solid", "outlined")
CRUNCH_DEFAULT = b"a\na\nbench.tga\nx\nd\ny\n\n"
CRUNCH_LARGEST_SCATTER = b"a\na\nbench.tga\nb\n20\n20\n20\nx\nd\ny\n\n"


def build(source, folder):
    subprocess.run(["cmake", "-S", source, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DZORVEL_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", folder, "--target", "Zorvel-recorder", "Zorvel-cruncher-seeded"], check=True,
                   stdout=subprocess.DEVNULL)
    return folder


def record(recorder, folder, path, mode, size, output):
    """The --timing line and the peak resident memory in MB of one recording."""
    process = subprocess.Popen([recorder, path, "--color", "bench.tga.pColor", "--mode", mode, "--size", size,
                                "--hold", "0", "--timing", "-o", output], cwd=folder, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    stderr = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise SystemExit(f"{recorder} failed ({process.returncode}): {stderr}")
    timing = re.search(r"timing: \d+ frames in [0-9.]+ s, ([0-9.]+) frames/s; (.*)", stderr)
    return float(timing.group(1)), usage.ru_maxrss / 1024, timing.group(2)


def crunch(build_folder, folder, menu, name):
    subprocess.run([os.path.join(build_folder, "tests", "Zorvel-cruncher-seeded")], cwd=folder, check=True,
                   input=menu, stdout=subprocess.DEVNULL)
    os.replace(os.path.join(folder, "bench.tga.pPath"), os.path.join(folder, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(SOURCE, "build"), help="a build of this tree")
    parser.add_argument("--baseline", help="another source tree to measure beside this one")
    parser.add_argument("--large", action="store_true", help="also the largest scatter's 640 MB path file")
    parser.add_argument("--rounds", type=int, default=2, help="recordings of each case, taking turns at going first")
    parser.add_argument("--work", default=os.path.join(SOURCE, "build-bench"), help="where the baseline is built")
    arguments = parser.parse_args()

    recorders = [("new", os.path.join(os.path.abspath(arguments.build), "bin", "Zorvel-recorder"))]
    if arguments.baseline:
        baseline = build(os.path.abspath(arguments.baseline), os.path.join(arguments.work, "unchanged-recorder"))
        recorders.append(("unchanged", os.path.join(baseline, "bin", "Zorvel-recorder")))

    folder = tempfile.mkdtemp(prefix="zorvel-record-bench-")
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    picture(folder)
    crunch(os.path.abspath(arguments.build), folder, CRUNCH_DEFAULT, "bench.pPath")
    cases = [("bench.pPath", size, mode, output) for size, outputs in (("1280x720", ("-", "bench.mp4")),
                                                                       ("1920x1080", ("-",)))
             for mode in MODES for output in outputs]
    if arguments.large:
        crunch(os.path.abspath(arguments.build), folder, CRUNCH_LARGEST_SCATTER, "large.pPath")
        cases += [("large.pPath", "1280x720", mode, "-") for mode in MODES]

    os.sync()  # the crunched files written back before the first recording, not during it
    print("19,881 pixels, framed camera, Mesa's software renderer (EGL, no display); "
          "frames per second and peak resident memory")
    for path, size, mode, output in cases:
        what = f"{'405 frames' if path == 'bench.pPath' else '2,891 frames, scatter 20'}, {size}, {mode}, " + \
               ("raw frames" if output == "-" else "mp4")
        for round_ in range(arguments.rounds):
            for label, recorder in (recorders if round_ % 2 == 0 else recorders[::-1]):
                fps, megabytes, where = record(recorder, folder, path, mode, size, output)
                print(f"  {what:44s} {label:9s} {fps:6.2f} frames/s {megabytes:6.1f} MB   ({where})", flush=True)


if __name__ == "__main__":
    main()
