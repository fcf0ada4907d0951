#!/usr/bin/env python3
"""Makes the Windows release: a zip holding kelvado.exe and the Japanese readme.txt.

usage: release_zip.py --exe KELVADO_EXE --readme README --version VERSION --out ZIP

README is the user guide as kept in the repository: UTF-8 with line feeds, `@VERSION@` standing
for the version. In the zip it is readme.txt as the person at a Windows 95/98 machine opens it
with Notepad: Shift-JIS (code page 932), CR LF line ends, at most 72 columns a line (a double-byte
character takes two, so a line fits a 640 x 480 screen). A text that does not convert or a line
that is too long stops the release with the line's number. Both files lie in a folder named
after the release, kelvado-VERSION, with the modification time of kelvado.exe.
"""
import argparse
import os
import sys
import time
import zipfile

COLUMNS = 72


def readme_bytes(source, version):
    """The readme as Shift-JIS with CR LF, or raises ValueError naming the line at fault."""
    with open(source, encoding="utf-8") as f:
        text = f.read()
    if "\r" in text:
        raise ValueError(f"{source}: keep the source with line feeds only")
    lines = text.replace("@VERSION@", version).split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    out = []
    for number, line in enumerate(lines, 1):
        if "\t" in line:
            raise ValueError(f"{source}:{number}: a tab (Notepad's tab stops differ): use blanks")
        try:
            encoded = line.encode("cp932")
        except UnicodeEncodeError as e:
            raise ValueError(f"{source}:{number}: {line[e.start:e.end]!r} has no Shift-JIS code")
        if len(encoded) > COLUMNS:
            raise ValueError(f"{source}:{number}: {len(encoded)} columns, at most {COLUMNS}")
        out.append(encoded)
    return b"".join(line + b"\r\n" for line in out)


def add(archive, name, data, when):
    info = zipfile.ZipInfo(name, date_time=time.localtime(when)[:6])
    info.create_system = 0  # MS-DOS: the attributes below are DOS attributes
    info.external_attr = 0x20  # archive
    info.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(info, data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        readme = readme_bytes(args.readme, args.version)
        with open(args.exe, "rb") as f:
            exe = f.read()
    except (OSError, ValueError) as e:
        print(f"release_zip: {e}", file=sys.stderr)
        return 1
    when = os.stat(args.exe).st_mtime
    folder = f"kelvado-{args.version}/"
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        add(archive, folder + "kelvado.exe", exe, when)
        add(archive, folder + "readme.txt", readme, when)
    os.replace(partial, args.out)
    print(f"{args.out}: kelvado.exe ({len(exe)} bytes), readme.txt ({len(readme)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
