#!/usr/bin/env python3
"""Pixel-identity window test: the program as built and the same program with the
straightforward box drawing (every box's faces and edges drawn in turn, nothing left
out) play the same scene side by side, each on its own Xvfb, and take the same keys
and mouse drags; after each step their screenshots must be equal, pixel for pixel.

The steps cover every draw mode with blending off and on, several frames, and the
camera at its start, among the boxes and inside one box, over boxes of negative size
(the viewer) and of negative and zero depth (the blender). Every step changes the
picture (all colours are translucent, so blending shows), so the screenshots are
compared once both programs show the step's new picture, settled; nothing depends on
timing.

The recorder is held to the viewer's window the same way: with the viewer's start
camera and the window's size, each recorded frame must equal a screenshot of the window
paused on that frame (the window sits one pixel in from the screen's corner, so the
screenshot's last row and column fall off the screen and are not compared).

Usage: identity_tests.py viewer|blender PROGRAM REFERENCE_PROGRAM
       identity_tests.py recorder VIEWER RECORDER
"""

import os
import random
import subprocess
import sys

import window_tests as w

# One step: a key, or a mouse drag with a button from one point to another.
BLEND_AND_MODES = ["t", "d", "t", "d", "t", "d", "t"]  # (0, off) -> (0, on) (1, on) (1, off) (2, off) (2, on) (0, on) (0, off)
AMONG = [("drag", 2, 640, 500, 790, 500)]  # middle button 150 px right: zoom -12 -> 3
INSIDE = [("drag", 2, 640, 500, 710, 500),  # zoom 3 -> 10: the camera at the origin's depth
          ("drag", 3, 640, 500, 640, 460)]  # right button 40 px up: panY -2 -> 0
START = ["f"]


def camera_tour():
    """The modes and blending at the start camera, among the boxes and inside one."""
    return BLEND_AND_MODES + AMONG + BLEND_AND_MODES + INSIDE + BLEND_AND_MODES + START


def perform(display, step):
    if isinstance(step, tuple):
        _, button, x0, y0, x1, y1 = step
        display.mouse("mousemove", str(x0), str(y0), "mousedown", str(button), "mousemove", str(x1), str(y1),
                      "mouseup", str(button))
    else:
        display.key(step)


def describe(step):
    return f"drag button {step[1]}" if isinstance(step, tuple) else f"key {step}"


def settled_pair(displays, wanted):
    """Screenshots of both displays once each shows a settled picture (the same in two
    screenshots taken one after the other) and the two pictures are equal and satisfy
    wanted(pictures); the last ones taken when that does not come within the timeout.
    A program passes through a picture of its own on the way to the one a step asks
    for: its first redraw after a change of blending draws the grid with the blending
    the previous frame left, so a single screenshot can catch one program's passing
    picture and the other's final one."""
    last = [None]

    def probe():
        first = [display.screen() for display in displays]
        last[0] = [display.screen() for display in displays]
        settled = all(a.data == b.data for a, b in zip(first, last[0]))
        return settled and last[0][0].data == last[0][1].data and wanted(last[0])
    w.wait_until(probe)
    return last[0]


def compare(displays, steps, label):
    """Performs each step on both displays and compares the screenshots."""
    shown = settled_pair(displays, lambda pictures: pictures[0].data.count(0) < len(pictures[0].data))
    w.check(shown[0].data == shown[1].data, f"{label}: the first pictures are equal")
    for number, step in enumerate(steps, 1):
        for display in displays:
            perform(display, step)
        after = settled_pair(displays, lambda pictures, before=shown: all(
            picture.data != old.data for picture, old in zip(pictures, before)))
        for picture, before in zip(after, shown):
            if picture.data == before.data:
                w.failures.append(f"{label}, step {number}: the picture did not change")
        differing = 0 if after[0].data == after[1].data else \
            sum(1 for a, b in zip(after[0].pixels, after[1].pixels) if a != b)
        w.check(differing == 0, f"{label}, step {number} ({describe(step)}): "
                f"{differing} pixels differ from the straightforward drawing")
        shown = after


def viewer_scene(folder):
    """A 9 x 7 picture in three frames: scattered, halfway, at home (a box at the
    origin); translucent colours; sizes from the scale file, some of them negative."""
    generator = random.Random(20261208)
    homes = [(c - 4.0, r - 3.0, 0.0) for r in range(7) for c in range(9)]
    scattered = [(generator.randint(-16, 16) * 0.5, generator.randint(-10, 14) * 0.5, generator.randint(-6, 6) * 0.5)
                 for _ in homes]
    halfway = [((a + b) / 2, (c + d) / 2, (e + f) / 2) for (a, c, e), (b, d, f) in zip(scattered, homes)]
    with open(os.path.join(folder, "s.pPath"), "w") as f:
        f.write(f"{len(homes)} 3\n\n")
        for number, frame in enumerate((scattered, halfway, homes)):
            f.write(f"{number}\n" + "".join(f"{x:g} {y:g} {z:g}\n" for x, y, z in frame))
    with open(os.path.join(folder, "s.pColor"), "w") as f:
        f.write(f"{len(homes)}\n" + "".join(
            f"{generator.randint(40, 255)} {generator.randint(40, 255)} {generator.randint(40, 255)} 255 \n"
            for _ in homes))
    with open(os.path.join(folder, "s.pOpacity"), "w") as f:
        f.write(f"{len(homes)}\n" + "".join(f"{generator.randint(90, 200)}\n" for _ in homes))
    # Scale range 0.5 to 1.5: values below 0 give sizes below 0.5, below -64 negative ones.
    with open(os.path.join(folder, "s.pScale"), "w") as f:
        f.write(f"{len(homes)}\n" + "".join(f"{generator.choice([-300, -120, 0, 128, 255, 300])}\n" for _ in homes))
    return "a\ns.pPath\nc\ns.pColor\nd\ns.pOpacity\ne\ns.pScale\n0.5\n1.5\ng\ny\n"


def blender_scene(folder, name, low, high):
    """Two keyframes of 7 x 5 pixels, dark and light, with displacements from `low`
    (black) to `high` (white); frame 0 is shown."""
    generator = random.Random(name)
    for k in range(2):
        pixels = [(generator.randint(0, 255), generator.randint(0, 255), generator.randint(0, 255)) for _ in range(35)]
        pixels[3] = (255, 255, 255)
        pixels[17] = (0, 0, 0)
        with open(os.path.join(folder, f"{name}{k}.tga"), "wb") as f:
            f.write(bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 5, 0, 24, 0]) +
                    b"".join(bytes([b, g, r]) for r, g, b in pixels))
    with open(os.path.join(folder, f"{name}.cfg"), "w") as f:
        f.write(f"#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 2 #MINDISPLACEMENT {low} #MAXDISPLACEMENT {high} "
                f"#IMAGEPATH {name}0.tga #NUMBER_OF_INTERPOLATION_FRAMES 1 "
                f"#IMAGEPATH {name}1.tga #NUMBER_OF_INTERPOLATION_FRAMES 1\n")
    return f"{name}.cfg\nb\n"


def run_pair(programs, folder, menu, steps, label):
    displays = [w.Display(), w.Display()]
    processes = []
    try:
        for display, program in zip(displays, programs):
            processes.append(w.start(display, program, folder, menu))
        compare(displays, steps, label)
        for display, (process, stdout) in zip(displays, processes):
            w.finish(display, process, stdout)
    finally:
        for display in displays:
            display.close()


def recorder_test(viewer, recorder, folder):
    menu = viewer_scene(folder)
    size = w.WIDTH * w.HEIGHT * 3

    def visible(picture, x0, y0):
        """The window's visible part: all but its last row and column."""
        row = w.WIDTH * 3
        return b"".join(picture[(y0 + y) * row + x0 * 3:(y0 + y) * row + (x0 + w.WIDTH - 1) * 3]
                        for y in range(w.HEIGHT - 1))

    for options, keys, label in ((["--mode", "wire", "--grid", "on"], [], "wire, grid"),
                                 (["--mode", "outlined", "--grid", "on", "--blend", "on"], ["d", "d", "t"],
                                  "outlined, blended, grid")):
        recorded = subprocess.run([recorder, "s.pPath", "--color", "s.pColor", "--opacity", "s.pOpacity", "--scale",
                                   "s.pScale", "0.5", "1.5", "--camera", "viewer", "--size",
                                   f"{w.WIDTH}x{w.HEIGHT}", "--hold", "0", "-o", "-"] + options,
                                  cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        w.check(recorded.returncode == 0 and len(recorded.stdout) == 3 * size,
                f"{label}: the recorder writes three frames ({recorded.returncode}, {len(recorded.stdout)} bytes)")
        display = w.Display()
        try:
            process, stdout = w.start(display, viewer, folder, menu)
            for key in keys:
                display.key(key)
            for frame in range(3):
                if frame:
                    display.key("period")
                wanted = visible(recorded.stdout[frame * size:(frame + 1) * size], 0, 0)
                shown = display.screen_where(lambda s: visible(s.data, 1, 1) == wanted)
                got = visible(shown.data, 1, 1)
                differing = sum(1 for i in range(0, len(got), 3) if got[i:i + 3] != wanted[i:i + 3])
                w.check(differing == 0, f"{label}, frame {frame}: {differing} pixels differ from the window")
            w.finish(display, process, stdout)
        finally:
            display.close()


def main():
    which, programs = sys.argv[1], [os.path.abspath(p) for p in sys.argv[2:4]]
    folder = w.scratch_folder("zorvel-identity-")
    if which == "recorder":
        recorder_test(*programs, folder)
    elif which == "viewer":
        menu = viewer_scene(folder)
        # Frame 0 and frame 2 (two steps on), each through the whole tour.
        run_pair(programs, folder, menu, camera_tour() + ["period", "period"] + camera_tour(), "viewer")
    else:
        # Negative and zero depths, then positive ones.
        run_pair(programs, folder, blender_scene(folder, "negative", -2, 0), camera_tour(), "blender, depths -2 to 0")
        run_pair(programs, folder, blender_scene(folder, "positive", 0.5, 4), camera_tour(), "blender, depths 0.5 to 4")
    print(f"{len(w.failures)} failed")
    sys.exit(1 if w.failures else 0)


if __name__ == "__main__":
    main()
