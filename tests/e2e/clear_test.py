"""ClrMainWin and DoClr (scripts/clear.ini), one step per click: ClrMainWin keeps the window black
although texts are appended and refreshed; DoClr empties the lists, so only what is drawn after
it shows; a DoClr with nothing drawn after it leaves the window's picture as it was."""
import unittest

import e2e
from pixels import wait_for

BEFORE, HIDDEN, AFTER = (0, 60, 800, 121), (0, 240, 800, 301), (0, 420, 800, 481)


class Clear(unittest.TestCase):
    def test_clrmainwin_then_doclr_then_doclr_alone(self):
        exe = e2e.program("kelvado_clear.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe)
            wid = wine.wait_window("Zam", timeout=60, proc=proc)

            # Each click lands somewhere else: the harness waits for the pointer to move.
            def step(name, condition):
                path = e2e.shot(self, wine, name)
                return wait_for(wine, path, condition)

            p = step("1-before", lambda p: p.count(BEFORE) > 0)
            self.assertGreater(p.count(BEFORE), 0, "START's text is drawn")

            wine.click(410, 550)
            p = step("2-cleared", lambda p: p.count(BEFORE) == 0)
            self.assertTrue(p.dark((0, 0, 800, 600)), "ClrMainWin: all black")

            wine.click(420, 550)
            p = step("3-after-doclr", lambda p: p.count(AFTER) > 0)
            self.assertGreater(p.count(AFTER), 0)
            self.assertTrue(p.dark(BEFORE), "DoClr emptied the list")
            self.assertTrue(p.dark(HIDDEN), "DoClr emptied the list")

            # The last step's DoClr draws nothing: the window keeps its picture.
            wine.click(430, 550)
            p = wait_for(wine, e2e.shot(self, wine, "4-doclr-alone"), lambda p: False, 1.5)
            self.assertGreater(p.count(AFTER), 0)
            wine.key("Escape", wid)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)


if __name__ == "__main__":
    e2e.main()
