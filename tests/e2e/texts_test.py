"""Texts in the main window (scripts/texts.ini on an 800 x 600 screen): left, centred and right
alignment, outline rings, Japanese faces that Wine does not have, and title texts that are never
drawn."""
import os
import unittest

import e2e
import wine_harness
from pixels import near, wait_for

WHITE, RED, GREEN, BLUE = (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255)


def row(top, bottom, left=0, right=800):
    """The pixels of a text box: top and bottom are screen fractions, as in the script."""
    return left, round(600 * top), right, round(600 * bottom) + 1


class Texts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        exe = e2e.program("kelvado_texts.exe")
        work = os.path.join(e2e.OUT_DIR, cls.__name__)
        with e2e.session_in(work) as wine:
            proc = wine.run(exe)
            wid = wine.wait_window("Zam", timeout=60, proc=proc)
            path = os.path.join(work, "texts.png")
            cls.picture = wait_for(wine, path, lambda p: p.count(row(0.60, 0.70)) > 0)
            wine.key("Escape", wid)
            cls.exit_code = wine.wait_exit(proc, timeout=30)

    def test_alignment_in_the_box(self):
        p = self.picture
        left = p.bounds(row(0.05, 0.12))
        centre = p.bounds(row(0.15, 0.22))
        right = p.bounds(row(0.25, 0.32))
        self.assertIsNotNone(left)
        self.assertIsNotNone(centre)
        self.assertIsNotNone(right)
        self.assertLess(left[0], 10, "a left-aligned text starts at the box's left edge")
        self.assertLess(abs((centre[0] + centre[2]) / 2 - 400), 12, "centred in 0..800")
        self.assertGreater(right[2], 780, "a right-aligned text ends at the box's right edge")
        # The font's cell height is bottom - top of the box (42 pixels): the letters stay inside.
        for bounds, top in ((left, 30), (centre, 90), (right, 150)):
            self.assertGreaterEqual(bounds[1], top)
            self.assertLessEqual(bounds[3], top + 42)
            self.assertGreater(bounds[3] - bounds[1], 20)

    def assert_ring(self, box, ring_colour, text_colour, width):
        ring = self.picture.bounds(box, near(ring_colour))
        text = self.picture.bounds(box, near(text_colour))
        self.assertIsNotNone(ring)
        self.assertIsNotNone(text)
        # The copies in the ring's colour reach `width` pixels beyond the text on every side
        # (give or take the smoothed edge of a letter).
        beyond = (text[0] - ring[0], text[1] - ring[1], ring[2] - text[2], ring[3] - text[3])
        for side in beyond:
            self.assertIn(side, (width - 1, width, width + 1), beyond)
        return ring

    def test_outline_ring_surrounds_the_text(self):
        # The rings reach beyond the box: look a little above and below it.
        self.assert_ring((0, 225, 400, 315), RED, WHITE, 3)
        ring = self.assert_ring((400, 225, 800, 315), GREEN, BLUE, 2)
        self.assertGreater(ring[2], 755, "right-aligned at 0.95 of the width (760)")

    def test_japanese_is_not_drawn_as_question_marks(self):
        p = self.picture

        def shape(left):
            box = row(0.60, 0.70, left, left + 240)
            return {(x - left, y) for x, y in p.points(box, near(WHITE, 100))}

        japanese, three, six = shape(0), shape(240), shape(480)
        self.assertGreater(len(japanese), 200)
        self.assertGreater(len(three), 50)
        self.assertNotEqual(japanese, three)
        self.assertNotEqual(japanese, six)

    def test_titles_are_never_drawn(self):
        self.assertTrue(self.picture.dark(row(0.78, 0.99)))

    def test_escape_ends_the_program(self):
        self.assertEqual(self.exit_code, 0)


if __name__ == "__main__":
    e2e.main()
