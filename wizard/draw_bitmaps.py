#!/usr/bin/env python3
"""Draws the wizard's two pictures as 24-bit Windows bitmaps: the side picture of the opening
dialog (resource 127) and the picture of the copy dialog (resource 123).

Both show the same scene in the program's own colours: a system drive on the left, an ATA card
on the right, an arrow from one to the other. Plain shapes on a gradient, made here, so the build
needs nothing but Python.

usage: draw_bitmaps.py OPENING.bmp COPY.bmp
"""
import struct
import sys


class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            row = self.pixels[y]
            for x in range(max(left, 0), min(right, self.width)):
                row[x] = colour

    def frame(self, left, top, right, bottom, colour):
        self.rect(left, top, right, top + 1, colour)
        self.rect(left, bottom - 1, right, bottom, colour)
        self.rect(left, top, left + 1, bottom, colour)
        self.rect(right - 1, top, right, bottom, colour)

    def gradient(self, top_colour, bottom_colour):
        for y in range(self.height):
            t = y / max(self.height - 1, 1)
            c = tuple(int(a + (b - a) * t) for a, b in zip(top_colour, bottom_colour))
            self.pixels[y] = [c] * self.width

    def disc(self, cx, cy, r, colour):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def arrow(self, left, right, cy, thickness, colour):
        """A right-pointing arrow whose head ends at `right`."""
        head = thickness * 2
        self.rect(left, cy - thickness // 2, right - head, cy + (thickness + 1) // 2, colour)
        for i in range(head):
            half = (head - i)
            self.rect(right - head + i, cy - half, right - head + i + 1, cy + half, colour)

    def save(self, path):
        row_size = (self.width * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.height - 1, -1, -1):  # bottom-up rows
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(row_size - len(row))
            data += row
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


NAVY, TEAL = (16, 40, 104), (24, 140, 150)
WHITE, SILVER, GREY, DARK = (250, 250, 250), (200, 204, 212), (120, 124, 132), (40, 44, 52)
GOLD, ORANGE, GREEN = (222, 178, 60), (242, 140, 40), (70, 190, 90)


def drive(c, left, top, width, height):
    """A hard disk seen from above: case, platter, arm."""
    c.rect(left, top, left + width, top + height, SILVER)
    c.frame(left, top, left + width, top + height, DARK)
    r = min(width, height) * 2 // 5
    cx, cy = left + width // 2, top + height * 2 // 5
    c.disc(cx, cy, r, GREY)
    c.disc(cx, cy, r // 4, SILVER)
    c.rect(cx + r // 2, cy + r // 2, cx + r, cy + r + 2, DARK)
    c.rect(left + 3, top + height - 6, left + 9, top + height - 3, GREEN)  # the busy light


def card(c, left, top, width, height):
    """An ATA PC Card: a flat body, a label and its row of contacts."""
    c.rect(left, top, left + width, top + height, WHITE)
    c.frame(left, top, left + width, top + height, DARK)
    c.rect(left + 3, top + height // 5, left + width - 3, top + height * 3 // 5, ORANGE)
    for x in range(left + 3, left + width - 3, 4):
        c.rect(x, top + height - 5, x + 2, top + height - 1, GOLD)


def opening(path):
    c = Canvas(140, 254)
    c.gradient(NAVY, TEAL)
    for i in range(0, 254, 16):  # faint lines, a sense of moving data
        c.rect(0, i, 140, i + 1, (40, 80, 150))
    drive(c, 30, 28, 80, 64)
    for i in range(3):  # a downward arrow from the drive to the card
        c.rect(64, 104 + i * 14, 76, 112 + i * 14, WHITE)
    for i in range(10):
        c.rect(56 + i, 146 + i, 84 - i, 147 + i, WHITE)
    card(c, 35, 166, 70, 56)
    c.save(path)


def copy_picture(path):
    c = Canvas(138, 80)
    c.gradient(NAVY, TEAL)
    drive(c, 8, 16, 44, 40)
    c.arrow(56, 86, 36, 8, WHITE)
    card(c, 92, 18, 38, 40)
    c.save(path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    opening(sys.argv[1])
    copy_picture(sys.argv[2])
