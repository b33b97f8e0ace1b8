#!/usr/bin/env python3
"""Records a crunched 141 x 141 picture (19,881 pixels, default scatter) with the
recorder, the framed camera, in each draw mode: at 1280 x 720 as raw frames thrown
away and as an mp4 video, and at 1920 x 1080 as raw frames. Reports frames per second,
the peak resident memory, and where the time went (drawing, reading pixels, waiting for
the encoder, added up over the drawing threads), as the recorder's --timing says it.
With --large, also the same picture crunched with the largest scatter (about 640 MB of
path file, 2,891 frames), recorded at 1280 x 720 in each mode. Then a 1000 x 750 picture
recorded with --picture (crunched in memory, no path file) at 20,000, 100,000, 250,000
and 1,000,000 particles, 1280 x 720, solid, its flight home ten seconds long: frames per
second (crunching included) and peak memory, with both recorders (the unchanged one
must have --picture). Last, the 141 x 141 picture's path file at 1280 x 720, raw frames,
in each draw mode, with a 360-degree orbit (--orbit 360), beside the still camera and
beside --settled-layer off, each with both recorders but the orbit with the unchanged
one, which may not have it (--orbit-only: that part alone).

Usage: recorder_bench.py [--baseline SOURCE] [--large] [--orbit-only] [--rounds N] [--work FOLDER] [BUILD]

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
import struct
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
    return timed(recorder, folder, [path, "--color", "bench.tga.pColor", "--mode", mode, "--size", size, "--hold",
                                    "0", "--timing", "-o", output])


def record_orbit(recorder, folder, mode, extra):
    """The same for the bench path file at 1280 x 720 with `extra` options."""
    return timed(recorder, folder, ["bench.pPath", "--color", "bench.tga.pColor", "--mode", mode, "--size",
                                    "1280x720", "--hold", "0", "--timing", "-o", "-"] + extra)


def record_picture(recorder, folder, particles):
    """The same for the large picture, crunched in memory."""
    return timed(recorder, folder, ["--picture", "large.tga", "--particles", str(particles), "--seed", "1",
                                    "--duration", "10", "--mode", "solid", "--size", "1280x720", "--hold", "0",
                                    "--timing", "-o", "-"])


def timed(recorder, folder, arguments):
    process = subprocess.Popen([recorder] + arguments, cwd=folder, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    stderr = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise SystemExit(f"{recorder} failed ({process.returncode}): {stderr}")
    timing = re.search(r"timing: \d+ frames in [0-9.]+ s, ([0-9.]+) frames/s; (.*)", stderr)
    return float(timing.group(1)), usage.ru_maxrss / 1024, timing.group(2)


def large_picture(folder):
    """A 1000 x 750 picture of smooth colour, as a 24-bit TGA."""
    width, height = 1000, 750
    pixels = bytearray()
    for r in range(height):
        for c in range(width):
            pixels += bytes([(c * 255) // width, (r * 255) // height, ((r + c) * 3) % 256])
    with open(os.path.join(folder, "large.tga"), "wb") as f:
        f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0) + pixels)


def crunch(build_folder, folder, menu, name):
    subprocess.run([os.path.join(build_folder, "tests", "Zorvel-cruncher-seeded")], cwd=folder, check=True,
                   input=menu, stdout=subprocess.DEVNULL)
    os.replace(os.path.join(folder, "bench.tga.pPath"), os.path.join(folder, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(SOURCE, "build"), help="a build of this tree")
    parser.add_argument("--baseline", help="another source tree to measure beside this one")
    parser.add_argument("--large", action="store_true", help="also the largest scatter's 640 MB path file")
    parser.add_argument("--orbit-only", action="store_true", help="only the orbit against the still camera")
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
    if arguments.orbit_only:
        orbits(recorders, folder, arguments.rounds)
        return
    print("19,881 pixels, framed camera, Mesa's software renderer (EGL, no display); "
          "frames per second and peak resident memory")
    for path, size, mode, output in cases:
        what = f"{'405 frames' if path == 'bench.pPath' else '2,891 frames, scatter 20'}, {size}, {mode}, " + \
               ("raw frames" if output == "-" else "mp4")
        for round_ in range(arguments.rounds):
            for label, recorder in (recorders if round_ % 2 == 0 else recorders[::-1]):
                fps, megabytes, where = record(recorder, folder, path, mode, size, output)
                print(f"  {what:44s} {label:9s} {fps:6.2f} frames/s {megabytes:6.1f} MB   ({where})", flush=True)

    large_picture(folder)
    print("A 1000 x 750 picture crunched in memory (--picture), 1280 x 720, solid, a ten-second flight, raw frames")
    for particles in (20000, 100000, 250000, 1000000):
        for round_ in range(arguments.rounds):
            for label, recorder in (recorders if round_ % 2 == 0 else recorders[::-1]):
                fps, megabytes, where = record_picture(recorder, folder, particles)
                print(f"  {particles:7d} particles   {label:9s} {fps:6.2f} frames/s {megabytes:6.1f} MB   ({where})",
                      flush=True)
    orbits(recorders, folder, arguments.rounds)


def orbits(recorders, folder, rounds):
    print("19,881 pixels, 405 frames, 1280 x 720, raw frames: a 360-degree orbit beside the still camera")
    for mode in MODES:
        for round_ in range(rounds):
            for label, recorder in (recorders if round_ % 2 == 0 else recorders[::-1]):
                for what, extra in (("orbit 360", ["--orbit", "360"]), ("still", []),
                                    ("still, layer off", ["--settled-layer", "off"])):
                    if label != "new" and what.startswith("orbit"):
                        continue
                    fps, megabytes, where = record_orbit(recorder, folder, mode, extra)
                    print(f"  {mode:8s} {what:17s} {label:9s} {fps:6.2f} frames/s {megabytes:6.1f} MB   ({where})",
                          flush=True)

if __name__ == "__main__":
    main()
