"""A C: drive worth copying for the Wine prefix: a made Windows 98 system drive next to the
prefix's own Windows tree, on a size-limited file system, so that the size and free space Wine
reports for C: are those of the drive and not of the machine's disk.

The made tree has a stand-in IO.SYS, MSDOS.SYS, COMMAND.COM, CONFIG.SYS, AUTOEXEC.BAT, nested
folders, an empty folder, hidden, system and read-only files (their DOS attributes in the
extended attribute where Wine keeps them), a zero-length file, a file of several MiB, long names
and Shift-JIS names.
"""
import os
import shutil
import subprocess

ATTR_READONLY, ATTR_HIDDEN, ATTR_SYSTEM, ATTR_ARCHIVE = 0x1, 0x2, 0x4, 0x20
XATTR = "user.DOSATTRIB"  # where Wine keeps a file's DOS attributes

# MSDOS.SYS as Windows 98 leaves it: the Windows folder under [Paths], the options, and the
# comment lines that keep the file longer than 1,024 bytes.
MSDOS_SYS = ("[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\nHostWinBootDrv=C\r\n\r\n"
             "[Options]\r\nBootMulti=1\r\nBootGUI=1\r\nDoubleBuffer=1\r\nAutoScan=1\r\n"
             "WinVer=4.10.2222\r\n;\r\n"
             ";The following lines are required for compatibility with other programs.\r\n"
             ";Do not remove them (MSDOS.SYS needs to be >1024 bytes).\r\n" +
             "".join(";x%s%s\r\n" % ("x" * 67, c) for c in "abcdefghijklmnopqrs")).encode("ascii")

# (path, size, DOS attributes); sizes in bytes, '/' separated paths.
TREE = [
    ("IO.SYS", 222390, ATTR_READONLY | ATTR_HIDDEN | ATTR_SYSTEM),
    ("MSDOS.SYS", len(MSDOS_SYS), ATTR_READONLY | ATTR_HIDDEN | ATTR_SYSTEM),
    ("COMMAND.COM", 93890, ATTR_ARCHIVE),
    ("CONFIG.SYS", 0, ATTR_ARCHIVE),
    ("AUTOEXEC.BAT", 97, ATTR_ARCHIVE),
    ("BOOTLOG.TXT", 4321, ATTR_HIDDEN),
    ("WINDOWS/SYSTEM/VMM32/IOS.VXD", 45000, ATTR_ARCHIVE),
    ("WINDOWS/SYSTEM/USER.DAT", 180256, ATTR_HIDDEN | ATTR_SYSTEM),
    ("WINDOWS/SYSTEM.INI", 2400, ATTR_ARCHIVE),
    ("Program Files/Long Folder Name/read me first.txt", 1234, ATTR_READONLY),
    ("My Documents/報告書 1998.txt", 777, ATTR_ARCHIVE),
    ("DATA/BIG.BIN", 3 * 1024 * 1024 + 17, ATTR_ARCHIVE),
]
EMPTY_FOLDERS = ["EMPTY", "WINDOWS/TEMP"]


def content(size, seed):
    return bytes(((i * 131 + seed) >> 3) & 0xFF for i in range(size)) if size < 65536 else \
        (bytes(range(256)) * (size // 256 + 1))[:size]


def existing_case(root, path):
    """`path` under `root` with each name that exists already in another case taken as it is
    there: Windows names are case-blind, so the made WINDOWS folder is the prefix's windows and
    its SYSTEM.INI replaces the prefix's system.ini."""
    at = root
    for part in path.split("/"):
        if os.path.isdir(at):
            same = [n for n in os.listdir(at) if n.lower() == part.lower()]
            part = same[0] if same else part
        at = os.path.join(at, part)
    return at


def make_tree(root):
    """Writes the made tree under `root`; its file paths, relative. A read-only file is so in its
    mode, which is where Wine reads that attribute from; the others go into the attribute."""
    for i, (path, size, attributes) in enumerate(TREE):
        full = existing_case(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        if os.path.exists(full):
            os.chmod(full, 0o644)
        with open(full, "wb") as f:
            f.write(MSDOS_SYS if path == "MSDOS.SYS" else content(size, i))
        try:
            os.setxattr(full, XATTR, b"0x%x" % attributes)
        except OSError:
            pass  # a file system without user attributes: the files stay plain
        if attributes & ATTR_READONLY:
            os.chmod(full, 0o444)
    for folder in EMPTY_FOLDERS:
        os.makedirs(existing_case(root, folder), exist_ok=True)
    return [path for path, _, _ in TREE]


def cut_links_out(root):
    """Replaces every symbolic link under `root` with what a drive of its own would hold: a
    link to a folder (Wine links the profile's Desktop, Documents, ... to the Unix home) becomes
    an empty folder, a link to a file a copy of it. A system drive holds no way out of itself."""
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            if not os.path.islink(path):
                continue
            target = os.path.realpath(path)
            os.unlink(path)
            if os.path.isdir(target):
                os.makedirs(path)
            elif os.path.isfile(target):
                shutil.copy(target, path)


def folder_bytes(root):
    """What the files and folders under `root` take, in whole 4 KiB blocks."""
    total = 0
    for folder, dirs, files in os.walk(root):
        total += 4096 * (len(dirs) + 1)
        for name in files:
            try:
                size = os.lstat(os.path.join(folder, name)).st_size
            except OSError:
                continue
            total += (size + 4095) // 4096 * 4096
    return total


def mount_limited(folder, mib):
    """A tmpfs of `mib` MiB at `folder`; False when this machine does not let us mount."""
    os.makedirs(folder, exist_ok=True)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={mib}m", "tmpfs", folder],
                            capture_output=True)
    return result.returncode == 0


def mount_card_volume(folder, card_mib):
    """The card's drive: `folder` on a size-limited mount of the card's size, so that what the
    program reads as the drive's free space is what the card holds, as it would be for the
    mounted card. False when this machine does not let us mount (the folder is then plain)."""
    unmount(folder)
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    return mount_limited(folder, card_mib)


def unmount(folder):
    subprocess.run(["umount", folder], capture_output=True)


def prepare(prefix, folder, extra_mib=8):
    """Makes `folder` the prefix's C:: a size-limited mount holding a copy of the prefix's
    drive_c and the made tree, with `extra_mib` MiB left free. Returns (mounted, used bytes)."""
    drive_c = os.path.join(prefix, "drive_c")
    need = folder_bytes(drive_c) + sum(size for _, size, _ in TREE)
    mib = need * 21 // 20 // (1 << 20) + extra_mib + 4
    mounted = mount_limited(folder, mib)
    if not mounted:
        os.makedirs(folder, exist_ok=True)
    subprocess.run(["cp", "-a", drive_c + "/.", folder], check=True)
    cut_links_out(folder)
    make_tree(folder)
    link = os.path.join(prefix, "dosdevices", "c:")
    if os.path.lexists(link):
        os.unlink(link)
    os.symlink(os.path.abspath(folder), link)
    return mounted, folder_bytes(folder)


def card_mib_for(used_bytes):
    """The size of a card that holds a C: of `used_bytes`: a quarter more, 32 MiB for the file
    system's own areas, rounded up to whole 64 MiB, as cards come in round sizes."""
    need = used_bytes * 5 // 4 + (32 << 20)
    return max(64, -(-need // (64 << 20)) * 64)


def digest(root, skip=None):
    """A digest of every name and byte under `root`, leaving out the folder `skip` (relative) with
    the folders that lead to it: the program makes them for its dated files."""
    import hashlib
    h = hashlib.sha256()
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        rel = os.path.relpath(folder, root)
        if skip and (rel == skip or rel.startswith(skip + os.sep) or skip.startswith(rel + os.sep)):
            continue
        h.update(rel.encode("utf-8", "surrogateescape"))
        for name in sorted(files):
            path = os.path.join(folder, name)
            h.update(name.encode("utf-8", "surrogateescape"))
            if os.path.islink(path):
                continue
            try:
                with open(path, "rb") as f:
                    h.update(f.read())
            except OSError:
                h.update(b"<unreadable>")
    return h.hexdigest()
