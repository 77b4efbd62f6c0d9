#!/usr/bin/env python3
"""Draws the icon of the vaultry-manager desktop program: a footprint (pads, silkscreen outline,
pin-1 mark) as the preview draws one, on a dark rounded square. 128 x 128 pixels with an alpha
channel, edges smoothed by sampling each pixel 4 x 4 times.

Run again after changing the drawing: python3 tools/make_app_icon.py
"""
import pathlib
import struct
import zlib

SIZE = 128
SAMPLES = 4
BACKGROUND = (38, 42, 50)
PAD = (214, 64, 64)
SILK = (245, 245, 245)
RIM = (90, 150, 210)


def rounded_square(x, y, inset, radius):
    """Whether (x, y) lies in the square inset from the icon's edge with rounded corners."""
    low, high = inset + radius, SIZE - inset - radius
    dx = max(low - x, 0, x - high)
    dy = max(low - y, 0, y - high)
    return inset <= x <= SIZE - inset and inset <= y <= SIZE - inset and \
        dx * dx + dy * dy <= radius * radius


def box(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def pads(x, y):
    for row in range(4):
        top = 34 + row * 17
        if box(x, y, 22, top, 44, top + 9) or box(x, y, 84, top, 106, top + 9):
            return True
    return False


def silkscreen(x, y):
    outer = box(x, y, 50, 28, 78, 100)
    inner = box(x, y, 54, 32, 74, 96)
    return outer and not inner


def pin_mark(x, y):
    return (x - 20) ** 2 + (y - 25) ** 2 <= 20


def colour_at(x, y):
    """The colour of the drawing at a point, None outside it; later layers cover earlier."""
    if not rounded_square(x, y, 4, 22):
        return None
    if silkscreen(x, y) or pin_mark(x, y):
        return SILK
    if pads(x, y):
        return PAD
    if not rounded_square(x, y, 8, 18):
        return RIM
    return BACKGROUND


def pixel(px, py):
    total = [0, 0, 0]
    covered = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            colour = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if colour is not None:
                covered += 1
                for i in range(3):
                    total[i] += colour[i]
    if covered == 0:
        return (0, 0, 0, 0)
    return tuple(round(c / covered) for c in total) + (round(255 * covered / SAMPLES ** 2),)


def png():
    rows = b"".join(b"\0" + bytes(v for x in range(SIZE) for v in pixel(x, y))
                    for y in range(SIZE))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    (root / "apps/vaultry-manager/vaultry-manager.png").write_bytes(png())


if __name__ == "__main__":
    main()
