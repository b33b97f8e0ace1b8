#!/usr/bin/env python3
"""Plays 19,881 pixels (a crunched 141 x 141 picture in the viewer, three 141 x 141
keyframes in the blender) under Xvfb with Mesa's software renderer at 1280 x 1024, in
each draw mode, and reports the frames shown per second, counted (every frame shown
prints one "framerate: " line): paced (the programs as they are, at most 25) and
unpaced (a build that draws as fast as it can).

Usage: playback_bench.py [--baseline SOURCE] [--seconds N] [--rounds N] [--work FOLDER]

The programs are built from this source tree, and with --baseline also from another
one (the unchanged source, say a `git worktree` of an earlier commit), each paced and
unpaced, and the figures stand side by side. The builds take turns program by program,
the unchanged one first in every other round, so that a machine that speeds up or slows
down over the run favours neither; each figure is the mean over the rounds, with the
lowest and highest round beside it when there are several.
"""

import argparse
import atexit
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "window"))
import window_tests as w  # noqa: E402

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
MODES = ["wire", "solid", "solid + outline"]


def build(source, folder, unpaced):
    subprocess.run(["cmake", "-S", source, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DZORVEL_BENCH=OFF", f"-DZORVEL_UNPACED_PLAYBACK={'ON' if unpaced else 'OFF'}"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", folder, "--target", "Zorvel-cruncher", "Zorvel-viewer", "Morvaine"],
                   check=True, stdout=subprocess.DEVNULL)
    return os.path.join(folder, "bin")


def picture(folder, name, size, shade):
    pixels = bytearray()
    for r in range(size):
        for c in range(size):
            pixels += bytes([(c * 3 + shade) % 256, (r * 5) % 256, (r + c + shade * 2) % 256])
    with open(os.path.join(folder, name), "wb") as f:
        f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, size, size, 24, 0) + pixels)


def scene(folder, cruncher):
    """Writes the viewer's and the blender's input files; returns their menu inputs."""
    picture(folder, "bench.tga", 141, 0)
    subprocess.run([cruncher], cwd=folder, check=True, input=b"a\na\nbench.tga\nx\nb\nd\n4\nx\nd\ny\n\n",
                   stdout=subprocess.DEVNULL)
    for k in range(3):
        picture(folder, f"k{k}.tga", 141, k * 80)
    with open(os.path.join(folder, "bench.cfg"), "w") as f:
        f.write("#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 3 #MINDISPLACEMENT 0.5 #MAXDISPLACEMENT 4\n" +
                "".join(f"#IMAGEPATH k{k}.tga #NUMBER_OF_INTERPOLATION_FRAMES 20\n" for k in range(3)))
    return {"viewer": "a\nbench.tga.pPath\nc\nbench.tga.pColor\ng\ny\n", "blender": "bench.cfg\nb\n"}


def frames_shown(stdout):
    return sum(1 for line in w.output(stdout).splitlines() if line.startswith("framerate: "))


def measure(program, folder, menu, seconds):
    """The frames shown per second in each draw mode, counted over `seconds` of play
    after the first second."""
    display = w.Display()
    counted = []
    try:
        process, stdout = w.start(display, program, folder, menu)
        w.wait_until(lambda: display.screen().colours)
        for mode in range(3):
            display.key("space")
            time.sleep(1)
            before, start = frames_shown(stdout), time.monotonic()
            time.sleep(seconds)
            shown, elapsed = frames_shown(stdout) - before, time.monotonic() - start
            display.key("space")
            counted.append(round(shown / elapsed, 1))
            time.sleep(0.5)
            display.key("d")
            time.sleep(0.5)
        display.key("Escape")
        process.wait(timeout=60)
    finally:
        display.close()
    return counted


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--baseline", help="another source tree to measure beside this one")
    parser.add_argument("--seconds", type=float, default=8, help="seconds of play per draw mode")
    parser.add_argument("--rounds", type=int, default=2, help="measurements of each build, taking turns")
    parser.add_argument("--work", default=os.path.join(SOURCE, "build-bench"), help="where the builds go")
    arguments = parser.parse_args()

    trees = [("new", SOURCE)] + ([("unchanged", os.path.abspath(arguments.baseline))] if arguments.baseline else [])
    builds = {}
    for label, source in trees:
        for unpaced in (False, True):
            folder = os.path.join(arguments.work, f"{label}-{'unpaced' if unpaced else 'paced'}")
            builds[(label, unpaced)] = build(source, folder, unpaced)

    folder = tempfile.mkdtemp(prefix="zorvel-bench-")
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    menus = scene(folder, os.path.join(builds[("new", False)], "Zorvel-cruncher"))
    results = {}  # (program, build, unpaced) -> per round, the figure of each mode
    for round_ in range(arguments.rounds):
        turns = trees if round_ % 2 == 0 else trees[::-1]
        for which, name in (("viewer", "Zorvel-viewer"), ("blender", "Morvaine")):
            for unpaced in (False, True):
                for label, _ in turns:
                    binaries = builds[(label, unpaced)]
                    results.setdefault((which, label, unpaced), []).append(
                        measure(os.path.join(binaries, name), folder, menus[which], arguments.seconds))

    print(f"19,881 pixels, {w.WIDTH} x {w.HEIGHT}, Xvfb with Mesa's software renderer; "
          "frames shown per second, counted over {:g} s per draw mode, {} round(s)".format(
              arguments.seconds, arguments.rounds))
    for which in ("viewer", "blender"):
        for unpaced in (False, True):
            row = f"{which:8s} {'unpaced' if unpaced else 'paced':8s}"
            for label, _ in trees:
                rounds = results[(which, label, unpaced)]
                figures = []
                for mode in range(len(MODES)):
                    values = [figures_of_round[mode] for figures_of_round in rounds]
                    figure = f"{sum(values) / len(values):.1f}"
                    if len(values) > 1:
                        figure += f" ({min(values):g}-{max(values):g})"
                    figures.append(figure)
                row += f" | {label}: " + " / ".join(figures)
            print(row)
    print("(each figure: " + " / ".join(MODES) + ")")


if __name__ == "__main__":
    main()
