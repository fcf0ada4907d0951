#!/usr/bin/env python3
"""Fails the build when a script file differs from the line table of app/builtin_script.cpp.

usage: check_builtin_script.py builtin_script.cpp SCRIPT STAMP

The program's script is kept as the C++ table; the loader's fuzzer starts from a copy of it as a
file. Both must hold the same lines, byte for byte (the file in UTF-8, as the sources are).
On success STAMP is written, so the build runs the check again only when either file changes.
"""
import re
import sys

LITERAL = re.compile(r'^\s*"((?:[^"\\]|\\.)*)",')
ESCAPE = re.compile(r'\\([0-7]{1,3}|.)')


def unescape(body):
    def one(match):
        code = match.group(1)
        if code[0] in "01234567":
            return chr(int(code, 8))
        return {"n": "\n", "t": "\t", "r": "\r"}.get(code, code)
    return ESCAPE.sub(one, body)


def table_lines(cpp):
    with open(cpp, encoding="utf-8") as f:
        text = f.read()
    table = text[text.index("kLines[] = {"):text.index("};")]
    return [unescape(m.group(1)) for m in map(LITERAL.match, table.split("\n")) if m]


def file_lines(ini):
    with open(ini, encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [line[:-1] if line.endswith("\r") else line for line in lines]


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: check_builtin_script.py builtin_script.cpp SCRIPT STAMP")
    cpp, ini, stamp = sys.argv[1:]
    table, copy = table_lines(cpp), file_lines(ini)
    for n in range(max(len(table), len(copy))):
        a = table[n] if n < len(table) else "(no line)"
        b = copy[n] if n < len(copy) else "(no line)"
        if a != b:
            sys.exit(f"{ini}:{n + 1}: differs from {cpp}\n  table: {a}\n  file:  {b}")
    with open(stamp, "w") as f:
        f.write(f"{len(table)} lines\n")


if __name__ == "__main__":
    main()
