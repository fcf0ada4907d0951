"""Pixels of a screenshot, for the e2e tests that check what the main window drew."""
import subprocess
import time

LIT = 64  # a pixel with a channel above this is not black


class Picture:
    """An RGB picture read from an image file through ImageMagick. Boxes are (left, top, right,
    bottom) with right and bottom excluded."""

    def __init__(self, path):
        size = subprocess.run(["convert", path, "-format", "%w %h", "info:"], check=True,
                              capture_output=True, text=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                                   capture_output=True).stdout

    def rows(self, box):
        left, top, right, bottom = box
        for y in range(top, bottom):
            start = 3 * (y * self.width + left)
            yield y, self.data[start:start + 3 * (right - left)]

    def dark(self, box):
        """True when every pixel of the box is black, or nearly."""
        return all(max(row, default=0) <= LIT for _, row in self.rows(box))

    def points(self, box, wanted=None):
        """The points (x, y) of the box whose colour (r, g, b) passes `wanted` (not black when
        not given)."""
        found = []
        left = box[0]
        for y, row in self.rows(box):
            if wanted is None and max(row, default=0) <= LIT:
                continue
            for i in range(0, len(row), 3):
                colour = (row[i], row[i + 1], row[i + 2])
                if (max(colour) > LIT) if wanted is None else wanted(colour):
                    found.append((left + i // 3, y))
        return found

    def bounds(self, box, wanted=None):
        """(left, top, right, bottom), inclusive, of the points of the box that pass `wanted`;
        None when there are none."""
        found = self.points(box, wanted)
        if not found:
            return None
        xs, ys = [p[0] for p in found], [p[1] for p in found]
        return min(xs), min(ys), max(xs), max(ys)

    def count(self, box, wanted=None):
        return len(self.points(box, wanted))


def near(target, tolerance=60):
    """A test for colours close to `target` (r, g, b)."""
    return lambda colour: all(abs(a - b) <= tolerance for a, b in zip(colour, target))


def wait_for(wine, path, condition, timeout=20):
    """Takes screenshots into `path` until condition(Picture) holds; returns that Picture, or the
    last one when the time runs out (the caller's assertions then say what is wrong)."""
    deadline = time.monotonic() + timeout
    while True:
        picture = Picture(wine.screenshot(path))
        if condition(picture) or time.monotonic() > deadline:
            return picture
        time.sleep(0.3)
