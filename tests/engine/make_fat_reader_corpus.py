#!/usr/bin/env python3
"""Writes the seed corpus of fat_reader_fuzzer (tests/engine/fat_reader_corpus/): volumes made by
mkfs.fat, sfdisk and mtools, as the fuzzer's sparse images (mode 1: the size in sectors, then
each non-zero sector with its number). Broken images are the fuzzer's own work; crafted ones are
tested in fat_volume_test.

usage: make_fat_reader_corpus.py [OUT_DIR]
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


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "fat_reader_corpus")
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
        for name, data in seeds.items():
            with open(os.path.join(out, name), "wb") as f:
                f.write(data)
    print("written:", ", ".join(sorted(seeds)))


if __name__ == "__main__":
    main()
