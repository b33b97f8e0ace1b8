#!/usr/bin/env python3
"""make-tga.sh as its users meet it: a PNG becomes a TGA that the cruncher reads with
the picture standing upright (the PNG's top row at the top of the home grid), shrunk to
the pixel limit with its aspect kept, and a grey map of exactly another picture's size.

Usage: make_tga_tests.py SCRIPT CRUNCHER
"""

import os
import struct
import subprocess
import sys
import tempfile

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)


def make_tga(script, folder, *arguments):
    run = subprocess.run(["bash", script, *arguments], cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         text=True)
    return run.returncode, run.stdout, run.stderr


def header(path):
    """Image type, width, height, bits per pixel and descriptor of a TGA file."""
    with open(path, "rb") as f:
        head = f.read(18)
    return head[2], *struct.unpack("<HH", head[12:16]), head[16], head[17]


def home_positions_and_colours(folder, name):
    """The last frame of the path file and the colour file's values, pixel by pixel."""
    with open(os.path.join(folder, name + ".pPath")) as f:
        numbers = f.read().split()
    pixels, frames = int(numbers[0]), int(numbers[1])
    last = 2 + (frames - 1) * (1 + 3 * pixels) + 1
    homes = [tuple(float(v) for v in numbers[last + 3 * k:last + 3 * k + 3]) for k in range(pixels)]
    with open(os.path.join(folder, name + ".pColor")) as f:
        lines = f.read().splitlines()
    colours = [tuple(int(v) for v in line.split()[:3]) for line in lines[1:]]
    return homes, colours


def upright_test(script, cruncher, folder):
    # 6 x 4: a red top row over blue; small enough to be kept as it is.
    subprocess.run(["convert", "-size", "6x4", "xc:blue", "-fill", "red", "-draw", "rectangle 0,0 5,0",
                    "-depth", "8", "top.png"], cwd=folder, check=True)
    status, out, err = make_tga(script, folder, "top.png", "top.tga")
    check(status == 0 and err == "", f"a small PNG converts ({status}, {err!r})")
    check(out == "top.tga: 6 x 4 = 24 pixels, 24-bit colour\n", f"and its size is printed: {out!r}")
    check(header(os.path.join(folder, "top.tga")) == (2, 6, 4, 24, 0), "as a raw 24-bit TGA, bottom-left origin")
    crunch = subprocess.run([cruncher], cwd=folder, input="a\na\ntop.tga\nx\nd\ny\n\n", stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    check(crunch.returncode == 0 and crunch.stderr == "", "the cruncher takes it")
    homes, colours = home_positions_and_colours(folder, "top.tga")
    top = max(y for _, y, _ in homes)
    at_top = {colours[k] for k, (_, y, _) in enumerate(homes) if y == top}
    below = {colours[k] for k, (_, y, _) in enumerate(homes) if y != top}
    check(at_top == {(255, 0, 0)} and below == {(0, 0, 255)},
          f"the PNG's top row is the home grid's top row (top {at_top}, below {below})")


def shrink_test(script, folder):
    subprocess.run(["convert", "-size", "300x200", "gradient:white-black", "wide.png"], cwd=folder, check=True)
    status, out, _ = make_tga(script, folder, "wide.png", "wide.tga")
    kind, width, height, bits, _ = header(os.path.join(folder, "wide.tga"))
    check(status == 0 and kind == 2 and bits == 24, "a large PNG converts")
    check(19000 < width * height <= 20000, f"to at most 20,000 pixels, and not far fewer ({width} x {height})")
    check(abs(width / height - 1.5) < 0.01, f"keeping its aspect ratio ({width} x {height})")
    check(out == f"wide.tga: {width} x {height} = {width * height} pixels, 24-bit colour (from 300 x 200)\n",
          f"and says so: {out!r}")

    status, out, _ = make_tga(script, folder, "--grey", "--like", "top.tga", "wide.png", "map.tga")
    check(status == 0 and header(os.path.join(folder, "map.tga")) == (3, 6, 4, 8, 0),
          "--grey --like makes an 8-bit grey map of exactly the other picture's size")
    check(os.path.getsize(os.path.join(folder, "map.tga")) == 18 + 24, "holding one byte a pixel")


def refusal_test(script, folder):
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write("not a picture\n")
    status, out, err = make_tga(script, folder, "notes.txt", "notes.tga")
    check(status == 1 and out == "" and err == "make-tga: notes.txt: not a picture ImageMagick reads\n",
          f"text is refused in one line ({status}, {err!r})")
    check(not os.path.exists(os.path.join(folder, "notes.tga")), "and nothing is written")
    status, _, err = make_tga(script, folder, "only-one.png")
    check(status == 2 and err.startswith("usage: "), "a missing argument is a usage error")


def main():
    script, cruncher = (os.path.abspath(p) for p in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as folder:
        upright_test(script, cruncher, folder)
        shrink_test(script, folder)
        refusal_test(script, folder)
    if failures:
        print(f"{len(failures)} check(s) failed")
        sys.exit(1)


if __name__ == "__main__":
    main()
