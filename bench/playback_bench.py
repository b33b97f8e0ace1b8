#!/usr/bin/env python3
"""Plays a crunched 141 x 141 picture (19,881 pixels) under Xvfb in each draw mode and
reports the median of the "framerate: " lines per mode.

Usage: playback_bench.py BUILD_DIR [SECONDS_PER_MODE] [viewer|blender]
"""

import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "window"))
import window_tests as w  # noqa: E402


def picture(folder, name, size, shade):
    pixels = bytearray()
    for r in range(size):
        for c in range(size):
            pixels += bytes([(c * 3 + shade) % 256, (r * 5) % 256, (r + c + shade * 2) % 256])
    with open(os.path.join(folder, name), "wb") as f:
        f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, size, size, 24, 0) + pixels)


def rates(stdout, since):
    lines = w.output(stdout).splitlines()[since:]
    return [int(l.split()[1]) for l in lines if l.startswith("framerate: ")]


def measure(display, process, stdout, seconds):
    results = []
    for mode in range(3):
        before = len(w.output(stdout).splitlines())
        display.key("space")
        time.sleep(seconds)
        display.key("space")
        values = rates(stdout, before)[2:]  # the first frames after a pause report low rates
        results.append((mode, statistics.median(values) if values else 0, len(values)))
        display.key("d")
    return results


def main():
    build = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5
    which = sys.argv[3] if len(sys.argv) > 3 else "viewer"
    folder = tempfile.mkdtemp(prefix="zorvel-bench-")
    if which == "viewer":
        picture(folder, "bench.tga", 141, 0)
        subprocess.run([os.path.join(build, "bin", "Zorvel-cruncher")], cwd=folder, check=True,
                       input=b"a\na\nbench.tga\nx\nb\nd\n4\nx\nd\ny\n\n", stdout=subprocess.DEVNULL)
        program, menu = os.path.join(build, "bin", "Zorvel-viewer"), \
            "a\nbench.tga.pPath\nc\nbench.tga.pColor\ng\ny\n"
    else:
        for k in range(3):
            picture(folder, f"k{k}.tga", 141, k * 80)
        with open(os.path.join(folder, "bench.cfg"), "w") as f:
            f.write("#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 3 #MINDISPLACEMENT 0.5 "
                    "#MAXDISPLACEMENT 4\n" + "".join(
                        f"#IMAGEPATH k{k}.tga #NUMBER_OF_INTERPOLATION_FRAMES 20\n" for k in range(3)))
        program, menu = os.path.join(build, "bin", "Morvaine"), "bench.cfg\nb\n"
    display = w.Display()
    try:
        process, stdout = w.start(display, program, folder, menu)
        results = measure(display, process, stdout, seconds)
        display.key("Escape")
        process.wait(timeout=10)
    finally:
        display.close()
    print(f"{which}: 19,881 pixels, {w.WIDTH} x {w.HEIGHT}, Xvfb with Mesa's software renderer")
    for mode, median, n in results:
        print(f"  draw mode {mode} ({['wire', 'solid', 'solid + outline'][mode]}): "
              f"median {median} frames per second over {n} frames")


if __name__ == "__main__":
    main()
