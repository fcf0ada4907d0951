"""The debug window and the dated files (scripts/debug.ini).

The script opens the debug window with DebugStart, writes two Logging lines and draws a text,
closes it with DebugEnd and then waits in a loop. Space opens the debug window over the main
window's top left corner with the line being executed; Space sent to the debug window comes back
to the main window and closes it. The ".deb" file of the day holds every line executed while the
window was open, the ".log" file the two Logging lines with their padded texts."""
import glob
import os
import re
import unittest

import e2e
from pixels import near, wait_for

TEXT = (0, 240, 800, 301)      # the script's text
STRIP = (0, 0, 640, 21)        # where the debug window shows
INSIDE = (4, 4, 636, 17)       # inside its frame
WHITE = (255, 255, 255)
LOOP = [b"WaitSet,300(14):", b"Wait(15):", b'Goto,"LOOP"(16):']


class DebugWindow(unittest.TestCase):
    def debug_window(self, wine, main):
        """Id of the visible 640 x 21 window at the top left, or None."""
        out = wine.xdotool("search", "--onlyvisible", "--class", ".", check=False)
        for wid in out.split():
            if wid != main and wine.geometry(wid) == (0, 0, 640, 21):
                return wid
        return None

    def dated_file(self, wine, extension):
        """The bytes of the dated files with this extension (one a day), oldest first."""
        folder = os.path.join(wine.prefix, "drive_c", "kelvado-log")
        names = sorted(glob.glob(os.path.join(folder, "*" + extension)))
        self.assertTrue(names, f"no {extension} file in {folder}")
        for name in names:
            self.assertRegex(os.path.basename(name), r"^\d{8}\." + extension[1:] + "$")
        data = b""
        for name in names:
            with open(name, "rb") as f:
                data += f.read()
        return data

    def test_space_toggles_the_window_and_the_files_record_the_lines(self):
        exe = e2e.program("kelvado_debug.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe)
            main = wine.wait_window("Zam", timeout=60, proc=proc)
            p = wait_for(wine, e2e.shot(self, wine, "1-closed"), lambda p: p.count(TEXT) > 0)
            self.assertTrue(p.dark(STRIP), "DebugEnd closed the debug window")
            self.assertIsNone(self.debug_window(wine, main))

            wine.key("space", main)
            p = wait_for(wine, e2e.shot(self, wine, "2-open"),
                         lambda p: p.count(INSIDE, near(WHITE, 80)) > 0)
            self.assertGreater(p.count(INSIDE, near(WHITE, 80)), 20, "the line shows in white")
            debug = self.debug_window(wine, main)
            self.assertIsNotNone(debug, "a 640 x 21 window at the top left")

            wine.key("space", debug)
            p = wait_for(wine, e2e.shot(self, wine, "3-closed-again"),
                         lambda p: p.dark(STRIP))
            self.assertTrue(p.dark(STRIP), "Space from the debug window closed it")
            self.assertIsNone(self.debug_window(wine, main))
            self.assertGreater(p.count(TEXT), 0, "the main window is painted again")

            wine.key("Escape", main)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
            deb = self.dated_file(wine, ".deb").split(b"\n")
            log = self.dated_file(wine, ".log")

        self.assertEqual(deb[-1], b"", "every line ends with a line feed")
        deb = deb[:-1]
        # DebugStart to DebugEnd: the lines in between, DebugEnd itself not (it closed the window).
        self.assertEqual(deb[:4], [b"DebugStart(6):", b"Logging,3,-1,-1(7):", b"Logging,12,7,42(8):",
                                   'StrC,"デバッグ",0.0,0.4,1.0,0.5,255,255,255,"標準ゴシック",7(9):'
                                   .encode("cp932")])
        # Then, while Space kept the window open, every line of the loop, each retry of the
        # suspended Wait included: WaitSet, four times Wait (300 ms), Goto.
        loop = deb[4:]
        self.assertTrue(loop, "nothing recorded while Space kept the window open")
        self.assertTrue(all(line in LOOP for line in loop), loop)
        cycles = b" ".join(loop).split(LOOP[2])
        for cycle in cycles[1:-1]:
            self.assertEqual(cycle.split(), [LOOP[0]] + [LOOP[1]] * 4)

        day = r"\d{4}年\d{2}月\d{2}日 \d{2}時\d{2}分\d{2}秒 分割数 -> "
        lines = log.decode("cp932").split("\n")
        self.assertEqual(len(lines), 3)
        self.assertRegex(lines[0], "^" + day + " 3 背景選択なし      フレーム選択なし $")
        self.assertRegex(lines[1], "^" + day + "12 BG_KEY_NO -> 0007 FR_KEY_NO -> 0042$")
        self.assertEqual(lines[2], "")


if __name__ == "__main__":
    e2e.main()
