#!/usr/bin/env python3
"""Window tests: the real programs under Xvfb, driven with xdotool and checked from
screenshots taken with ImageMagick's import.

Usage: window_tests.py viewer|blender PROGRAM
"""

import os
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 1280, 1024
GRID = (51, 51, 51)
AXES = [(255, 0, 0), (0, 255, 0), (0, 0, 255)]
WHITE = (255, 255, 255)

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)


class Display:
    """A private Xvfb server for the test."""

    def __init__(self):
        self.number = 90 + os.getpid() % 100
        self.server = subprocess.Popen(
            ["Xvfb", f":{self.number}", "-screen", "0", f"{WIDTH}x{HEIGHT}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env = dict(os.environ, DISPLAY=f":{self.number}")
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.1)
        raise RuntimeError("Xvfb did not start")

    def close(self):
        self.server.terminate()
        self.server.wait()

    def key(self, name):
        subprocess.run(["xdotool", "key", name], env=self.env, check=True)
        time.sleep(0.4)

    def colours(self, folder, name):
        """The set of colours on the screen, and the raw pixels."""
        png = os.path.join(folder, name + ".png")
        subprocess.run(["import", "-window", "root", png], env=self.env, check=True)
        data = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True,
                              stdout=subprocess.PIPE).stdout
        pixels = [tuple(data[i:i + 3]) for i in range(0, len(data), 3)]
        return set(pixels), data, pixels

    def window_size(self):
        out = subprocess.run(["xdotool", "search", "--name", "Zorvel-viewer", "getwindowgeometry"],
                             env=self.env, stdout=subprocess.PIPE, text=True).stdout
        for line in out.splitlines():
            if "Geometry:" in line:
                w, h = line.split("Geometry:")[1].strip().split("x")
                return int(w), int(h)
        return None


def start(display, program, folder, menu_input):
    stdout = open(os.path.join(folder, "stdout"), "w+")
    process = subprocess.Popen([program], cwd=folder, env=display.env, stdin=subprocess.PIPE,
                               stdout=stdout, stderr=subprocess.PIPE)
    process.stdin.write(menu_input.encode())
    process.stdin.flush()
    for _ in range(200):
        time.sleep(0.1)
        stdout.seek(0)
        if "OpenGL..." in stdout.read() and display.window_size():
            break
    time.sleep(1.0)
    return process, stdout


def output(stdout):
    stdout.seek(0)
    return stdout.read()


def finish(display, process, stdout):
    display.key("Escape")
    try:
        status = process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        status = None
    check(status == 0, f"ESC ends the program with status 0 (got {status})")
    check(output(stdout).endswith("openGL finished\n"), "ESC prints 'openGL finished'")


def count(pixels, colour):
    return sum(1 for p in pixels if p == colour)


def common_checks(display, folder, process, stdout, box_colours, step_key):
    check(display.window_size() == (WIDTH, HEIGHT), f"the window covers the screen ({display.window_size()})")

    colours, first, pixels = display.colours(folder, "first")
    check(GRID in colours, "the first picture shows the grey grid")
    for axis in AXES:
        check(axis in colours, f"the first picture shows the axis colour {axis}")
    for c in box_colours:
        check(c in colours, f"the first picture shows pixels in their colour {c}")
    check(WHITE not in colours, "wire mode draws no white outline")
    wire_count = sum(count(pixels, c) for c in box_colours)

    display.key("g")
    colours, _, _ = display.colours(folder, "no-grid")
    check(GRID not in colours and not any(a in colours for a in AXES), "G hides grid and axes together")
    check(all(c in colours for c in box_colours), "G leaves the pixels")
    display.key("g")

    display.key("d")
    colours, _, pixels = display.colours(folder, "solid")
    solid_count = sum(count(pixels, c) for c in box_colours)
    check(solid_count > 2 * wire_count, f"D draws solid boxes ({wire_count} -> {solid_count} coloured pixels)")
    check(WHITE not in colours, "solid mode draws no outline")
    display.key("d")
    colours, _, _ = display.colours(folder, "outlined")
    check(WHITE in colours, "D again outlines the boxes in white")
    display.key("d")
    colours, _, _ = display.colours(folder, "wire-again")
    check(WHITE not in colours, "D a third time is back to wire boxes")

    if step_key:
        display.key(step_key)
        _, stepped, _ = display.colours(folder, "stepped")
        check(stepped != first, f"'{step_key}' shows another frame")
        display.key("comma")
        _, back, _ = display.colours(folder, "back")
        check(back == first, "',' steps back to the first picture")

    check("framerate: " not in output(stdout), "no frame rate is printed while paused")
    display.key("space")
    time.sleep(1.5)
    rates = [l for l in output(stdout).splitlines() if l.startswith("framerate: ")]
    check(len(rates) >= 5, f"space plays and prints 'framerate: ' lines ({len(rates)})")
    _, playing_a, _ = display.colours(folder, "playing-a")
    time.sleep(0.3)
    _, playing_b, _ = display.colours(folder, "playing-b")
    check(playing_a != playing_b, "the picture changes while playing")


def viewer_test(program):
    folder = tempfile.mkdtemp(prefix="zorvel-window-")
    # Four pixels in front of the camera, eight frames walking them along x.
    homes = [(-1.5, 1.0, 0.0), (1.5, 1.0, 0.0), (-1.5, 3.5, 0.0), (1.5, 3.5, 0.0)]
    frames = 8
    with open(os.path.join(folder, "w.pPath"), "w") as f:
        f.write(f"4 {frames}\n\n")
        for i in range(frames):
            f.write(f"{i}\n")
            for x, y, z in homes:
                f.write(f"{x + (frames - 1 - i) * 0.5:g} {y:g} {z:g}\n")
    box_colours = [(200, 60, 40), (40, 200, 60), (60, 40, 200), (210, 190, 30)]
    with open(os.path.join(folder, "w.pColor"), "w") as f:
        f.write("4\n" + "".join(f"{r} {g} {b} 255 \n" for r, g, b in box_colours))
    display = Display()
    try:
        process, stdout = start(display, program, folder, "a\nw.pPath\nc\nw.pColor\ng\ny\n")
        out = output(stdout)
        check("Caching frame 7...done\nOpenGL..." in out, "the viewer caches every frame before the window")
        common_checks(display, folder, process, stdout, box_colours, "period")
        finish(display, process, stdout)
    finally:
        display.close()


def blender_test(program):
    folder = tempfile.mkdtemp(prefix="zorvel-window-")

    def tga(name, colour):
        import struct
        w, h = 4, 2
        header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 24, 0)
        r, g, b = colour
        with open(os.path.join(folder, name), "wb") as f:
            f.write(header + bytes([b, g, r]) * (w * h))

    tga("k0.tga", (200, 40, 40))
    tga("k1.tga", (40, 40, 200))
    with open(os.path.join(folder, "blend.cfg"), "w") as f:
        f.write("#MORVAINE_CONFIGURATION_FILE\n#NUMBER_OF_KEYFRAMES 2\n#MINDISPLACEMENT 0.5\n"
                "#MAXDISPLACEMENT 3\n#IMAGEPATH k0.tga #NUMBER_OF_INTERPOLATION_FRAMES 10\n"
                "#IMAGEPATH k1.tga #NUMBER_OF_INTERPOLATION_FRAMES 10\n")
    display = Display()
    try:
        process, stdout = start(display, program, folder, "blend.cfg\nb\n")
        out = output(stdout)
        check("---------------------------------------\nkeyframe: 0\n" in out and "keyframe: 1\n" in out,
              "the blender prints its keyframe lines")
        check(out.endswith("OpenGL..."), "then 'OpenGL...' before the window")
        # Frame 0 has blended one tenth of the way from keyframe 0 to keyframe 1.
        common_checks(display, folder, process, stdout, [(184, 40, 56)], None)
        finish(display, process, stdout)
    finally:
        display.close()


def main():
    which, program = sys.argv[1], os.path.abspath(sys.argv[2])
    {"viewer": viewer_test, "blender": blender_test}[which](program)
    print(f"{len(failures)} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
