"""The adapter commands under Wine with the card emulator WNASPI32.DLL.

kelvado.exe's built-in script gets through INIT_ADAPTER against the emulator without an error box
and reaches its first StartDialog. kelvado_adapter.exe runs the same lines and writes InitAdapter's
result into the dated log (scripts/adapter.ini): 1 with the card, -1 with the box of the library
that does not load or of the missing host adapter, after which EXIT_PROGRAM runs. PCMCIAFlags is
written only where its key exists, and read back with Wine's own `reg query`."""
import glob
import os
import re
import shutil
import time
import unittest

import e2e
from wine_harness import image_max_level

SYSTRAY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Applets\SysTray"
ERROR_BOX = "Kelvado Error"
OPENING = "Welcom Kelvado for ATA Card"
SCRIPT_ERROR = "KELVADO.INI ERROR!"


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Adapter(unittest.TestCase):
    def setUp(self):
        self.work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        os.makedirs(self.work, exist_ok=True)
        self.image = os.path.join(self.work, "card.img")
        with open(self.image, "wb") as f:
            f.truncate(64 * 1024 * 1024)

    def card_env(self, **extra):
        env = {"CARDSIM_IMAGE": wine_path(self.image)}
        env.update(extra)
        return env

    def logged_counts(self, wine, expected, timeout=60):
        """The counts of the dated log's Logging lines, once there are `expected` of them."""
        deadline = time.monotonic() + timeout
        counts = []
        while time.monotonic() < deadline:
            counts = []
            for name in sorted(glob.glob(os.path.join(wine.prefix, "drive_c", "kelvado-log", "*.log"))):
                with open(name, "rb") as f:
                    text = f.read().decode("cp932")
                counts += [int(n) for n in re.findall(r"分割数 -> *(-?\d+)", text)]
            if len(counts) >= expected:
                return counts
            time.sleep(0.3)
        self.fail(f"the log holds {counts}, not {expected} Logging lines")

    def test_builtin_script_passes_init_adapter_and_reaches_start_dialog(self):
        exe = e2e.program("kelvado.exe")
        e2e.program("WNASPI32.DLL")
        with e2e.session(self) as wine:
            proc = wine.run(exe, env=self.card_env())
            # The first window after the main window is StartDialog's: its opening dialog, or
            # while the dialogs are not built, the script error box that names StartDialog.
            wid = wine.wait_window(f"({OPENING}|{SCRIPT_ERROR}|{ERROR_BOX})", timeout=60, proc=proc)
            path = e2e.shot(self, wine, "first-dialog")
            self.assertIsNone(wine.find_window(ERROR_BOX), "InitAdapter failed")
            self.assertGreater(image_max_level(path), 0.0)
            wine.key("Escape", wid)
            main = wine.find_window("Zam")
            if main:
                wine.key("Escape", main)
            wine.wait_exit(proc, timeout=30)

    def test_init_adapter_result_and_its_failure_boxes(self):
        exe = e2e.program("kelvado_adapter.exe")
        e2e.program("WNASPI32.DLL")
        alone = os.path.join(self.work, "alone")
        os.makedirs(alone, exist_ok=True)
        lonely = shutil.copy(exe, alone)
        cases = [
            ("card", exe, self.card_env(), None, [1]),
            ("no-library", lonely, {}, "no-library", [-1, 99]),
            ("no-adapter", exe, self.card_env(CARDSIM_ADAPTERS="aha2940"), "no-adapter", [-1, 99]),
        ]
        for name, program, env, box_shot, counts in cases:
            with self.subTest(name), e2e.session(self) as wine:
                proc = wine.run(program, env=env)
                if box_shot:
                    # START runs while the main window is being created, so the box comes
                    # before the main window is shown.
                    box = wine.wait_window(ERROR_BOX, timeout=60, proc=proc)
                    path = e2e.shot(self, wine, box_shot)
                    self.assertGreater(image_max_level(path), 0.0)
                    wine.key("Return", box)
                main = wine.wait_window("Zam", timeout=60, proc=proc)
                self.assertEqual(self.logged_counts(wine, len(counts)), counts)
                self.assertIsNone(wine.find_window(ERROR_BOX))
                wine.key("Escape", main)
                self.assertEqual(wine.wait_exit(proc, timeout=30), 0)

    def test_pcmcia_flags_written_only_where_the_key_exists(self):
        exe = e2e.program("kelvado_adapter.exe")
        with e2e.session(self) as wine:
            proc = wine.run(exe, env=self.card_env())
            main = wine.wait_window("Zam", timeout=60, proc=proc)
            self.logged_counts(wine, 1)
            self.assertIsNone(wine.query_registry(SYSTRAY, "PCMCIAFlags"))
            self.assertEqual(wine.wine_command(wine.loader, "reg", "query", SYSTRAY), 1,
                             "the key was created")
            wine.key("Escape", main)
            wine.wait_exit(proc, timeout=30)

            wine.add_registry_key(SYSTRAY)
            wine.set_registry(SYSTRAY, "PCMCIAFlags", "7", kind="REG_DWORD")
            proc = wine.run(exe, env=self.card_env())
            main = wine.wait_window("Zam", timeout=60, proc=proc)
            self.logged_counts(wine, 2)
            self.assertEqual(wine.query_registry(SYSTRAY, "PCMCIAFlags"), "0x1")
            wine.key("Escape", main)
            wine.wait_exit(proc, timeout=30)

            # The exit section switches it back to 0.
            proc = wine.run(exe, env=self.card_env(CARDSIM_ADAPTERS=""))
            box = wine.wait_window(ERROR_BOX, timeout=60, proc=proc)
            wine.key("Return", box)
            # One dated log for the day: the two runs before wrote a line each.
            self.assertEqual(self.logged_counts(wine, 4), [1, 1, -1, 99])
            self.assertEqual(wine.query_registry(SYSTRAY, "PCMCIAFlags"), "0x0")
            wine.key("Escape", wine.find_window("Zam"))
            wine.wait_exit(proc, timeout=30)


if __name__ == "__main__":
    e2e.main()
