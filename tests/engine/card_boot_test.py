#!/usr/bin/env python3
"""Cards formatted by kelvado-card boot in QEMU: the master boot record and the boot record hand
over to a stand-in IO.SYS as MS-DOS 7 wants it, and the failures show their message and halt.

The stand-in (boot/standin_io_sys.asm, assembled here) reports over COM1 where it was entered,
its registers, the dword below the boot sector, the stack, the boot sector it was handed and the
token of each of its eight sectors found in memory; every value is compared with what this script
computes from the image. Failure screens are read through the QEMU monitor.

usage: card_boot_test.py KELVADO_CARD
"""
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

from card_checks import MIB, check, outcome, run, sparse_image

KELVADO_CARD = sys.argv[1]
HERE = os.path.dirname(os.path.abspath(__file__))
BOOT_SOURCES = os.path.join(HERE, "..", "..", "engine", "boot")
QEMU = "qemu-system-i386"
SECTOR = 512
STANDIN_SECTORS = 8
BOOT_SECONDS = 60


class Volume:
    """The card's one partition as its master boot record and boot sector describe it."""

    def __init__(self, image):
        self.image = image
        with open(image, "rb") as f:
            self.mbr = f.read(SECTOR)
            self.start = struct.unpack_from("<I", self.mbr, 446 + 8)[0]
            f.seek(self.start * SECTOR)
            self.boot = f.read(SECTOR)
        b = self.boot
        self.spc = b[13]
        self.reserved = struct.unpack_from("<H", b, 14)[0]
        self.fats = b[16]
        self.root_entries = struct.unpack_from("<H", b, 17)[0]
        self.fat16_size = struct.unpack_from("<H", b, 22)[0]
        self.spt, self.heads = struct.unpack_from("<HH", b, 24)
        self.total = struct.unpack_from("<I", b, 32)[0]
        self.fat32 = self.fat16_size == 0
        self.fat_size = struct.unpack_from("<I", b, 36)[0] if self.fat32 else self.fat16_size
        self.fat_start = self.start + self.reserved
        root = self.fat_start + self.fats * self.fat_size
        self.root_sectors = 0 if self.fat32 else self.root_entries * 32 // SECTOR
        self.root16 = root
        self.data = root + self.root_sectors
        self.root_cluster = struct.unpack_from("<I", b, 44)[0] if self.fat32 else 0
        self.clusters = (self.start + self.total - self.data) // self.spc
        self.bits = 32 if self.fat32 else 16

    def read(self, lba, count=1):
        with open(self.image, "rb") as f:
            f.seek(lba * SECTOR)
            return f.read(count * SECTOR)

    def write(self, lba, data):
        with open(self.image, "r+b") as f:
            f.seek(lba * SECTOR)
            f.write(data)

    def cluster_lba(self, cluster):
        return self.data + (cluster - 2) * self.spc

    def fat_entry(self, cluster):
        width = self.bits // 8
        sector, at = divmod(cluster * width, SECTOR)
        raw = self.read(self.fat_start + sector)
        if width == 2:
            return struct.unpack_from("<H", raw, at)[0]
        return struct.unpack_from("<I", raw, at)[0] & 0x0FFFFFFF

    def set_fat_entry(self, cluster, value):
        width = self.bits // 8
        sector, at = divmod(cluster * width, SECTOR)
        for k in range(self.fats):
            lba = self.fat_start + k * self.fat_size + sector
            raw = bytearray(self.read(lba))
            struct.pack_into("<H" if width == 2 else "<I", raw, at, value)
            self.write(lba, bytes(raw))

    def root_dir_sectors(self):
        """Sector numbers of the root directory in order."""
        if not self.fat32:
            return list(range(self.root16, self.root16 + self.root_sectors))
        out, cluster = [], self.root_cluster
        while 2 <= cluster < 0x0FFFFFF7:
            out += range(self.cluster_lba(cluster), self.cluster_lba(cluster) + self.spc)
            cluster = self.fat_entry(cluster)
        return out

    def find(self, name):
        """(index of the entry in the root directory, first cluster) of an 11-byte name."""
        index = 0
        for lba in self.root_dir_sectors():
            raw = self.read(lba)
            for at in range(0, SECTOR, 32):
                if raw[at] == 0:
                    return None
                if raw[at:at + 11] == name:
                    hi, lo = struct.unpack_from("<H", raw, at + 20)[0], struct.unpack_from("<H", raw, at + 26)[0]
                    return index, (hi << 16 | lo) if self.fat32 else lo
                index += 1
        return None

    def place(self, name, data, clusters):
        """Puts a file into the root directory by hand, its data in `clusters` in that order."""
        end = 0x0FFFFFFF if self.fat32 else 0xFFFF
        for i, cluster in enumerate(clusters):
            self.set_fat_entry(cluster, clusters[i + 1] if i + 1 < len(clusters) else end)
            chunk = data[i * self.spc * SECTOR:(i + 1) * self.spc * SECTOR]
            self.write(self.cluster_lba(cluster), chunk.ljust(self.spc * SECTOR, b"\0"))
        for lba in self.root_dir_sectors():
            raw = bytearray(self.read(lba))
            for at in range(0, SECTOR, 32):
                if raw[at] in (0, 0xE5):
                    entry = bytearray(32)
                    entry[0:11] = name
                    entry[11] = 0x07  # read-only, hidden, system, as IO.SYS is
                    struct.pack_into("<H", entry, 20, clusters[0] >> 16)
                    struct.pack_into("<H", entry, 26, clusters[0] & 0xFFFF)
                    struct.pack_into("<I", entry, 28, len(data))
                    raw[at:at + 32] = entry
                    self.write(lba, bytes(raw))
                    return
        raise RuntimeError("root directory full")


def assemble(source, out, *defines):
    result = run("nasm", "-f", "bin", "-I", BOOT_SOURCES + "/", *["-D" + d for d in defines],
                 "-o", out, source)
    if result.returncode != 0:
        raise RuntimeError("nasm %s: %s" % (source, result.stderr))
    with open(out, "rb") as f:
        return f.read()


def standin_with_tokens(standin):
    """The stand-in with a fresh 8-byte token at offset 1F8h of each sector, and the tokens."""
    data = bytearray(standin)
    tokens = []
    for s in range(STANDIN_SECTORS):
        token = os.urandom(8)
        data[s * SECTOR + 0x1F8:s * SECTOR + 0x200] = token
        tokens.append(token.hex().upper())
    return bytes(data), tokens


class Monitor:
    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX)
        for _ in range(100):
            try:
                self.sock.connect(path)
                break
            except OSError:
                time.sleep(0.1)
        self.read_prompt()

    def read_prompt(self):
        data = b""
        while not data.endswith(b"(qemu) "):
            chunk = self.sock.recv(4096)
            if not chunk:
                break
            data += chunk
        return data.decode("latin-1")

    def command(self, text):
        self.sock.sendall(text.encode() + b"\n")
        return self.read_prompt()


def boot(image, work, geometry=None, want=None, bad_sector=None):
    """Boots the image (reads of `bad_sector` fail with EIO); returns (serial output, text
    screen, halted)."""
    serial = os.path.join(work, "serial.txt")
    monitor = os.path.join(work, "monitor.sock")
    screen_file = os.path.join(work, "screen.bin")
    for path in (serial, monitor, screen_file):
        if os.path.exists(path):
            os.remove(path)
    if geometry:
        cyls, heads, secs = geometry
        drive = ["-drive", "file=%s,format=raw,if=none,id=card" % image,
                 "-device", "ide-hd,drive=card,cyls=%d,heads=%d,secs=%d,bios-chs-trans=none"
                 % (cyls, heads, secs)]
    elif bad_sector is not None:
        config = os.path.join(work, "blkdebug.conf")
        with open(config, "w") as f:
            f.write('[inject-error]\nevent = "read_aio"\nerrno = "5"\nsector = "%d"\n' % bad_sector)
        drive = ["-drive", "driver=raw,file.driver=blkdebug,file.config=%s,"
                 "file.image.filename=%s,if=ide" % (config, image)]
    else:
        drive = ["-drive", "file=%s,format=raw,if=ide" % image]
    qemu = subprocess.Popen([QEMU, "-display", "none", "-m", "16", "-no-reboot", "-nic", "none",
                             "-serial", "file:" + serial,
                             "-monitor", "unix:%s,server,nowait" % monitor] + drive,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    text, screen, halted = "", "", False
    try:
        mon = Monitor(monitor)
        deadline = time.time() + BOOT_SECONDS
        while time.time() < deadline and qemu.poll() is None:
            time.sleep(0.5)
            with open(serial, "rb") as f:
                text = f.read().decode("latin-1")
            mon.command('pmemsave 0xb8000 4000 "%s"' % screen_file)
            with open(screen_file, "rb") as f:
                screen = f.read()[0::2].decode("latin-1")
            halted = "HLT=1" in mon.command("info registers")
            if halted and ("END" in text or (want and want in screen)):
                break
        mon.command("quit")
    except OSError as e:
        check(False, "QEMU monitor: %s" % e)
    finally:
        try:
            qemu.wait(timeout=10)
        except subprocess.TimeoutExpired:
            qemu.kill()
            qemu.wait()
    return text, screen, halted


def report_of(text):
    fields = {}
    for line in text.splitlines():
        if "=" in line:
            key, value = line.split("=", 1)
            fields[key.strip()] = value.strip()
    return fields


def format_card(work, mib, fat32):
    image = os.path.join(work, "card.img")
    sparse_image(image, mib * MIB)
    result = run(KELVADO_CARD, "format", image, *(["--fat32"] * fat32))
    if result.stdout != "result=0 OK\n":
        raise RuntimeError("format %d MiB: %r" % (mib, result.stdout))
    return image


def mcopy(volume, files):
    """Copies (name, bytes) pairs into the root directory with mtools, in order."""
    target = "%s@@%d" % (volume.image, volume.start * SECTOR)
    folder = tempfile.mkdtemp()
    paths = []
    for name, data in files:
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    result = run("mcopy", "-i", target, *paths, "::")
    shutil.rmtree(folder)
    if result.returncode != 0:
        raise RuntimeError("mcopy: %s" % result.stderr)


def expect_handover(name, volume, text, halted, tokens, bios_geometry, lba=True):
    """Compares the stand-in's report with the volume. bios_geometry: (sectors per track, heads)
    the BIOS gives the disk, None when they are the card's own."""
    r = report_of(text)
    if not check("KELVADO-STANDIN" in text and "END" in text, "%s: no report: %r" % (name, text[-300:])):
        return
    found = volume.find(b"IO      SYS") or volume.find(b"WINBOOT SYS")
    cluster = found[1]
    regs = [int(v, 16) for v in r["regs"].split()]
    ax, bx, cx, dx, si, di, bp, sp, ss, ds, es, flags = regs
    check(r["entry"] == "0070:0200", "%s: entered at %s" % (name, r["entry"]))
    check(dx & 0xFF == 0x80, "%s: DL %02X" % (name, dx & 0xFF))
    check((ss, bp) == (0, 0x7C00), "%s: SS:BP %04X:%04X" % (name, ss, bp))
    check((ds, es) == (0, 0), "%s: DS, ES %04X %04X" % (name, ds, es))
    check(flags & 0x200, "%s: interrupts off at the hand-over" % name)
    check(int(r["below"], 16) == volume.data,
          "%s: [SS:BP-4] %s, first data sector %d" % (name, r["below"], volume.data))
    check((si << 16 | di) == cluster, "%s: SI:DI %04X:%04X, IO.SYS at cluster %d" % (name, si, di, cluster))
    stack = [int(v, 16) for v in r["stack"].split()]
    int1e = r["int1e"].split(":")
    check(stack[:2] == [0x78, 0] and stack[2:] == [int(int1e[1], 16), int(int1e[0], 16)],
          "%s: stack %s, int 1Eh %s" % (name, r["stack"], r["int1e"]))
    bs = bytes.fromhex(r["bs"])
    expected = bytearray(volume.boot[:90])
    expected[2] = 0x0E if lba else 0x90
    if bios_geometry:
        struct.pack_into("<HH", expected, 24, *bios_geometry)
    check(bs == bytes(expected), "%s: boot sector handed over differs:\n  %s\n  %s" %
          (name, bs.hex().upper(), bytes(expected).hex().upper()))
    seen = r["tokens"].split()
    check(seen[:4] == tokens[:4], "%s: sectors 0-3 not all loaded: %s" % (name, r["tokens"]))
    check(all(seen[i] != tokens[i] for i in range(4, STANDIN_SECTORS)),
          "%s: more than four sectors loaded: %s" % (name, r["tokens"]))
    check(halted, "%s: the stand-in did not halt" % name)


def expect_failure(name, screen, halted, message):
    check(message in screen, "%s: screen lacks %r: %r" % (name, message, screen.strip()[-400:]))
    check(halted, "%s: the processor does not halt" % name)


def boot_case(work, standin, name, mib, fat32, bios_geometry, before=(), place=None,
              geometry=None, chs_code=None):
    """Formats a card, puts the stand-in IO.SYS on it after the files `before` (by mcopy, or by
    hand in the clusters `place` gives), optionally puts the CHS-only boot code in, boots it and
    checks the hand-over."""
    image = format_card(work, mib, fat32)
    volume = Volume(image)
    data, tokens = standin_with_tokens(standin)
    if place:
        volume.place(b"IO      SYS", data, place(volume))
    else:
        mcopy(volume, list(before) + [("IO.SYS", data)])
    if chs_code:
        put_boot_code(volume, chs_code)
        volume = Volume(image)
    text, _, halted = boot(image, work, geometry)
    expect_handover(name, volume, text, halted, tokens, bios_geometry, lba=chs_code is None)
    found = volume.find(b"IO      SYS")
    print("done:", name, "(IO.SYS entry %d, cluster %d)" % found)
    os.remove(image)


def put_boot_code(volume, code):
    """Replaces the boot code of sector 0 and of the boot record (keeping the partition table and
    the parameter block) with `code`: (mbr, boot sector[, continuation])."""
    mbr = code[0][:446] + volume.mbr[446:]
    volume.write(0, mbr)
    skip = 90 if volume.fat32 else 62
    boot = volume.boot[:skip] + code[1][skip:SECTOR]
    volume.write(volume.start, boot)
    if volume.fat32:
        volume.write(volume.start + 2, code[1][SECTOR:])


def main():
    for tool in (QEMU, "nasm", "mcopy"):
        if not shutil.which(tool):
            print("FAIL: %s is missing" % tool)
            return 1
    with tempfile.TemporaryDirectory(prefix="kelvado-boot-") as work:
        standin = assemble(os.path.join(HERE, "boot", "standin_io_sys.asm"),
                           os.path.join(work, "standin.bin"))
        chs16 = (assemble(os.path.join(BOOT_SOURCES, "mbr.asm"), os.path.join(work, "m.bin"), "FORCE_CHS"),
                 assemble(os.path.join(BOOT_SOURCES, "fat16.asm"), os.path.join(work, "b.bin"), "FORCE_CHS"))
        chs32 = (chs16[0],
                 assemble(os.path.join(BOOT_SOURCES, "fat32.asm"), os.path.join(work, "c.bin"), "FORCE_CHS"))
        others = [("README.TXT", b"not the system\r\n")] + \
                 [("FILE%02d.DAT" % i, b"x" * 100) for i in range(20)]
        empties = [("E%03d.DAT" % i, b"") for i in range(140)]

        # FAT16, 8 MiB (2-sector clusters): IO.SYS by hand in clusters out of order, so loading
        # its first four sectors follows the chain.
        boot_case(work, standin, "FAT16 8 MiB, IO.SYS fragmented", 8, False, None,
                  place=lambda v: [40, 37, 90, 12])
        boot_case(work, standin, "FAT16 20 MiB", 20, False, None)
        # IO.SYS after 21 other entries: in the second sector of the root directory.
        boot_case(work, standin, "FAT16 128 MiB, IO.SYS the 22nd entry", 128, False, None,
                  before=others)
        boot_case(work, standin, "FAT16 2 GiB", 2048, False, None)
        # IO.SYS after 140 entries: in the root directory's second cluster (128 entries each).
        boot_case(work, standin, "FAT32 600 MiB, IO.SYS in the root's second cluster", 600, True,
                  None, before=empties)
        # The largest card: 255 heads, the partition ends at its last cylinder, 1022; IO.SYS in the
        # partition's last cluster.
        boot_case(work, standin, "FAT32 12 GiB, IO.SYS in the last cluster", 12 * 1024, True,
                  None, place=lambda v: [v.clusters + 1])
        # The same through CHS: cylinder 1022, whose bits 8-9 go with the sector number.
        boot_case(work, standin, "FAT32 12 GiB, IO.SYS in the last cluster, CHS", 12 * 1024, True,
                  None, place=lambda v: [v.clusters + 1], chs_code=chs32)
        # A BIOS that gives the disk 8 heads and 32 sectors where the card was made for 16 and 63:
        # through the extensions, and through CHS under the BIOS's geometry.
        geometry = (512, 8, 32)
        boot_case(work, standin, "FAT16 64 MiB, BIOS geometry 8/32, extensions", 64, False,
                  (32, 8), geometry=geometry)
        boot_case(work, standin, "FAT16 64 MiB, BIOS geometry 8/32, CHS", 64, False,
                  (32, 8), geometry=geometry, chs_code=chs16)

        # Failures: no IO.SYS (FAT16 and FAT32), no active partition.
        for name, mib, fat32 in (("FAT16 20 MiB without IO.SYS", 20, False),
                                 ("FAT32 300 MiB without IO.SYS", 300, True)):
            image = format_card(work, mib, fat32)
            mcopy(Volume(image), others[:3])
            _, screen, halted = boot(image, work, want="No IO.SYS")
            expect_failure(name, screen, halted, "No IO.SYS")
            print("done:", name)
        # Read errors: the boot sector (the master boot record's message) and IO.SYS's first
        # sector (the boot sector's).
        image = format_card(work, 20, False)
        volume = Volume(image)
        mcopy(volume, [("IO.SYS", standin)])
        for name, sector, message in (
                ("unreadable boot sector", volume.start, "Error loading operating system"),
                ("unreadable IO.SYS", volume.cluster_lba(volume.find(b"IO      SYS")[1]),
                 "Disk read error")):
            _, screen, halted = boot(image, work, want=message, bad_sector=sector)
            expect_failure(name, screen, halted, message)
            print("done:", name)
        with open(image, "r+b") as f:
            f.seek(446)
            f.write(b"\0")
        _, screen, halted = boot(image, work, want="Invalid partition table")
        expect_failure("no active partition", screen, halted, "Invalid partition table")
        print("done: no active partition")
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
