#!/usr/bin/env python3
"""The Windows release's readme.txt, opened as the person at the machine opens it: in Notepad, on
a 640 x 480 screen, in a Japanese system.

The readme is taken out of the release zip (KELVADO_RELEASE_ZIP, made by `make release` from
the i686 build) into C:\\KELVADO, and Notepad opens it with the font a Japanese Windows 98 gives
it (ＭＳ ゴシック, the Shift-JIS character set) in a window as large as the screen. Screenshots of
its first and last page are left in build/native/e2e/out/Readme.*/; everything Notepad holds,
selected and copied to the clipboard, must be the readme's text as code page 932 reads it.
"""
import os
import subprocess
import time
import unittest
import zipfile

import e2e

ZIP = os.environ.get("KELVADO_RELEASE_ZIP", "")
NOTEPAD_KEY = r"HKCU\Software\Microsoft\Notepad"


class Readme(unittest.TestCase):
    def test_readme_in_notepad(self):
        if not ZIP:
            e2e.skip("no i686 build given (KELVADO_WIN32_DIR): the release is made from it")
        if not os.path.isfile(ZIP):
            self.fail(f"{ZIP} is missing (make release): a release that is not made fails")
        with zipfile.ZipFile(ZIP) as archive:
            names = [n for n in archive.namelist() if n.endswith("/readme.txt")]
            self.assertEqual(len(names), 1, archive.namelist())
            data = archive.read(names[0])
        work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        with e2e.session_in(work, width=640, height=480) as wine:
            folder = os.path.join(wine.prefix, "drive_c", "KELVADO")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "README.TXT"), "wb") as f:
                f.write(data)
            wine.set_registry(NOTEPAD_KEY, "lfFaceName", "ＭＳ ゴシック")
            wine.set_registry(NOTEPAD_KEY, "lfCharSet", "128", "REG_DWORD")  # SHIFTJIS_CHARSET
            wine.set_registry(NOTEPAD_KEY, "iPointSize", "100", "REG_DWORD")
            for name, value in (("iWindowPosX", 0), ("iWindowPosY", 0),
                                ("iWindowPosDX", 640), ("iWindowPosDY", 480)):
                wine.set_registry(NOTEPAD_KEY, name, str(value), "REG_DWORD")

            notepad = wine.run("notepad", r"C:\KELVADO\README.TXT")
            wid = wine.wait_window(r"(?i)readme\.txt - .+", timeout=60, proc=notepad)
            time.sleep(2)
            e2e.shot(self, wine, "1-readme-first-page")
            wine.key("ctrl+End", wid)
            time.sleep(1)
            e2e.shot(self, wine, "2-readme-last-page")

            wine.key("ctrl+a ctrl+c", wid)
            time.sleep(2)
            copied = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=wine.env(),
                                    capture_output=True, timeout=30)
            self.assertEqual(copied.returncode, 0, copied.stderr)
            # X hands the text over with line feeds for Windows' CR LF.
            self.assertEqual(copied.stdout.decode("utf-8"),
                             data.decode("cp932").replace("\r\n", "\n"),
                             "Notepad does not hold the readme as code page 932 reads it")
            first_page = os.path.join(work, "1-readme-first-page.png")
            self.assertGreater(e2e.wine_harness.image_max_level(first_page), 0.0)


if __name__ == "__main__":
    e2e.main()
