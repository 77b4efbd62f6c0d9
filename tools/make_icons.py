#!/usr/bin/env python3
"""Draws the module's bitmaps and the reference plug-ins' icons as PNG files.

Every picture is 16 pixels high; magenta (0xFF00FF) is the background that the image lists mask
out. Run again after changing a drawing: python3 tools/make_icons.py
"""
import pathlib
import struct
import zlib

MAGENTA = (255, 0, 255)
COLOURS = {
    "body": (60, 60, 70),
    "copper": (200, 117, 51),
    "blue": (40, 96, 180),
    "white": (250, 250, 250),
    "pin": (160, 160, 168),
    "lock": (200, 50, 50),
    "outline": (32, 32, 32),
    "master": (150, 30, 30),
    "corporate": (30, 80, 150),
    "user": (30, 110, 60),
    "green": (40, 150, 60),
    "red": (200, 40, 40),
    "yellow": (230, 190, 60),
    "sheet": (245, 245, 245),
    "grey": (110, 110, 120),
}

LETTERS = {
    "M": ["X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"],
    "C": [".XXX.", "X...X", "X....", "X....", "X....", "X...X", ".XXX."],
    "U": ["X...X", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
}


class Canvas:
    def __init__(self, width):
        self.width = width
        self.pixels = [[MAGENTA] * width for _ in range(16)]

    def fill(self, left, top, right, bottom, colour, x0=0):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x0 + x] = COLOURS[colour]

    def ring(self, cx, cy, outer, inner, colour, x0=0):
        for y in range(16):
            for x in range(16):
                d = (2 * x + 1 - 2 * cx) ** 2 + (2 * y + 1 - 2 * cy) ** 2
                if 4 * inner * inner < d <= 4 * outer * outer:
                    self.pixels[y][x0 + x] = COLOURS[colour]

    def diagonal(self, x1, y1, x2, y2, colour, thickness=1):
        steps = max(abs(x2 - x1), abs(y2 - y1))
        for i in range(steps + 1):
            x = x1 + (x2 - x1) * i // steps
            y = y1 + (y2 - y1) * i // steps
            self.fill(x, y, min(15, x + thickness - 1), min(15, y + thickness - 1), colour)

    def letter(self, name, left, top, colour, x0=0):
        for dy, row in enumerate(LETTERS[name]):
            for dx, cell in enumerate(row):
                if cell == "X":
                    self.pixels[top + dy][x0 + left + dx] = COLOURS[colour]

    def png(self):
        raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, 16, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def chip(canvas, pins, x0=0):
    canvas.fill(4, 2, 11, 13, "body", x0)
    for row in range(4):
        canvas.fill(1, 3 + row * 3, 3, 4 + row * 3, pins, x0)
        canvas.fill(12, 3 + row * 3, 14, 4 + row * 3, pins, x0)


def padlock(canvas, x0=0):
    """The no-rights mark: a small red padlock in the lower left corner."""
    canvas.fill(2, 6, 2, 9, "outline", x0)
    canvas.fill(6, 6, 6, 9, "outline", x0)
    canvas.fill(3, 5, 5, 5, "outline", x0)
    canvas.fill(0, 9, 8, 15, "outline", x0)
    canvas.fill(1, 10, 7, 14, "lock", x0)
    canvas.fill(4, 11, 4, 13, "white", x0)


def badge(canvas, colour, letter):
    """A tier mark: a rounded square of the tier's colour holding its letter."""
    canvas.fill(2, 1, 13, 14, colour)
    canvas.fill(1, 2, 14, 13, colour)
    canvas.letter(letter, 5, 4, "white")


def part_strip():
    canvas = Canvas(32)
    padlock(canvas)
    chip(canvas, "pin", x0=16)
    return canvas


def tier(colour, letter):
    canvas = Canvas(16)
    badge(canvas, colour, letter)
    return canvas


def footprint():
    canvas = Canvas(16)
    chip(canvas, "copper")
    canvas.fill(5, 3, 5, 3, "white")
    return canvas


def pad_stack():
    canvas = Canvas(16)
    canvas.ring(8, 8, 7, 3, "copper")
    return canvas


def cad_object():
    canvas = Canvas(16)
    canvas.fill(1, 11, 14, 13, "blue")
    canvas.fill(1, 2, 3, 13, "blue")
    canvas.ring(9, 6, 3, 1, "blue")
    return canvas


def sheet(canvas, left, top, right, bottom):
    """A page: outlined, white inside."""
    canvas.fill(left, top, right, bottom, "grey")
    canvas.fill(left + 1, top + 1, right - 1, bottom - 1, "sheet")


def plus(canvas, cx, cy, arm, colour):
    canvas.fill(cx - arm, cy - 1, cx + arm, cy, colour)
    canvas.fill(cx - 1, cy - arm, cx, cy + arm, colour)


def new_button():
    canvas = Canvas(16)
    sheet(canvas, 2, 1, 11, 14)
    plus(canvas, 11, 11, 4, "green")
    return canvas


def add_button():
    canvas = Canvas(16)
    plus(canvas, 8, 8, 6, "green")
    return canvas


def delete_button():
    canvas = Canvas(16)
    canvas.diagonal(2, 2, 12, 12, "red", 2)
    canvas.diagonal(12, 2, 2, 12, "red", 2)
    return canvas


def rename_button():
    canvas = Canvas(16)
    canvas.fill(0, 4, 15, 11, "grey")
    canvas.fill(1, 5, 14, 10, "sheet")
    canvas.fill(3, 7, 8, 8, "blue")
    canvas.fill(11, 2, 11, 13, "outline")
    canvas.fill(10, 2, 12, 2, "outline")
    canvas.fill(10, 13, 12, 13, "outline")
    return canvas


def copy_button():
    canvas = Canvas(16)
    sheet(canvas, 1, 1, 9, 11)
    sheet(canvas, 6, 4, 14, 14)
    return canvas


def move_button():
    canvas = Canvas(16)
    sheet(canvas, 1, 1, 8, 14)
    canvas.fill(6, 7, 12, 8, "blue")
    canvas.diagonal(10, 4, 14, 8, "blue")
    canvas.diagonal(14, 7, 10, 11, "blue")
    canvas.diagonal(10, 5, 13, 8, "blue")
    canvas.diagonal(13, 7, 10, 10, "blue")
    return canvas


def edit_button():
    canvas = Canvas(16)
    sheet(canvas, 1, 3, 10, 14)
    canvas.diagonal(13, 1, 5, 9, "yellow", 2)
    canvas.fill(4, 10, 5, 11, "outline")
    return canvas


def check_box(canvas, left, top, ticked):
    canvas.fill(left, top, left + 6, top + 6, "grey")
    canvas.fill(left + 1, top + 1, left + 5, top + 5, "sheet")
    if ticked:
        canvas.fill(left + 2, top + 3, left + 2, top + 4, "green")
        canvas.fill(left + 3, top + 4, left + 3, top + 4, "green")
        canvas.fill(left + 4, top + 2, left + 4, top + 3, "green")


def select_all_button():
    canvas = Canvas(16)
    check_box(canvas, 1, 1, True)
    check_box(canvas, 8, 8, True)
    return canvas


def unselect_all_button():
    canvas = Canvas(16)
    check_box(canvas, 1, 1, False)
    check_box(canvas, 8, 8, False)
    return canvas


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    pictures = {
        "resources/bitmaps/part-list.png": part_strip(),
        "resources/bitmaps/tier-master.png": tier("master", "M"),
        "resources/bitmaps/tier-corporate.png": tier("corporate", "C"),
        "resources/bitmaps/tier-user.png": tier("user", "U"),
        "resources/bitmaps/button-new.png": new_button(),
        "resources/bitmaps/button-add.png": add_button(),
        "resources/bitmaps/button-delete.png": delete_button(),
        "resources/bitmaps/button-rename.png": rename_button(),
        "resources/bitmaps/button-copy.png": copy_button(),
        "resources/bitmaps/button-move.png": move_button(),
        "resources/bitmaps/button-edit.png": edit_button(),
        "resources/bitmaps/button-select-all.png": select_all_button(),
        "resources/bitmaps/button-unselect-all.png": unselect_all_button(),
        "host/icons/footprint.png": footprint(),
        "host/icons/pad-stack.png": pad_stack(),
        "host/icons/cad-object.png": cad_object(),
    }
    for path, canvas in pictures.items():
        (root / path).write_bytes(canvas.png())


if __name__ == "__main__":
    main()
