#!/usr/bin/env python3
"""How fast kelvado-card transfer puts a tree onto a card image, against mkfs.fat + mcopy -s +
mattrib putting the same tree into an image of the same size: one run each, as a ratio.

A made tree of 3,000 files in 330 folders, three levels deep, about 300 MiB (most files a few
KiB, twenty of 12 MiB), some hidden, system and read-only; the card image is 1 GiB. The transfer
includes everything it does: the format, the write, and reading the whole card back to compare it
with the tree; the peers only write.

usage: transfer_bench.py WORKDIR KELVADO_CARD
"""
import os
import shutil
import subprocess
import sys
import time

MIB = 1 << 20
CARD_MIB = 1024


def make_tree(root):
    """Returns (files, folders, bytes, [(path, mattrib flags)])."""
    files = folders = total = 0
    flagged = []
    block = os.urandom(1 << 16)
    for a in range(30):
        for b in range(10):
            folder = os.path.join(root, "Folder %02d" % a, "SUB%02d" % b)
            os.makedirs(folder)
            folders += 1
            for c in range(10):
                size = 1024 + (a * 131 + b * 17 + c * 7919) % 32768
                if (a, b) in ((0, 0), (1, 1)) and c < 10:
                    size = 12 * MIB
                name = "file %d of folder %d.dat" % (c, b) if c % 2 else "F%d.DAT" % c
                path = os.path.join(folder, name)
                with open(path, "wb") as f:
                    left = size
                    while left:
                        piece = min(left, len(block))
                        f.write(block[:piece])
                        left -= piece
                files += 1
                total += size
                if c == 3:
                    os.setxattr(path, "user.DOSATTRIB", b"0x27")  # hidden, system, read-only
                    flagged.append((os.path.relpath(path, root), ["+h", "+s", "+r"]))
        folders += 1
    return files, folders, total, flagged


def fresh(image):
    if os.path.exists(image):
        os.remove(image)
    with open(image, "wb") as f:
        f.truncate(CARD_MIB * MIB)


def timed(command, env=None):
    start = time.monotonic()
    r = subprocess.run(command, capture_output=True, env=env)
    seconds = time.monotonic() - start
    if r.returncode != 0:
        print("  failed: %s\n%s" % (" ".join(command[:3]), r.stdout.decode()[-500:] + r.stderr.decode()[-500:]))
        return None
    return seconds


def main():
    work, card_tool = sys.argv[1], sys.argv[2]
    tree = os.path.join(work, "transfer-tree")
    image = os.path.join(work, "transfer.img")
    shutil.rmtree(tree, ignore_errors=True)
    os.makedirs(tree)
    files, folders, total, flagged = make_tree(tree)
    env = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")
    subprocess.run(["sync"])

    fresh(image)
    ours = timed([card_tool, "transfer", tree, image], env)

    fresh(image)
    start = time.monotonic()
    steps = [["mkfs.fat", image],
             ["mcopy", "-s", "-p", "-m", "-i", image] +
             [os.path.join(tree, n) for n in sorted(os.listdir(tree))] + ["::/"]]
    peer = 0.0
    for step in steps:
        seconds = timed(step, env)
        peer = None if seconds is None or peer is None else peer + seconds
    if peer is not None and flagged:
        seconds = timed(["mattrib", "-i", image] + flagged[0][1] +
                        ["::/" + path for path, _ in flagged], env)
        peer = None if seconds is None else peer + seconds
    os.remove(image)
    shutil.rmtree(tree)

    print("kelvado-bench transfer: %d files, %d folders, %.0f MiB onto a %d MiB image, one run each"
          % (files, folders, total / MIB, CARD_MIB))
    for what, seconds in (("kelvado-card transfer (format, write, read back)", ours),
                          ("mkfs.fat + mcopy -s + mattrib", peer)):
        print("  %-48s %s" % (what, "failed" if seconds is None else "%8.3f s %6.0f MiB/s" %
                               (seconds, total / MIB / seconds)))
    if ours and peer:
        print("  %-48s %8.2f   (target <= 1.0)" % ("transfer / mkfs.fat + mcopy + mattrib (time)",
                                                   ours / peer))
    return 0


if __name__ == "__main__":
    sys.exit(main())
