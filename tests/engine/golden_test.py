#!/usr/bin/env python3
"""Golden images: the sectors kelvado-card writes when it formats two cards, kept as hex dumps in
tests/engine/golden/<card>.hex and compared byte for byte.

Each card is a sparse image whose first 2 MiB are filled with 0xEE first, so the dumps also show
what the engine must wipe (FATs, root directory) and what it must leave alone (the first data
sectors). The sectors dumped are found from the boot sector the engine wrote.

  fat16          16 MiB, FAT16
  fat32_bad      300 MiB, FAT32, data area checked, one unreadable sector in cluster 130

When the engine's output changes on purpose (new boot code, say), regenerate the dumps with
`make golden` (or this script with --regenerate) and review the diff before committing it.

usage: golden_test.py KELVADO_CARD [--regenerate]
"""
import difflib
import os
import struct
import sys
import tempfile

from card_checks import MIB, check, outcome, run, sparse_image

GOLDEN_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")
FILL = 0xEE
FILLED = 2 * MIB

# name: (card size in MiB, kelvado-card format options)
CARDS = {
    "fat16": (16, []),
    "fat32_bad": (300, ["--fat32", "--check", "--bad-read", "2317"]),
}


def le16(b, at):
    return struct.unpack_from("<H", b, at)[0]


def le32(b, at):
    return struct.unpack_from("<I", b, at)[0]


def sectors_to_dump(image):
    """(sector number, name) of what the engine writes, from the partition entry and boot sector."""
    image.seek(0)
    mbr = image.read(512)
    start = le32(mbr, 446 + 8)
    image.seek(start * 512)
    boot = image.read(512)
    per_cluster = boot[13]
    reserved = le16(boot, 14)
    fats = boot[16]
    root_entries = le16(boot, 17)
    fat_size = le16(boot, 22) or le32(boot, 36)
    fat32 = le16(boot, 22) == 0
    fat1 = start + reserved
    out = [(0, "master boot record"), (start, "boot sector")]
    if fat32:
        backup = le16(boot, 50)
        out += [(start + le16(boot, 48), "FSInfo"), (start + 2, "boot sector 2"),
                (start + backup, "backup boot sector"), (start + backup + 1, "backup FSInfo"),
                (start + backup + 2, "backup boot sector 2")]
    for n in range(fats):
        first = fat1 + n * fat_size
        out += [(first, f"FAT {n + 1}, sector 0"), (first + 1, f"FAT {n + 1}, sector 1")]
    root = fat1 + fats * fat_size
    root_sectors = per_cluster if fat32 else (root_entries * 32 + 511) // 512
    out += [(root, "root directory, first sector"),
            (root + root_sectors - 1, "root directory, last sector"),
            (root + root_sectors, "first sector after the root directory (left alone)")]
    return sorted(set(out))


def hex_lines(data, offset):
    """hexdump -C of `data` at image offset `offset`, repeated lines shown as one '*'."""
    def line(at):
        row = data[at:at + 16]
        hexes = " ".join(f"{b:02x}" for b in row[:8]) + "  " + " ".join(f"{b:02x}" for b in row[8:])
        text = "".join(chr(b) if 0x20 <= b < 0x7F else "." for b in row)
        return f"{offset + at:08x}  {hexes}  |{text}|"

    lines, previous, starred = [], None, False
    for at in range(0, len(data), 16):
        row = data[at:at + 16]
        if row == previous:
            if not starred:
                lines.append("*")
                starred = True
            continue
        previous, starred = row, False
        lines.append(line(at))
    if starred:  # the sector's last line, so that every sector ends with its own offset
        lines.append(line(len(data) - 16))
    return lines


def dump(kelvado_card, name):
    mib, options = CARDS[name]
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, name + ".img")
        sparse_image(path, mib * MIB)
        with open(path, "r+b") as f:
            f.write(bytes([FILL]) * FILLED)
        result = run(kelvado_card, "format", path, *options)
        if not check(result.returncode == 0 and "result=0" in result.stdout,
                     f"{name}: kelvado-card format {' '.join(options)}: {result.stdout}{result.stderr}"):
            return None
        lines = [f"# kelvado-card format CARD {' '.join(options)}".rstrip(),
                 f"# CARD: {mib} MiB, the first {FILLED // MIB} MiB filled with 0x{FILL:02x} before"]
        with open(path, "rb") as image:
            for sector, what in sectors_to_dump(image):
                image.seek(sector * 512)
                lines.append(f"sector {sector}: {what}")
                lines += hex_lines(image.read(512), sector * 512)
        return "\n".join(lines) + "\n"


def main():
    kelvado_card = sys.argv[1]
    regenerate = "--regenerate" in sys.argv[2:]
    for name in CARDS:
        text = dump(kelvado_card, name)
        if text is None:
            continue
        golden = os.path.join(GOLDEN_DIR, name + ".hex")
        if regenerate:
            with open(golden, "w") as f:
                f.write(text)
            print("wrote", golden)
            continue
        expected = open(golden).read() if os.path.exists(golden) else ""
        if check(text == expected, f"{name}: the sectors written differ from {golden}"):
            print("ok  ", name)
            continue
        diff = difflib.unified_diff(expected.splitlines(), text.splitlines(), golden, "written",
                                    lineterm="", n=1)
        for i, line in enumerate(diff):
            if i == 60:
                print("... (diff cut)")
                break
            print(line)
        print("If this change is intended (new boot code, say), regenerate the dumps with\n"
              "  make golden\n"
              "(python3 tests/engine/golden_test.py build/native/bin/kelvado-card --regenerate)\n"
              "and review `git diff tests/engine/golden` before committing them.")
    sys.exit(outcome())


if __name__ == "__main__":
    main()
