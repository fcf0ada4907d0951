"""A script error shows its box (caption "KELVADO.INI ERROR!") over the shown main window; the
program waits for the answer and then ends with exit code 0, whether the box is answered with
Return or with Esc (Esc goes to the box, which holds the focus, not to the main window).

The program is kelvado_script_error.exe, kelvado.exe around tests/e2e/scripts/script_error.ini:
START runs at window creation and jumps on to a section that fails at its second line."""
import unittest

import e2e
from wine_harness import HarnessError, image_max_level

CAPTION = e2e.source_text("interp/script_error.h", "kScriptErrorCaption")


class ScriptError(unittest.TestCase):
    def answer_with(self, key):
        exe = e2e.program("kelvado_script_error.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe)
            wid = wine.wait_window("Zam", timeout=60, proc=proc)
            box = wine.wait_window(CAPTION, timeout=60, proc=proc)
            self.assertEqual(wine.geometry(wid), (0, 0, wine.width, wine.height))
            path = e2e.shot(self, wine, "error-box")
            self.assertGreater(image_max_level(path), 0.0, "the box is not on the screen")
            # The program waits for the answer.
            with self.assertRaises(HarnessError):
                wine.wait_exit(proc, timeout=2)
            self.assertTrue(wine.find_window(CAPTION))
            wine.key(key, box)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
            self.assertIsNone(wine.find_window("Zam"))

    def test_answered_with_return(self):
        self.answer_with("Return")

    def test_answered_with_escape(self):
        self.answer_with("Escape")


if __name__ == "__main__":
    e2e.main()
