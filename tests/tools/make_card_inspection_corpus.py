#!/usr/bin/env python3
"""Writes the seed corpus of card_inspection_fuzzer (tests/tools/card_inspection_corpus/): cards
kelvado-card transfer makes from a small Windows 98 system (FAT16 and FAT32), as the fuzzer's
sparse images (tests/sector_image.h: mode 1, the size in sectors, then each non-zero sector with
its number). Broken cards are the fuzzer's own work; crafted ones are tested in card_verify.

usage: make_card_inspection_corpus.py KELVADO_CARD [OUT_DIR]
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "wine"))
sys.path.insert(0, os.path.join(HERE, "..", "fat"))
from make_volume_corpus import sparse  # noqa: E402
from system_drive import MSDOS_SYS  # noqa: E402


def main():
    card_tool = sys.argv[1]
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "card_inspection_corpus")
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        folder = os.path.join(work, "C")
        os.makedirs(os.path.join(folder, "WINDOWS", "SYSTEM"))
        for path, data in (("IO.SYS", b"\xe9io" * 100), ("MSDOS.SYS", MSDOS_SYS),
                           ("COMMAND.COM", b"\xe9cc" * 50), ("WINDOWS/WIN.INI", b"[windows]\r\n"),
                           ("WINDOWS/a long name.txt", b"x" * 700)):
            with open(os.path.join(folder, path), "wb") as f:
                f.write(data)
        for name in ("IO.SYS", "MSDOS.SYS"):
            os.setxattr(os.path.join(folder, name), "user.DOSATTRIB", b"0x27")
        for name, args in (("fat16", ["--size", "16"]), ("fat32", ["--size", "260", "--fat32"])):
            card = os.path.join(work, name + ".img")
            subprocess.run([card_tool, "transfer", folder, card] + args, check=True,
                           capture_output=True)
            with open(os.path.join(out, name), "wb") as f:
                f.write(sparse(card))
    return 0


if __name__ == "__main__":
    sys.exit(main())
