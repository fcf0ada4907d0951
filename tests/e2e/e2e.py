"""Shared set-up of the e2e tests: where the Win32 build is, where screenshots go, sessions."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

import wine_harness  # noqa: E402  (found through the path above)

WIN32_BIN = os.environ.get("KELVADO_WIN32_BIN", "")
OUT_DIR = os.environ.get("KELVADO_E2E_OUT", os.path.abspath("e2e-out"))


def program(name):
    path = os.path.join(WIN32_BIN, name)
    if not os.path.isfile(path):
        raise unittest.SkipTest(f"{path} is not built")
    return path


def source_text(header, name):
    """The text constant `name` as the program's header defines it (const char name[] = "...")."""
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    with open(os.path.join(root, header), encoding="utf-8") as f:
        for line in f:
            start = f"const char {name}[] = \""
            if line.startswith(start):
                return line[len(start):line.rindex('"')]
    raise LookupError(f"{name} is not defined in {header}")


def session(test):
    """A WineSession whose work folder and screenshots are named after the test."""
    work = os.path.join(OUT_DIR, test.id().split(".", 1)[-1])
    return wine_harness.WineSession(workdir=work)


def shot(test, wine, name, wid=None):
    return wine.screenshot(os.path.join(OUT_DIR, test.id().split(".", 1)[-1], name + ".png"), wid)


def main():
    unittest.main(verbosity=2)
