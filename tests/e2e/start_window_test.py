"""kelvado.exe opens a black full-screen window titled Zam and ends with 0 on Esc and on F12."""
import unittest

import e2e
from wine_harness import HarnessError, image_max_level, image_size


class StartWindow(unittest.TestCase):
    def close_with(self, key):
        exe = e2e.program("kelvado.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe)
            wid = wine.wait_window("Zam", timeout=60, proc=proc)
            self.assertEqual(wine.geometry(wid), (0, 0, wine.width, wine.height))
            path = e2e.shot(self, wine, "window")
            self.assertEqual(image_size(path), (wine.width, wine.height))
            self.assertEqual(image_max_level(path), 0.0, "the window is not black")
            wine.key(key, wid)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)

    def test_escape_closes(self):
        self.close_with("Escape")

    def test_f12_closes(self):
        self.close_with("F12")

    def test_other_keys_do_not_close(self):
        exe = e2e.program("kelvado.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe)
            wid = wine.wait_window("Zam", timeout=60, proc=proc)
            wine.key("Return a F11 Tab", wid)
            with self.assertRaises(HarnessError):
                wine.wait_exit(proc, timeout=2)
            self.assertTrue(wine.find_window("Zam"))
            wine.key("Escape", wid)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)


if __name__ == "__main__":
    e2e.main()
