"""kelvado.exe loads its built-in script and runs START at window creation; START sets the log
directory and jumps on through INIT_DATA and INIT_DATA_B to INIT_ADAPTER, which fails at its first line
while SetHostAdapter is not built. The script
error box (caption "KELVADO.INI ERROR!") shows over the main window, the program waits for it,
and once it is answered the program ends with exit code 0."""
import unittest

import e2e
from wine_harness import HarnessError, image_max_level

CAPTION = e2e.source_text("interp/script_error.h", "kScriptErrorCaption")


class ScriptError(unittest.TestCase):
    def test_start_failure_shows_the_error_box_then_ends(self):
        exe = e2e.program("kelvado.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe)
            box = wine.wait_window(CAPTION, timeout=60, proc=proc)
            self.assertTrue(wine.find_window("Zam"), "the box belongs to the shown main window")
            path = e2e.shot(self, wine, "error-box")
            self.assertGreater(image_max_level(path), 0.0, "the box is not on the screen")
            # The program waits for the answer.
            with self.assertRaises(HarnessError):
                wine.wait_exit(proc, timeout=2)
            self.assertTrue(wine.find_window(CAPTION))
            wine.key("Return", box)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
            self.assertIsNone(wine.find_window("Zam"))


if __name__ == "__main__":
    e2e.main()
