#!/usr/bin/env python3
"""kelvado-card transfer: the names on the card are those Windows 95/98 reads right, and real
disks are read as Windows reads them.

Each card is judged by tools nobody here wrote: fsck.fat -n finds nothing, mdir lists the short
and long names, mcopy by the long and by the short name gives that file's bytes, and where it
matters the raw directory entries are read. The cases: a folder holding AAAAAAAAA and AAAAAA~1
(and aaaaaa~1); names Windows keeps for devices; a file of 4 GiB and one byte onto a 128 MiB card;
a FAT16 volume left as DOS leaves one (make_volume_corpus.dirty_fat16: orphaned long names of
each kind, short names with lower case, '+', a control byte and DEL); labels from images and from
a folder's .windows-label; a folder of more than 65,536 entries on a FAT32 card.

  card_names_test.py KELVADO_CARD
"""
import os
import re
import shutil
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
sys.path.insert(0, os.path.join(HERE, "..", "fat"))
from card_checks import MIB, check, outcome  # noqa: E402
from card_transfer_test import partition_of, run, text, transfer  # noqa: E402
import make_volume_corpus as corpus  # noqa: E402

NO_LABEL_FAT16 = ["Label '' stored in boot sector is not valid.",
                  "  Auto-removing label from boot sector.", "Leaving filesystem unchanged."]


class Card:
    """The card's partition as a file of its own, with what fsck.fat, mdir and the raw
    entries say of it."""

    def __init__(self, name, card, work):
        self.name = name
        found = partition_of(card)
        check(len(found) == 1, "%s: sfdisk finds %s" % (name, found))
        start, count = int(found[0][0]), int(found[0][1])
        self.part = os.path.join(work, "part.img")
        with open(card, "rb") as src, open(self.part, "wb") as dst:
            src.seek(start * 512)
            remaining = count * 512
            while remaining > 0:
                block = src.read(min(remaining, 1 << 22))
                if not block:
                    break
                dst.write(block)
                remaining -= len(block)
        with open(self.part, "rb") as f:
            self.boot = f.read(512)
        self.fat32 = struct.unpack_from("<H", self.boot, 22)[0] == 0
        self.work = work

    def fsck_clean(self, labelled=True):
        r = run("fsck.fat", "-n", self.part)
        lines = [l for l in text(r).splitlines()[1:-1] if l.strip()]
        ok = r.returncode == 0 and not lines
        if not labelled and not self.fat32:
            ok = ok or lines == NO_LABEL_FAT16  # the wizard's own FAT16 boot sector: blank label
        check(ok, "%s: fsck.fat -n says %s" % (self.name, text(r)))

    def mdir(self, folder="::/"):
        r = run("mdir", "-a", "-i", self.part, folder)
        check(r.returncode == 0, "%s: mdir %s: %s" % (self.name, folder, text(r)))
        return r.stdout.decode("utf-8", "replace")

    def listed(self, folder="::/"):
        """(short name as mdir shows it, long name or '') for each entry mdir lists."""
        entries = []
        for line in self.mdir(folder).splitlines():
            m = re.match(r"^(\S+) +(\S*) +(<DIR>|\d+) +\d{4}-\d\d-\d\d +\d+:\d\d *(.*)$", line)
            if m and m.group(1) not in (".", ".."):
                entries.append((m.group(1) + ("." + m.group(2) if m.group(2) else ""),
                                m.group(4).strip()))
        return entries

    def copy(self, name):
        """The bytes mcopy gives for ::/NAME, or None."""
        out = os.path.join(self.work, "copied")
        if os.path.exists(out):
            os.remove(out)
        r = run("mcopy", "-n", "-i", self.part, "::/" + name, out)
        if r.returncode != 0 or not os.path.exists(out):
            return None
        with open(out, "rb") as f:
            return f.read()

    def lookups(self, files):
        """Each (long name, short name, bytes): mcopy by either name gives the bytes."""
        for long_name, short_name, data in files:
            for name in {long_name, short_name}:
                got = self.copy(name)
                check(got == data, "%s: mcopy ::/%s gives %r, not %r" % (self.name, name, got, data))

    def root_entries(self):
        """The root directory's entries: (stored short name, attributes, long name or None)."""
        b = self.boot
        sector, reserved, fats = struct.unpack_from("<H", b, 11)[0], struct.unpack_from("<H", b, 14)[0], b[16]
        per_cluster = b[13]
        with open(self.part, "rb") as f:
            if self.fat32:
                fat_size, cluster = struct.unpack_from("<I", b, 36)[0], struct.unpack_from("<I", b, 44)[0]
                data_start = (reserved + fats * fat_size) * sector
                f.seek(data_start + (cluster - 2) * per_cluster * sector)
                raw = f.read(per_cluster * sector)
            else:
                fat_size, count = struct.unpack_from("<H", b, 22)[0], struct.unpack_from("<H", b, 17)[0]
                f.seek((reserved + fats * fat_size) * sector)
                raw = f.read(count * 32)
        entries, pieces = [], {}
        for at in range(0, len(raw), 32):
            e = raw[at:at + 32]
            if e[0] == 0:
                break
            if e[0] == 0xE5:
                continue
            if e[11] == 0x0F:
                units = e[1:11] + e[14:26] + e[28:32]
                pieces[e[0] & 0x3F] = units.decode("utf-16-le")
                continue
            name = "".join(pieces[k] for k in sorted(pieces)).split("\0")[0] if pieces else None
            entries.append((e[:11], e[11], name))
            pieces = {}
        return entries

    def boot_label(self):
        return self.boot[71:82] if self.fat32 else self.boot[43:54]

    def done(self):
        os.remove(self.part)
        print("ok:", self.name)


def write(folder, name, data):
    path = os.path.join(folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def expect(name, code, out, err, want_code, lines=()):
    # written: and verified: end with the time they took.
    shown = [re.sub(r" \([0-9.]+ s\)$", "", l) for l in out.splitlines()]
    missing = [l for l in lines if l not in shown]
    check(code == want_code and not missing,
          "%s: exit %d (not %d), missing %s\n%s%s" % (name, code, want_code, missing, out, err[-400:]))


def tails(work):
    """AAAAAAAAA and AAAAAA~1: the 8.3 name keeps AAAAAA~1, in either case."""
    card = os.path.join(work, "card.img")
    for tailed in ("AAAAAA~1", "aaaaaa~1"):
        folder = os.path.join(work, "tails-" + tailed)
        write(folder, "AAAAAAAAA", b"nine A\r\n")
        write(folder, tailed, b"the tailed one\r\n")
        code, out, err = transfer(folder, card, "--size", "16")
        expect("tails " + tailed, code, out, err, 0, ["transfer: ready"])
        c = Card("tails " + tailed, card, work)
        c.fsck_clean(labelled=False)
        listed = c.listed()
        want = [("AAAAAA~2", "AAAAAAAAA"), ("AAAAAA~1", "" if tailed.isupper() else tailed)]
        check(sorted(listed) == sorted(want), "%s: mdir lists %s" % (c.name, listed))
        c.lookups([("AAAAAAAAA", "AAAAAA~2", b"nine A\r\n"),
                   (tailed, "AAAAAA~1", b"the tailed one\r\n")])
        # The raw entries: the tailed file's short entry is AAAAAA~1, with long-name entries
        # only when its name is in lower case.
        raw = {e[0]: e[2] for e in c.root_entries()}
        check(raw.get(b"AAAAAA~1   ", "absent") == (None if tailed.isupper() else tailed) and
              raw.get(b"AAAAAA~2   ") == "AAAAAAAAA", "%s: root entries %s" % (c.name, raw))
        c.done()
        os.remove(card)


def devices(work):
    """Device names are left out and listed; the rest is written."""
    folder = os.path.join(work, "devices")
    kept = {"console.txt": b"console", "COM10": b"com10", "CONFIG.SYS": b"files=30\r\n"}
    for name in ("con", "Aux.dat", "lpt1.txt", "COM9", "clock$", "nul.x.y", "PRN"):
        write(folder, name, b"device")
    for name, data in kept.items():
        write(folder, name, data)
    card = os.path.join(work, "card.img")
    code, out, err = transfer(folder, card, "--size", "16")
    why = "is a device name in Windows 95/98, which can neither open nor delete a file so named"
    expect("devices", code, out, err, 1,
           ["left out: %s: %s %s" % (name, device, why) for name, device in
            (("Aux.dat", "AUX"), ("COM9", "COM9"), ("PRN", "PRN"), ("clock$", "CLOCK$"),
             ("con", "CON"), ("lpt1.txt", "LPT1"), ("nul.x.y", "NUL"))] +
           ["transfer: FAILED: 7 left out, 0 differences"])
    c = Card("devices", card, work)
    c.fsck_clean(labelled=False)
    listed = sorted(long or short for short, long in c.listed())
    check(listed == sorted(kept), "devices: mdir lists %s" % listed)
    c.lookups([("console.txt", "CONSOLE.TXT", b"console"), ("COM10", "COM10", b"com10"),
               ("CONFIG.SYS", "CONFIG.SYS", b"files=30\r\n")])
    c.done()
    os.remove(card)


def huge_file(work):
    """A file of 4 GiB and one byte is left out before the card is sized: 128 MiB is enough."""
    folder = os.path.join(work, "huge")
    write(folder, "small.txt", b"small\r\n")
    with open(os.path.join(folder, "huge.bin"), "wb") as f:
        f.truncate((4 << 30) + 1)
    card = os.path.join(work, "card.img")
    code, out, err = transfer(folder, card, "--size", "128")
    expect("4 GiB + 1", code, out, err, 1,
           ["left out: huge.bin: 4294967297 bytes: a FAT file holds at most 4 GiB less one byte",
            "source: 1 files, 0 folders, 7 bytes", "verified: 1 files, 0 folders, 7 bytes",
            "transfer: FAILED: 1 left out, 0 differences"])
    c = Card("4 GiB + 1", card, work)
    c.fsck_clean(labelled=False)
    check(c.listed() == [("SMALL.TXT", "small.txt")], "4 GiB + 1: mdir lists %s" % c.listed())
    c.lookups([("small.txt", "SMALL.TXT", b"small\r\n")])
    c.done()
    os.remove(card)


def dirty_disk(work):
    """A FAT16 volume as DOS leaves one: read as Windows reads it, its odd short names made valid."""
    source = corpus.dirty_fat16(os.path.join(work, "dirty.img"), work)
    card = os.path.join(work, "card.img")
    code, out, err = transfer(source, card, "--size", "32")
    never = "which Windows never writes"
    expect("dirty FAT16", code, out, err, 0, [
        "source: FAT16 volume of %s, serial 0DE1-E7ED, label \"DIRTY DISK\"" % source,
        "note: Deleted by DOS.txt: long name ignored (its short entry is deleted)",
        "note: CHECKSUM.TXT: long name ignored (its checksum does not fit the short entry after it)",
        "note: BROKEN~1.TXT: long name ignored (its sequence is broken)",
        "note: SUB\\Last one standing.txt: long name ignored (no short entry follows it)",
        "renamed: lower.txt: now lower.txt (short name LOWER.TXT): its short name lower.txt holds "
        "lower-case letters, " + never,
        "renamed: A+B.TXT: now A+B.TXT (short name A_B~1.TXT): its short name A+B.TXT holds one "
        "of + , ; = [ ], " + never,
        "renamed: CT\\x01L.TXT: now CT_L.TXT (short name CT_L.TXT): its short name CT\\x01L.TXT "
        "holds control bytes, " + never + "; the characters a long name cannot hold became _",
        "renamed: DE\\x7fL.TXT: now DE_L.TXT (short name DE_L.TXT): its short name DE\\x7fL.TXT "
        "holds DEL (7Fh), " + never + "; the characters a long name cannot hold became _",
        "renamed: AAAAAAAAA: now AAAAAAAAA (short name AAAAAA~2): its short name AAAAAA~1 is the "
        "name of another entry here, whose name is that 8.3 name",
        "renamed: aaaaaa~1: now aaaaaa~1 (short name AAAAAA~1): its short name aaaaaa~1 holds "
        "lower-case letters, " + never,
        "verified: 8 files, 1 folders, 71 bytes", "transfer: ready"])
    c = Card("dirty FAT16", card, work)
    c.fsck_clean()
    check("Volume in drive : is DIRTY DISK" in c.mdir(), "dirty FAT16: mdir shows no label")
    files = corpus.DIRTY_FILES
    c.lookups([("CHECKSUM.TXT", "CHECKSUM.TXT", files["Checksum gone.txt"]),
               ("BROKEN~1.TXT", "BROKEN~1.TXT", files["Broken sequence in a long name.txt"]),
               ("lower.txt", "LOWER.TXT", files["LOWER.TXT"]),
               ("A+B.TXT", "A_B~1.TXT", files["PLUS.TXT"]),
               ("CT_L.TXT", "CT_L.TXT", files["CTRL.TXT"]),
               ("DE_L.TXT", "DE_L.TXT", files["DEL.TXT"]),
               ("AAAAAAAAA", "AAAAAA~2", files["AAAAAAAAA"]),
               ("aaaaaa~1", "AAAAAA~1", files["TAIL.TXT"])])
    check(c.copy("Deleted by DOS.txt") is None and c.copy("Checksum gone.txt") is None,
          "dirty FAT16: an ignored long name reaches a file")
    check(c.listed("::/SUB") == [], "dirty FAT16: SUB lists %s" % c.listed("::/SUB"))
    # The raw root: the label first, then short entries with long-name entries only where kept.
    raw = c.root_entries()
    want = [(b"DIRTY DISK ", 0x08, None), (b"CHECKSUMTXT", 0x20, None), (b"BROKEN~1TXT", 0x20, None),
            (b"LOWER   TXT", 0x20, "lower.txt"), (b"A_B~1   TXT", 0x20, "A+B.TXT"),
            (b"CT_L    TXT", 0x20, None), (b"DE_L    TXT", 0x20, None),
            (b"AAAAAA~2   ", 0x20, "AAAAAAAAA"), (b"AAAAAA~1   ", 0x20, "aaaaaa~1"),
            (b"SUB        ", 0x10, None)]
    check(raw == want, "dirty FAT16: root entries %s" % raw)
    check(c.boot_label() == b"DIRTY DISK ", "dirty FAT16: boot sector label %r" % c.boot_label())
    c.done()
    os.remove(card)
    os.remove(source)


def labels(work):
    """A FAT32 image's label (mkfs.fat, then mlabel) and a folder's .windows-label are carried
    to the root and the boot sector (FAT32: its backup too); one that cannot be a label is a
    note, and the card has none."""
    image = os.path.join(work, "labelled.img")
    with open(image, "wb") as f:
        f.truncate(300 * MIB)
    r = run("mkfs.fat", "-F", "32", "-n", "FIRST", image)
    check(r.returncode == 0, "mkfs.fat: %s" % text(r))
    write(work, "readme.txt", b"labelled\r\n")
    r = run("mcopy", "-i", image, os.path.join(work, "readme.txt"), "::/README.TXT")
    r2 = run("mlabel", "-i", image, "::KELVADO 98")
    check(r.returncode == 0 and r2.returncode == 0, "mcopy, mlabel: %s %s" % (text(r), text(r2)))
    card = os.path.join(work, "card.img")
    code, out, err = transfer(image, card, "--size", "300")
    expect("FAT32 label", code, out, err, 0, ["transfer: ready"])
    check(re.search(r'^source: FAT32 volume of .*, label "KELVADO 98"$', out, re.M),
          "FAT32 label: source line: %s" % out)
    c = Card("FAT32 label", card, work)
    c.fsck_clean()
    check("Volume in drive : is KELVADO 98" in c.mdir(), "FAT32 label: mdir: %s" % c.mdir())
    with open(c.part, "rb") as f:
        f.seek(6 * 512)
        backup = f.read(512)
    check(c.boot_label() == b"KELVADO 98 " and backup[71:82] == b"KELVADO 98 " and
          c.root_entries()[0][:2] == (b"KELVADO 98 ", 0x08),
          "FAT32 label: boot %r, backup %r, root %s" % (c.boot_label(), backup[71:82], c.root_entries()[:1]))
    c.lookups([("README.TXT", "README.TXT", b"labelled\r\n")])
    c.done()
    os.remove(card)
    os.remove(image)

    folder = os.path.join(work, "wine-c")
    write(folder, "README.TXT", b"wine\r\n")
    card = os.path.join(work, "card.img")
    for label, stored in (("Wine drive", b"WINE DRIVE "), ("Wine 報告", "WINE 報告  ".encode("cp932"))):
        write(folder, ".windows-label", (label + "\n").encode("utf-8"))
        code, out, err = transfer(folder, card, "--size", "16")
        expect("folder label " + label, code, out, err, 0,
               ["source: folder %s, label \"%s\"" % (folder, label.upper()), "transfer: ready"])
        c = Card("folder label " + label, card, work)
        if stored.isascii():
            c.fsck_clean()
        else:
            # dosfstools 4.2 reads a label's bytes as signed chars: every byte from 80h on is
            # taken for a control byte, so it calls each Shift-JIS label invalid. Nothing else
            # may be found.
            r = run("fsck.fat", "-n", c.part)
            lines = [l for l in text(r).splitlines()[1:-1] if l.strip()]
            check(lines in ([], ["Volume label '%s' stored in root directory is not valid." %
                                 stored.decode("cp850").rstrip(), "  Auto-removing label.",
                                 "Leaving filesystem unchanged."]),
                  "%s: fsck.fat -n says %s" % (c.name, lines))
        check(c.boot_label() == stored and c.root_entries()[0][:2] == (stored, 0x08),
              "%s: boot %r, root %s" % (c.name, c.boot_label(), c.root_entries()[:1]))
        check(c.listed() == [("README.TXT", "")], "%s: .windows-label copied: %s" % (c.name, c.listed()))
        c.done()
    write(folder, ".windows-label", b"a*b\n")
    code, out, err = transfer(folder, card, "--size", "16")
    expect("folder label refused", code, out, err, 0,
           ["note: \\: label \"a*b\" from .windows-label ignored (it holds characters a label "
            "cannot hold (control bytes, DEL, * ? . , ; : / \\ | + = < > [ ] \"))",
            "transfer: ready"])
    c = Card("folder label refused", card, work)
    c.fsck_clean(labelled=False)
    check(c.root_entries()[0][1] != 0x08, "folder label refused: a label entry on the card")
    c.done()
    os.remove(card)


def full_folder(work):
    """A folder of 65,536 entries and more on a FAT32 card: 65,532 plain names and the dot entries
    leave room for two; a long name (three entries) does not fit, the two plain names after it
    do, the last one does not. Only those two are left out."""
    folder = os.path.join(work, "full", "BIG")
    os.makedirs(folder)
    names = ["F%07d" % i for i in range(65532)] + ["G long name.txt", "H1", "H2", "H3"]
    for name in names:
        open(os.path.join(folder, name), "wb").close()
    write(folder, "F0000000", b"first\r\n")
    write(folder, "H2", b"last that fits\r\n")
    card = os.path.join(work, "card.img")
    code, out, err = transfer(os.path.dirname(folder), card, "--size", "300", "--fat32")
    expect("65,536 entries", code, out, err, 1,
           ["left out: BIG\\%s: its directory is full (65,536 entries)" % n
            for n in ("G long name.txt", "H3")] + ["transfer: FAILED: 2 left out, 0 differences"])
    c = Card("65,536 entries", card, work)
    c.fsck_clean(labelled=False)
    listed = c.listed("::/BIG")
    check(len(listed) == 65534 and listed[-2:] == [("H1", ""), ("H2", "")],
          "65,536 entries: mdir lists %d, the last %s" % (len(listed), listed[-2:]))
    c.lookups([("BIG/F0000000", "BIG/F0000000", b"first\r\n"), ("BIG/H2", "BIG/H2", b"last that fits\r\n")])
    check(c.copy("BIG/H3") is None and c.copy("BIG/G long name.txt") is None,
          "65,536 entries: a left-out entry is on the card")
    c.done()
    os.remove(card)
    shutil.rmtree(os.path.dirname(folder))


def main():
    for tool in ("mkfs.fat", "mcopy", "mdir", "mlabel", "mmd", "fsck.fat", "sfdisk"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return 1
    with tempfile.TemporaryDirectory(prefix="kelvado-names-") as work:
        tails(work)
        devices(work)
        huge_file(work)
        dirty_disk(work)
        labels(work)
        full_folder(work)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
