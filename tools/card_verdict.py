#!/usr/bin/env python3
"""The card's verdict after a transfer: the files the program copied onto the card's drive (its
volume folder) are put into the card image's file system with mtools, then the file system is
checked with fsck.fat -n, listed with mdir, read back and compared with the source tree, and the
boot sector's volume serial is read.

usage: card_verdict.py IMAGE VOLUME_DIR SOURCE_DIR [--left-out FILE]

FILE lists paths relative to SOURCE_DIR (one a line, '/' separated) that the copy reported as
left out; they must be missing from the card and everything else must be there, byte for byte.
Prints one line per finding and "verdict: good" or "verdict: BAD (n problems)"; exit status 0
only for a good card.
"""
import argparse
import filecmp
import os
import shutil
import struct
import subprocess
import sys
import tempfile

SECTOR = 512
FAT_TYPES = {0x01: 39, 0x04: 39, 0x06: 39, 0x0E: 39, 0x0B: 67, 0x0C: 67}


def partition(image):
    """(start sector, sector count, serial offset) of the first FAT entry of the MBR, or None."""
    with open(image, "rb") as f:
        mbr = f.read(SECTOR)
    if len(mbr) < SECTOR or mbr[510:512] != b"\x55\xaa":
        return None
    for i in range(4):
        entry = mbr[446 + 16 * i:462 + 16 * i]
        if entry[4] in FAT_TYPES:
            start, count = struct.unpack("<II", entry[8:16])
            return start, count, FAT_TYPES[entry[4]]
    return None


def copy_out(image, start, count, path):
    with open(image, "rb") as src, open(path, "wb") as dst:
        src.seek(start * SECTOR)
        left = count * SECTOR
        while left:
            chunk = src.read(min(left, 1 << 22))
            if not chunk:
                break
            dst.write(chunk)
            left -= len(chunk)


def copy_in(image, start, path):
    with open(image, "r+b") as dst, open(path, "rb") as src:
        dst.seek(start * SECTOR)
        shutil.copyfileobj(src, dst, 1 << 22)


def run(*args):
    return subprocess.run(list(args), capture_output=True, text=True,
                          env=dict(os.environ, MTOOLS_SKIP_CHECK="1", MTOOLS_NO_VFAT="0"))


def tree(root):
    """Relative path -> None for directories, size for files."""
    found = {}
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        for d in dirs:
            found[os.path.normpath(os.path.join(rel, d))] = None
        for name in files:
            if name == ".windows-serial":
                continue
            found[os.path.normpath(os.path.join(rel, name))] = os.path.getsize(
                os.path.join(folder, name))
    return found


def verdict(image, volume, source, left_out):
    problems = []

    def bad(what):
        problems.append(what)
        print("problem:", what)

    found = partition(image)
    if found is None:
        bad("the card has no FAT partition in its master boot record")
        return problems
    start, count, serial_at = found
    with open(image, "rb") as f:
        f.seek(start * SECTOR)
        boot = f.read(SECTOR)
    serial = struct.unpack("<I", boot[serial_at:serial_at + 4])[0]
    print(f"partition: start {start}, {count} sectors, FAT{'32' if serial_at == 67 else '16'}")
    print(f"serial: {serial:08X}")
    if serial == 1:
        bad("the card still carries the marker serial 00000001")

    work = tempfile.mkdtemp(prefix="kelvado-verdict-")
    try:
        part = os.path.join(work, "partition.img")
        copy_out(image, start, count, part)
        entries = [os.path.join(volume, n) for n in sorted(os.listdir(volume))
                   if n != ".windows-serial"]
        if entries:
            r = run("mcopy", "-s", "-p", "-m", "-i", part, *entries, "::/")
            if r.returncode != 0:
                bad("mcopy could not put the files onto the card: " + r.stderr.strip())
        copy_in(image, start, part)
        r = run("fsck.fat", "-n", part)
        lines = [l for l in r.stdout.splitlines()
                 if l and not l.startswith("fsck.fat") and "files" not in l]
        if r.returncode != 0:
            bad("fsck.fat -n: " + " | ".join(lines))
        else:
            print("fsck.fat -n: clean")
        r = run("mdir", "-/", "-b", "-i", part, "::/")
        print(f"mdir: {len(r.stdout.splitlines())} entries")
        back = os.path.join(work, "back")
        os.makedirs(back)
        r = run("mcopy", "-s", "-n", "-i", part, "::/*", back)
        want = tree(source)
        for path in left_out:
            want.pop(os.path.normpath(path), None)
        have = tree(back)
        for path in sorted(set(want) - set(have)):
            bad(f"missing on the card: {path}")
        for path in sorted(set(have) - set(want)):
            if os.path.normpath(path) not in [os.path.normpath(p) for p in left_out]:
                bad(f"on the card but not on C: {path}")
            else:
                bad(f"left out but on the card: {path}")
        same = 0
        for path in sorted(set(want) & set(have)):
            if want[path] is None:
                continue
            if want[path] != have[path] or not filecmp.cmp(
                    os.path.join(source, path), os.path.join(back, path), shallow=False):
                bad(f"differs: {path}")
            else:
                same += 1
        print(f"files equal to C:: {same}; left out: {len(left_out)}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("image")
    parser.add_argument("volume")
    parser.add_argument("source")
    parser.add_argument("--left-out", help="file listing the paths left out of the copy")
    args = parser.parse_args()
    left_out = []
    if args.left_out:
        with open(args.left_out) as f:
            left_out = [line.strip() for line in f if line.strip()]
    problems = verdict(args.image, args.volume, args.source, left_out)
    print("verdict: good" if not problems else f"verdict: BAD ({len(problems)} problems)")
    return 0 if not problems else 1


if __name__ == "__main__":
    sys.exit(main())
