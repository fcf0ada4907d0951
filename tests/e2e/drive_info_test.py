"""Drive information under Wine (drive_probe.exe): the system classified as Windows 98 with FAT32,
the drives' volumes and space, the 64-bit space figures that GetDiskFreeSpaceExA gives where the
32-bit cluster figures stop, and the card's drive found by its serial: the lowest fixed drive
that has it, never a CD-ROM."""
import os
import subprocess
import unittest

import e2e


class DriveInfo(unittest.TestCase):
    def test_drives_as_the_system_reports_them(self):
        exe = e2e.program("drive_probe.exe")
        work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        folders = {letter: os.path.join(work, letter) for letter in "defg"}
        for folder in folders.values():
            os.makedirs(folder, exist_ok=True)
        out_path = os.path.join(work, "probe.txt")
        with e2e.session(self) as wine:
            wine.map_drive("d", folders["d"], kind="cdrom", serial=1)
            wine.map_drive("e", folders["e"], serial=0xCAFE)
            wine.map_drive("f", folders["f"], serial=1, label="CARD")
            wine.map_drive("g", folders["g"], serial=1)
            with open(out_path, "wb") as out:
                proc = wine.run(exe, "C:\\", "F:\\", "00000001", stdout=out,
                                stderr=subprocess.STDOUT)
            self.assertEqual(wine.wait_exit(proc, timeout=120), 0)
        with open(out_path, "rb") as f:
            lines = [l.decode("cp932").rstrip("\r\n") for l in f if not l.startswith(b"cardsim")]
        fields = {l.split(" ", 1)[0]: l.split(" ", 1)[1] for l in lines}
        self.assertRegex(fields["os"], r"^0 Windows 98\|4\.10 \(Build \d+\) fat32=1$")
        source = dict(kv.split("=", 1) for kv in fields["source"].split(" ")[1:])
        self.assertTrue(fields["source"].startswith("0 "), fields["source"])
        self.assertEqual(source["type"], "3")
        spc, bps, free_clusters, total_clusters = (int(n) for n in source["clusters"].split(","))
        free_bytes, total_bytes = (int(n) for n in source["bytes"].split(","))
        disk = os.statvfs(work)
        self.assertAlmostEqual(total_bytes, disk.f_blocks * disk.f_frsize, delta=total_bytes // 100)
        # The cluster figures are what GetDiskFreeSpaceA reports; the byte counts come from
        # GetDiskFreeSpaceExA, not from them (on a host disk over 4 GiB they differ).
        self.assertGreaterEqual(total_bytes, total_clusters * spc * bps)
        self.assertTrue(fields["target"].startswith("0 "), fields["target"])
        self.assertIn("serial=00000001", fields["target"])
        self.assertIn("label=CARD", fields["target"])
        # Both drives are folders of the same host disk: what C: uses fits into what F: has free
        # only while the disk is less than half full. The check must answer that way round.
        target = dict(kv.split("=", 1) for kv in fields["target"].split(" ")[1:])
        target_free = int(target["bytes"].split(",")[0])
        fits = target_free > total_bytes - free_bytes
        self.assertEqual(fields["space"], "0" if fits else "104",
                         f"{target_free} bytes free on F: for {total_bytes - free_bytes} used on C:")
        self.assertEqual(fields["find"], "1 F:\\")


if __name__ == "__main__":
    e2e.main()
