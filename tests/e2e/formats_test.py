"""IValToStr's and FValToStr's formatters give the same texts in the Win32 build as natively.

format_probe.exe (tests/interp/format_probe_win32.cpp) prints the shared formatting cases of
tests/interp/format_cases.cpp; the native test FormatCases.NativeTextsAreTheRecordedOnes holds the
native build to tests/interp/format_cases.out, and this test holds the Win32 build to the same
file. With --wsprintf the probe prints what the system's own wsprintfA makes of every integer
case that IValToStr accepts, which must be the texts IValToStr makes.
"""
import os
import unittest

import e2e

RECORDED = os.path.join(os.environ.get("KELVADO_SOURCE_DIR", os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..")), "tests", "interp", "format_cases.out")


class Formats(unittest.TestCase):
    def setUp(self):
        self.exe = e2e.program("format_probe.exe")
        with open(RECORDED, "rb") as f:
            self.recorded = f.read().decode("ascii").splitlines()
        self.work = os.path.join(e2e.OUT_DIR, self.id().split(".", 1)[-1])
        os.makedirs(self.work, exist_ok=True)

    def probe(self, wine, *args):
        path = os.path.join(self.work, "probe%s.txt" % "".join(args))
        with open(path, "wb") as out:
            proc = wine.run(self.exe, *args, stdout=out)
            self.assertEqual(wine.wait_exit(proc, timeout=120), 0)
        with open(path, "rb") as f:
            return f.read().decode("ascii").replace("\r\n", "\n").splitlines()

    def assertSameLines(self, got, expected):
        self.assertEqual(len(got), len(expected))
        for n, (a, b) in enumerate(zip(got, expected), 1):
            self.assertEqual(a, b, "line %d" % n)

    def test_win32_build_makes_the_native_texts(self):
        with e2e.session(self) as wine:
            got = self.probe(wine)
        self.assertSameLines(got, self.recorded)

    def test_integer_texts_are_those_of_wsprintfA(self):
        ours = [line for line in self.recorded
                if line.startswith("IValToStr ") and not line.endswith("-> refused")]
        self.assertGreater(len(ours), 200)
        with e2e.session(self) as wine:
            system = self.probe(wine, "--wsprintf")
        self.assertSameLines(system, ours)


if __name__ == "__main__":
    e2e.main()
