"""The whole transfer under Wine: kelvado.exe runs its built-in script against the card emulator,
with C: a made Windows 98 system drive on a size-limited mount and the card's drive E: a folder
whose volume serial follows the card's boot sector. Every dialog is screenshot (the partition and
copy dialogs also while their bars and texts move) and answered as a person would; afterwards the
card is judged with mtools and fsck.fat, and C: must be as it was.

Each failure path is a test of its own and ends in the false end dialog."""
import glob
import os
import shutil
import subprocess
import sys
import time
import unittest

import e2e

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "wine"))
import system_drive  # noqa: E402

OPENING = "Welcom Kelvado for ATA Card"
CHECK = "転送先ドライブのチェック"
PARTITION = "転送先ドライブパーティション作成"
CARD = "転送先ドライブの認識（カード初期化）"
COPY = "システム転送"
TRUE_END = "プログラムの終了"
FALSE_END = "Kelvado異常終了ダイアログ"
INFO, ERROR = "Kelvado Info", "Kelvado Error"
HELD = "WINDOWS/SYSTEM/USER.DAT"


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Transfer(unittest.TestCase):
    def setUp(self):
        self.exe = e2e.program("kelvado.exe")
        e2e.program("WNASPI32.DLL")
        self.work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.n = 0

    def start(self, wine, card_mib=None, env=None):
        """C:, a card (by default one that holds C:) and E:, then kelvado.exe; returns its process."""
        self.c_drive = os.path.join(self.work, "c-drive")
        self.addCleanup(system_drive.unmount, self.c_drive)
        mounted, used = system_drive.prepare(wine.prefix, self.c_drive)
        if not mounted:
            e2e.skip("no size-limited mount for C: on this machine (mount -t tmpfs)")
        self.before = system_drive.digest(self.c_drive, skip=os.path.join("data1", "log1"))
        card_mib = card_mib or system_drive.card_mib_for(used)
        self.image = os.path.join(self.work, "card.img")
        with open(self.image, "wb") as f:
            f.truncate(card_mib << 20)
        self.volume = os.path.join(self.work, "volume")
        self.addCleanup(system_drive.unmount, self.volume)
        system_drive.mount_card_volume(self.volume, card_mib)
        wine.map_drive("e", self.volume)
        full = {"CARDSIM_IMAGE": wine_path(self.image), "CARDSIM_VOLUME_DIR": wine_path(self.volume),
                "CARDSIM_VOLUME_DRIVE": "E"}
        full.update(env or {})
        return wine.run(self.exe, env=full)

    def shot(self, wine, name):
        self.n += 1
        return e2e.shot(self, wine, "%02d-%s" % (self.n, name))

    def answer(self, wine, proc, title, key="Return", name=None, timeout=120):
        wid = wine.wait_window(title, timeout=timeout, proc=proc)
        time.sleep(0.8)
        self.shot(wine, name or title)
        wine.key(key, wid)
        return wid

    def shots_while_running(self, wine, title, name):
        """Three screenshots while the dialog's worker runs."""
        for i in range(3):
            time.sleep(0.7)
            if wine.find_window(title):
                self.shot(wine, f"{name}-{i}")

    def until_end(self, wine, proc, end_title):
        self.answer(wine, proc, end_title, key="Escape" if end_title == TRUE_END else "Return")
        self.assertEqual(wine.wait_exit(proc, timeout=60), 0)

    def verdict(self, left_out=()):
        listing = os.path.join(self.work, "left-out.txt")
        with open(listing, "w") as f:
            f.write("\n".join(left_out))
        tool = os.path.join(os.environ.get("KELVADO_SOURCE_DIR", "."), "tools", "wine", "card_verdict.py")
        # The program's own dated files land in LogDir1 on C: after the copy, never on the card.
        return subprocess.run([sys.executable, tool, self.image, self.volume, self.c_drive,
                               "--left-out", listing, "--skip", os.path.join("data1", "log1")],
                              capture_output=True, text=True)

    def serial(self):
        with open(os.path.join(self.volume, ".windows-serial")) as f:
            return f.read().strip()

    def test_whole_transfer_with_a_held_file(self):
        with e2e.session(self) as wine:
            proc = self.start(wine)
            holder = wine.run(e2e.program("hold_file.exe"),
                              "C:\\" + HELD.replace("/", "\\"), stdout=subprocess.PIPE)
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            holder.stdout.close()
            self.answer(wine, proc, OPENING)
            self.answer(wine, proc, CHECK)
            self.answer(wine, proc, PARTITION)
            self.shots_while_running(wine, PARTITION, "partition-running")
            self.answer(wine, proc, CARD)
            self.answer(wine, proc, COPY)
            self.shots_while_running(wine, COPY, "copy-running")
            self.answer(wine, proc, INFO, name="left-out")  # one file of C: was left out
            self.until_end(wine, proc, TRUE_END)
        self.assertEqual(system_drive.digest(self.c_drive, skip=os.path.join("data1", "log1")),
                         self.before, "C: was written")
        self.assertNotEqual(self.serial(), "00000001")
        result = self.verdict([HELD])
        self.assertEqual(result.returncode, 0, result.stdout)
        # The card the wizard made, its files in place, as kelvado-card verify judges it.
        result = subprocess.run([os.environ["KELVADO_CARD"], "verify", self.image],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("verify: the card will boot the system it holds", result.stdout)
        # The list the box names lies where it says, in the built-in script's c:\data1\log1\.
        logs = glob.glob(os.path.join(self.c_drive, "data1", "log1", "*.log"))
        self.assertEqual(len(logs), 1, "one dated log of the files left out")
        with open(logs[0], "rb") as f:
            self.assertIn(("C:\\" + HELD.replace("/", "\\")).lower().encode(), f.read().lower())

    def test_write_fault_while_partitioning(self):
        with e2e.session(self) as wine:
            proc = self.start(wine, env={"CARDSIM_WRITE_FAIL": "300"})
            for title in (OPENING, CHECK, PARTITION):
                self.answer(wine, proc, title)
            self.answer(wine, proc, ERROR, name="write-fault")
            self.until_end(wine, proc, FALSE_END)
        self.assertFalse(os.path.exists(os.path.join(self.volume, ".windows-serial"))
                         and self.serial() == "00000001")

    def test_card_too_small_for_c(self):
        with e2e.session(self) as wine:
            proc = self.start(wine, card_mib=8)
            for title in (OPENING, CHECK, PARTITION, CARD, COPY):
                self.answer(wine, proc, title)
            self.answer(wine, proc, ERROR, name="too-small")
            self.until_end(wine, proc, FALSE_END)
        self.assertNotEqual(self.serial(), "00000001")

    def test_interrupt_of_the_copy(self):
        with e2e.session(self) as wine:
            proc = self.start(wine)
            for title in (OPENING, CHECK, PARTITION, CARD):
                self.answer(wine, proc, title)
            wid = wine.wait_window(COPY, timeout=120, proc=proc)
            time.sleep(0.8)
            wine.key("Escape", wid)  # the question, before コピー開始
            self.answer(wine, proc, INFO, name="interrupt-question")  # Yes is the default
            self.until_end(wine, proc, FALSE_END)
        self.assertNotEqual(self.serial(), "00000001")


if __name__ == "__main__":
    e2e.main()
