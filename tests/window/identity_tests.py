#!/usr/bin/env python3
"""Pixel-identity window test: the program as built and the same program with the
straightforward box drawing (every box's faces and edges drawn in turn, nothing left
out) play the same scene side by side, each on its own Xvfb, and take the same keys
and mouse drags; after each step their screenshots are compared pixel for pixel. With
additive blending on they must be equal. With it off, the program may leave out the
faces a box's own front faces hide, and a pixel may come out otherwise only where two
surfaces meet at exactly the same depth: where the drawing order decides (a third
program, the reference drawing the boxes last to first, shows where: its picture
differs from the reference's there), or on the edge a left-out face shares with a face
that shows (the reference's colour there shows in the program's picture right beside
the pixel). At most 0.1% of the pixels may differ, and none elsewhere.

The steps cover every draw mode with blending off and on, with smoothing off and on,
several frames, and the camera at its start, among the boxes and inside one box, over boxes of negative size
(the viewer) and of negative and zero depth (the blender). Every step changes the
picture (all colours are translucent, so blending shows), so the screenshots are
compared once both programs show the step's new picture, settled; nothing depends on
timing.

The recorder is held to the viewer's window the same way: with the viewer's start
camera and the window's size, each recorded frame must equal a screenshot of the window
paused on that frame (the window sits one pixel in from the screen's corner, so the
screenshot's last row and column fall off the screen and are not compared).

The recorder's settled layer is held to the straightforward drawing too: a recording
drawn over the layer against the reference recorder drawing every box in every frame,
frame by frame, under the same rule.

A recording whose camera moves is held to still recordings: each of its frames against
the frame the recorder draws, every box in it, with a still camera of that frame's
camera values (which the recorder's --verbose lists), under the same rule, the
reference recorder drawing in order and reversed showing where the order decides.

Usage: identity_tests.py viewer|blender PROGRAM REFERENCE_PROGRAM
       identity_tests.py recorder VIEWER RECORDER
       identity_tests.py layer|moving RECORDER REFERENCE_RECORDER
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
SMOOTHED = ["a"] + BLEND_AND_MODES  # smoothing on, then the modes and blending again


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


def settled(displays, wanted):
    """Screenshots of every display once each shows a settled picture (the same in two
    screenshots taken one after the other) and the pictures satisfy wanted(pictures);
    the last ones taken when that does not come within the timeout. A program passes
    through a picture of its own on the way to the one a step asks for: its first
    redraw after a change of blending draws the grid with the blending the previous
    frame left, so a single screenshot can catch one program's passing picture and the
    other's final one."""
    last = [None]

    def probe():
        first = [display.screen() for display in displays]
        last[0] = [display.screen() for display in displays]
        return all(a.data == b.data for a, b in zip(first, last[0])) and wanted(last[0])
    w.wait_until(probe)
    return last[0]


# The most pixels that may differ where the order decides: 0.1% of the window.
MOST_DIFFERING = w.WIDTH * w.HEIGHT // 1000


def differing_pixels(a, b):
    return set() if a.data == b.data else {i for i, (p, q) in enumerate(zip(a.pixels, b.pixels)) if p != q}


def on_an_edge(pixel, program, reference):
    """Whether the reference's colour at `pixel` shows in the program's picture at a
    pixel next to it: the pixel lies on the edge of a surface that shows in both."""
    width, height = program.width, program.height
    x, y = pixel % width, pixel // width
    colour = reference.pixels[pixel]
    return any(program.pixels[(y + dy) * width + x + dx] == colour
               for dy in (-1, 0, 1) for dx in (-1, 0, 1)
               if (dx or dy) and 0 <= x + dx < width and 0 <= y + dy < height)


def unexplained(pictures):
    """The pixels at which the program's picture (the first) differs from the
    reference's (the second) where neither the drawing order decides (the reversed
    reference, the third, agrees with the reference; or, where a fourth picture is
    given, the third and the fourth, the reference drawing in order and reversed, agree)
    nor an edge explains it."""
    program, reference = pictures[0], pictures[1]
    order_decides = differing_pixels(*pictures[-2:])
    return {p for p in differing_pixels(program, reference) - order_decides if not on_an_edge(p, program, reference)}


def allowed(pictures, blending):
    """Whether the program's picture stands to the reference's as it may: equal with
    blending; else differing at few pixels (0.1% of its pixels), each where the order
    decides or on an edge."""
    program, reference = pictures[0], pictures[1]
    if blending or program.data == reference.data:
        return program.data == reference.data
    most = program.width * program.height // 1000
    return len(differing_pixels(program, reference)) <= most and not unexplained(pictures)


largest_difference = [0]


def compare(displays, steps, label):
    """Performs each step on every display and compares the screenshots."""
    blending = False
    shown = settled(displays, lambda pictures: pictures[0].data.count(0) < len(pictures[0].data) and
                    allowed(pictures, blending))
    w.check(allowed(shown, blending), f"{label}: the first pictures are alike")
    for number, step in enumerate(steps, 1):
        for display in displays:
            perform(display, step)
        if step == "t":
            blending = not blending
        after = settled(displays, lambda pictures, before=shown: all(
            picture.data != old.data for picture, old in zip(pictures, before)) and allowed(pictures, blending))
        for picture, before in zip(after, shown):
            if picture.data == before.data:
                w.failures.append(f"{label}, step {number}: the picture did not change")
        differing = differing_pixels(after[0], after[1])
        largest_difference[0] = max(largest_difference[0], len(differing))
        w.check(allowed(after, blending), f"{label}, step {number} ({describe(step)}, blending "
                f"{'on' if blending else 'off'}): {len(differing)} pixels differ from the straightforward drawing, "
                f"{len(unexplained(after)) if differing else 0} of them neither where the order decides nor on an edge")
        shown = after


def write_colours(folder, stem, count, generator):
    """`stem`.pColor and `stem`.pOpacity for `count` pixels: bright opaque colours, and
    opacities from 90 to 200, drawn from `generator` in that order."""
    with open(os.path.join(folder, f"{stem}.pColor"), "w") as f:
        f.write(f"{count}\n" + "".join(
            f"{generator.randint(40, 255)} {generator.randint(40, 255)} {generator.randint(40, 255)} 255 \n"
            for _ in range(count)))
    with open(os.path.join(folder, f"{stem}.pOpacity"), "w") as f:
        f.write(f"{count}\n" + "".join(f"{generator.randint(90, 200)}\n" for _ in range(count)))


def viewer_scene(folder):
    """A 9 x 7 picture in three frames: scattered, halfway, at home (a box at the
    origin); translucent colours; sizes from the scale file, some of them negative, and
    the two lowest rows of size 1, so that at home their boxes touch and share edges."""
    generator = random.Random(20261208)
    homes = [(c - 4.0, r - 3.0, 0.0) for r in range(7) for c in range(9)]
    scattered = [(generator.randint(-16, 16) * 0.5, generator.randint(-10, 14) * 0.5, generator.randint(-6, 6) * 0.5)
                 for _ in homes]
    halfway = [((a + b) / 2, (c + d) / 2, (e + f) / 2) for (a, c, e), (b, d, f) in zip(scattered, homes)]
    with open(os.path.join(folder, "s.pPath"), "w") as f:
        f.write(f"{len(homes)} 3\n\n")
        for number, frame in enumerate((scattered, halfway, homes)):
            f.write(f"{number}\n" + "".join(f"{x:g} {y:g} {z:g}\n" for x, y, z in frame))
    write_colours(folder, "s", len(homes), generator)
    # Scale range 0.5 to 1.5: values below 0 give sizes below 0.5, below -64 negative ones.
    with open(os.path.join(folder, "s.pScale"), "w") as f:
        f.write(f"{len(homes)}\n" + "".join("127.5\n" if i < 18 else f"{generator.choice([-300, -120, 0, 128, 255, 300])}\n"
                                           for i in range(len(homes))))
    return "a\ns.pPath\nc\ns.pColor\nd\ns.pOpacity\ne\ns.pScale\n0.5\n1.5\ng\ny\n"


def blender_scene(folder, name, low, high):
    """Two keyframes of 7 x 5 pixels, dark and light, with displacements from `low`
    (black) to `high` (white); frame 0 is shown. The last two rows are of one colour, so
    that their boxes touch and share edges."""
    generator = random.Random(name)
    for k in range(2):
        pixels = [(generator.randint(0, 255), generator.randint(0, 255), generator.randint(0, 255)) for _ in range(35)]
        pixels[3] = (255, 255, 255)
        pixels[17] = (0, 0, 0)
        pixels[21:] = [(150, 90, 210)] * 14
        with open(os.path.join(folder, f"{name}{k}.tga"), "wb") as f:
            f.write(bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 5, 0, 24, 0]) +
                    b"".join(bytes([b, g, r]) for r, g, b in pixels))
    with open(os.path.join(folder, f"{name}.cfg"), "w") as f:
        f.write(f"#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 2 #MINDISPLACEMENT {low} #MAXDISPLACEMENT {high} "
                f"#IMAGEPATH {name}0.tga #NUMBER_OF_INTERPOLATION_FRAMES 1 "
                f"#IMAGEPATH {name}1.tga #NUMBER_OF_INTERPOLATION_FRAMES 1\n")
    return f"{name}.cfg\nb\n"


def run_trio(programs, folder, menu, steps, label):
    """The program, the reference, and the reference drawing the boxes last to first."""
    displays = [w.Display(), w.Display(), w.Display()]
    displays[2].env["ZORVEL_REFERENCE_REVERSED"] = "1"
    processes = []
    try:
        for display, program in zip(displays, programs + programs[1:]):
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


def layer_scene(folder):
    """A 9 x 7 picture of touching boxes over 12 frames, each pixel flying home from its
    own scattered place and arriving in its own frame: pixel 0 never moves, pixel 1
    stops halfway at frame 3, moves again at frame 6 and settles at frame 8, pixel 2
    moves until frame 10, and in frame 11 every pixel has settled. Translucent colours,
    so that blending shows."""
    generator = random.Random(20261210)
    homes = [(c - 4.0, r - 3.0, 0.0) for r in range(7) for c in range(9)]
    frames = 12
    paths = []
    for k, home in enumerate(homes):
        start = tuple(h + generator.randint(-8, 8) * 0.5 for h in home)
        arrival = 0 if k == 0 else 10 if k == 2 else generator.randint(1, 9)

        def at(f, start=start, home=home, arrival=arrival):
            share = max(0.0, (arrival - f) / arrival) if arrival else 0.0
            return tuple(h + (s - h) * share for s, h in zip(start, home))

        path = [at(f) for f in range(frames)]
        if k == 1:  # stops halfway, moves again, settles
            halfway = tuple((s + h) / 2 for s, h in zip(start, home))
            path = [at(f * 0.5) for f in range(3)] + [halfway] * 3 + [at(5), at(6.5)] + [home] * (frames - 8)
        paths.append(path)
    with open(os.path.join(folder, "l.pPath"), "w") as f:
        f.write(f"{len(homes)} {frames}\n\n")
        for number in range(frames):
            f.write(f"{number}\n" + "".join(f"{x:g} {y:g} {z:g}\n" for x, y, z in (p[number] for p in paths)))
    write_colours(folder, "l", len(homes), generator)
    return frames


LAYER_WIDTH, LAYER_HEIGHT = 320, 240


def record_layer_scene(program, folder, frames, options, reversed_order=False):
    """The layer scene recorded by `program` with `options` as raw frames, the frames as
    pictures and what it said; with `reversed_order`, the reference drawing its boxes
    last to first."""
    size = LAYER_WIDTH * LAYER_HEIGHT * 3
    environment = dict(os.environ)
    if reversed_order:
        environment["ZORVEL_REFERENCE_REVERSED"] = "1"
    run = subprocess.run([program, "l.pPath", "--color", "l.pColor", "--opacity", "l.pOpacity", "--size",
                          f"{LAYER_WIDTH}x{LAYER_HEIGHT}", "--hold", "0", "-o", "-"] + options, cwd=folder,
                         env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    w.check(run.returncode == 0 and len(run.stdout) == frames * size,
            f"{' '.join(options)}: {frames} frames ({run.returncode}, {len(run.stdout)} bytes)")
    pictures = [w.Screen(run.stdout[f * size:(f + 1) * size], LAYER_WIDTH) for f in range(len(run.stdout) // size)]
    return pictures, run.stderr.decode()


def layer_test(recorder, reference, folder):
    """The recorder with its settled layer against the straightforward drawing of every
    box in every frame (the reference recorder), in every draw mode, blending off and
    on, from two cameras: frame by frame, equal with blending, else differing only where
    two surfaces meet at the same depth."""
    frames = layer_scene(folder)

    def record(program, options, reversed_order=False):
        return record_layer_scene(program, folder, frames, options, reversed_order)[0]

    most = 0
    for camera in (["--camera", "framed"], ["--camera", "viewer", "--zoom", "0", "--turn", "20,-35"]):
        for mode in ("wire", "solid", "outlined"):
            for blend in ("off", "on"):
                options = camera + ["--mode", mode, "--blend", blend, "--grid", "on"]
                layered = record(recorder, options)
                every = record(reference, options + ["--settled-layer", "off"])
                backwards = record(reference, options + ["--settled-layer", "off"], reversed_order=True)
                for f, pictures in enumerate(zip(layered, every, backwards)):
                    differing = differing_pixels(pictures[0], pictures[1])
                    most = max(most, len(differing))
                    w.check(allowed(pictures, blend == "on"),
                            f"{' '.join(options)}, frame {f}: {len(differing)} pixels differ from every box drawn, "
                            f"{len(unexplained(pictures)) if differing else 0} of them neither where the order "
                            f"decides nor on an edge")
    print(f"at most {most} pixels differed in one frame (of {LAYER_WIDTH * LAYER_HEIGHT // 1000} allowed)")


def moving_test(recorder, reference, folder):
    """A turntable, a turntable pulled back, and a key path that stands still, moves and
    stands still again (where the settled layer is drawn afresh), each in two draw modes
    with blending off and on: frame k of the moving recording against frame k of a
    still recording, every box drawn, with frame k's camera values."""
    frames = layer_scene(folder)
    with open(os.path.join(folder, "k.keys"), "w") as f:
        f.write("# still, a move, still again\n0 -4 0.5 0 20 -30\n3 -4 0.5 0 20 -30\n6 0 -0.5 -1 5 -60\n")

    def record(program, options, reversed_order=False):
        return record_layer_scene(program, folder, frames, ["--grid", "on"] + options, reversed_order)

    most = 0
    for move in (["--orbit", "90"], ["--orbit", "-200", "--pull-back", "0.5"], ["--camera-keys", "k.keys"]):
        for mode in ("wire", "solid"):
            for blend in ("off", "on"):
                options = move + ["--mode", mode, "--blend", blend]
                moving, said = record(recorder, options + ["--verbose"])
                cameras = [line.split()[2:] for line in said.splitlines() if line.startswith("Zorvel-recorder: camera ")]
                w.check(len(cameras) == frames, f"{' '.join(options)}: a camera for each frame ({len(cameras)})")
                for f, key in enumerate(cameras[:len(moving)]):
                    w.check(key[0] == str(f), f"the camera of frame {f} listed in turn, not {key[0]}")
                    still = ["--mode", mode, "--blend", blend, "--camera", "viewer", "--zoom", key[1],
                             "--pan", f"{key[2]},{key[3]}", "--turn", f"{key[4]},{key[5]}", "--settled-layer", "off"]
                    pictures = (moving[f], record(recorder, still)[0][f])
                    if pictures[0].data != pictures[1].data:  # where the order decides
                        pictures += (record(reference, still)[0][f], record(reference, still, True)[0][f])
                    differing = differing_pixels(pictures[0], pictures[1])
                    most = max(most, len(differing))
                    w.check(allowed(pictures, blend == "on"),
                            f"{' '.join(options)}, frame {f}: {len(differing)} pixels differ from the still "
                            f"camera's frame, {len(unexplained(pictures)) if differing else 0} of them neither "
                            f"where the order decides nor on an edge")
    print(f"at most {most} pixels differed in one frame (of {LAYER_WIDTH * LAYER_HEIGHT // 1000} allowed)")


def main():
    which, programs = sys.argv[1], [os.path.abspath(p) for p in sys.argv[2:4]]
    folder = w.scratch_folder("zorvel-identity-")
    if which == "recorder":
        recorder_test(*programs, folder)
    elif which == "layer":
        layer_test(*programs, folder)
    elif which == "moving":
        moving_test(*programs, folder)
    elif which == "viewer":
        menu = viewer_scene(folder)
        # Frame 0 and frame 2 (two steps on), each through the whole tour, then smoothed.
        run_trio(programs, folder, menu, camera_tour() + ["period", "period"] + camera_tour() + SMOOTHED +
                 AMONG + BLEND_AND_MODES, "viewer")
    else:
        # Negative and zero depths, then positive ones.
        run_trio(programs, folder, blender_scene(folder, "negative", -2, 0), camera_tour(), "blender, depths -2 to 0")
        run_trio(programs, folder, blender_scene(folder, "positive", 0.5, 4), camera_tour(), "blender, depths 0.5 to 4")
    if which in ("viewer", "blender"):
        print(f"at most {largest_difference[0]} pixels differed in one picture (of {MOST_DIFFERING} allowed)")
    print(f"{len(w.failures)} failed")
    sys.exit(1 if w.failures else 0)


if __name__ == "__main__":
    main()
