#!/usr/bin/env python3
"""Cards formatted by kelvado-card, checked with tools nobody here wrote.

For card sizes from 8 MiB to 8 GiB, FAT16 and FAT32: sfdisk reads the one partition, fsck.fat -n
finds nothing wrong with it, mcopy puts a file in and gets it back unchanged, and the volume stays
clean after the file and after a new serial. Images are sparse; the large ones skip the data check.

usage: card_volume_test.py KELVADO_CARD
"""
import os
import re
import sys
import tempfile

from card_checks import MIB, check, outcome, run, sparse_image

KELVADO_CARD = sys.argv[1]

# (card size in MiB, FAT32 enabled, data check, sectors that cannot be read, FAT type expected)
CARDS = [
    (8, False, True, "", 16),
    (8, True, True, "", 16),        # too small for FAT32: 65,525 clusters
    (40, True, True, "20000-20100", 16),
    (300, False, True, "", 16),
    (300, True, True, "2317,90000-90400", 32),
    (1024, False, False, "", 16),
    (2100, False, False, "", 16),   # cut to 4,193,664 sectors
    (2100, True, False, "", 32),
    (8192, False, False, "", 16),
    (8192, True, False, "", 32),
]

# fsck.fat 4.2 calls the FAT16 boot sector's label of eleven blanks "not valid"; the blanks are
# what the boot sector should hold, so exactly these lines are accepted for FAT16.
FAT16_LABEL_LINES = [
    "Label '' stored in boot sector is not valid.",
    "  Auto-removing label from boot sector.",
    "",
    "Leaving filesystem unchanged.",
]

def copy_partition(image, out, start, count):
    """The partition's bytes as a sparse file of their own, copying only the data extents."""
    first, end = start * 512, (start + count) * 512
    with open(image, "rb") as src, open(out, "wb") as dst:
        dst.truncate(end - first)
        pos = first
        while pos < end:
            try:
                data = os.lseek(src.fileno(), pos, os.SEEK_DATA)
            except OSError:
                break
            if data >= end:
                break
            hole = min(os.lseek(src.fileno(), data, os.SEEK_HOLE), end)
            src.seek(data)
            dst.seek(data - first)
            left = hole - data
            while left > 0:
                chunk = src.read(min(left, 4 * MIB))
                dst.write(chunk)
                left -= len(chunk)
            pos = hole


def partitions(image):
    dump = run("sfdisk", "--dump", image).stdout
    return re.findall(r"start=\s*(\d+), size=\s*(\d+), type=(\w+)(, bootable)?", dump)


def fsck_problems(image, start, count, work, fat_type):
    """fsck.fat's messages about the partition, less the accepted ones; the FAT width it sees and
    the clusters it finds in use."""
    part = os.path.join(work, "part.img")
    copy_partition(image, part, start, count)
    plain = run("fsck.fat", "-n", part)
    lines = plain.stdout.splitlines()[1:-1] + plain.stderr.splitlines()
    summary = re.search(r"(\d+) files, (\d+)/(\d+) clusters", plain.stdout)
    used = int(summary.group(2)) if summary else -1
    if fat_type == 16 and lines == FAT16_LABEL_LINES:
        lines = []
    elif plain.returncode != 0:
        lines.append("exit status %d" % plain.returncode)
    verbose = run("fsck.fat", "-n", "-v", part).stdout
    width = re.search(r"(\d+) bit entries", verbose)
    os.remove(part)
    return lines, int(width.group(1)) if width else None, used


def check_card(work, mib, fat32, data_check, bad_reads, fat_type):
    name = "%d MiB %s%s%s" % (mib, "FAT32-enabled" if fat32 else "FAT16",
                               " checked" if data_check else "", " bad " + bad_reads if bad_reads else "")
    image = os.path.join(work, "card.img")
    sparse_image(image, mib * MIB)
    args = [KELVADO_CARD, "format", image] + ["--fat32"] * fat32 + ["--check"] * data_check
    if bad_reads:
        args += ["--bad-read", bad_reads]
    result = run(*args)
    if not check(result.returncode == 0 and result.stdout == "result=0 OK\n",
                 "%s: format said %r" % (name, result.stdout)):
        return

    found = partitions(image)
    if not check(len(found) == 1, "%s: sfdisk found %s" % (name, found)):
        return
    start, count, ptype, boot = int(found[0][0]), int(found[0][1]), found[0][2], found[0][3]
    geometry = run(KELVADO_CARD, "geometry", "--capacity", str(mib * 2048 - 1),
                   *(["--fat32"] * fat32)).stdout
    check(start == 63 and "sector_count=%d " % count in geometry and boot,
          "%s: partition %s does not match %s" % (name, found[0], geometry))
    check(ptype == ("b" if fat_type == 32 else "6"), "%s: partition type %s" % (name, ptype))

    problems, width, used = fsck_problems(image, start, count, work, fat_type)
    check(not problems, "%s: fsck.fat says %s" % (name, problems))
    # The root directory's cluster (FAT32) and the bad clusters are in use, nothing else.
    empty = 1 if fat_type == 32 else 0
    check(used > empty if bad_reads else used == empty, "%s: %d clusters in use" % (name, used))
    check(width == fat_type, "%s: fsck.fat reads %s-bit FAT entries" % (name, width))

    # A file in and out again; the volume stays clean with it and after a new serial.
    volume = "%s@@%d" % (image, start * 512)
    data = os.urandom(300000)
    put, got = os.path.join(work, "put.bin"), os.path.join(work, "got.bin")
    with open(put, "wb") as f:
        f.write(data)
    copied = run("mcopy", "-i", volume, put, "::DATA.BIN")
    back = run("mcopy", "-n", "-i", volume, "::DATA.BIN", got)
    same = copied.returncode == 0 and back.returncode == 0 and open(got, "rb").read() == data
    check(same, "%s: mcopy round trip: %s %s" % (name, copied.stderr, back.stderr))
    serial = run(KELVADO_CARD, "serial", image, "1234ABCD")
    check(serial.stdout == "result=0 OK\n", "%s: serial said %r" % (name, serial.stdout))
    listing = run("mdir", "-i", volume, "::").stdout
    check("1234-ABCD" in listing and "DATA     BIN" in listing, "%s: mdir shows %r" % (name, listing))
    problems, _, _ = fsck_problems(image, start, count, work, fat_type)
    check(not problems, "%s: fsck.fat after the copy says %s" % (name, problems))
    os.remove(image)
    print("ok:", name)


def check_command_line(work):
    image = os.path.join(work, "small.img")
    sparse_image(image, 16 * MIB)
    geometry = run(KELVADO_CARD, "geometry", "--capacity", "1000000").stdout
    check(geometry == "max_cylinder=991 max_head=15 sectors_per_track=63 capacity=1000000 "
          "start_lba=63 sector_count=999873 type=0x06\n", "geometry line %r" % geometry)
    for bad in (["format", image, "--bad-read", "5-3"], ["format", image, "--bad-write", "7,"],
                ["format", image, "--serial", "123456789"], ["format", image, "--frobnicate"],
                ["geometry"], ["serial", image]):
        check(run(KELVADO_CARD, *bad).returncode == 2, "usage error for %s" % bad)
    check(run(KELVADO_CARD, "format", os.path.join(work, "absent.img")).returncode == 1,
          "a missing image fails")
    failed = run(KELVADO_CARD, "format", image, "--bad-write", "63")
    check(failed.returncode == 1 and failed.stdout == "result=601 ＩＰＬ領域に書き込みができません\n",
          "boot sector write failure: %r" % failed.stdout)
    check(partitions(image) == [], "no partition entry after a failure")
    # System sectors that do not read back: the boot sector (sector 0 stays unwritten), sector 0,
    # the backup of the FAT32 boot code.
    ipl = "result=601 ＩＰＬ領域に書き込みができません\n"
    unreadable = run(KELVADO_CARD, "format", image, "--bad-read", "63")
    check(unreadable.stdout == ipl and partitions(image) == [],
          "unreadable boot sector: %r" % unreadable.stdout)
    unreadable = run(KELVADO_CARD, "format", image, "--bad-read", "0")
    check(unreadable.stdout == ipl, "unreadable sector 0: %r" % unreadable.stdout)
    large = os.path.join(work, "large.img")
    sparse_image(large, 300 * MIB)
    unreadable = run(KELVADO_CARD, "format", large, "--fat32", "--bad-read", str(63 + 8))
    check(unreadable.stdout == ipl and partitions(large) == [],
          "unreadable FAT32 boot code backup: %r" % unreadable.stdout)
    os.remove(large)
    # Cards too small for any volume get the capacity message.
    for mib in (1, 2):
        tiny = os.path.join(work, "tiny.img")
        sparse_image(tiny, mib * MIB)
        result = run(KELVADO_CARD, "format", tiny)
        check(result.stdout == "result=104 転送先ドライブ容量が足りません\n",
              "%d MiB card: %r" % (mib, result.stdout))
    checked = run(KELVADO_CARD, "format", image, "--check", "--bad-read", "1000-1003")
    check(checked.returncode == 0 and "転送先データ領域クラスタチェック中" in checked.stderr,
          "checked format with a bad cluster: %r" % checked.stdout)
    # A table whose entry does not hold together (end sector 0 puts its boot sector at sector 0)
    # gets no serial, and sector 0 stays as it was.
    with open(image, "r+b") as f:
        f.seek(446)
        f.write(bytes.fromhex("80010100060f000a3f00000010270000"))
        f.seek(0)
        before = f.read(512)
    refused = run(KELVADO_CARD, "serial", image, "DEADBEEF")
    with open(image, "rb") as f:
        after = f.read(512)
    check(refused.returncode == 1 and after == before,
          "serial on an inconsistent table: %r, sector 0 %s" %
          (refused.stdout, "kept" if after == before else "changed"))


def main():
    with tempfile.TemporaryDirectory(prefix="kelvado-volume-") as work:
        check_command_line(work)
        for card in CARDS:
            check_card(work, *card)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
