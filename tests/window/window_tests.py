#!/usr/bin/env python3
"""Window tests: the real programs under Xvfb, driven with xdotool and checked from
screenshots taken with ImageMagick's import.

No check depends on how fast the machine is: every expectation about the screen is
waited for (a screenshot is taken again until it holds, within a generous timeout),
frames are stepped with the frame keys while paused, and the animations played are
long loops whose length is no multiple of anything the test waits, so two screenshots
taken while playing cannot show the same frame by coming one loop apart.

Usage: window_tests.py viewer|blender PROGRAM [--no-memory-limit]
"""

import atexit
import math
import os
import resource
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 1280, 1024
GRID = (51, 51, 51)
AXES = [(255, 0, 0), (0, 255, 0), (0, 0, 255)]
WHITE = (255, 255, 255)
PATIENCE = 30  # seconds any expected picture or line may take to appear

failures = []


def scratch_folder(prefix):
    """A folder for one test's files. It is removed when the run ends, unless a check
    failed: then it is kept, and named, so that what the programs wrote can be read."""
    folder = tempfile.mkdtemp(prefix=prefix)

    def tidy():
        if failures:
            print(f"files kept in {folder}")
        else:
            shutil.rmtree(folder, ignore_errors=True)
    atexit.register(tidy)
    return folder


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)


def wait_until(probe, timeout=PATIENCE, pause=0.2):
    """Calls probe() until it returns something true or the time is up; returns the
    last result."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result or time.monotonic() > deadline:
            return result
        time.sleep(pause)


class Screen:
    """One screenshot: its raw RGB bytes, and (worked out when asked for) its pixels and
    the set of its colours."""

    def __init__(self, data, width=WIDTH):
        self.data = data
        self.width = width
        self.height = len(data) // (3 * width)
        self._pixels = None
        self._colours = None

    @property
    def pixels(self):
        if self._pixels is None:
            self._pixels = [self.data[i:i + 3] for i in range(0, len(self.data), 3)]
        return self._pixels

    @property
    def colours(self):
        if self._colours is None:
            self._colours = {tuple(p) for p in set(self.pixels)}
        return self._colours

    def count(self, colours):
        wanted = {bytes(c) for c in colours}
        return sum(1 for p in self.pixels if p in wanted)


class Display:
    """A private Xvfb server for the test."""

    def __init__(self):
        # Xvfb picks a free display number itself and writes it to the pipe once it
        # takes connections, so two tests running side by side, or a server left running
        # from elsewhere, never share a display.
        announce, announce_to = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(announce_to), "-screen", "0", f"{WIDTH}x{HEIGHT}x24", "-nolisten", "tcp"],
            pass_fds=(announce_to,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(announce_to)
        with os.fdopen(announce) as announced:
            ready = select.select([announced], [], [], PATIENCE)[0]
            number = announced.readline().strip() if ready else ""
        if not number.isdigit():
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=f":{number}")

    def close(self):
        self.server.terminate()
        self.server.wait()

    def key(self, name):
        subprocess.run(["xdotool", "key", name], env=self.env, check=True)

    def mouse(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=self.env, check=True)

    def screen(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=self.env, check=True,
                              stdout=subprocess.PIPE).stdout
        return Screen(data)

    def screen_where(self, holds, timeout=PATIENCE):
        """The first screenshot for which holds(screen) is true, or the last one taken
        when none is within the timeout."""
        last = [None]

        def probe():
            last[0] = self.screen()
            return holds(last[0])
        wait_until(probe, timeout)
        return last[0]

    def settled_screen_where(self, holds, timeout=PATIENCE):
        """The first screenshot for which holds(screen) is true and that the screenshot
        taken just before it equals: a picture the program shows for good, not one it
        passes through (the first pictures of a window that has just been made full
        screen, say, which a loaded machine may leave on the screen long enough to be
        caught); the last one taken when none is within the timeout."""
        last = [None, None]

        def probe():
            last[0], last[1] = last[1], self.screen()
            return last[0] is not None and last[0].data == last[1].data and holds(last[1])
        wait_until(probe, timeout)
        return last[1]

    def window_size(self):
        out = subprocess.run(["xdotool", "search", "--name", "Zorvel-viewer", "getwindowgeometry"],
                             env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
        for line in out.splitlines():
            if "Geometry:" in line:
                w, h = line.split("Geometry:")[1].strip().split("x")
                return int(w), int(h)
        return None


def start(display, program, folder, menu_input, address_space=None):
    """Starts `program` in `folder` on `display` with `menu_input`, and waits for its
    full-screen window. `address_space` limits the program's memory, in bytes."""
    def limit():
        if address_space:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
    stdout = open(os.path.join(folder, "stdout"), "w+")
    process = subprocess.Popen([program], cwd=folder, env=display.env, stdin=subprocess.PIPE,
                               stdout=stdout, stderr=subprocess.PIPE, preexec_fn=limit)
    process.stdin.write(menu_input.encode())
    process.stdin.flush()
    wait_until(lambda: "OpenGL..." in output(stdout) and display.window_size() == (WIDTH, HEIGHT))
    return process, stdout


def output(stdout):
    stdout.seek(0)
    return stdout.read()


def rate_lines(stdout):
    return [line for line in output(stdout).splitlines() if line.startswith("framerate: ")]


def finish(display, process, stdout):
    display.key("Escape")
    try:
        status = process.wait(timeout=PATIENCE)
    except subprocess.TimeoutExpired:
        process.kill()
        status = None
    check(status == 0, f"ESC ends the program with status 0 (got {status})")
    check(output(stdout).endswith("openGL finished\n"), "ESC prints 'openGL finished'")


def common_checks(display, process, stdout, box_colours, step_key):
    check(display.window_size() == (WIDTH, HEIGHT), f"the window covers the screen ({display.window_size()})")

    def shows_everything(s):
        return GRID in s.colours and all(a in s.colours for a in AXES) and all(c in s.colours for c in box_colours)
    # Paused, the program redraws the same picture again and again: the one every step
    # below comes back to.
    first = display.settled_screen_where(shows_everything)
    check(GRID in first.colours, "the first picture shows the grey grid")
    for axis in AXES:
        check(axis in first.colours, f"the first picture shows the axis colour {axis}")
    for c in box_colours:
        check(c in first.colours, f"the first picture shows pixels in their colour {c}")
    check(WHITE not in first.colours, "wire mode draws no white outline")
    wire_count = first.count(box_colours)

    display.key("g")
    hidden = display.screen_where(lambda s: GRID not in s.colours)
    check(GRID not in hidden.colours and not any(a in hidden.colours for a in AXES),
          "G hides grid and axes together")
    check(all(c in hidden.colours for c in box_colours), "G leaves the pixels")
    display.key("g")
    display.screen_where(lambda s: GRID in s.colours)

    display.key("d")
    solid = display.screen_where(lambda s: s.count(box_colours) > 2 * wire_count)
    check(solid.count(box_colours) > 2 * wire_count,
          f"D draws solid boxes ({wire_count} -> {solid.count(box_colours)} coloured pixels)")
    check(WHITE not in solid.colours, "solid mode draws no outline")
    display.key("d")
    outlined = display.screen_where(lambda s: WHITE in s.colours)
    check(WHITE in outlined.colours, "D again outlines the boxes in white")
    display.key("d")
    wire = display.screen_where(lambda s: WHITE not in s.colours and s.count(box_colours) < 2 * wire_count)
    check(WHITE not in wire.colours, "D a third time is back to wire boxes")

    if step_key:
        display.key(step_key)
        stepped = display.screen_where(lambda s: s.data != first.data)
        check(stepped.data != first.data, f"'{step_key}' shows another frame")
        display.key("comma")
        back = display.screen_where(lambda s: s.data == first.data)
        check(back.data == first.data, "',' steps back to the first picture")

    check(not rate_lines(stdout), "no frame rate is printed while paused")
    display.key("space")
    rates = wait_until(lambda: len(rate_lines(stdout)) >= 5 and rate_lines(stdout))
    check(bool(rates), f"space plays and prints 'framerate: ' lines ({len(rate_lines(stdout))})")
    playing = display.screen()
    later = display.screen_where(lambda s: s.data != playing.data)
    check(later.data != playing.data, "the picture changes while playing")


def write_tga(path, width, height, colour):
    r, g, b = colour
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0)
    with open(path, "wb") as f:
        f.write(header + bytes([b, g, r]) * (width * height))


def viewer_test(program):
    folder = scratch_folder("zorvel-window-")
    # Four pixels in front of the camera walking along x: 97 frames, a loop of nearly
    # four seconds.
    homes = [(-1.5, 1.0, 0.0), (1.5, 1.0, 0.0), (-1.5, 3.5, 0.0), (1.5, 3.5, 0.0)]
    frames = 97
    with open(os.path.join(folder, "w.pPath"), "w") as f:
        f.write(f"4 {frames}\n\n")
        for i in range(frames):
            f.write(f"{i}\n")
            for x, y, z in homes:
                f.write(f"{x + (frames - 1 - i) * 0.03125:g} {y:g} {z:g}\n")
    box_colours = [(200, 60, 40), (40, 200, 60), (60, 40, 200), (210, 190, 30)]
    with open(os.path.join(folder, "w.pColor"), "w") as f:
        f.write("4\n" + "".join(f"{r} {g} {b} 255 \n" for r, g, b in box_colours))
    display = Display()
    try:
        process, stdout = start(display, program, folder, "a\nw.pPath\nc\nw.pColor\ng\ny\n")
        check(f"Caching frame {frames - 1}...done\nOpenGL..." in output(stdout),
              "the viewer caches every frame before the window")
        common_checks(display, process, stdout, box_colours, "period")
        finish(display, process, stdout)
    finally:
        display.close()


def large_object_test(program, limited):
    """An object of 65,535 corners drawn at 500 pixels: the viewer's drawing memory does
    not grow with pixels times corners (that would be gigabytes a frame), so the viewer
    draws it within 2 GB of address space."""
    folder = scratch_folder("zorvel-window-")
    corners = 65535
    lines = ["OUTPUT_VERT_NORMS off"] + [f"ATTRIBUTE{i} off" for i in range(11)] + \
        ["NUMBER_OF_OBJECTS 1", "OBJECT_START disc", str(corners), "", "1", "VERTEX list"]
    for i in range(corners):
        angle = 2 * math.pi * i / corners
        lines.append(f"{0.4 * math.cos(angle):.5f} {0.4 * math.sin(angle):.5f} 0")
    lines += ["POLYGON", "v " + " ".join(str(i) for i in range(corners)) + " n"]
    with open(os.path.join(folder, "disc.rtg"), "w") as f:
        f.write("\r\n".join(lines) + "\r\n")
    with open(os.path.join(folder, "p.pPath"), "w") as f:
        f.write("500 1\n\n0\n" + "".join(f"{i % 25 - 12} {i // 25 - 10} 0\n" for i in range(500)))
    display = Display()
    try:
        process, stdout = start(display, program, folder, "a\np.pPath\nb\ndisc.rtg\ng\ny\n",
                                address_space=2 << 30 if limited else None)
        drawn = display.screen_where(lambda s: WHITE in s.colours, timeout=120)
        check(WHITE in drawn.colours, "500 objects of 65,535 corners are drawn" +
              (" within 2 GB of address space" if limited else ""))
        display.key("Escape")
        try:
            status = process.wait(timeout=120)
        except subprocess.TimeoutExpired:
            process.kill()
            status = None
        check(status == 0, f"and ESC ends that viewer with status 0 (got {status})")
    finally:
        display.close()


def blender_test(program):
    folder = scratch_folder("zorvel-window-")
    write_tga(os.path.join(folder, "k0.tga"), 4, 2, (200, 40, 40))
    write_tga(os.path.join(folder, "k1.tga"), 4, 2, (40, 40, 200))
    # 10 + 187 frames: a loop of nearly eight seconds.
    with open(os.path.join(folder, "blend.cfg"), "w") as f:
        f.write("#MORVAINE_CONFIGURATION_FILE\n#NUMBER_OF_KEYFRAMES 2\n#MINDISPLACEMENT 0.5\n"
                "#MAXDISPLACEMENT 3\n#IMAGEPATH k0.tga #NUMBER_OF_INTERPOLATION_FRAMES 10\n"
                "#IMAGEPATH k1.tga #NUMBER_OF_INTERPOLATION_FRAMES 187\n")
    display = Display()
    try:
        process, stdout = start(display, program, folder, "blend.cfg\nb\n")
        out = output(stdout)
        check("---------------------------------------\nkeyframe: 0\n" in out and "keyframe: 1\n" in out,
              "the blender prints its keyframe lines")
        check(out.endswith("OpenGL..."), "then 'OpenGL...' before the window")
        # Frame 0 has blended one tenth of the way from keyframe 0 to keyframe 1.
        common_checks(display, process, stdout, [(184, 40, 56)], None)
        finish(display, process, stdout)
    finally:
        display.close()


def main():
    which, program = sys.argv[1], os.path.abspath(sys.argv[2])
    # The sanitizer build's shadow memory needs more address space than any limit leaves.
    limited = "--no-memory-limit" not in sys.argv
    if which == "viewer":
        viewer_test(program)
        large_object_test(program, limited)
    else:
        blender_test(program)
    print(f"{len(failures)} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
