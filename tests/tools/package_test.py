#!/usr/bin/env python3
"""The native tools as they are installed and packaged.

usage: package_test.py BUILD_DIR VERSION WORK_DIR [--lint]

Makes the Debian package with CPack from the build's own configuration (as `make deb` does) in
WORK_DIR, then:
- checks its name (kelvado-card_VERSION_ARCH.deb), its control fields (the dependencies that
  dpkg-shlibdeps found, no recommendation, a description), its files (the two tools, stripped,
  their man pages, the copyright and a changelog whose newest entry is VERSION);
- unpacks it into a scratch root (dpkg-deb -x) and runs the unpacked tools: --version, and a small
  transfer of a folder onto a card image that ends "transfer: ready";
- installs the build with `cmake --install` into a scratch prefix and finds the same files there.

With --lint it runs lintian on the package instead and fails on any error or warning that is not
in ACCEPTED below; it is skipped (exit 77) where lintian is not installed.
"""
import glob
import gzip
import os
import re
import shutil
import subprocess
import sys
import unittest

BUILD, VERSION, WORK = (sys.argv[1:4] if len(sys.argv) >= 4 else [""] * 3)
LINT = "--lint" in sys.argv[4:]
SKIP_CODE = 77  # CTest's SKIP_RETURN_CODE (cmake/Kelvado.cmake)

FILES = {
    "bin/kelvado-card", "bin/kelvado-script",
    "share/man/man1/kelvado-card.1.gz", "share/man/man1/kelvado-script.1.gz",
    "share/doc/kelvado-card/copyright", "share/doc/kelvado-card/changelog.gz",
}

# Errors and warnings lintian may still report: tag -> why it is left. None today; its notes
# (I:) are printed and do not fail the test.
ACCEPTED = {}


def run(*args, **kwargs):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=600, **kwargs)


def make_package():
    """The .deb that CPack makes from the build's configuration, in WORK/cpack."""
    out = os.path.join(WORK, "cpack")
    shutil.rmtree(out, ignore_errors=True)
    config = os.path.join(BUILD, "CPackConfig.cmake")
    if not os.path.isfile(config):
        raise AssertionError(f"{config} is missing: the build is not configured (make native)")
    result = run("cpack", "-G", "DEB", "--config", config, "-B", out)
    if result.returncode != 0:
        raise AssertionError(f"cpack failed:\n{result.stdout}{result.stderr}")
    debs = glob.glob(os.path.join(out, "*.deb"))
    if len(debs) != 1:
        raise AssertionError(f"cpack made {debs}, wanted one package")
    return debs[0]


def tree(root):
    return {os.path.relpath(os.path.join(base, name), root)
            for base, _, names in os.walk(root) for name in names}


def small_drive(folder):
    """A folder standing for a small Windows 98 drive."""
    for path, data in (("IO.SYS", b"io" * 300), ("MSDOS.SYS", b"[Paths]\r\n"),
                       ("WINDOWS/WIN.INI", b"[windows]\r\n"),
                       ("Program Files/Read me first.txt", b"long name\r\n"),
                       ("日本語.TXT", b"\x93\xfa\x96\x7b\x8c\xea\r\n")):
        full = os.path.join(folder, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = make_package()

    def test_name_fields_and_files(self):
        arch = run("dpkg", "--print-architecture").stdout.strip()
        self.assertEqual(os.path.basename(self.deb), f"kelvado-card_{VERSION}_{arch}.deb")
        fields = {}
        for field in ("Package", "Version", "Architecture", "Depends", "Recommends",
                      "Description", "Section", "Maintainer"):
            fields[field] = run("dpkg-deb", "-f", self.deb, field).stdout.strip()
        print(f"{os.path.basename(self.deb)}: {os.path.getsize(self.deb)} bytes")
        print(f"Depends: {fields['Depends']}")
        print(f"Recommends: {fields['Recommends'] or '(none)'}")
        self.assertEqual((fields["Package"], fields["Version"], fields["Architecture"]),
                         ("kelvado-card", VERSION, arch))
        # dpkg-shlibdeps: the C library and the C++ runtime, with versions.
        for library in ("libc6 (>=", "libstdc++6 (>=", "libgcc-s1 (>="):
            self.assertIn(library, fields["Depends"])
        self.assertEqual(fields["Recommends"], "")
        self.assertIn("Windows 95/98", fields["Description"].splitlines()[0])
        self.assertGreater(len(fields["Description"].splitlines()), 3)

        listing = run("dpkg-deb", "-c", self.deb).stdout.splitlines()
        files = {line.split()[-1][len("./usr/"):] for line in listing if not line.startswith("d")}
        self.assertEqual(files, FILES)
        for line in listing:
            self.assertIn(" root/root ", line)

    def test_unpacked_tools_run(self):
        root = os.path.join(WORK, "root")
        shutil.rmtree(root, ignore_errors=True)
        self.assertEqual(run("dpkg-deb", "-x", self.deb, root).returncode, 0)
        card = os.path.join(root, "usr", "bin", "kelvado-card")
        script = os.path.join(root, "usr", "bin", "kelvado-script")
        for tool in (card, script):
            self.assertIn("stripped", run("file", "-b", tool).stdout.replace("not stripped", ""))
        self.assertEqual(run(card, "--version").stdout, f"kelvado-card (Kelvado) {VERSION}\n")
        self.assertEqual(run(script, "--version").stdout, f"kelvado-script (Kelvado) {VERSION}\n")

        with gzip.open(os.path.join(root, "usr/share/doc/kelvado-card/changelog.gz"), "rt") as f:
            newest = re.match(r"kelvado-card \(([^)]+)\)", f.readline())
        self.assertEqual(newest and newest.group(1), VERSION,
                         "the changelog's newest entry is not this version")

        drive = os.path.join(WORK, "drive")
        shutil.rmtree(drive, ignore_errors=True)
        small_drive(drive)
        image = os.path.join(WORK, "card.img")
        if os.path.exists(image):
            os.unlink(image)
        result = run(card, "transfer", drive, image, "--size", "32")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertTrue(result.stdout.rstrip().endswith("transfer: ready"), result.stdout)
        self.assertIn("written: 5 files, 2 folders", result.stdout)

    def test_cmake_install(self):
        prefix = os.path.join(WORK, "prefix")
        shutil.rmtree(prefix, ignore_errors=True)
        result = run("cmake", "--install", BUILD, "--prefix", prefix)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(tree(prefix), FILES)
        self.assertEqual(run(os.path.join(prefix, "bin", "kelvado-card"), "--version").returncode, 0)
        with gzip.open(os.path.join(prefix, "share/man/man1/kelvado-card.1.gz"), "rt") as f:
            self.assertTrue(f.readline().startswith(".TH KELVADO-CARD 1 "))


class Lint(unittest.TestCase):
    def test_lintian(self):
        if shutil.which("lintian") is None:
            raise unittest.SkipTest("lintian is not installed")
        deb = make_package()
        result = run("lintian", "--display-info", "--tag-display-limit", "0", deb)
        print(f"lintian {os.path.basename(deb)}:")
        print(result.stdout + result.stderr or "(nothing to report)")
        faults = []
        for line in result.stdout.splitlines():
            found = re.match(r"([EWIPX]): \S+: (\S+)", line)
            if found and found.group(1) in "EW" and found.group(2) not in ACCEPTED:
                faults.append(line)
        self.assertFalse(faults, "lintian reports what is not accepted")


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__.strip().split("\n\n")[1])
    os.makedirs(WORK, exist_ok=True)
    suite = unittest.TestLoader().loadTestsFromTestCase(Lint if LINT else Package)
    outcome = unittest.TextTestRunner(verbosity=2).run(suite)
    if not outcome.wasSuccessful():
        sys.exit(1)
    sys.exit(SKIP_CODE if outcome.skipped else 0)
