"""What the card tests share: running tools, collecting failures, making sparse images, a small
Windows 98 system as a folder."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "wine"))
from system_drive import MSDOS_SYS  # noqa: E402

MIB = 1 << 20

failures = []


def check(condition, what):
    """Records `what` as a failure when `condition` is false; returns the condition."""
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True, **kw)


def sparse_image(path, size):
    with open(path, "wb") as f:
        f.truncate(size)


def outcome():
    """The exit status of a test script: 1 after any failure."""
    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    return 0


def system_folder(root, more=None):
    """A small Windows 98 system drive under `root`: IO.SYS and MSDOS.SYS (read-only, hidden,
    system; MSDOS.SYS naming C:\\WINDOWS), COMMAND.COM, a WINDOWS folder; `more` adds files
    (path -> bytes)."""
    files = {"IO.SYS": os.urandom(40000), "MSDOS.SYS": MSDOS_SYS, "COMMAND.COM": os.urandom(93890),
             "WINDOWS/WIN.INI": b"[windows]\r\n", "WINDOWS/SYSTEM/USER.DAT": os.urandom(70000)}
    files.update(more or {})
    for path, data in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
    for name in ("IO.SYS", "MSDOS.SYS"):
        os.setxattr(os.path.join(root, name), "user.DOSATTRIB", b"0x27")
