#!/usr/bin/env python3
"""Makes the README's small pictures of the wizard from the screenshots of an e2e.transfer run.

usage: readme_shots.py TRANSFER_OUT_DIR [DEST]

TRANSFER_OUT_DIR is build/native/e2e/out/Transfer.test_whole_transfer_with_a_held_file; DEST
defaults to docs/wizard. Each picture is the dialog cut out of the black screen, at two thirds of
its size, in 64 colours, so that the repository stays small.
"""
import os
import subprocess
import sys

# (screenshot's name in the test's folder, picture in the README)
SHOTS = [
    ("01-Welcom Kelvado for ATA Card.png", "1-opening.png"),
    ("02-転送先ドライブのチェック.png", "2-check.png"),
    ("03-転送先ドライブパーティション作成.png", "3-partition.png"),
    ("05-partition-running-1.png", "3-partition-running.png"),
    ("07-転送先ドライブの認識（カード初期化）.png", "4-card.png"),
    ("08-システム転送.png", "5-copy.png"),
    ("09-copy-running-0.png", "5-copy-running.png"),
    ("12-left-out.png", "5-left-out.png"),
    ("13-プログラムの終了.png", "6-end.png"),
]


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    source = sys.argv[1]
    dest = sys.argv[2] if len(sys.argv) == 3 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs", "wizard")
    os.makedirs(dest, exist_ok=True)
    for shot, picture in SHOTS:
        path = os.path.join(source, shot)
        if not os.path.isfile(path):
            sys.exit(f"{path} is missing: run the e2e test e2e.transfer first")
        subprocess.run(["convert", path, "-trim", "+repage", "-resize", "67%", "-colors", "64",
                        "-strip", "PNG8:" + os.path.join(dest, picture)], check=True)
        print(os.path.join(dest, picture))


if __name__ == "__main__":
    main()
