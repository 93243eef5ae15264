#!/usr/bin/env python3
"""Draws the crash-report dialogs' own pictures, written into
src/crash/dialog/resources: the four 16x16 list images (a library, a package,
a program and a source file) and the 32x32 monitor shown beside the message.

All are 24-bit bitmaps on the magenta key colour of tools/style/make_images.py;
the bottom-left pixel is always the key, which the dialogs treat as transparent.

Usage: tools/dialog/make_dialog_images.py [output folder]
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "style"))
from make_images import KEY, bmp24, canvas, frame, line, rect  # noqa: E402

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
LIGHT = (192, 192, 192)


def sheet(fold_colour):
    """A page with a folded corner: the common shape of the list images."""
    p = canvas(16, KEY)
    rect(p, 3, 1, 13, 15, WHITE)
    frame(p, 2, 0, 14, 16, GREY)
    line(p, [(10, 0), (13, 3)], GREY)
    rect(p, 10, 1, 13, 4, fold_colour)
    return p


def image_library():
    p = sheet(LIGHT)
    for y in (5, 8, 11):  # two interlocking gears drawn as stacked cogs
        rect(p, 5, y, 11, y + 2, (64, 96, 160))
    rect(p, 7, 4, 9, 14, (32, 64, 128))
    return p


def image_package():
    p = canvas(16, KEY)
    rect(p, 2, 5, 14, 15, (200, 160, 90))
    frame(p, 1, 4, 15, 16, (120, 80, 30))
    line(p, [(1, 4), (4, 1), (15, 1), (15, 4)], (120, 80, 30))
    rect(p, 5, 2, 14, 4, (230, 200, 140))
    rect(p, 7, 4, 9, 16, (120, 80, 30))
    return p


def image_program():
    p = canvas(16, KEY)
    rect(p, 1, 2, 15, 14, WHITE)
    frame(p, 0, 1, 16, 15, (40, 40, 40))
    rect(p, 1, 2, 15, 5, (10, 36, 106))
    rect(p, 12, 3, 14, 4, WHITE)
    rect(p, 3, 7, 9, 8, GREY)
    rect(p, 3, 10, 12, 11, GREY)
    return p


def image_source():
    p = sheet((255, 255, 160))
    for y, width in ((5, 6), (7, 8), (9, 5), (11, 7)):
        rect(p, 4, y, 4 + width, y + 1, (0, 0, 160))
    return p


def image_monitor():
    p = canvas(32, KEY)
    rect(p, 2, 2, 30, 22, (60, 60, 60))
    rect(p, 4, 4, 28, 20, (0, 84, 166))
    line(p, [(6, 17), (11, 12), (15, 15), (21, 8), (26, 13)], (255, 255, 255))
    rect(p, 13, 8, 19, 10, (220, 40, 40))  # the red alarm light of a failure
    rect(p, 14, 7, 18, 11, (220, 40, 40))
    rect(p, 13, 22, 19, 26, (110, 110, 110))
    rect(p, 7, 26, 25, 29, (150, 150, 150))
    frame(p, 7, 26, 25, 29, (60, 60, 60))
    return p


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src", "crash", "dialog", "resources")
    os.makedirs(out, exist_ok=True)
    images = {
        "list_library.bmp": image_library(),
        "list_package.bmp": image_package(),
        "list_program.bmp": image_program(),
        "list_source.bmp": image_source(),
        "monitor.bmp": image_monitor(),
    }
    for name, pixels in images.items():
        assert pixels[-1][0] == KEY, name
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp24(pixels))


if __name__ == "__main__":
    main()
