"""Xcopy under Wine between two folder drives (scripts/xcopy.ini: Xcopy,"D:\\","E:\\" then a
Logging line that marks the end).

D: holds a made Windows-like tree: nested directories, hidden, system and read-only files (Wine
keeps DOS attributes in the user.DOSATTRIB extended attribute and the read-only bit in the file's
mode), long names and Japanese names. Answered Yes, the copy onto an empty E: gives an equal tree
(names, sizes, bytes); copied again, every file is left out as already there and logged with the
system's error number 80; answered No, nothing is copied."""
import glob
import os
import re
import stat
import time
import unittest

import e2e

QUESTION = "Kelvado Info"
HIDDEN, SYSTEM = 0x2, 0x4

TREE = {
    "IO.SYS": bytes(range(256)) * 40,
    "MSDOS.SYS": b"[Paths]\r\nWinDir=C:\\WINDOWS\r\n",
    "COMMAND.COM": b"MZ" + bytes(5000),
    "WINDOWS/WIN.INI": b"[windows]\r\n",
    "WINDOWS/SYSTEM/VMM32.VXD": bytes((i * 7) & 0xFF for i in range(70000)),
    "WINDOWS/SYSTEM/IOSUBSYS/APIX.VXD": b"apix",
    "Program Files/Accessories/A rather long file name.text": b"long name",
    "日本語フォルダ/漢字のファイル名.txt": "かな".encode("cp932"),
    "a/b/c/d/e/deep.txt": b"deep",
}
EMPTY_DIRS = ["EMPTY", "WINDOWS/TEMP"]
ATTRIBUTES = {"IO.SYS": HIDDEN | SYSTEM, "MSDOS.SYS": HIDDEN | SYSTEM, "WINDOWS/SYSTEM": HIDDEN}
READ_ONLY = ["IO.SYS", "MSDOS.SYS", "WINDOWS/WIN.INI"]


def tree(folder):
    """{relative path: bytes or None for a directory} of a host folder."""
    found = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs:
            found[os.path.relpath(os.path.join(root, name), folder)] = None
        for name in files:
            with open(os.path.join(root, name), "rb") as f:
                found[os.path.relpath(os.path.join(root, name), folder)] = f.read()
    return found


def dos_attributes(path):
    try:
        return int(os.getxattr(path, "user.DOSATTRIB").split(b"\0")[0], 16)
    except OSError:
        return 0


class Xcopy(unittest.TestCase):
    def make_source(self, folder):
        for path, data in TREE.items():
            full = os.path.join(folder, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "wb") as f:
                f.write(data)
        for path in EMPTY_DIRS:
            os.makedirs(os.path.join(folder, path), exist_ok=True)
        for path, bits in ATTRIBUTES.items():
            os.setxattr(os.path.join(folder, path), "user.DOSATTRIB", b"0x%x" % bits)
        for path in READ_ONLY:
            os.chmod(os.path.join(folder, path), 0o444)

    def log(self, wine):
        text = ""
        for name in sorted(glob.glob(os.path.join(wine.prefix, "drive_c", "kelvado-log", "*.log"))):
            with open(name, "rb") as f:
                text += f.read().decode("cp932")
        return text

    def run_copy(self, wine, keys, shot, ends):
        """Runs the program, answers the question with `keys`; returns the log once it holds
        `ends` end marks."""
        proc = wine.run(e2e.program("kelvado_xcopy.exe"))
        box = wine.wait_window(QUESTION, timeout=60, proc=proc)
        e2e.shot(self, wine, shot)
        wine.key(keys, box)
        deadline = time.monotonic() + 120
        while len(re.findall("分割数", self.log(wine))) < ends:
            self.assertLess(time.monotonic(), deadline, "the copy did not end")
            time.sleep(0.3)
        wine.key("Escape", wine.wait_window("Zam", proc=proc))
        self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
        return self.log(wine)

    def test_copy_gives_an_equal_tree_and_never_overwrites(self):
        work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        source, target, untouched = (os.path.join(work, n) for n in ("d", "e", "f"))
        for folder in (source, target, untouched):
            os.makedirs(folder, exist_ok=True)
        self.make_source(source)
        with e2e.session(self) as wine:
            wine.map_drive("d", source)
            wine.map_drive("f", untouched)
            wine.map_drive("e", untouched)
            log = self.run_copy(wine, "Tab space", "question-no", 1)
            self.assertEqual(tree(untouched), {}, "the No answer copied something")

            wine.map_drive("e", target)
            log = self.run_copy(wine, "Return", "question-yes", 2)
            self.assertNotIn("コピーできませんでした", log)
            self.assertEqual(tree(target), tree(source))
            for path, bits in ATTRIBUTES.items():
                self.assertEqual(dos_attributes(os.path.join(target, path)) & bits, bits, path)
            for path in READ_ONLY:
                mode = os.stat(os.path.join(target, path)).st_mode
                self.assertFalse(mode & stat.S_IWUSR, f"{path} is no longer read-only")

            # Everything is there already: each file is left out, logged with error 80.
            with open(os.path.join(target, "WINDOWS", "WIN.INI"), "wb") as f:
                f.write(b"changed on the target")
            log = self.run_copy(wine, "Return", "question-again", 3)
            left_out = re.findall(r"コピーできませんでした\(エラー (\d+)\) (.*)", log)
            self.assertEqual(sorted(path for _, path in left_out),
                             sorted("D:\\" + p.replace("/", "\\") for p in TREE))
            self.assertEqual({code for code, _ in left_out}, {"80"})
            with open(os.path.join(target, "WINDOWS", "WIN.INI"), "rb") as f:
                self.assertEqual(f.read(), b"changed on the target")


if __name__ == "__main__":
    e2e.main()
