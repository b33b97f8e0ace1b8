#!/usr/bin/env python3
"""Records a crunched 141 x 141 picture (19,881 pixels, default scatter) with the
recorder, the framed camera, in each draw mode: at 1280 x 720 as raw frames thrown
away and as an mp4 video, and at 1920 x 1080 as raw frames. Reports frames per second
and where the time went (drawing, reading pixels, waiting for the encoder, added up
over the drawing threads), as the recorder's --timing says it.

Usage: recorder_bench.py [BUILD]   (default: build)
"""

import atexit
import os
import re
import shutil
import subprocess
import sys
import tempfile

from cruncher_bench import picture  # the same 141 x 141 bench picture

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(SOURCE, "build"))
    folder = tempfile.mkdtemp(prefix="zorvel-record-bench-")
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    picture(folder)
    subprocess.run([os.path.join(build, "tests", "Zorvel-cruncher-seeded")], cwd=folder, check=True,
                   input=b"a\na\nbench.tga\nx\nd\ny\n\n", stdout=subprocess.DEVNULL)
    recorder = os.path.join(build, "bin", "Zorvel-recorder")
    print("19,881 pixels, framed camera, Mesa's software renderer (EGL, no display)")
    for size, outputs in (("1280x720", ("-", "bench.mp4")), ("1920x1080", ("-",))):
        for mode in ("wire", "solid", "outlined"):
            for output in outputs:
                run = subprocess.run([recorder, "bench.tga.pPath", "--color", "bench.tga.pColor", "--mode", mode,
                                      "--size", size, "--hold", "0", "--timing", "-o", output], cwd=folder,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=True)
                timing = re.search(r"timing: (.*)", run.stderr).group(1)
                print(f"  {size:9s} {mode:8s} {'raw frames' if output == '-' else 'mp4':10s} {timing}")


if __name__ == "__main__":
    main()
