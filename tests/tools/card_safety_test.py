#!/usr/bin/env python3
"""kelvado-card transfer with a person's only copy: every target that could overlap the source or
is in use, whatever the path to it, is refused before anything is written, and the source's
bytes are the same afterwards.

  card_safety_test.py KELVADO_CARD            files: the same file, links, a target inside the
                                              source folder, a FIFO, a socket and a character
                                              device as the source, names that drive a terminal
  card_safety_test.py KELVADO_CARD --device   loop devices: a loop device over the source or the
                                              target, a loop device over the card at an offset
                                              (a partition as the kernel would show it) as the
                                              source, a source in a file system of the card, a
                                              file system mounted through a loop device stacked
                                              on the card or on the image, 4096-byte sectors,
                                              and a disk as the source, read only (skipped when
                                              this machine gives no loop device)
"""
import hashlib
import os
import shutil
import socket
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
from card_checks import MIB, check, outcome  # noqa: E402

KELVADO_CARD = sys.argv[1]
SKIP = 77
ENV = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")


def run(*args, timeout=300):
    return subprocess.run([str(a) for a in args], capture_output=True, env=ENV, timeout=timeout)


def transfer(*args, timeout=300):
    r = run(KELVADO_CARD, "transfer", *args, timeout=timeout)
    return r.returncode, r.stdout.decode("utf-8", "replace")


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def fat_image(path, payload, kib=65536):
    """A FAT16 volume of `kib` KiB holding RND.BIN."""
    r = run("mkfs.fat", "-C", "-F", "16", "-s", "4", path, str(kib))
    check(r.returncode == 0, "mkfs.fat: %s" % r.stderr)
    with open(path + ".bin", "wb") as f:
        f.write(payload)
    r = run("mcopy", "-i", path, path + ".bin", "::/RND.BIN")
    check(r.returncode == 0, "mcopy: %s" % r.stderr)
    os.remove(path + ".bin")


def refused(name, args, words, protected, timeout=300):
    """A transfer that must be refused with `words` and leave every file of `protected` as it
    was."""
    before = {p: digest(p) for p in protected}
    try:
        code, out = transfer(*args, timeout=timeout)
    except subprocess.TimeoutExpired:
        check(False, "%s: kelvado-card still waits after %d s" % (name, timeout))
        return
    check(code == 1 and "transfer: FAILED: " in out and words in out and
          "nothing was written" in out,
          "%s: exit %d, wanted %r:\n%s" % (name, code, words, out))
    for path, value in before.items():
        check(digest(path) == value, "%s: %s changed" % (name, path))
    print("ok:", name, "-", out.strip().splitlines()[-1])


def files(work):
    source = os.path.join(work, "in.img")
    fat_image(source, os.urandom(300000))
    refused("the same file", [source, source], "is SOURCE %s itself" % source, [source])
    os.link(source, os.path.join(work, "hard.img"))
    os.symlink("in.img", os.path.join(work, "sym.img"))
    for link in ("hard.img", "sym.img"):
        refused("a link as the target (%s)" % link, [source, os.path.join(work, link)],
                "the same file under another name", [source])

    # A folder source: an image inside it, and one of its files as the target under another name.
    folder = os.path.join(work, "C")
    os.makedirs(os.path.join(folder, "DATA"))
    with open(os.path.join(folder, "DATA", "keep.bin"), "wb") as f:
        f.write(os.urandom(70000))
    kept = os.path.join(folder, "DATA", "keep.bin")
    refused("a new image inside the source folder",
            [folder, os.path.join(folder, "DATA", "card.img"), "--size", "16"],
            "lies inside the source folder", [kept])
    check(not os.path.exists(os.path.join(folder, "DATA", "card.img")),
          "an image was made inside the source folder")
    os.link(kept, os.path.join(work, "keep-link.img"))
    refused("a source file as the target", [folder, os.path.join(work, "keep-link.img")],
            "is the source's file DATA\\keep.bin", [kept])

    # Sources that are no file, folder or disk are refused at once: nothing waits for a writer.
    fifo = os.path.join(work, "fifo")
    os.mkfifo(fifo)
    refused("a FIFO as the source", [fifo, os.path.join(work, "y.img"), "--size", "64"],
            "is a FIFO", [], timeout=20)
    sock = socket.socket(socket.AF_UNIX)
    sock.bind(os.path.join(work, "sock"))
    refused("a socket as the source", [os.path.join(work, "sock"), os.path.join(work, "y.img"),
                                       "--size", "64"], "is a socket", [], timeout=20)
    sock.close()
    refused("a character device as the source", ["/dev/zero", os.path.join(work, "y.img"),
                                                 "--size", "64"], "is a character device", [],
            timeout=20)
    check(not os.path.exists(os.path.join(work, "y.img")), "an image was made for a refused source")

    # Names that would drive a terminal are printed with their control bytes escaped.
    odd = os.path.join(work, "odd")
    os.makedirs(odd)
    for name in (b"a\x1b[2Jred", b"bad\xffname", b"c1\xc2\x9bcsi"):
        with open(os.path.join(odd.encode(), name), "wb") as f:
            f.write(b"x")
    r = run(KELVADO_CARD, "transfer", odd, os.path.join(work, "odd.img"), "--size", "16")
    out = r.stdout
    check(b"\x1b" not in out and b"\xff" not in out and b"\xc2\x9b" not in out and
          b"left out: a\\x1b[2Jred:" in out and b"left out: bad\\xffname:" in out and
          b"left out: c1\\xc2\\x9bcsi:" in out, "escaped names: %r" % out)
    print("ok: names printed with their control bytes escaped")


class Loops:
    """Loop devices made by the test, detached at the end."""

    def __init__(self):
        self.made = []

    def attach(self, path, *options):
        r = run("losetup", "-f", "--show", *options, path)
        loop = r.stdout.decode().strip()
        if r.returncode != 0 or not loop.startswith("/dev/loop"):
            return None
        self.made.append(loop)
        return loop

    def close(self):
        for loop in reversed(self.made):
            run("umount", loop)
            run("losetup", "-d", loop)


def devices(work):
    loops = Loops()
    try:
        return device_cases(work, loops)
    finally:
        loops.close()


def device_cases(work, loops):
    source = os.path.join(work, "in.img")
    fat_image(source, os.urandom(300000), 20480)
    card_image = os.path.join(work, "card.img")
    with open(card_image, "wb") as f:
        f.truncate(96 * MIB)
    card = loops.attach(card_image)
    if card is None:
        print("skipped: no loop device on this machine")
        return SKIP

    # A loop device over the source as the target; the source read through a loop device over
    # the target image.
    over_source = loops.attach(source)
    refused("a loop device over the source", [source, over_source, "--yes"],
            "is a loop device over %s" % source, [source])
    refused("the source through a loop device over the target", [over_source, source, "--yes"],
            "TARGET %s writes SOURCE %s" % (source, over_source), [source])

    # A card made from the image, then the volume on it read through a loop device at the
    # partition's offset (a partition as the kernel shows it) while the card is the target.
    code, out = transfer(source, card, "--yes")
    check(code == 0 and "transfer: ready" in out, "a loop device as the card: %s" % out)
    partition = loops.attach(card, "-o", str(63 * 512))
    refused("a partition of the card as the source", [partition, card, "--yes"],
            "is a loop device over %s from byte 32256" % os.path.basename(card), [card_image])

    # A disk as the source: read, never written.
    before = digest(card_image)
    code, out = transfer(card, os.path.join(work, "copy.img"), "--size", "64")
    check(code == 0 and "transfer: ready" in out and "partition 1 at sector 63 of %s" % card in out,
          "a disk as the source: %s" % out)
    check(digest(card_image) == before, "the source disk was written")
    print("ok: a disk as the source, read only")

    # A source in a file system on the card; a file system mounted through a loop device
    # stacked on the card; an image target behind a mounted loop device.
    mount = os.path.join(work, "mnt")
    os.makedirs(mount)
    run("mkfs.ext2", "-q", "-F", card)
    if run("mount", card, mount).returncode != 0:
        print("skipped: mounting is not allowed here")
    else:
        inside = os.path.join(mount, "in.img")
        with open(source, "rb") as a, open(inside, "wb") as b:
            b.write(a.read())
        refused("a source in a file system of the card", [inside, card, "--yes"],
                "%s lies in a file system of %s" % (inside, os.path.basename(card)), [inside])
        refused("an image target whose loop device is mounted", [source, card_image],
                "%s is mounted on %s; unmount it first" % (os.path.basename(card), mount), [source])
        run("umount", mount)
        stacked = loops.attach(card, "-o", str(MIB))
        run("mkfs.ext2", "-q", "-F", stacked)
        if run("mount", stacked, mount).returncode == 0:
            refused("a file system mounted through a loop device on the card", [source, card, "--yes"],
                    "%s is mounted on %s; unmount it first" % (os.path.basename(stacked), mount),
                    [source])
            run("umount", mount)

    # A device of 4096-byte sectors.
    large = loops.attach(card_image, "--sector-size", "4096")
    if large is None:
        print("skipped: losetup --sector-size is not available here")
    else:
        refused("4096-byte sectors", [source, large, "--yes"], "has logical sectors of 4096 bytes",
                [source, card_image])
    return 0


def main():
    for tool in ("mkfs.fat", "mcopy"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return 1
    with tempfile.TemporaryDirectory(prefix="kelvado-safety-") as work:
        if len(sys.argv) > 2 and sys.argv[2] == "--device":
            if devices(work) == SKIP:
                return outcome() or SKIP
        else:
            files(work)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
