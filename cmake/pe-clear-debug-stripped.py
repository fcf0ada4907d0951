#!/usr/bin/env python3
"""Clears IMAGE_FILE_DEBUG_STRIPPED in a PE file's header.

ld sets that flag whenever it strips debug sections, which announces debug information in an
external PDB file. Kelvado's programs have none anywhere, so the flag is cleared after linking.
"""
import struct
import sys

IMAGE_FILE_DEBUG_STRIPPED = 0x0200

def main(path):
    with open(path, "r+b") as f:
        f.seek(0x3C)
        (pe_offset,) = struct.unpack("<I", f.read(4))
        f.seek(pe_offset)
        if f.read(4) != b"PE\0\0":
            sys.exit(f"{path}: not a PE file")
        characteristics_at = pe_offset + 4 + 18
        f.seek(characteristics_at)
        (flags,) = struct.unpack("<H", f.read(2))
        f.seek(characteristics_at)
        f.write(struct.pack("<H", flags & ~IMAGE_FILE_DEBUG_STRIPPED))

if __name__ == "__main__":
    main(sys.argv[1])
