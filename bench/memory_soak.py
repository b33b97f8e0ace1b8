#!/usr/bin/env python3
"""Plays the viewer on 19,881 pixels under Xvfb for some minutes of random keys (play,
draw mode, camera reset, grid, blending, smoothing, frame steps) and mouse drags, from a
fixed seed, and reports its resident memory every 15 s: a session that does not grow
ends near what it held after the first minute.

Usage: memory_soak.py [--minutes N] [--seed S] [BIN_FOLDER ...]

Each folder holds a built Zorvel-viewer and Zorvel-cruncher (default: build/bin); with
several, each plays the same session in turn and the summaries stand one under another.
"""

import argparse
import atexit
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "window"))
import window_tests as w  # noqa: E402
import playback_bench as bench  # noqa: E402

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
KEYS = ["space", "d", "f", "g", "t", "a", "comma", "period"]
SAMPLE_SECONDS = 15


def resident_megabytes(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def soak(viewer, folder, menu, minutes, seed):
    """The (seconds, resident MB) samples of one session."""
    generator = random.Random(seed)
    display = w.Display()
    samples = []
    try:
        process, _ = w.start(display, viewer, folder, menu)
        start = time.monotonic()
        while time.monotonic() - start < minutes * 60:
            if process.poll() is not None:
                sys.exit(f"{viewer} ended during the session (status {process.returncode})")
            elapsed = time.monotonic() - start
            if elapsed >= len(samples) * SAMPLE_SECONDS:
                samples.append((elapsed, resident_megabytes(process.pid)))
                print(f"{elapsed:6.0f} s  {samples[-1][1]:7.1f} MB", flush=True)
            if generator.random() < 0.6:
                display.key(generator.choice(KEYS))
            else:
                button, x, y = generator.choice([1, 2, 3]), generator.randrange(100, 1100), generator.randrange(100, 900)
                display.mouse("mousemove", str(x), str(y), "mousedown", str(button), "mousemove",
                              str(x + generator.randrange(0, 200)), str(y + generator.randrange(0, 100)),
                              "mouseup", str(button))
            time.sleep(0.05)
        samples.append((time.monotonic() - start, resident_megabytes(process.pid)))
        display.key("Escape")
        try:
            process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            process.kill()
    finally:
        display.close()
    return samples


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--minutes", type=float, default=10, help="length of each session")
    parser.add_argument("--seed", type=int, default=7, help="seed of the random keys and drags")
    parser.add_argument("folders", nargs="*", default=[os.path.join(SOURCE, "build", "bin")])
    arguments = parser.parse_args()

    folder = tempfile.mkdtemp(prefix="zorvel-soak-")
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    menu = bench.scene(folder, os.path.abspath(os.path.join(arguments.folders[0], "Zorvel-cruncher")))["viewer"]
    summaries = []
    for binaries in map(os.path.abspath, arguments.folders):
        print(binaries, flush=True)
        samples = soak(os.path.join(binaries, "Zorvel-viewer"), folder, menu, arguments.minutes, arguments.seed)
        after_a_minute = next((mb for seconds, mb in samples if seconds >= 60), samples[0][1])
        end, highest = samples[-1][1], max(mb for _, mb in samples)
        summaries.append(f"{binaries}: {after_a_minute:.1f} MB after a minute, {end:.1f} MB at the end "
                         f"({(end / after_a_minute - 1) * 100:+.1f}%), at most {highest:.1f} MB")
    print("\n".join(summaries))


if __name__ == "__main__":
    main()
