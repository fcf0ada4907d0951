#!/usr/bin/env python3
"""kelvado-card verify: cards that boot the system they hold, and cards broken one way at a time,
each refused with its reason; fsck.fat -n agrees wherever both judge the FATs, and no card is
ever written.

A made Windows 98 system (IO.SYS and MSDOS.SYS hidden and system, COMMAND.COM, MSDOS.SYS naming
C:\\WINDOWS) goes onto a FAT16 and a FAT32 card with kelvado-card transfer; copies of them are
then broken: a second active partition, FATs that differ, a chain that loops, a lost cluster,
the marker serial, IO.SYS deleted, the FAT32 backup boot record and free count changed, a card
cut short; and a card made by mkfs.fat and sfdisk, whose boot code loads no IO.SYS.

usage: card_verify_test.py KELVADO_CARD
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
from card_checks import MIB, check, outcome, system_folder  # noqa: E402

KELVADO_CARD = sys.argv[1]
ENV = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")
START = 63 * 512  # where kelvado-card puts the partition
# What fsck.fat says of every FAT16 card the engine formats: its boot sector's blank label.
LABEL_NOTE = ["Label '' stored in boot sector is not valid.", "  Auto-removing label from boot sector."]


def run(*args):
    r = subprocess.run([str(a) for a in args], capture_output=True, env=ENV)
    return r.returncode, r.stdout.decode("utf-8", "replace") + r.stderr.decode("utf-8", "replace")


def verify(card, *more):
    before = digest(card)
    code, out = run(KELVADO_CARD, "verify", card, *more)
    check(digest(card) == before, "verify wrote %s" % card)
    return code, out


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def fsck_faults(card, start=START):
    """What fsck.fat -n finds wrong with the card's volume, beyond the engine's blank label."""
    part = card + ".part"
    with open(card, "rb") as src, open(part, "wb") as dst:
        src.seek(start)
        shutil.copyfileobj(src, dst, 1 << 22)
    code, out = run("fsck.fat", "-n", part)
    os.remove(part)
    lines = [l for l in out.splitlines()[1:] if l.strip() and not l.startswith(("Checking", "Leaving"))
             and " files, " not in l and l not in LABEL_NOTE]
    return lines if code != 0 or lines else []


class Card:
    """A copy of a good card, its fields read, to be broken."""

    def __init__(self, good, path):
        shutil.copyfile(good, path)
        self.path = path
        with open(path, "rb") as f:
            self.data = bytearray(f.read())
        b = START
        self.reserved = self.u16(b + 14)
        self.fats = self.data[b + 16]
        self.fat_size = self.u16(b + 22) or self.u32(b + 36)
        self.fat32 = self.u16(b + 22) == 0
        self.fat = [b + (self.reserved + k * self.fat_size) * 512 for k in range(self.fats)]
        self.root = b + (self.reserved + self.fats * self.fat_size) * 512

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def put(self, fmt, at, value):
        struct.pack_into(fmt, self.data, at, value)

    def set_fat(self, cluster, value):
        for start in self.fat:
            self.put("<H", start + 2 * cluster, value)

    def first_cluster(self, name):
        for at in range(self.root, self.root + 512 * 32, 32):
            if self.data[at:at + 11] == name:
                return self.u16(at + 26)
        raise RuntimeError("%s not in the root" % name)

    def save(self):
        with open(self.path, "wb") as f:
            f.write(self.data)
        return self.path


def expect_bad(name, card, words, fat_sound=None):
    code, out = verify(card)
    check(code == 1 and "verify: the card will not boot the system it holds" in out and words in out,
          "%s: exit %d, wanted %r:\n%s" % (name, code, words, out))
    if fat_sound is not None:
        fat_line = [l for l in out.splitlines() if l.startswith("fat: ")]
        faults = fsck_faults(card)
        check(bool(fat_line) and fat_line[0].startswith("fat: ok") == fat_sound == (not faults),
              "%s: verify and fsck.fat disagree: %s / %s" % (name, fat_line, faults))
    print("ok: %s - %s" % (name, [l for l in out.splitlines() if "BAD" in l][:1]))


def main():
    for tool in ("fsck.fat", "mkfs.fat", "mdel", "mattrib", "sfdisk"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return 1
    with tempfile.TemporaryDirectory(prefix="kelvado-verify-") as work:
        folder = os.path.join(work, "C")
        system_folder(folder)
        good16, good32 = os.path.join(work, "good16.img"), os.path.join(work, "good32.img")
        for card, args in ((good16, ["--size", "64"]), (good32, ["--size", "300", "--fat32"])):
            code, out = run(KELVADO_CARD, "transfer", folder, card, *args)
            check(code == 0, "transfer onto %s: %s" % (card, out[-400:]))
            code, out = verify(card, "--against", folder)
            check(code == 0 and out.count(": ok: ") == 5 and
                  "\nverify: the card will boot the system it holds\n" in out,
                  "a good card: exit %d\n%s" % (code, out))
            check(fsck_faults(card) == [], "fsck.fat on a good card: %s" % fsck_faults(card))
        print("ok: good FAT16 and FAT32 cards, and --against their source")

        # The source changed since: the comparison names what differs.
        with open(os.path.join(folder, "WINDOWS", "WIN.INI"), "ab") as f:
            f.write(b"x")
        code, out = verify(good16, "--against", folder)
        check(code == 1 and "differs: WINDOWS\\WIN.INI: 11 bytes on the card, 12 in the source" in out and
              "against: BAD: 2 differences" in out,
              "a changed source: %s" % out)

        c = Card(good16, os.path.join(work, "active.img"))
        c.data[446 + 16:446 + 32] = bytes([0x80, 0, 1, 0, 0x06, 0, 1, 0]) + struct.pack("<II", 1, 1)
        expect_bad("a second active partition", c.save(), "partitions 1 and 2 are active")

        c = Card(good16, os.path.join(work, "fats.img"))
        c.data[c.fat[1] + 2 * 40] ^= 0xFF
        expect_bad("FATs that differ", c.save(), "FAT 2 differs from FAT 1 from cluster 40", False)

        c = Card(good16, os.path.join(work, "loop.img"))
        first = c.first_cluster(b"COMMAND COM")
        c.set_fat(first, first)
        expect_bad("a chain that loops", c.save(), "COMMAND.COM: cluster %d is reached twice" % first,
                   False)

        c = Card(good16, os.path.join(work, "lost.img"))
        c.set_fat(30000, 0xFFFF)
        expect_bad("a lost cluster", c.save(), "1 lost cluster", False)

        c = Card(good16, os.path.join(work, "marker.img"))
        c.put("<I", START + 39, 1)
        expect_bad("the marker serial", c.save(), "the marker 0000-0001", True)

        c = Card(good16, os.path.join(work, "noio.img"))
        c.save()
        drive = "%s@@%d" % (c.path, START)
        run("mattrib", "-i", drive, "-r", "-s", "-h", "::/IO.SYS")
        code, out = run("mdel", "-i", drive, "::/IO.SYS")
        check(code == 0, "mdel: %s" % out)
        expect_bad("IO.SYS deleted", c.path, "IO.SYS is missing from the root", True)

        c = Card(good32, os.path.join(work, "backup.img"))
        c.data[START + 6 * 512 + 3] ^= 0x20  # the backup's OEM name
        expect_bad("a FAT32 backup boot record that differs", c.save(),
                   "the backup boot record (sector 6) differs")
        c = Card(good32, os.path.join(work, "free.img"))
        c.put("<I", START + 512 + 488, c.u32(START + 512 + 488) - 5)
        expect_bad("a FAT32 free count that is wrong", c.save(), "FSInfo counts", False)

        c = Card(good16, os.path.join(work, "short.img"))
        c.data = c.data[:40 * MIB]
        expect_bad("a card cut short", c.save(), "does not lie within the card's 81920 sectors")

        # A card made by other tools: a partition table without boot code, a boot sector whose
        # code only says it is not bootable.
        other = os.path.join(work, "other.img")
        with open(other, "wb") as f:
            f.truncate(64 * MIB)
        subprocess.run(["sfdisk", "-q", other], input=b"start=2048, type=6, bootable\n",
                       capture_output=True)
        part = other + ".part"
        with open(part, "wb") as f:
            f.truncate(62 * MIB)
        run("mkfs.fat", "-F", "16", "-h", "2048", part)
        with open(part, "rb") as src, open(other, "r+b") as dst:
            dst.seek(2048 * 512)
            dst.write(src.read())
        expect_bad("a card of other tools", other, "its boot code loads no IO.SYS")
        code, out = verify(other)
        check("mbr: BAD: no boot code" in out, "another tool's master boot record: %s" % out)

        # Not a card at all, and the command line.
        for name, data in (("zeros", bytes(4096)), ("one byte", b"\x55"), ("noise", os.urandom(1 << 16))):
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(data)
            code, out = verify(path)
            check(code == 1 and "verify: the card will not boot" in out, "%s: %d %s" % (name, code, out))
        for args in ([], ["--against"], [good16, "--frobnicate"], [good16, "--against", "a", "--against", "b"]):
            code, _ = run(KELVADO_CARD, "verify", *args)
            check(code == 2, "usage error for %s: %d" % (args, code))
        code, out = run(KELVADO_CARD, "verify", folder)
        check(code == 1 and "is neither an image file nor a disk" in out, "a folder as CARD: %s" % out)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
