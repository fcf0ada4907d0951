#!/usr/bin/env python3
"""Writes the seed corpus of fat_reader_fuzzer (tests/fat/volume_corpus/): volumes made by
mkfs.fat, sfdisk and mtools, as the fuzzer's sparse images (mode 1: the size in sectors, then
each non-zero sector with its number), and a volume left as DOS and other systems leave one
(dirty_fat16: long names whose short entry is deleted, renamed or missing, a broken sequence,
short names Windows never writes, a label). Other broken images are the fuzzer's own work;
crafted ones are tested in fat_volume_test. card_names_test reads dirty_fat16 as a source.

usage: make_volume_corpus.py [OUT_DIR]
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ENV = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")


def run(*args):
    subprocess.run([str(a) for a in args], check=True, env=ENV, capture_output=True)


def sparse(image):
    with open(image, "rb") as f:
        data = f.read()
    sectors = len(data) // 512
    out = bytearray(b"\x01" + struct.pack("<I", sectors))
    for n in range(sectors):
        sector = data[n * 512:(n + 1) * 512]
        if any(sector):
            out += struct.pack("<I", n) + sector
    return bytes(out)


def fill(volume, work):
    """Nested folders, long and Japanese names, attributes, a file whose name starts with E5h."""
    files = {"README.TXT": b"hello\r\n", "a long file name.text": b"x" * 3000,
             "報告書.txt": b"\x82\xa0" * 700, "蛟.dat": b"e5"}
    for name, data in files.items():
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        run("mcopy", "-i", volume, path, "::/" + name)
    run("mmd", "-i", volume, "::/Program Files", "::/Program Files/Deep Folder", "::/EMPTY")
    run("mcopy", "-i", volume, os.path.join(work, "README.TXT"), "::/Program Files/Deep Folder/x.txt")
    run("mattrib", "-i", volume, "+h", "+s", "+r", "::/README.TXT")


# The dirty volume: file name -> how it is left, and the bytes each file holds.
DIRTY_FILES = {
    "Deleted by DOS.txt": b"gone\r\n",            # short entry deleted (E5h), chain freed
    "Checksum gone.txt": b"renamed by DOS\r\n",    # short name changed: checksum no longer fits
    "Broken sequence in a long name.txt": b"broken\r\n",  # middle entry's number changed
    "LOWER.TXT": b"lower\r\n",                    # short name written as "lower.txt"
    "PLUS.TXT": b"plus\r\n",                      # short name "A+B.TXT"
    "CTRL.TXT": b"control\r\n",                   # short name with a 01h byte
    "DEL.TXT": b"del\r\n",                        # short name with a 7Fh byte
    "AAAAAAAAA": b"nine a\r\n",                   # short name AAAAAA~1
    "TAIL.TXT": b"lower tail\r\n",                # short name "aaaaaa~1"
}
DIRTY_SUB_FILES = {"Last one standing.txt": b"last\r\n"}  # short entry gone: end of the folder


def directory_entries(data, offset, count):
    return [(offset + 32 * i, data[offset + 32 * i:offset + 32 * i + 32]) for i in range(count)]


def dirty_fat16(image, work, label="DIRTY DISK"):
    """A 16 MiB FAT16 volume made by mkfs.fat and mcopy, then left as DOS leaves one: see
    DIRTY_FILES. Returns the image path."""
    with open(image, "wb") as f:
        f.truncate(16 << 20)
    run("mkfs.fat", "-F", "16", "-n", label, "-i", "0DE1E7ED", image)
    for name, data in list(DIRTY_FILES.items()):
        path = os.path.join(work, "dirty-file")
        with open(path, "wb") as f:
            f.write(data)
        run("mcopy", "-i", image, path, "::/" + name)
    run("mmd", "-i", image, "::/SUB")
    for name, data in DIRTY_SUB_FILES.items():
        path = os.path.join(work, "dirty-file")
        with open(path, "wb") as f:
            f.write(data)
        run("mcopy", "-i", image, path, "::/SUB/" + name)
    with open(image, "r+b") as f:
        data = bytearray(f.read())
    reserved, fats, root_entries = struct.unpack_from("<H", data, 14)[0], data[16], \
        struct.unpack_from("<H", data, 17)[0]
    fat_size, per_cluster = struct.unpack_from("<H", data, 22)[0], data[13]
    root = (reserved + fats * fat_size) * 512
    data_start = root + root_entries * 32

    def free_chain(cluster):
        while 2 <= cluster < 0xFFF8:
            following = struct.unpack_from("<H", data, reserved * 512 + cluster * 2)[0]
            for k in range(fats):
                struct.pack_into("<H", data, (reserved + k * fat_size) * 512 + cluster * 2, 0)
            cluster = following

    def short_entry(entries, name):
        for at, e in entries:
            if e[:11] == name:
                return at
        raise RuntimeError("no entry %r in the dirty image" % name)

    entries = directory_entries(data, root, root_entries)
    at = short_entry(entries, b"DELETE~1TXT")
    data[at] = 0xE5
    free_chain(struct.unpack_from("<H", data, at + 26)[0])
    at = short_entry(entries, b"CHECKS~1TXT")
    data[at:at + 11] = b"CHECKSUMTXT"
    at = short_entry(entries, b"BROKEN~1TXT")
    data[at - 64] = 0x05  # the second of its three long-name entries, numbered 2, now 5
    for old, new in ((b"LOWER   TXT", b"lower   txt"), (b"PLUS    TXT", b"A+B     TXT"),
                     (b"CTRL    TXT", b"CT\x01L    TXT"), (b"DEL     TXT", b"DE\x7fL    TXT"),
                     (b"TAIL    TXT", b"aaaaaa~1   ")):
        at = short_entry(entries, old)
        data[at:at + 11] = new
    sub = short_entry(entries, b"SUB        ")
    sub_at = data_start + (struct.unpack_from("<H", data, sub + 26)[0] - 2) * per_cluster * 512
    at = short_entry(directory_entries(data, sub_at, per_cluster * 16), b"LASTON~1TXT")
    free_chain(struct.unpack_from("<H", data, at + 26)[0])
    data[at:at + 32] = bytes(32)  # the directory now ends after the long-name entries
    with open(image, "r+b") as f:
        f.write(data)
    return image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "volume_corpus")
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        seeds = {}
        for name, kib, options in (("fat12", 360, ["-F", "12"]), ("fat16", 4200, ["-F", "16", "-s", "1"])):
            image = os.path.join(work, name + ".img")
            run("mkfs.fat", "-C", *options, image, kib)
            fill(image, work)
            seeds[name] = sparse(image)
        # FAT32 on a whole disk: a master boot record with the partition at sector 2048.
        disk = os.path.join(work, "disk.img")
        with open(disk, "wb") as f:
            f.truncate((2048 + 69632) * 512)
        subprocess.run(["sfdisk", "-q", disk], input=b"start=2048, type=c, bootable\n", check=True,
                       capture_output=True)
        part = os.path.join(work, "part.img")
        run("mkfs.fat", "-C", "-F", "32", "-s", "1", part, 69632 // 2)
        fill(part, work)
        with open(part, "rb") as p, open(disk, "r+b") as d:
            d.seek(2048 * 512)
            d.write(p.read())
        seeds["fat32_disk"] = sparse(disk)
        seeds["dirty_fat16"] = sparse(dirty_fat16(os.path.join(work, "dirty.img"), work))
        for name, data in seeds.items():
            with open(os.path.join(out, name), "wb") as f:
                f.write(data)
    print("written:", ", ".join(sorted(seeds)))


if __name__ == "__main__":
    main()
