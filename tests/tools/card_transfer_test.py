#!/usr/bin/env python3
"""kelvado-card transfer, judged by tools nobody here wrote.

A made Windows 98 tree (nested and empty folders, hidden, system and read-only files and folders,
a zero-length and a multi-MiB file, long names, Japanese names, a name whose Shift-JIS form starts
with E5h, names that need numeric tails up to ~11, times) goes onto cards from three sources: the
folder itself, a FAT16 image and a FAT32 whole-disk image made from it with mkfs.fat, sfdisk,
mcopy and mattrib. Each card must pass fsck.fat -n, show the tree in mdir -/, the attributes in
mattrib, the short names and times in mdir, and give the same bytes back through mcopy. Then what
must fail: a name without a Shift-JIS form, a card too small, a broken source image, the options.

  card_transfer_test.py KELVADO_CARD            the cards above
  card_transfer_test.py KELVADO_CARD --boot     cards from a folder and from a FAT32 image boot in
                                                QEMU into the stand-in IO.SYS of their tree
  card_transfer_test.py KELVADO_CARD --device   a loop device as the card: written with --yes and
                                                after a typed confirmation, refused while mounted
                                                (skipped when this machine gives no loop device)
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
from card_checks import MIB, check, failures, outcome  # noqa: E402

KELVADO_CARD = sys.argv[1]
SKIP = 77
ENV = dict(os.environ, MTOOLS_SKIP_CHECK="1", LC_ALL="C.UTF-8")
R, H, S, A = 0x01, 0x02, 0x04, 0x20
# A moment some entries were last written, local time: 1998-03-07 09:05:42.
WHEN = time.mktime((1998, 3, 7, 9, 5, 42, 0, 0, -1))

# (path, size or bytes, DOS attributes or None for none recorded)
FILES = [
    ("IO.SYS", 40000, R | H | S),
    ("MSDOS.SYS", 1676, R | H | S),
    ("COMMAND.COM", 93890, A),
    ("CONFIG.SYS", 0, A),
    ("AUTOEXEC.BAT", 97, A),
    ("readme.txt", 300, A),
    ("Program Files/Long Folder Name/read me first.txt", 1234, R),
    ("Program Folder/a.txt", 10, A),
    ("My Documents/報告書 1998.txt", 777, A),
    ("日本語/テスト.TXT", 500, A),
    ("WINDOWS/SYSTEM.INI", 2400, A),
    ("WINDOWS/SYSTEM/USER.DAT", 180256, H | S),
    ("WINDOWS/SYSTEM/VMM32/IOS.VXD", 45000, A),
    ("DATA/BIG.BIN", 5 * MIB + 17, A),
    ("DATA/a name long enough to need several long-name entries, with commas; and more.txt", 5, A),
    ("DATA/mode read-only.txt", 33, None),
    ("HIDDEN/inside.txt", 12, A),
    ("SYSDIR/inside.txt", 12, A),
    ("RODIR/inside.txt", 12, A),
] + [("DATA/TAILS/long file %02d.txt" % i, 100 + i, A) for i in range(1, 12)]
FOLDERS = [("HIDDEN", H), ("SYSDIR", S), ("RODIR", R), ("EMPTY", None), ("WINDOWS/TEMP", None)]
# Plain 8.3 names in Shift-JIS: no long-name entries. mtools 4.0 shows such short names in its
# default code page 850 (its code page 932 mangles names), so they are looked for that way.
PLAIN_SJIS = {"日本語", "テスト.TXT"}
# Short names the Windows 95 rules give (the path's last part as mdir lists it).
SHORT_NAMES = ["PROGRA~1", "PROGRA~2", "MYDOCU~1", "LONGFO~1", "README~1 TXT", "LONGFI~1 TXT",
               "LONGFI~9 TXT", "LONGF~10 TXT", "LONGF~11 TXT", "README   TXT"]


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, env=ENV, **kw)


def text(result):
    return result.stdout.decode("utf-8", "replace") + result.stderr.decode("utf-8", "replace")


def content(path, size):
    seed = sum(path.encode("utf-8")) & 0xFF
    block = bytes((i * 7 + seed) & 0xFF for i in range(4096))
    return (block * (size // 4096 + 1))[:size]


def make_tree(root, io_sys=None):
    """The made tree under `root`; IO.SYS's bytes may be given (the boot test's stand-in)."""
    for path, size, attributes in FILES:
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(io_sys if path == "IO.SYS" and io_sys else content(path, size))
        if attributes is not None:
            os.setxattr(full, "user.DOSATTRIB", b"0x%x" % attributes)
    for path, attributes in FOLDERS:
        full = os.path.join(root, path)
        os.makedirs(full, exist_ok=True)
        if attributes is not None:
            os.setxattr(full, "user.DOSATTRIB", b"0x%x" % (attributes | 0x10))
    os.chmod(os.path.join(root, "DATA/mode read-only.txt"), 0o444)
    os.utime(os.path.join(root, "AUTOEXEC.BAT"), (WHEN, WHEN))


def expected_attributes():
    """Path -> the R, H, S, A bits the card must show."""
    want = {}
    for path, _, attributes in FILES:
        want[path] = attributes if attributes is not None else A
    want["DATA/mode read-only.txt"] = R | A
    for path, attributes in FOLDERS:
        want[path] = attributes or 0
    return want


def fat_image(folder, image, mib, fat32, serial, whole_disk):
    """An image of the folder made by mkfs.fat, mcopy and mattrib (FAT32: a whole disk, its
    partition made by sfdisk at sector 2048). Returns the mtools drive of its volume."""
    part = image + ".part" if whole_disk else image
    with open(part, "wb") as f:
        f.truncate(mib * MIB)
    r = run("mkfs.fat", "-F", "32" if fat32 else "16", "-i", serial, part)
    check(r.returncode == 0, "mkfs.fat: %s" % text(r))
    entries = [os.path.join(folder, n) for n in sorted(os.listdir(folder))]
    r = run("mcopy", "-s", "-p", "-m", "-i", part, *entries, "::/")
    check(r.returncode == 0, "mcopy into the source image: %s" % text(r))
    flags = {R: "+r", H: "+h", S: "+s"}
    for path, bits in expected_attributes().items():
        if bits & (R | H | S):
            r = run("mattrib", "-i", part, *[f for b, f in flags.items() if bits & b], "::/" + path)
            check(r.returncode == 0, "mattrib %s: %s" % (path, text(r)))
    if not whole_disk:
        return image
    with open(image, "wb") as f:
        f.truncate((2048 + mib * 2048) * 512)
    r = subprocess.run(["sfdisk", "-q", image], input=b"start=2048, type=c, bootable\n",
                       capture_output=True)
    check(r.returncode == 0, "sfdisk: %s" % r.stderr)
    with open(part, "rb") as src, open(image, "r+b") as dst:
        dst.seek(2048 * 512)
        shutil.copyfileobj(src, dst, 1 << 22)
    os.remove(part)
    return image


def transfer(*args, stdin=None):
    r = run(KELVADO_CARD, "transfer", *args, input=stdin)
    return r.returncode, r.stdout.decode("utf-8", "replace"), r.stderr.decode("utf-8", "replace")


def partition_of(image):
    dump = run("sfdisk", "--dump", image).stdout.decode()
    return re.findall(r"start=\s*(\d+), size=\s*(\d+), type=(\w+)(, bootable)?", dump)


def judge(name, card, folder, fat, work, left_out=(), archived=False):
    """The card as tools nobody here wrote see it, against the folder (less `left_out`).
    `archived`: the source was an image filled by mcopy, which gives every file the archive bit
    and every Japanese name a long name."""
    def shown(path):
        return "/".join(c.encode("cp932").decode("cp850") if c in PLAIN_SJIS and not archived
                        else c for c in path.split("/"))

    found = partition_of(card)
    if not check(len(found) == 1, "%s: sfdisk finds %s" % (name, found)):
        return
    start, count, ptype, boot = found[0]
    check(start == "63" and boot and ptype == ("b" if fat == 32 else "6"),
          "%s: partition %s" % (name, found[0]))
    part = os.path.join(work, "part.img")
    with open(card, "rb") as src, open(part, "wb") as dst:
        src.seek(int(start) * 512)
        dst.write(src.read(int(count) * 512))
    r = run("fsck.fat", "-n", part)
    lines = [l for l in text(r).splitlines()[1:-1] if l.strip()]
    label = ["Label '' stored in boot sector is not valid.", "  Auto-removing label from boot sector.",
             "Leaving filesystem unchanged."]
    check(r.returncode == 0 or (fat == 16 and lines == label), "%s: fsck.fat -n says %s" % (name, lines))

    want = expected_attributes()
    for path in left_out:
        want.pop(path, None)
    if archived:
        want = {p: bits | (A if p not in dict(FOLDERS) else 0) for p, bits in want.items()}
    folders = {p for p, _ in FOLDERS} | {os.path.dirname(p) for p in want if "/" in p}
    folders |= {os.path.dirname(f) for f in folders if "/" in f}
    listing = run("mdir", "-/", "-b", "-a", "-i", part, "::/").stdout.decode("utf-8")
    listed = {l[3:].rstrip("/") for l in listing.splitlines() if l.startswith("::/")}
    expected = {shown(p) for p in set(want) | folders}
    check(listed == expected, "%s: mdir -/ lists %s more, %s missing" %
          (name, sorted(listed - expected), sorted(expected - listed)))
    attrs = {}
    for line in run("mattrib", "-/", "-i", part, "::/").stdout.decode("utf-8").splitlines():
        if "::/" in line:
            flags, path = line.split("::/", 1)
            attrs[path] = (R if "R" in flags else 0) | (H if "H" in flags else 0) | \
                          (S if "S" in flags else 0) | (A if "A" in flags else 0)
    wrong = [(p, attrs.get(shown(p)), want[p]) for p in want if attrs.get(shown(p)) != want[p]]
    check(not wrong, "%s: mattrib shows (path, card, wanted) %s" % (name, wrong))
    names = run("mdir", "-/", "-a", "-i", part, "::/").stdout.decode("utf-8")
    missing = [n for n in SHORT_NAMES if n not in names]
    check(not missing, "%s: short names missing in mdir: %s" % (name, missing))
    check(re.search(r"AUTOEXEC BAT +97 1998-03-07 +9:05", names), "%s: AUTOEXEC.BAT's time" % name)
    back = os.path.join(work, "back")
    shutil.rmtree(back, ignore_errors=True)
    os.makedirs(back)
    r = run("mcopy", "-s", "-n", "-i", part, "::/*", back)
    differ = []
    for path in want:
        source, copy = os.path.join(folder, path), os.path.join(back, shown(path))
        if os.path.isdir(source):
            if not os.path.isdir(copy):
                differ.append(path)
            continue
        with open(source, "rb") as a:
            same = os.path.exists(copy) and open(copy, "rb").read() == a.read()
        if not same:
            differ.append(path)
    check(not differ, "%s: mcopy gives back other bytes for %s %s" % (name, differ, text(r)[-300:]))
    os.remove(part)
    print("ok:", name)


def expect_ready(name, code, out, err, fat):
    check(code == 0 and "transfer: ready" in out and "card: FAT%d" % fat in out,
          "%s: exit %d\n%s%s" % (name, code, out, err[-500:]))


def cards(work):
    folder = os.path.join(work, "C")
    make_tree(folder)

    # A folder onto a 64 MiB card: FAT16 by the rule, then verified by the tool itself.
    card = os.path.join(work, "card.img")
    code, out, err = transfer(folder, card, "--size", "64")
    expect_ready("folder", code, out, err, 16)
    check("FAT16 (the tree and the card fit FAT16)" in out, "folder: the rule's reason: %s" % out)
    check("転送先へファイルを書き込み中" in err and "転送先のファイルを照合中" in err,
          "folder: status texts on standard error: %r" % err[-300:])
    judge("folder", card, folder, 16, work)
    os.remove(card)
    first_byte_e5(work)

    # A FAT16 image (mkfs.fat, mcopy, mattrib) onto a larger card, its serial kept; its short
    # names and times come along unchanged.
    source = fat_image(folder, os.path.join(work, "fat16.img"), 40, False, "1234ABCD", False)
    with open(card, "wb") as f:
        f.truncate(128 * MIB)  # an existing image: its size is the card's
    code, out, err = transfer(source, card, "--keep-serial")
    expect_ready("FAT16 image", code, out, err, 16)
    check("serial 1234-ABCD" in out, "FAT16 image: serial not kept: %s" % out)
    judge("FAT16 image", card, folder, 16, work, archived=True)
    os.remove(card)

    # A FAT32 whole disk onto a 300 MiB card: FAT32, as its source.
    disk = fat_image(folder, os.path.join(work, "disk32.img"), 300, True, "0BADF00D", True)
    code, out, err = transfer(disk, card, "--size", "300")
    expect_ready("FAT32 disk", code, out, err, 32)
    check("source: FAT32 partition 1 at sector 2048" in out, "FAT32 disk: source line: %s" % out)
    judge("FAT32 disk", card, folder, 32, work, archived=True)
    # The same source with --fat16 and the data check, on the same card: FAT16.
    code, out, err = transfer(disk, card, "--fat16", "--check")
    expect_ready("FAT32 disk --fat16", code, out, err, 16)
    judge("FAT32 disk --fat16", card, folder, 16, work, archived=True)
    os.remove(card)
    os.remove(disk)

    # A name that has no Shift-JIS form is reported and left out: the rest is written and
    # verified, the exit status says it was not all.
    with open(os.path.join(folder, "café.txt"), "wb") as f:
        f.write(b"x")
    code, out, err = transfer(folder, card, "--size", "64")
    check(code == 1 and "left out: café.txt: its name cannot be written in Shift-JIS" in out and
          "verified:" in out and "transfer: FAILED: 1 left out, 0 differences" in out,
          "unwritable name: exit %d\n%s" % (code, out))
    judge("folder with an unwritable name", card, folder, 16, work)
    os.remove(os.path.join(folder, "café.txt"))
    os.remove(card)

    # A card too small for the tree: refused before anything is written.
    code, out, err = transfer(folder, card, "--size", "5")
    check(code == 1 and "the card is too small" in out and partition_of(card) == [],
          "too small: exit %d\n%s" % (code, out))
    os.remove(card)

    # A broken source: a chain that loops. Nothing is made. A long name whose checksum is wrong
    # is ignored as Windows ignores it (the short name stands), with a note.
    for damage, words in (("loop", "is reached twice"),
                          ("checksum", ": long name ignored (its checksum does not fit the short "
                                       "entry after it)")):
        broken = fat_image(folder, os.path.join(work, "broken.img"), 20, False, "11112222", False)
        break_image(broken, damage)
        code, out, err = transfer(broken, card, "--size", "64")
        if damage == "loop":
            check(code == 1 and words in out and not os.path.exists(card),
                  "broken source (%s): exit %d\n%s" % (damage, code, out))
        else:
            check(code == 0 and re.search(r"^note: .*" + re.escape(words), out, re.M) and
                  "transfer: ready" in out, "broken source (%s): exit %d\n%s" % (damage, code, out))
            os.remove(card)
        os.remove(broken)

    # The command line.
    for args in (["--fat16", "--fat32"], ["--size", "0"], ["--size"], ["--frobnicate"]):
        code, _, _ = transfer(folder, card, *args)
        check(code == 2, "usage error for %s: %d" % (args, code))
    code, out, _ = transfer(folder, os.path.join(work, "absent.img"))
    check(code == 1 and "--size" in out, "a new image without --size: %s" % out)
    code, out, _ = transfer(os.path.join(work, "absent"), card, "--size", "64")
    check(code == 1 and not os.path.exists(card), "a missing source: %s" % out)
    print("ok: refusals (an unwritable name, a card too small, broken sources, the options)")


def first_byte_e5(work):
    """蛟 is E5 80 in Shift-JIS: its short entry must start 05 80, after long-name entries whose
    checksum is that of the stored name (mtools 4.0 mangles such names, so it is not asked)."""
    folder = os.path.join(work, "E5")
    os.makedirs(folder)
    with open(os.path.join(folder, "蛟.dat"), "wb") as f:
        f.write(b"e5")
    card = os.path.join(work, "e5.img")
    code, out, err = transfer(folder, card, "--size", "16")
    expect_ready("E5", code, out, err, 16)
    with open(card, "rb") as f:
        data = f.read()
    start = 63 * 512
    boot = data[start:start + 512]
    reserved, fats, fat_size = (int.from_bytes(boot[14:16], "little"), boot[16],
                                int.from_bytes(boot[22:24], "little"))
    root = start + (reserved + fats * fat_size) * 512
    lfn, short = data[root:root + 32], data[root + 32:root + 64]
    checksum = 0
    for b in short[:11]:
        checksum = (((checksum & 1) << 7) + (checksum >> 1) + b) & 0xFF
    name = (lfn[1:11] + lfn[14:26] + lfn[28:32]).decode("utf-16-le").split("\0")[0]
    check(short[:11] == b"\x05\x80      DAT" and lfn[0] == 0x41 and lfn[11] == 0x0F and
          lfn[13] == checksum and name == "蛟.dat",
          "E5: entries %s %s" % (lfn.hex(), short.hex()))
    part = os.path.join(work, "e5part.img")
    with open(part, "wb") as f:
        f.write(data[start:])
    r = run("fsck.fat", "-n", part)
    check("1 files" in text(r), "E5: fsck.fat: %s" % text(r))
    os.remove(card)
    os.remove(part)
    print("ok: E5")


def break_image(image, damage):
    """Damages the FAT16 image's root directory: README.TXT's chain made to loop on itself, or
    the checksum of the first long name's entries changed."""
    with open(image, "r+b") as f:
        boot = f.read(512)
        reserved, fats, fat_size = (int.from_bytes(boot[14:16], "little"), boot[16],
                                    int.from_bytes(boot[22:24], "little"))
        root = (reserved + fats * fat_size) * 512
        f.seek(root)
        entries = f.read(512 * 32)
        for at in range(0, len(entries), 32):
            e = entries[at:at + 32]
            if damage == "loop" and e[:11] == b"COMMAND COM":
                cluster = int.from_bytes(e[26:28], "little")
                for k in range(fats):
                    f.seek((reserved + k * fat_size) * 512 + cluster * 2)
                    f.write(cluster.to_bytes(2, "little"))
                return
            if damage == "checksum" and e[11] == 0x0F:
                f.seek(root + at + 13)
                f.write(bytes([e[13] ^ 0xFF]))
                return
    raise RuntimeError("nothing to damage in %s" % image)


def boots(work):
    """Cards from a folder (FAT16) and from a FAT32 whole-disk image boot into their IO.SYS."""
    import card_boot_test as boot
    for tool in (boot.QEMU, "nasm"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return
    standin = boot.assemble(os.path.join(HERE, "..", "engine", "boot", "standin_io_sys.asm"),
                            os.path.join(work, "standin.bin"))
    card = os.path.join(work, "card.img")
    for name, fat in (("folder", 16), ("FAT32 disk", 32)):
        data, tokens = boot.standin_with_tokens(standin)
        folder = os.path.join(work, "C-" + str(fat))
        make_tree(folder, io_sys=data)
        source = folder if fat == 16 else fat_image(folder, os.path.join(work, "disk.img"), 300,
                                                    True, "0BADF00D", True)
        code, out, err = transfer(source, card, "--size", "64" if fat == 16 else "300")
        expect_ready("boot from " + name, code, out, err, fat)
        volume = boot.Volume(card)
        text_out, _, halted = boot.boot(card, work)
        boot.expect_handover("boot from " + name, volume, text_out, halted, tokens, None)
        print("done: boot from", name, "(IO.SYS entry %d, cluster %d)" % volume.find(b"IO      SYS"))
        os.remove(card)


def device(work):
    """A loop device as the card in a reader."""
    image = os.path.join(work, "loop.img")
    with open(image, "wb") as f:
        f.truncate(64 * MIB)
    r = run("losetup", "-f", "--show", "-P", image)
    loop = r.stdout.decode().strip()
    if r.returncode != 0 or not loop.startswith("/dev/loop"):
        print("skipped: no loop device on this machine:", text(r).strip())
        return SKIP
    try:
        folder = os.path.join(work, "C")
        make_tree(folder)
        code, out, err = transfer(folder, loop, "--yes")
        expect_ready("loop device --yes", code, out, err, 16)
        check("device: %s (%s), loop device of" % (loop, os.path.basename(loop)) in out,
              "loop device: what is shown: %s" % out)
        judge("loop device", image, folder, 16, work)
        code, out, err = transfer(folder, loop, stdin=b"no\n")
        check(code == 1 and "not confirmed" in out and "will be lost" in err,
              "loop device, answered no: %d %s %s" % (code, out, err[-200:]))
        code, out, err = transfer(folder, loop, stdin=b"yes\n")
        expect_ready("loop device, answered yes", code, out, err, 16)
        code, _, _ = transfer(folder, loop, "--size", "64", "--yes")
        check(code == 2, "--size with a device is a usage error")
        # The kernel's view of the card's partition: refused as a card of its own.
        name = os.path.basename(loop)
        numbers = os.path.join("/sys/block", name, name + "p1", "dev")
        if os.path.exists(numbers) and not os.path.exists(loop + "p1"):
            major, minor = open(numbers).read().split(":")
            os.mknod(loop + "p1", 0o600 | 0o060000, os.makedev(int(major), int(minor)))
        if os.path.exists(loop + "p1"):
            code, out, _ = transfer(folder, loop + "p1", "--yes")
            check(code == 1 and "is a partition" in out, "a partition as the card: %s" % out)
        else:
            print("skipped: the kernel here shows no partitions of loop devices")
        # In use as swap, then with a mounted file system: refused, nothing written.
        r = run("mkswap", "-f", loop)
        if r.returncode == 0 and run("swapon", loop).returncode == 0:
            code, out, _ = transfer(folder, loop, "--yes")
            run("swapoff", loop)
            check(code == 1 and "%s is in use as swap" % name in out, "swap: %d %s" % (code, out))
            print("ok: a card in use as swap is refused")
        else:
            print("skipped: swapon is not allowed here")
        mount = os.path.join(work, "mnt")
        os.makedirs(mount)
        run("mkfs.ext2", "-q", "-F", loop)
        r = run("mount", loop, mount)
        if r.returncode == 0:
            code, out, _ = transfer(folder, loop, "--yes")
            run("umount", mount)
            check(code == 1 and "%s is mounted on %s; unmount it first" % (name, mount) in out,
                  "a mounted card: %d %s" % (code, out))
            print("ok: a mounted card is refused")
        else:
            print("skipped: mounting is not allowed here:", text(r).strip())
    finally:
        run("losetup", "-d", loop)
    print("ok: loop device")
    return 0


def main():
    mode = sys.argv[2] if len(sys.argv) > 2 else ""
    for tool in ("mkfs.fat", "mcopy", "mattrib", "mdir", "fsck.fat", "sfdisk"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return 1
    with tempfile.TemporaryDirectory(prefix="kelvado-transfer-") as work:
        if mode == "--boot":
            boots(work)
        elif mode == "--device":
            if device(work) == SKIP:
                return 1 if failures else SKIP
        else:
            cards(work)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
