#!/usr/bin/env python3
"""Writes a C++ source that defines ProgramScript (app/builtin_script.h) from a script file.

usage: script_to_cpp.py SCRIPT.ini OUT.cpp

The script file is UTF-8; its lines become narrow string literals, which the compiler turns into
Shift-JIS as it does every text of the program. Lines are numbered from 1 as in the file; a line
feed ends a line, a carriage return before it is dropped.
"""
import sys


def literal(line):
    out = []
    for ch in line:
        if ch in '\\"':
            out.append("\\" + ch)
        elif ord(ch) < 0x20 or ord(ch) == 0x7F:
            out.append("\\%03o" % ord(ch))
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: script_to_cpp.py SCRIPT.ini OUT.cpp")
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8", newline="") as f:
        text = f.read()
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    lines = [line[:-1] if line.endswith("\r") else line for line in lines]
    body = "".join(f"    {literal(line)},  // {n}\n"
                   for n, line in enumerate(lines, 1))
    with open(target, "w", encoding="utf-8") as f:
        f.write(f"""// Generated from {source} by tools/build/script_to_cpp.py.
#include "app/builtin_script.h"

static const char* const kLines[] = {{
{body}    nullptr,
}};

static const char* ScriptLineAt(int32_t n) {{
  if (n < 1 || n > {len(lines)}) return nullptr;
  return kLines[n - 1];
}}

const ScriptSource ProgramScript = ScriptLineAt;
""")


if __name__ == "__main__":
    main()
