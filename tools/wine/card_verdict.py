#!/usr/bin/env python3
"""The card's verdict after a transfer: the files the program copied onto the card's drive (its
volume folder) are put into the card image's file system with mtools, then the file system is
checked with fsck.fat -n, listed with mdir, read back and compared with the source tree, and the
boot sector's volume serial is read.

usage: card_verdict.py IMAGE VOLUME_DIR SOURCE_DIR [--left-out FILE] [--skip DIR] [--host-names cp932]

FILE lists paths relative to SOURCE_DIR (one a line, '/' separated) that the copy reported as
left out; they must be missing from the card and everything else must be there, byte for byte,
with the DOS attributes of files and folders. DIR (relative) is a folder of the source that the
program writes its own dated files into; it and the folders leading to it are not compared. A
card must hold IO.SYS and MSDOS.SYS in its root to be good: it boots from them.
Names are UTF-8 on the host, as Wine writes them; --host-names cp932 reads them as Shift-JIS bytes
(the native tests' drives). Prints one line per finding and "verdict: good" or "verdict: BAD (n problems)"; exit status 0
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
FAT16_LABEL_LINES = ["Label '' stored in boot sector is not valid.",
                     "  Auto-removing label from boot sector.", "Leaving filesystem unchanged."]
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
                          env=dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8"))


def readable(name, host_names):
    """A host name as text: UTF-8, or Shift-JIS bytes when the host names are cp932."""
    if host_names == "cp932":
        return name.encode("utf-8", "surrogateescape").decode("cp932", "replace")
    return name


def tree(root, host_names=None):
    """Relative path as text -> (None for a directory or the size of a file, host path)."""
    found = {}
    for folder, dirs, files in os.walk(root):
        rel = readable(os.path.relpath(folder, root), host_names)
        for d in dirs:
            found[os.path.normpath(os.path.join(rel, readable(d, host_names)))] = (
                None, os.path.join(folder, d))
        for name in files:
            if name == ".windows-serial":
                continue
            path = os.path.join(folder, name)
            found[os.path.normpath(os.path.join(rel, readable(name, host_names)))] = (
                os.path.getsize(path), path)
    return found


def staged(volume, work, host_names):
    """The volume folder as mcopy should read it: itself, or a copy with names as UTF-8."""
    if host_names != "cp932":
        return volume
    stage = os.path.join(work, "stage")
    for folder, dirs, files in os.walk(volume):
        rel = readable(os.path.relpath(folder, volume), host_names)
        os.makedirs(os.path.join(stage, rel), exist_ok=True)
        for name in files:
            if name != ".windows-serial":
                shutil.copy2(os.path.join(folder, name),
                             os.path.join(stage, rel, readable(name, host_names)))
    return stage


def attributes(path):
    """The DOS attributes of a host file or folder as Wine sees them (read-only, hidden,
    system): hidden and system from the attribute Wine records, read-only from the mode of a
    file without write permission (Wine keeps it there, not in the attribute)."""
    try:
        bits = int(os.getxattr(path, "user.DOSATTRIB").split(b"\0")[0], 16) & 0x6
    except (OSError, ValueError):
        bits = 0
    mode = os.stat(path).st_mode
    if not os.path.isdir(path) and not mode & 0o222:
        bits |= 0x1
    return bits


def set_card_attributes(part, volume):
    """Gives the files and folders on the card the DOS attributes Wine recorded in the volume
    folder."""
    flags = {0x1: "+r", 0x2: "+h", 0x4: "+s"}
    for folder, dirs, files in os.walk(volume):
        for name in dirs + files:
            bits = attributes(os.path.join(folder, name))
            if bits:
                rel = os.path.relpath(os.path.join(folder, name), volume).replace(os.sep, "/")
                run("mattrib", "-i", part, *[f for b, f in flags.items() if bits & b], "::/" + rel)


def skipped(path, skip):
    """Whether `path` (relative) is the folder `skip`, inside it, or a folder leading to it."""
    if not skip:
        return False
    path, skip = os.path.normpath(path), os.path.normpath(skip)
    return path == skip or path.startswith(skip + os.sep) or skip.startswith(path + os.sep)


def verdict(image, volume, source, left_out, host_names=None, skip=None):
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
        stage = staged(volume, work, host_names)
        entries = [os.path.join(stage, n) for n in sorted(os.listdir(stage))
                   if n != ".windows-serial"]
        if entries:
            r = run("mcopy", "-s", "-p", "-m", "-i", part, *entries, "::/")
            if r.returncode != 0:
                bad("mcopy could not put the files onto the card: " + r.stderr.strip())
            set_card_attributes(part, stage)
        copy_in(image, start, part)
        r = run("fsck.fat", "-n", part)
        lines = [l for l in r.stdout.splitlines()
                 if l and not l.startswith("fsck.fat") and not l.startswith(part)]
        # fsck.fat 4.2 calls the FAT16 boot sector's blank label "not valid"; the blanks are what
        # the boot sector should hold, so exactly these lines are no fault.
        if r.returncode != 0 and serial_at == 39 and lines == FAT16_LABEL_LINES:
            r = subprocess.CompletedProcess(r.args, 0, r.stdout, r.stderr)
        if r.returncode != 0:
            bad("fsck.fat -n: " + " | ".join(lines))
        else:
            print("fsck.fat -n: clean")
        r = run("mdir", "-/", "-b", "-i", part, "::/")
        print(f"mdir: {len(r.stdout.splitlines())} entries")
        back = os.path.join(work, "back")
        os.makedirs(back)
        r = run("mcopy", "-s", "-n", "-i", part, "::/*", back)
        # Names on a FAT card are compared as Windows compares them, whatever their case.
        gone = {os.path.normpath(path).lower() for path in left_out}
        want = {path: found for path, found in tree(source, host_names).items()
                if not skipped(path, skip) and path.lower() not in gone}
        have = {path: found for path, found in tree(back).items() if not skipped(path, skip)}
        for system_file in ("IO.SYS", "MSDOS.SYS"):
            if system_file not in have:
                bad(f"{system_file} is not in the card's root: the card cannot boot")
        for path in sorted(set(want) - set(have)):
            bad(f"missing on the card: {path}")
        for path in sorted(set(have) - set(want)):
            if path.lower() not in gone:
                bad(f"on the card but not on C: {path}")
            else:
                bad(f"left out but on the card: {path}")
        same = 0
        for path in sorted(set(want) & set(have)):
            (size, source_path), (back_size, back_path) = want[path], have[path]
            if size is None:
                wanted_bits = attributes(source_path)
                if card_attributes(part, path) != wanted_bits:
                    bad(f"folder attributes differ: {path}")
                continue
            if size != back_size or not filecmp.cmp(source_path, back_path, shallow=False):
                bad(f"differs: {path}")
                continue
            same += 1
            wanted_bits = attributes(source_path)
            if wanted_bits and card_attributes(part, path) != wanted_bits:
                bad(f"attributes differ: {path}")
        print(f"files equal to C:: {same}; left out: {len(left_out)}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return problems


def card_attributes(part, path):
    """The read-only, hidden and system bits of a file on the card (mattrib's listing)."""
    r = run("mattrib", "-i", part, "::/" + path.replace(os.sep, "/"))
    flags = r.stdout[:10] if r.returncode == 0 else ""
    return (0x1 if "R" in flags else 0) | (0x2 if "H" in flags else 0) | (0x4 if "S" in flags else 0)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("image")
    parser.add_argument("volume")
    parser.add_argument("source")
    parser.add_argument("--left-out", help="file listing the paths left out of the copy")
    parser.add_argument("--skip", help="a source folder the program writes into, not compared")
    parser.add_argument("--host-names", choices=["utf-8", "cp932"], default="utf-8")
    args = parser.parse_args()
    left_out = []
    if args.left_out:
        with open(args.left_out) as f:
            left_out = [line.strip() for line in f if line.strip()]
    problems = verdict(args.image, args.volume, args.source, left_out, args.host_names, args.skip)
    print("verdict: good" if not problems else f"verdict: BAD ({len(problems)} problems)")
    return 0 if not problems else 1


if __name__ == "__main__":
    sys.exit(main())
