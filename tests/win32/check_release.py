#!/usr/bin/env python3
"""Checks the Windows release as the person at a Windows 95/98 machine gets it.

usage: check_release.py ZIP KELVADO_EXE VERSION

ZIP (kelvado-VERSION-win32.zip) must hold exactly kelvado-VERSION/kelvado.exe, byte for byte
the build's KELVADO_EXE (the one the win32 tests audit), and kelvado-VERSION/readme.txt: text in
Shift-JIS (code page 932) that decodes whole, lines ended by CR LF and nothing else, at most 72
columns each (a double-byte character is two), no tabs, naming the version, and telling every
message the engine shows in its error box. Prints every problem and exits 1 when there is one.
"""
import os
import re
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import check_resources  # noqa: E402  (the table of what the program shows)

COLUMNS = 72
# Error texts the program holds but never shows: no step of the wizard raises the code.
NEVER_SHOWN = {"転送先ドライブが固定ディスクではありません"}


def check_readme(data, version, problems):
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as e:
        problems.append(f"readme.txt: byte {e.start} does not decode as code page 932")
        return
    if not data.endswith(b"\r\n"):
        problems.append("readme.txt: the last line has no CR LF")
    lines = data.split(b"\r\n")
    for number, line in enumerate(lines, 1):
        if b"\r" in line or b"\n" in line:
            problems.append(f"readme.txt:{number}: a line end other than CR LF")
        if len(line) > COLUMNS:
            problems.append(f"readme.txt:{number}: {len(line)} columns, at most {COLUMNS}")
        if b"\t" in line:
            problems.append(f"readme.txt:{number}: a tab")
    if not re.search(rf"\bKelvado {re.escape(version)}\b", text):
        problems.append(f"readme.txt: does not name Kelvado {version}")
    # A message may be wrapped in the readme; it counts when its words follow each other.
    flat = re.sub(r"\s+", "", text)
    for message in check_resources.ENGINE_ERROR_TEXTS:
        if message not in NEVER_SHOWN and re.sub(r"\s+", "", message) not in flat:
            problems.append(f"readme.txt: does not tell the error box {message!r}")


def check(zip_path, exe_path, version):
    problems = []
    folder = f"kelvado-{version}/"
    with zipfile.ZipFile(zip_path) as archive:
        names = sorted(archive.namelist())
        wanted = [folder + "kelvado.exe", folder + "readme.txt"]
        if names != wanted:
            problems.append(f"{zip_path}: holds {names}, wanted {wanted}")
        bad = archive.testzip()
        if bad:
            problems.append(f"{zip_path}: {bad} is damaged")
        members = {name: archive.read(name) for name in names if name in wanted}
    with open(exe_path, "rb") as f:
        exe = f.read()
    if members.get(folder + "kelvado.exe") != exe:
        problems.append(f"kelvado.exe in the zip is not {exe_path}")
    if folder + "readme.txt" in members:
        check_readme(members[folder + "readme.txt"], version, problems)
    return problems


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip().split("\n\n")[1])
        return 2
    zip_path, exe_path, version = sys.argv[1:]
    for path, make in ((zip_path, "make release"), (exe_path, "make win32")):
        if not os.path.isfile(path):
            print(f"{path} is missing ({make}): a release that is not made fails the check")
            return 1
    try:
        problems = check(zip_path, exe_path, version)
    except (OSError, zipfile.BadZipFile) as e:
        print(f"{zip_path}: {e}")
        return 1
    for p in problems:
        print(p)
    print(f"{os.path.basename(zip_path)}: {len(problems)} problem{'s' if len(problems) != 1 else ''}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
