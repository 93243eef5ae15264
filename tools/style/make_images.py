#!/usr/bin/env python3
"""Draws Brenvik's own pictures: the three 16x16 popup-menu images and the
program icon (16x16 and 32x32), written into src/app/resources.

Menu images are 24-bit bitmaps on a magenta key colour, which the image list
treats as transparent; their bottom-left pixel is always the key, because the
menu painter takes that pixel as the background of an image.

Usage: tools/style/make_images.py [output folder]
"""
import os
import struct
import sys

KEY = (255, 0, 255)


def canvas(size, fill):
    return [[fill] * size for _ in range(size)]


def rect(pixels, left, top, right, bottom, colour):
    """Fills [left, right) x [top, bottom)."""
    for y in range(max(top, 0), min(bottom, len(pixels))):
        for x in range(max(left, 0), min(right, len(pixels))):
            pixels[y][x] = colour


def frame(pixels, left, top, right, bottom, colour):
    rect(pixels, left, top, right, top + 1, colour)
    rect(pixels, left, bottom - 1, right, bottom, colour)
    rect(pixels, left, top, left + 1, bottom, colour)
    rect(pixels, right - 1, top, right, bottom, colour)


def line(pixels, points, colour, width=1):
    """Straight segments between the points (Bresenham)."""
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        error = dx + dy
        while True:
            rect(pixels, x0, y0, x0 + width, y0 + width, colour)
            if (x0, y0) == (x1, y1):
                break
            twice = 2 * error
            if twice >= dy:
                error += dy
                x0 += sx
            if twice <= dx:
                error += dx
                y0 += sy


def image_open():
    """A window with a blue title bar: show the main window."""
    p = canvas(16, KEY)
    rect(p, 1, 2, 15, 14, (255, 255, 255))
    rect(p, 1, 2, 15, 5, (40, 90, 190))
    rect(p, 12, 3, 14, 4, (255, 255, 255))
    frame(p, 1, 2, 15, 14, (30, 50, 110))
    rect(p, 3, 7, 10, 8, (150, 150, 150))
    rect(p, 3, 9, 12, 10, (150, 150, 150))
    rect(p, 3, 11, 8, 12, (150, 150, 150))
    return p


def image_import():
    """A green arrow pointing into a barcode label: import the codes."""
    p = canvas(16, KEY)
    rect(p, 7, 1, 16, 15, (255, 255, 255))
    frame(p, 7, 1, 16, 15, (90, 90, 90))
    for x, width in ((9, 1), (11, 2), (14, 1)):
        rect(p, x, 3, x + width, 13, (0, 0, 0))
    green, dark = (30, 160, 40), (10, 90, 20)
    rect(p, 0, 6, 5, 10, dark)
    rect(p, 0, 7, 5, 9, green)
    for step in range(5):  # the head narrows towards its tip at the label
        rect(p, 4 + step, 3 + step, 5 + step, 13 - step, dark)
        if step < 4:
            rect(p, 4 + step, 4 + step, 5 + step, 12 - step, green)
    return p


def image_close():
    """A red cross: end the program."""
    p = canvas(16, KEY)
    red, dark = (220, 40, 30), (140, 20, 15)
    line(p, [(3, 3), (12, 12)], dark, 2)
    line(p, [(12, 3), (3, 12)], dark, 2)
    line(p, [(3, 2), (12, 11)], red, 2)
    line(p, [(12, 2), (3, 11)], red, 2)
    return p


def program_icon(size):
    """A scanner window: white label with bars crossed by a red scan line on blue."""
    s = size / 16.0
    transparent = (0, 0, 0, 0)
    p = canvas(size, transparent)

    def box(l, t, r, b, colour):
        rect(p, round(l * s), round(t * s), round(r * s), round(b * s), colour + (255,))

    box(0, 1, 16, 15, (30, 60, 140))
    box(1, 2, 15, 14, (60, 110, 210))
    box(2, 3, 14, 13, (255, 255, 255))
    for x, width in ((3, 1), (5, 1), (6.5, 0.5), (8, 1.5), (10, 0.5), (11, 1), (12.5, 0.5)):
        box(x, 4, x + max(width, 1 / s), 12, (0, 0, 0))
    box(2, 7.5, 14, 8.5, (230, 30, 30))
    return p


def bmp24(pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    rows = b""
    for row in reversed(pixels):  # bottom-up
        data = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        rows += data + b"\0" * (stride - len(data))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def icon_image(pixels):
    """A 32-bit icon image: colour with alpha, then the AND mask."""
    size = len(pixels)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        data = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                data[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(data)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico(images):
    entries, data = b"", b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        size = len(pixels)
        blob = icon_image(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    return struct.pack("<HHH", 0, 1, len(images)) + entries + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src", "app", "resources")
    os.makedirs(out, exist_ok=True)
    files = {
        "menu_open.bmp": bmp24(image_open()),
        "menu_import.bmp": bmp24(image_import()),
        "menu_close.bmp": bmp24(image_close()),
        "Brenvik.ico": ico([program_icon(16), program_icon(32)]),
    }
    for name, content in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(content)


if __name__ == "__main__":
    main()
