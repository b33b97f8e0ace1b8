#!/usr/bin/env python3
"""The README's "Your own picture" walk-through, run as written: every sh block of that
section in turn (then the turntable of "Moving the camera"), in a scratch folder that holds the project's scripts and samples and
the programs under build/bin. The viewer's window opens on a private Xvfb server; there
the test makes the README's gestures for seeing the whole picture and checks that the
picture at home is then whole on the screen, with black all round it; it plays a
little and ends the program with ESC.

Usage: readme_walkthrough.py README SOURCE_DIR BIN_DIR
"""

import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import window_tests as w  # noqa: E402

SECTION = "## Your own picture"
TURNTABLE = "## Moving the camera"


def walkthrough_blocks(readme, title=SECTION):
    start = readme.index(title)
    end = readme.find("\n## ", start + len(title))
    section = readme[start:end if end >= 0 else len(readme)]
    return section, re.findall(r"```sh\n(.*?)```", section, re.S)


def words(text):
    return " ".join(text.split())


def lit_box(screen):
    """The smallest box (left, top, right, bottom) that holds every pixel that is not
    black, or None."""
    left, top, right, bottom = w.WIDTH, w.HEIGHT, -1, -1
    data = screen.data
    for y in range(w.HEIGHT):
        row = data[3 * w.WIDTH * y:3 * w.WIDTH * (y + 1)]
        if not row.strip(b"\0"):
            continue
        first = (len(row) - len(row.lstrip(b"\0"))) // 3
        last = (len(row.rstrip(b"\0")) - 1) // 3
        left, right = min(left, first), max(right, last)
        top, bottom = min(top, y), y
    return (left, top, right, bottom) if right >= 0 else None


def whole_picture(screen):
    """The lit box when it is a picture's worth (a third of the screen across) and
    touches no edge of the screen."""
    box = lit_box(screen)
    if box is None:
        return None
    left, top, right, bottom = box
    inside = left > 0 and top > 0 and right < w.WIDTH - 1 and bottom < w.HEIGHT - 1
    return box if inside and right - left > w.WIDTH // 3 else None


def run_block(block, root, display):
    """Runs one block; a block that opens the viewer gets a window to show, a play and
    ESC. Returns the block's exit status and output."""
    command = ["bash", "-euo", "pipefail", "-c", block]
    if "Zorvel-viewer" not in block:
        run = subprocess.run(command, cwd=root, env=display.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             text=True, timeout=900)
        return run.returncode, run.stdout
    process = subprocess.Popen(command, cwd=root, env=display.env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
    shown = w.wait_until(lambda: display.window_size() == (w.WIDTH, w.HEIGHT), timeout=120)
    w.check(bool(shown), "the viewer's window opens full screen")
    # The middle button from the right edge to the left, twice; the left button a tenth
    # of the screen to the right; then the comma.
    for button, x0, x1 in ((2, w.WIDTH - 10, 10), (2, w.WIDTH - 10, 10), (1, 640, 640 + w.WIDTH // 10)):
        display.mouse("mousemove", "--sync", str(x0), "500")
        display.mouse("mousedown", str(button))
        display.mouse("mousemove", "--sync", str(x1), "500")
        display.mouse("mouseup", str(button))
    display.key("comma")
    screen = display.screen_where(lambda s: whole_picture(s) is not None)
    w.check(whole_picture(screen) is not None,
            f"the README's gestures show the whole picture, black all round (lit: {lit_box(screen)})")
    display.key("space")
    time.sleep(1)
    display.key("Escape")
    try:
        out, _ = process.communicate(timeout=w.PATIENCE)
    except subprocess.TimeoutExpired:
        process.kill()
        out, _ = process.communicate()
    return process.returncode, out


def main():
    readme_path, source, bin_dir = (os.path.abspath(p) for p in sys.argv[1:4])
    with open(readme_path) as f:
        readme = f.read()
    section, blocks = walkthrough_blocks(readme)
    w.check(len(blocks) >= 4, f"the walk-through has its blocks ({len(blocks)})")
    display = w.Display()
    try:
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "build"))
            os.symlink(bin_dir, os.path.join(root, "build", "bin"))
            for folder in ("scripts", "samples"):
                os.symlink(os.path.join(source, folder), os.path.join(root, folder))
            for number, block in enumerate(blocks, 1):
                status, out = run_block(block, root, display)
                print(out, end="")
                w.check(status == 0, f"block {number} runs ({block.splitlines()[0]}): status {status}")
                for line in out.splitlines():
                    if line.startswith("mine/meadow.tga: "):
                        w.check(words(line) in words(section), f"the README quotes what make-tga printed: {line}")
            picture_video = os.path.join(root, "meadow.mp4")
            w.check(os.path.isfile(picture_video) and os.path.getsize(picture_video) > 0,
                    "the picture's video (meadow.mp4) is there")
            mine = os.path.join(root, "mine")
            for name in ["meadow.tga", "meadow-height.tga", "meadow.mp4", "meadow-height.tga.pHeight"] + [
                    "meadow.tga." + ext for ext in ("pPath", "pColor", "pOpacity", "pVelocity", "pScale")]:
                path = os.path.join(mine, name)
                w.check(os.path.isfile(path) and os.path.getsize(path) > 0, f"{name} is there")
            _, turntable = walkthrough_blocks(readme, TURNTABLE)
            w.check(len(turntable) == 1, f"the turntable is one block ({len(turntable)})")
            for block in turntable:
                status, out = run_block(block, root, display)
                print(out, end="")
                w.check(status == 0 and "wrote sunset-orbit.mp4: " in out, f"the turntable records: status {status}")
    finally:
        display.close()
    if w.failures:
        print(f"{len(w.failures)} check(s) failed")
        sys.exit(1)


if __name__ == "__main__":
    main()
