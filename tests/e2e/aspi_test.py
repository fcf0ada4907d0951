"""The device layer of kelvado.exe against the card emulator WNASPI32.DLL under Wine.

aspi_probe.exe runs the real AspiLoad, FindHostAdapter, DevInquiry, ReadCapacity, ReadSectors and
WriteSectors and prints each result; the tests compare them with the card image.
"""
import os
import shutil
import struct
import subprocess
import unittest

import e2e


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return "%08x" % value


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class AspiUnderWine(unittest.TestCase):
    def setUp(self):
        self.exe = e2e.program("aspi_probe.exe")
        e2e.program("WNASPI32.DLL")
        self.work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        os.makedirs(self.work, exist_ok=True)
        self.image = os.path.join(self.work, "card.img")
        with open(self.image, "wb") as f:
            f.truncate(4096 * 512)

    def probe(self, wine, *args, env=None, exe=None, wait=True):
        """Runs the probe with the card image; its output lines (or the process when not wait)."""
        full_env = {"CARDSIM_IMAGE": wine_path(self.image)}
        full_env.update(env or {})
        out_path = os.path.join(self.work, "probe-%d.txt" % len(wine.programs))
        with open(out_path, "wb") as out:
            proc = wine.run(exe or self.exe, *args, env=full_env, stdout=out,
                            stderr=subprocess.STDOUT)
        proc.out_path = out_path
        if not wait:
            return proc
        self.assertEqual(wine.wait_exit(proc, timeout=60), 0)
        return self.lines(proc)

    def lines(self, proc):
        with open(proc.out_path) as f:
            return [line.rstrip("\r\n") for line in f if not line.startswith("cardsim:")]

    def image_bytes(self, lba, count):
        with open(self.image, "rb") as f:
            f.seek(lba * 512)
            return f.read(count * 512)

    def test_steps_find_the_card_and_move_its_sectors(self):
        with open(self.image, "r+b") as f:
            f.seek(100 * 512)
            f.write(bytes(range(256)) * 4)
        written = bytes((9 + 7 * i) & 0xFF for i in range(3 * 512))
        with e2e.session(self) as wine:
            out = self.probe(wine, "read", "100", "2", "write", "4093", "3", "9", "read", "4093", "3",
                             "read", "4095", "2", env={"CARDSIM_ADAPTERS": "NJATA95,aha2940,njata95",
                                                       "CARDSIM_CARD_ADAPTER": "2"})
        self.assertEqual(out, [
            "load 0",
            "adapters 3",
            "find 1 2",
            "device 0 MOVANTA ATA CARD        ",
            "capacity 0 4095",
            "read 100 2 0 " + fnv1a(bytes(range(256)) * 4),
            "write 4093 3 0",
            "read 4093 3 0 " + fnv1a(written),
            "read 4095 2 -1 " + fnv1a(bytes(1024)),
            "unloaded",
        ])
        self.assertEqual(self.image_bytes(4093, 3), written)

    def test_load_failures(self):
        alone = os.path.join(self.work, "alone")
        os.makedirs(alone, exist_ok=True)
        lonely_exe = shutil.copy(self.exe, alone)
        cases = [
            ({}, lonely_exe, "load 504"),  # no WNASPI32.DLL next to the program
            ({"CARDSIM_LOAD_FAILS": "1"}, None, "load 504"),
            ({"CARDSIM_MISSING_ENTRY": "GetASPI32SupportInfo"}, None, "load 501"),
            ({"CARDSIM_MISSING_ENTRY": "SendASPI32Command"}, None, "load 501"),
            ({"CARDSIM_SUPPORT_STATUS": "E8"}, None, "load 502"),
            ({"CARDSIM_SUPPORT_RAISES": "1"}, None, "load 503"),  # caught by the exception guard
        ]
        with e2e.session(self) as wine:
            for env, exe, expected in cases:
                with self.subTest(env=env, exe=exe):
                    self.assertEqual(self.probe(wine, env=env, exe=exe), [expected])

    def test_adapter_missing_or_device_silent(self):
        with e2e.session(self) as wine:
            self.assertEqual(self.probe(wine, env={"CARDSIM_ADAPTERS": ""}),
                             ["load 0", "adapters 0", "find 0 -1", "unloaded"])
            out = self.probe(wine, "--wait", "300", env={"CARDSIM_INQUIRY": "hang",
                                                         "CARDSIM_CAPACITY": "fail"})
            self.assertEqual(out[3:5], ["device 301 ", "capacity 302 0"])

    def test_write_timing_out_with_a_failed_abort_shows_the_box(self):
        with e2e.session(self) as wine:
            proc = self.probe(wine, "--wait", "500", "write", "7", "1", "1", "read", "8", "1",
                              env={"CARDSIM_WRITE_HANG": "7", "CARDSIM_ABORT": "fail"}, wait=False)
            box = wine.wait_window("Kelvado Error", timeout=60, proc=proc)
            e2e.shot(self, wine, "abort-failed")
            wine.key("Return", box)
            self.assertEqual(wine.wait_exit(proc, timeout=60), 0)
            out = self.lines(proc)
        self.assertEqual(out[5:], ["write 7 1 -1", "read 8 1 0 " + fnv1a(bytes(512)), "unloaded"])
        self.assertEqual(self.image_bytes(7, 1), bytes(512))

    def test_volume_serial_of_the_inserted_card(self):
        volume = os.path.join(self.work, "volume")
        os.makedirs(volume, exist_ok=True)
        with open(self.image, "r+b") as f:
            mbr = bytearray(512)
            mbr[446 + 4] = 0x06
            mbr[446 + 8:446 + 12] = struct.pack("<I", 63)
            mbr[510:512] = b"\x55\xaa"
            f.write(mbr)
            boot = bytearray(512)
            boot[39:43] = struct.pack("<I", 0x00000001)
            boot[510:512] = b"\x55\xaa"
            f.seek(63 * 512)
            f.write(boot)
        with e2e.session(self) as wine:
            wine.map_drive("e", volume, serial=0x12345678)
            self.probe(wine, env={"CARDSIM_VOLUME_DIR": wine_path(volume),
                                  "CARDSIM_VOLUME_DRIVE": "E"})
            # The system itself now reports the card's serial for E:, as after a reinsertion.
            out_path = os.path.join(self.work, "drives.txt")
            with open(out_path, "wb") as out:
                proc = wine.run(e2e.program("drive_probe.exe"), "C:\\", "E:\\", "00000001",
                                stdout=out, stderr=subprocess.STDOUT)
                self.assertEqual(wine.wait_exit(proc, timeout=120), 0)
        with open(os.path.join(volume, ".windows-serial")) as f:
            self.assertEqual(f.read(), "00000001\n")
        with open(out_path, "rb") as f:
            drives = f.read().decode("cp932")
        self.assertIn("find 1 E:\\", drives)
        self.assertRegex(drives, r"target 0 type=3 serial=00000001 ")


if __name__ == "__main__":
    e2e.main()
