#!/usr/bin/env python3
"""kelvado-card scan on cards partitioned by sfdisk, formatted by mkfs.fat and filled by mcopy,
and on cards just formatted by kelvado-card itself.

Every card goes through the device layer and the card emulator: the scan reads what these tools
wrote, finds the tables sfdisk made, and tells an empty root directory (1) from one holding a file
or a volume label (0).

usage: card_scan_test.py KELVADO_CARD
"""
import os
import re
import sys
import tempfile

from card_checks import MIB, check, outcome, run, sparse_image

KELVADO_CARD = sys.argv[1]
# The geometry sfdisk gives an image file; the scan is told the same through the driver.
DRIVER_255 = ["--adapter", "otherata", "--heads", "255", "--spt", "63"]

def partition(image, script):
    result = run("sfdisk", "-q", image, input="label: dos\n" + script)
    assert result.returncode == 0, result.stderr


def mkfs(image, start, count, *options):
    result = run("mkfs.fat", "--offset", start, *options, image, count // 2)
    assert result.returncode == 0, result.stderr


def mcopy(image, start, name, data):
    source = image + ".put"
    with open(source, "wb") as f:
        f.write(data)
    result = run("mcopy", "-i", "%s@@%d" % (image, start * 512), source, "::" + name)
    os.remove(source)
    assert result.returncode == 0, result.stderr


def scan(image, *options):
    """The entries (dicts of the printed fields), read=, files= and the exit status."""
    result = run(KELVADO_CARD, "scan", image, *options)
    entries = [dict(re.findall(r"(\w+)=(\S+)", line))
               for line in result.stdout.splitlines() if line.startswith("table=")]
    read = re.search(r"^read=(-?\d+)$", result.stdout, re.M)
    files = re.search(r"^files=(-?\d+)$", result.stdout, re.M)
    return (entries, int(read.group(1)) if read else None, int(files.group(1)) if files else None,
            result.returncode)


def used(entries):
    return [e for e in entries if e["type"] != "0x00"]


def check_mkfs_cards(work):
    """One partition at sector 63 (start CHS 0/1/1 in any geometry), FAT16 or FAT32."""
    image = os.path.join(work, "mkfs.img")
    for fat, mib, options in ((16, 16, ["-F", "16"]), (32, 40, ["-F", "32", "-s", "1"])):
        ptype = "6" if fat == 16 else "b"
        count = mib * 2048 - 63
        cases = [("empty", [], None, 1), ("a file", [], "README.TXT", 0),
                 ("a volume label", ["-n", "KELVADO"], None, 0)]
        for what, extra, name, expected in cases:
            sparse_image(image, mib * MIB)
            partition(image, "start=63, size=%d, type=%s\n" % (count, ptype))
            mkfs(image, 63, count, *(options + extra))
            if name:
                mcopy(image, 63, name, b"on the card already\r\n")
            entries, read, files, status = scan(image, *(["--fat32"] if fat == 32 else []))
            label = "FAT%d %s" % (fat, what)
            check(read == 0 and status == 0, "%s: read=%s, status %d" % (label, read, status))
            check(len(entries) == 4 and entries[0]["type"] == "0x%02X" % int(ptype, 16) and
                  entries[0]["lba"] == "63" and entries[0]["count"] == str(count) and
                  entries[0]["start"] == "0/1/1", "%s: table %s" % (label, entries[:1]))
            check(files == expected, "%s: files=%s, expected %d" % (label, files, expected))
    os.remove(image)


def check_engine_cards(work):
    """Cards just formatted by kelvado-card (FAT16 and FAT32) hold nothing; one file changes that."""
    image = os.path.join(work, "engine.img")
    for mib, fat32 in ((32, False), (300, True)):
        label = "engine %s %d MiB" % ("FAT32" if fat32 else "FAT16", mib)
        flags = ["--fat32"] if fat32 else []
        sparse_image(image, mib * MIB)
        formatted = run(KELVADO_CARD, "format", image, *flags)
        check(formatted.stdout == "result=0 OK\n", "%s: format said %r" % (label, formatted.stdout))
        entries, read, files, _ = scan(image, *flags)
        check(read == 0 and files == 1, "%s: read=%s files=%s" % (label, read, files))
        check(used(entries) and used(entries)[0]["type"] == ("0x0B" if fat32 else "0x06"),
              "%s: entries %s" % (label, used(entries)))
        mcopy(image, 63, "DATA.BIN", b"x" * 1000)
        _, _, files, _ = scan(image, *flags)
        check(files == 0, "%s with a file: files=%s" % (label, files))
    os.remove(image)


def check_extended_chain(work):
    """sfdisk's extended partition: the chain of extended boot records is walked through their
    CHS fields, and every logical partition is found at the start sfdisk gave it."""
    image = os.path.join(work, "chain.img")
    sparse_image(image, 64 * MIB)
    partition(image, "start=2048, size=20480, type=6\nstart=22528, type=5\n"
                     "start=24576, size=20480, type=6\nstart=47104, size=20480, type=b\n"
                     "start=69632, size=20480, type=6\n")
    dump = run("sfdisk", "--dump", image).stdout
    expected = sorted((int(s), int(c)) for s, c, t in
                      re.findall(r"start=\s*(\d+), size=\s*(\d+), type=(\w+)", dump) if t != "5")
    mkfs(image, 24576, 20480, "-F", "16")
    entries, read, files, status = scan(image, *DRIVER_255)
    tables = len(entries) // 4
    found = sorted((int(e["lba"]), int(e["count"])) for e in used(entries)
                   if e["type"] not in ("0x05", "0x0F"))
    check(read == 0 and status == 0 and tables == 4, "chain: read=%s, %d tables" % (read, tables))
    check(found == expected, "chain: partitions %s, sfdisk has %s" % (found, expected))
    # The last extended boot record's empty second slot counts as a partition of unknown type.
    check(files == 0, "chain: files=%s" % files)
    os.remove(image)


def check_failures(work):
    image = os.path.join(work, "fail.img")
    sparse_image(image, 16 * MIB)
    entries, read, files, status = scan(image, "--bad-read", "0")
    check(entries == [] and read == -1 and files == -1 and status == 1,
          "unreadable sector 0: %s read=%s files=%s status %d" % (entries, read, files, status))
    open(image, "wb").close()
    empty = run(KELVADO_CARD, "scan", image)
    check(empty.returncode == 1 and empty.stdout.startswith("result=302 "),
          "an empty image: %r" % empty.stdout)
    check(run(KELVADO_CARD, "scan").returncode == 2, "scan without an image is a usage error")
    os.remove(image)


def main():
    with tempfile.TemporaryDirectory(prefix="kelvado-scan-") as work:
        check_mkfs_cards(work)
        check_engine_cards(work)
        check_extended_chain(work)
        check_failures(work)
    status = outcome()
    if status == 0:
        print("ok")
    return status


if __name__ == "__main__":
    sys.exit(main())
