"""A program around a script that sets the log directory and stays idle (kelvado_idle.exe) opens
a black full-screen window titled Zam and ends with 0 on Esc and on F12; other keys do not end it."""
import unittest

import e2e
from wine_harness import HarnessError, image_max_level, image_size

ERROR_BOX = e2e.source_text("interp/script_error.h", "kScriptErrorCaption")


class StartWindow(unittest.TestCase):
    def setUp(self):
        self.exe = e2e.program("kelvado_idle.exe")

    def start(self, wine):
        """Runs the program; returns (process, main window)."""
        proc = wine.run(self.exe)
        return proc, wine.wait_window("Zam", timeout=60, proc=proc)

    def close_with(self, key):
        with e2e.session(self) as wine:
            proc, wid = self.start(wine)
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
        with e2e.session(self) as wine:
            proc, wid = self.start(wine)
            wine.key("Return a F11 Tab", wid)
            with self.assertRaises(HarnessError):
                wine.wait_exit(proc, timeout=2)
            self.assertTrue(wine.find_window("Zam"))
            wine.key("Escape", wid)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)


if __name__ == "__main__":
    e2e.main()
