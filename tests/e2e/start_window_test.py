"""kelvado.exe opens a black full-screen window titled Zam and ends with 0 on Esc and on F12.

While START fails (SetLogDir1 is not built yet), the script error box comes up during the main
window's creation, before the window is shown, and holds the focus until it is answered: then
Esc answers the box and ends the program, and the keys that only the main window handles are
checked once the script gets past START."""
import unittest

import e2e
from wine_harness import HarnessError, image_max_level, image_size

ERROR_BOX = "KELVADO.INI ERROR!"


class StartWindow(unittest.TestCase):
    def start(self, wine):
        """Runs the program; returns (process, main window or None, error box or None)."""
        proc = wine.run(e2e.program("kelvado.exe"))
        title = wine.wait_window(f"Zam|{ERROR_BOX}", timeout=60, proc=proc)
        box = wine.find_window(ERROR_BOX)
        return proc, (None if box else title), box

    def close_with(self, key):
        with e2e.session(self) as wine:
            proc, wid, box = self.start(wine)
            if box:
                if key != "Escape":
                    self.skipTest("the main window is never alone while START fails")
                wine.key(key, box)
                self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
                return
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
            proc, wid, box = self.start(wine)
            target = box or wid
            wine.key("a F11 Tab" if box else "Return a F11 Tab", target)
            with self.assertRaises(HarnessError):
                wine.wait_exit(proc, timeout=2)
            self.assertTrue(wine.find_window(ERROR_BOX if box else "Zam"))
            wine.key("Escape", target)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)


if __name__ == "__main__":
    e2e.main()
