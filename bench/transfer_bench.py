#!/usr/bin/env python3
"""How fast kelvado-card transfer puts a tree onto a card image, against the tools of the system
doing the same in the same run, best of five runs each, as ratios:

- its writing (the format, the files, the flush to the medium) against mkfs.fat + mcopy -s +
  mattrib putting the same tree into an image of the same size, then sync of that image;
- its read-back (the whole card read from the medium and compared with what was written)
  against dd reading the same bytes of the card, its cached pages dropped first as the
  transfer drops them;
- three cards from the source in one transfer (its files read once, written to the three
  together) against three transfers of one card each, one after the other; and, where this
  machine gives loop devices, the same for two cards on loop devices.

A made tree of 3,000 files in 330 folders, three levels deep, about 300 MiB (most files a few
KiB, twenty of 12 MiB), some hidden, system and read-only; the card image is 1 GiB.

usage: transfer_bench.py WORKDIR KELVADO_CARD
"""
import os
import re
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


RUNS = 5


def fresh(image):
    if os.path.exists(image):
        os.remove(image)
    with open(image, "wb") as f:
        f.truncate(CARD_MIB * MIB)


def drop_cache(path):
    """Writes the file out and drops its cached pages, so the next read comes from the medium."""
    fd = os.open(path, os.O_RDONLY)
    try:
        os.fsync(fd)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
    finally:
        os.close(fd)


def run(command, env):
    start = time.monotonic()
    r = subprocess.run(command, capture_output=True, env=env)
    seconds = time.monotonic() - start
    if r.returncode != 0:
        raise RuntimeError("%s failed:\n%s" % (" ".join(command[:3]),
                                                r.stdout.decode()[-500:] + r.stderr.decode()[-500:]))
    return seconds, r.stdout.decode("utf-8", "replace")


def ours(card_tool, tree, image, env):
    """(writing, read-back) seconds of one transfer, as it reports them."""
    fresh(image)
    _, out = run([card_tool, "transfer", tree, image], env)
    written = re.search(r"^written: .*\(([0-9.]+) s\)$", out, re.M)
    verified = re.search(r"^verified: .*\(([0-9.]+) s\)$", out, re.M)
    if not written or not verified or "transfer: ready" not in out:
        raise RuntimeError("the transfer did not end ready:\n" + out[-800:])
    return float(written.group(1)), float(verified.group(1))


def used_bytes(image, env):
    """The bytes from the start of the card to the end of its last used cluster: the master boot
    record's track, the system area and the clusters the read-back reads."""
    start = 63 * 512
    with open(image, "rb") as f:
        f.seek(start)
        boot = f.read(512)
    sector = int.from_bytes(boot[11:13], "little")
    per_cluster = boot[13]
    reserved = int.from_bytes(boot[14:16], "little")
    fats = boot[16]
    root_entries = int.from_bytes(boot[17:19], "little")
    fat_size = int.from_bytes(boot[22:24], "little") or int.from_bytes(boot[36:40], "little")
    data = start + (reserved + fats * fat_size) * sector + root_entries * 32
    part = image + ".part"
    with open(image, "rb") as src, open(part, "wb") as dst:
        src.seek(start)
        shutil.copyfileobj(src, dst, 1 << 22)
    r = subprocess.run(["fsck.fat", "-n", part], capture_output=True, env=env)
    os.remove(part)
    clusters = re.search(rb"(\d+)/\d+ clusters", r.stdout)
    if not clusters:
        raise RuntimeError("fsck.fat does not say how many clusters are used")
    return data + int(clusters.group(1)) * per_cluster * sector


def peer_write(tree, image, flagged, env):
    fresh(image)
    seconds, _ = run(["mkfs.fat", image], env)
    seconds += run(["mcopy", "-s", "-p", "-m", "-i", image] +
                   [os.path.join(tree, n) for n in sorted(os.listdir(tree))] + ["::/"], env)[0]
    if flagged:
        seconds += run(["mattrib", "-i", image] + flagged[0][1] +
                       ["::/" + path for path, _ in flagged], env)[0]
    return seconds + run(["sync", image], env)[0]


def peer_read(image, used, env):
    drop_cache(image)
    count = (used + MIB - 1) // MIB
    return run(["dd", "if=" + image, "of=/dev/null", "bs=1M", "count=%d" % count], env)[0]


def whole(command, env):
    seconds, out = run(command, env)
    if not out.rstrip().endswith("transfer: ready"):
        raise RuntimeError("the transfer did not end ready:\n" + out[-800:])
    return seconds


def many(card_tool, tree, cards, env, fresh_cards):
    """(together, one after the other) seconds, best of RUNS each."""
    together, apart = [], []
    for _ in range(RUNS):
        fresh_cards()
        together.append(whole([card_tool, "transfer", tree] + cards + ["--yes"], env))
        fresh_cards()
        apart.append(sum(whole([card_tool, "transfer", tree, card, "--yes"], env) for card in cards))
    return min(together), min(apart)


def loop_devices(work, count):
    """`count` loop devices over fresh images, or None where the machine gives none."""
    loops = []
    for n in range(count):
        image = os.path.join(work, "loop%d.img" % n)
        with open(image, "wb") as f:
            f.truncate(CARD_MIB * MIB)
        r = subprocess.run(["losetup", "-f", "--show", image], capture_output=True, text=True)
        if r.returncode != 0:
            for loop, _ in loops:
                subprocess.run(["losetup", "-d", loop])
            return None
        loops.append((r.stdout.strip(), image))
    return loops


def main():
    work, card_tool = sys.argv[1], sys.argv[2]
    tree = os.path.join(work, "transfer-tree")
    image = os.path.join(work, "transfer.img")
    shutil.rmtree(tree, ignore_errors=True)
    os.makedirs(tree)
    files, folders, total, flagged = make_tree(tree)
    env = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")
    subprocess.run(["sync"])

    writes, reads, peer_writes, peer_reads = [], [], [], []
    cards = [os.path.join(work, "card%d.img" % n) for n in range(3)]
    loops = None
    try:
        for _ in range(RUNS):
            write, read = ours(card_tool, tree, image, env)
            writes.append(write)
            reads.append(read)
            used = used_bytes(image, env)
            peer_reads.append(peer_read(image, used, env))
            peer_writes.append(peer_write(tree, image, flagged, env))
        os.remove(image)

        def fresh_images():
            for card in cards:
                fresh(card)
        three = many(card_tool, tree, cards, env, fresh_images)
        loops = loop_devices(work, 2)
        two_loops = many(card_tool, tree, [loop for loop, _ in loops], env, lambda: None) if loops else None
    except RuntimeError as error:
        print("kelvado-bench transfer: %s" % error)
        return 1
    finally:
        for path in [image] + cards:
            if os.path.exists(path):
                os.remove(path)
        for loop, backing in loops or []:
            subprocess.run(["losetup", "-d", loop])
            os.remove(backing)
        shutil.rmtree(tree)

    print("kelvado-bench transfer: %d files, %d folders, %.0f MiB onto a %d MiB image, best of %d"
          % (files, folders, total / MIB, CARD_MIB, RUNS))
    rows = (("transfer: format, write, flush", min(writes)),
            ("mkfs.fat + mcopy -s + mattrib + sync", min(peer_writes)),
            ("transfer: read back from the medium, compare", min(reads)),
            ("dd of the same %.0f MiB, cache dropped" % (used / MIB), min(peer_reads)))
    for what, seconds in rows:
        print("  %-48s %8.3f s %6.0f MiB/s" % (what, seconds, total / MIB / seconds))
    print("  %-48s %8.2f   (aim <= 1.0)" % ("writing / mkfs.fat + mcopy + mattrib + sync",
                                            min(writes) / min(peer_writes)))
    print("  %-48s %8.2f   (aim <= 1.2)" % ("read-back / dd", min(reads) / min(peer_reads)))
    print("  %-48s %8.3f s" % ("three image cards in one transfer", three[0]))
    print("  %-48s %8.3f s" % ("three transfers of one image card each", three[1]))
    print("  %-48s %8.2f" % ("three together / one after the other", three[0] / three[1]))
    if two_loops:
        print("  %-48s %8.3f s" % ("two loop devices in one transfer", two_loops[0]))
        print("  %-48s %8.3f s" % ("two transfers of one loop device each", two_loops[1]))
        print("  %-48s %8.2f" % ("two together / one after the other", two_loops[0] / two_loops[1]))
    else:
        print("  two loop devices: not measured, this machine gives no loop device")
    return 0


if __name__ == "__main__":
    sys.exit(main())
