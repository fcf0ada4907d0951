"""Runs kelvado-script on every scripts/<case>.ini and compares its output with <case>.out.

The cases are kept in UTF-8 and handed to the tool in Shift-JIS, as the program's own script is.
A first line "; args: ..." gives the tool's options for that case."""
import os
import subprocess
import sys
import tempfile


def run_case(tool, ini):
    with open(ini, encoding="utf-8") as f:
        text = f.read()
    first = text.split("\n", 1)[0]
    args = first[len("; args:"):].split() if first.startswith("; args:") else []
    with tempfile.NamedTemporaryFile(suffix=".ini", delete=False) as script:
        script.write(text.encode("cp932"))
    try:
        result = subprocess.run([tool, *args, script.name], capture_output=True, timeout=60)
    finally:
        os.unlink(script.name)
    return result.returncode, result.stdout.decode("utf-8")


def main():
    tool, folder = sys.argv[1], sys.argv[2]
    failures = 0
    cases = sorted(name[:-4] for name in os.listdir(folder) if name.endswith(".ini"))
    for case in cases:
        code, out = run_case(tool, os.path.join(folder, case + ".ini"))
        with open(os.path.join(folder, case + ".out"), encoding="utf-8") as f:
            expected = f.read()
        if code != 0 or out != expected:
            failures += 1
            print(f"FAIL {case}: exit {code}\n--- expected\n{expected}--- got\n{out}")
        else:
            print(f"ok   {case}")
    usage = subprocess.run([tool], capture_output=True)
    if usage.returncode != 2 or b"usage:" not in usage.stderr:
        failures += 1
        print("FAIL usage: no file must print the usage and exit 2")
    missing = subprocess.run([tool, os.path.join(folder, "no-such-file.ini")], capture_output=True)
    if missing.returncode != 1:
        failures += 1
        print("FAIL missing file: exit code", missing.returncode)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
