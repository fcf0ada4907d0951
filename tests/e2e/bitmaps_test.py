"""Bitmap files under Wine (scripts/bitmaps.ini, scripts/bmpc.ini): pictures of 1, 4, 8, 16, 24
and 32 bits in both header forms, top-down and with bit fields, drawn right way up in their own
colours and stretched to their boxes; a background picture not drawn; a button clicked with the
mouse running its section, which draws a picture shifted by the offsets; BmpC at the top left in
640 x 480 on 800 x 600 and 1024 x 768 screens."""
import os
import unittest

import e2e
import media_files as mf
import wine_harness
from pixels import near, wait_for

RED, GREEN, BLUE, WHITE, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (255, 255, 0)
QUADRANTS = [RED, GREEN, BLUE, WHITE]  # top left, top right, bottom left, bottom right
W, H = 16, 12  # every picture's size in pixels


def quadrant(x, y):
    return (2 if y >= H // 2 else 0) + (1 if x >= W // 2 else 0)


def pictures():
    """File name -> bytes of every picture the script shows."""
    files = {}
    for core in (False, True):
        prefix = "core" if core else "info"
        for bits in (4, 8):
            files[f"{prefix}{bits}.bmp"] = mf.bmp(W, H, bits, quadrant,
                                                 mf.full_palette(bits, QUADRANTS), core)
        # Two colours only: a checker of yellow and blue.
        files[f"{prefix}1.bmp"] = mf.bmp(W, H, 1, lambda x, y: 1 if quadrant(x, y) in (0, 3) else 0,
                                         [BLUE, YELLOW], core)
        files[f"{prefix}24.bmp"] = mf.bmp(W, H, 24, lambda x, y: QUADRANTS[quadrant(x, y)],
                                          core=core)
    files["info16.bmp"] = mf.bmp(W, H, 16, lambda x, y: QUADRANTS[quadrant(x, y)])
    files["info32.bmp"] = mf.bmp(W, H, 32, lambda x, y: QUADRANTS[quadrant(x, y)])
    files["topdown.bmp"] = mf.bmp_top_down(W, H, lambda x, y: QUADRANTS[quadrant(x, y)])
    files["fields16.bmp"] = mf.bmp_565(W, H, lambda x, y: QUADRANTS[quadrant(x, y)])
    return files


def write_media(wine, files):
    folder = os.path.join(wine.prefix, "drive_c", "media")
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def cell(column, row):
    """The box of the script's 4 x 4 grid on an 800 x 600 screen (right and bottom excluded), cut
    at the screen's edge."""
    return 200 * column, 150 * row, min(200 * column + 201, 800), min(150 * row + 151, 600)


class Bitmaps(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        exe = e2e.program("kelvado_bitmaps.exe")
        work = os.path.join(e2e.OUT_DIR, cls.__name__)
        with e2e.session_in(work) as wine:
            write_media(wine, pictures())
            proc = wine.run(exe)
            wid = wine.wait_window("Zam", timeout=60, proc=proc)
            cls.grid = wait_for(wine, os.path.join(work, "1-grid.png"),
                                lambda p: p.count(cell(3, 2)) > 0)
            wine.click(100, 525)
            cls.clicked = wait_for(wine, os.path.join(work, "2-clicked.png"),
                                   lambda p: p.count(cell(0, 0)) == 0)
            wine.key("Escape", wid)
            cls.exit_code = wine.wait_exit(proc, timeout=30)

    def assert_quadrants(self, picture, box, colours, name):
        left, top, right, bottom = box
        w, h = right - left, bottom - top
        for i, colour in enumerate(colours):
            x = left + w // 4 + (w // 2) * (i % 2)
            y = top + h // 4 + (h // 2) * (i // 2)
            spot = (x - 5, y - 5, x + 5, y + 5)
            self.assertEqual(picture.count(spot, near(colour)), 100,
                             f"{name}: quadrant {i} at {x},{y} is not {colour}")
        # Stretched to the box: lit up to its edges, nothing beyond.
        self.assertEqual(picture.bounds(box), (left, top, right - 1, bottom - 1), name)

    def test_pictures_of_every_form_drawn_right(self):
        rows = [["info1", "info4", "info8", "info24"], ["core1", "core4", "core8", "core24"],
                ["info16", "info32", "topdown", "fields16"]]
        for r, names in enumerate(rows):
            for c, name in enumerate(names):
                colours = [YELLOW, BLUE, BLUE, YELLOW] if name.endswith("1") else QUADRANTS
                self.assert_quadrants(self.grid, cell(c, r), colours, name)

    def test_button_drawn_and_background_not(self):
        self.assert_quadrants(self.grid, cell(0, 3), QUADRANTS, "button")
        self.assertTrue(self.grid.dark((201, 451, 800, 600)), "a background picture is not drawn")

    def test_click_runs_the_button_section_and_offsets_shift(self):
        # Offsets 0.5: the box 0..200 x 0..150 moves by half its size.
        self.assert_quadrants(self.clicked, (100, 75, 301, 226), QUADRANTS, "shifted")
        self.assertTrue(self.clicked.dark((0, 0, 800, 74)))
        self.assertTrue(self.clicked.dark((302, 0, 800, 600)))

    def test_escape_ends_the_program(self):
        self.assertEqual(self.exit_code, 0)


class BmpC(unittest.TestCase):
    def test_top_left_640_by_480_on_every_screen(self):
        exe = e2e.program("kelvado_bmpc.exe")
        for width, height in ((800, 600), (1024, 768)):
            work = os.path.join(e2e.OUT_DIR, f"BmpC-{width}x{height}")
            with e2e.session_in(work, width=width, height=height) as wine:
                write_media(wine, {"info24.bmp": pictures()["info24.bmp"]})
                proc = wine.run(exe)
                wid = wine.wait_window("Zam", timeout=60, proc=proc)
                p = wait_for(wine, os.path.join(work, "bmpc.png"),
                             lambda p: p.count((0, 0, 20, 20)) > 0)
                self.assertEqual(p.bounds((0, 0, width, height)), (0, 0, 639, 479))
                self.assertEqual(p.count((475, 355, 485, 365), near(WHITE)), 100)
                wine.key("Escape", wid)
                self.assertEqual(wine.wait_exit(proc, timeout=30), 0)


if __name__ == "__main__":
    e2e.main()
