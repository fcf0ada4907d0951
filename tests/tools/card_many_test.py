#!/usr/bin/env python3
"""kelvado-card transfer SOURCE TARGET TARGET...: several cards from one source, each with a serial
of its own (or the source's), each read back and judged on its own by kelvado-card verify and
fsck.fat; every target judged before any is written; a card that fails never stops the others.

  card_many_test.py KELVADO_CARD            image files: three cards, --keep-serial, a target
                                            refused (so none is written), a card too small
  card_many_test.py KELVADO_CARD --device   two loop devices and an image confirmed at once, and
                                            a card whose file system fills up half way while the
                                            others finish (skipped when this machine gives no
                                            loop device or mount)
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
from card_checks import MIB, check, outcome, system_folder  # noqa: E402

KELVADO_CARD = sys.argv[1]
SKIP = 77
ENV = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")


def run(*args, stdin=None):
    r = subprocess.run([str(a) for a in args], capture_output=True, env=ENV, input=stdin)
    return r.returncode, r.stdout.decode("utf-8", "replace"), r.stderr.decode("utf-8", "replace")


# Beside the system: a long folder name.
LONG_FOLDER = {"Program Files/a long folder name/read me.txt": b"x" * 5000}


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def table(out):
    """The rows of the closing table: path -> (FAT, serial, files, verdict)."""
    rows = {}
    lines = out.splitlines()
    heads = [i for i, l in enumerate(lines) if l.startswith("card ") and l.rstrip().endswith("verdict")]
    if not heads:
        return rows
    start = heads[0]
    for line in lines[start + 1:]:
        if line.startswith("transfer:"):
            break
        cells = re.split(r"\s{2,}", line.strip())
        rows[cells[0]] = tuple(cells[3:7])
    return rows


def judged_ready(name, card, folder, start=63 * 512):
    """The card as kelvado-card verify and fsck.fat see it."""
    code, out, _ = run(KELVADO_CARD, "verify", card, "--against", folder)
    check(code == 0 and "verify: the card will boot the system it holds" in out,
          "%s: verify %s: %d\n%s" % (name, card, code, out))
    part = card + ".part"
    with open(card, "rb") as src, open(part, "wb") as dst:
        src.seek(start)
        shutil.copyfileobj(src, dst, 1 << 22)
    code, out, _ = run("fsck.fat", "-n", part)
    os.remove(part)
    noise = ("fsck.fat", "Checking", "Leaving", "Label '' stored", "  Auto-removing label")
    faults = [l for l in out.splitlines() if l.strip() and " files, " not in l and not l.startswith(noise)]
    check(not faults, "%s: fsck.fat on %s: %s" % (name, card, faults))


def images(work):
    folder = os.path.join(work, "C")
    system_folder(folder, LONG_FOLDER)
    cards = [os.path.join(work, n) for n in ("a.img", "b.img", "c.img")]
    with open(cards[0], "wb") as f:
        f.truncate(48 * MIB)  # an existing image is grown to --size; the others are made
    code, out, err = run(KELVADO_CARD, "transfer", folder, *cards, "--size", "64")
    rows = table(out)
    check(code == 0 and out.rstrip().endswith("transfer: ready") and len(rows) == 3 and
          all(r[3] == "ready" for r in rows.values()), "three images: %d\n%s" % (code, out))
    serials = {r[1] for r in rows.values()}
    check(len(serials) == 3, "three images: each its own serial: %s" % serials)
    check(all("card %d of 3: " % n in err for n in (1, 2, 3)), "the progress names each card: %s" % err[-600:])
    check(os.path.getsize(cards[0]) == 64 * MIB, "an existing image was not grown")
    for card in cards:
        judged_ready("three images", card, folder)
    print("ok: three images from one folder")

    # Two cards from an image source, both with its serial.
    source = os.path.join(work, "source.img")
    code, out, _ = run(KELVADO_CARD, "transfer", folder, source, "--size", "40")
    check(code == 0, "the source image: %s" % out)
    serial = re.search(r"serial (\w{4}-\w{4})", out).group(1)
    code, out, _ = run(KELVADO_CARD, "transfer", source, cards[1], cards[2], "--keep-serial")
    rows = table(out)
    check(code == 0 and {r[1] for r in rows.values()} == {serial}, "--keep-serial: %s\n%s" % (serial, out))
    print("ok: two images with the source's serial")

    # One target refused: none is written. The same card twice, the source itself among the
    # targets, a card too small for the tree.
    before = {card: digest(card) for card in cards + [source]}
    fresh = os.path.join(work, "new.img")
    with open(fresh, "wb") as f:
        f.truncate(2 * MIB)
    for name, targets, words in (
            ("the same card twice", [cards[0], cards[1], cards[0]], "are the same card"),
            ("the source among the targets", [cards[0], source], "is SOURCE %s itself" % source),
            ("a card too small", [cards[0], fresh, cards[1]], "the card is too small")):
        code, out, _ = run(KELVADO_CARD, "transfer", source, *targets)
        check(code == 1 and words in out and "nothing was written" in out,
              "%s: %d\n%s" % (name, code, out))
        check(all(digest(card) == value for card, value in before.items()), "%s: a card was written" % name)
    print("ok: one target refused, none written")


class Loops:
    def __init__(self):
        self.made, self.mounts = [], []

    def attach(self, path):
        code, out, _ = run("losetup", "-f", "--show", path)
        if code != 0 or not out.strip().startswith("/dev/loop"):
            return None
        self.made.append(out.strip())
        return out.strip()

    def close(self):
        for point in self.mounts:
            run("umount", point)
        for loop in self.made:
            run("losetup", "-d", loop)


def devices(work):
    loops = Loops()
    try:
        folder = os.path.join(work, "C")
        system_folder(folder, dict(LONG_FOLDER, **{"DATA/BIG.BIN": os.urandom(3 * MIB)}))
        backing = [os.path.join(work, n) for n in ("l1.img", "l2.img")]
        for path in backing:
            with open(path, "wb") as f:
                f.truncate(64 * MIB)
        found = [loops.attach(path) for path in backing]
        if None in found:
            print("skipped: no loop device on this machine")
            return SKIP
        image = os.path.join(work, "img.img")
        code, out, err = run(KELVADO_CARD, "transfer", folder, found[0], found[1], image, "--size", "64",
                             stdin=b"yes\n")
        rows = table(out)
        check("will be lost. Type yes to go on" in err and err.count("will be lost") == 1 and
              "%s (" % found[0] in err and "%s (" % found[1] in err,
              "one confirmation names both devices: %s" % err[:600])
        check(code == 0 and len(rows) == 3 and all(r[3] == "ready" for r in rows.values()),
              "two loop devices and an image: %d\n%s" % (code, out))
        for card in backing + [image]:
            judged_ready("loop devices", card, folder)
        code, out, _ = run(KELVADO_CARD, "transfer", folder, found[0], found[1],
                           stdin=("%s\n" % os.path.basename(found[0])).encode())
        check(code == 1 and "not confirmed" in out, "several devices confirmed by one name: %s" % out)
        print("ok: two loop devices and an image, confirmed at once")

        # A card whose file system fills up while it is written: it fails, the others finish.
        small = os.path.join(work, "small")
        os.makedirs(small)
        if run("mount", "-t", "tmpfs", "-o", "size=2m", "tmpfs", small)[0] != 0:
            print("skipped: mounting a tmpfs is not allowed here")
            return 0
        loops.mounts.append(small)
        full = os.path.join(small, "full.img")
        with open(full, "wb") as f:
            f.truncate(64 * MIB)
        others = [os.path.join(work, "x.img"), os.path.join(work, "y.img")]
        code, out, _ = run(KELVADO_CARD, "transfer", folder, others[0], full, others[1], "--size", "64")
        rows = table(out)
        check(code == 1 and rows.get(full, ("",) * 4)[3].startswith("FAILED: ") and
              rows.get(others[0], ("",) * 4)[3] == "ready" and rows.get(others[1], ("",) * 4)[3] == "ready" and
              "1 of 3 cards failed" in out, "a card failing half way: %d\n%s" % (code, out))
        for card in others:
            judged_ready("beside a failing card", card, folder)
        print("ok: a card failing half way, the others ready")
        return 0
    finally:
        loops.close()


def main():
    for tool in ("fsck.fat", "mkfs.fat"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return 1
    with tempfile.TemporaryDirectory(prefix="kelvado-many-") as work:
        if len(sys.argv) > 2 and sys.argv[2] == "--device":
            if devices(work) == SKIP:
                return outcome() or SKIP
        else:
            images(work)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
