#!/usr/bin/env python3
"""Audits the Win32 binaries of a build: each must load on Windows 95 and 98.

For every .exe and .dll in the given folder: a 32-bit i386 PE with operating system and subsystem
version 4.0, and imports by name only of the DLLs and functions listed in win9x_imports.txt.
Prints every offence and exits 1 when there is one.
"""
import argparse
import os
import re
import subprocess
import sys


def read_allowed(path):
    allowed, current = {}, None
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            m = re.fullmatch(r"\[(.+)\]", line)
            if m:
                current = allowed.setdefault(m.group(1).lower(), set())
            elif current is not None:
                current.add(line.split()[0])
    never = allowed.pop("never", set())
    return allowed, never


def read_binary(objdump, path):
    out = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    header = dict(re.findall(r"^(\w+)\s+(\S+)", out, re.M))
    imports, dll = {}, None
    in_imports = False
    for line in out.splitlines():
        if line.startswith("The Import Tables"):
            in_imports = True
        elif in_imports and (line.startswith("The Export Tables") or line.startswith("The Function Table")
                             or line.startswith("PE File Base Relocations")):
            in_imports = False
        if not in_imports:
            continue
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = imports.setdefault(m.group(1).lower(), [])
            continue
        m = re.match(r"\s+[0-9a-f]+\s+<none>\s+([0-9a-f]+)", line)
        if m and dll is not None:
            dll.append("#ordinal " + m.group(1))
            continue
        m = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if m and dll is not None:
            dll.append(m.group(1))
    return header, imports


def audit(objdump, path, allowed, never):
    offences = []
    header, imports = read_binary(objdump, path)
    if header.get("Magic") != "010b":
        offences.append("not a PE32 (32-bit) image")
    for field in ("MajorOSystemVersion", "MajorSubsystemVersion"):
        if header.get(field) != "4":
            offences.append(f"{field} is {header.get(field)}, must be 4")
    for field in ("MinorOSystemVersion", "MinorSubsystemVersion"):
        if header.get(field) != "0":
            offences.append(f"{field} is {header.get(field)}, must be 0")
    if not imports:
        offences.append("no import table found")
    for dll, functions in sorted(imports.items()):
        if dll not in allowed:
            offences.append(f"imports {dll}, which is not a DLL of Windows 95/98")
            continue
        for fn in functions:
            if fn in never:
                offences.append(f"imports {dll}!{fn}, which Windows 95/98 lack")
            elif fn not in allowed[dll]:
                offences.append(f"imports {dll}!{fn}, not in the Windows 95/98 list")
    return offences


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--allowed", default=os.path.join(os.path.dirname(__file__), "win9x_imports.txt"))
    parser.add_argument("folder")
    args = parser.parse_args()
    allowed, never = read_allowed(args.allowed)
    for dll, functions in allowed.items():
        for fn in functions & never:
            print(f"{args.allowed}: {dll}!{fn} is listed but Windows 95/98 lack it")
            return 1
    binaries = sorted(f for f in os.listdir(args.folder) if f.lower().endswith((".exe", ".dll")))
    present = {b.lower() for b in binaries}
    for required in ("kelvado.exe", "wnaspi32.dll"):
        if required not in present:
            print(f"{required} is missing from {args.folder}")
            return 1
    failed = False
    for name in binaries:
        offences = audit(args.objdump, os.path.join(args.folder, name), allowed, never)
        print(f"{name}: {'ok' if not offences else 'FAILED'}")
        for offence in offences:
            print(f"  {offence}")
        failed |= bool(offences)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
