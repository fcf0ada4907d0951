"""Shared set-up of the e2e tests: where the Win32 build is, where screenshots go, sessions, and
how a test says it cannot run.

A program that is not built is a failure, never a skip. A test that truly cannot run here (no
sound server, say) calls skip(reason); when no test of the file failed and any was skipped, the
file ends with SKIP_CODE, which CTest reports as skipped (SKIP_RETURN_CODE, set by
kelvado_test_properties in cmake/Kelvado.cmake)."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "wine"))

import wine_harness  # noqa: E402  (found through the path above)

# The build these tests run, chosen once per process: the i686 program under the 32-bit Wine, or
# its x86_64 twin under wine64 (KELVADO_E2E_ARCH: i686, x86_64 or auto, see tools/wine/wine_harness.py).
ARCH, CANNOT_RUN = wine_harness.choose_arch(os.environ.get("KELVADO_E2E_ARCH", "auto"))
# KELVADO_WIN32_BIN or KELVADO_WIN64_BIN: the bin folder of that build directory.
_BIN_VARIABLE = f"KELVADO_{ARCH.build.upper()}_BIN" if ARCH else ""
WIN32_BIN = os.environ.get(_BIN_VARIABLE, "") if ARCH else ""
if ARCH:
    print(f"e2e: the {ARCH} build ({WIN32_BIN or 'not built'}) under {ARCH.loader}", flush=True)
OUT_DIR = os.environ.get("KELVADO_E2E_OUT", os.path.abspath("e2e-out"))
# The exit code CTest takes for "skipped" (KELVADO_SKIP_CODE of cmake/Kelvado.cmake).
SKIP_CODE = 77


class ProgramMissing(AssertionError):
    """A Win32 program the test runs is not in the build: the test fails."""


def program(name):
    if ARCH is None:
        skip(CANNOT_RUN)
    if not WIN32_BIN:
        raise ProgramMissing(f"the {ARCH} build is not configured ({_BIN_VARIABLE} "
                             f"unset): make win32 win64 native")
    path = os.path.join(WIN32_BIN, name)
    if not os.path.isfile(path):
        raise ProgramMissing(f"{path} is not built (make win32): a missing program fails the test")
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


def skip(reason):
    """Ends the calling test as skipped: it cannot run here, for `reason`."""
    raise unittest.SkipTest(reason)


def session(test):
    """A WineSession whose work folder and screenshots are named after the test. Skips the test
    when no Win32 program can run here at all (wine_harness.wine_cannot_run)."""
    return session_in(os.path.join(OUT_DIR, test.id().split(".", 1)[-1]))


def session_in(work, **options):
    """A WineSession in the folder `work` for the chosen build (options as WineSession's)."""
    if ARCH is None:
        skip(CANNOT_RUN)
    return wine_harness.WineSession(workdir=work, arch=ARCH, **options)


def shot(test, wine, name, wid=None):
    return wine.screenshot(os.path.join(OUT_DIR, test.id().split(".", 1)[-1], name + ".png"), wid)


def exit_code(result):
    """1 when a test failed or none ran or was skipped, SKIP_CODE when one was skipped (a skip
    in setUpClass counts, though its tests never ran), else 0."""
    if not result.wasSuccessful() or (result.testsRun == 0 and not result.skipped):
        return 1
    if result.skipped:
        for test, reason in result.skipped:
            print(f"skipped: {test.id()}: {reason}")
        return SKIP_CODE
    return 0


def clear_earlier_runs(module):
    """Empties the work folders that the test classes of `module` left in OUT_DIR on an earlier
    run (screenshots, logs, copied trees, mounts), so that no test reads another run's files."""
    import glob
    import shutil
    import subprocess
    for name, value in vars(module).items():
        if not (isinstance(value, type) and issubclass(value, unittest.TestCase)):
            continue
        for folder in glob.glob(os.path.join(OUT_DIR, name + "*")):
            for root, dirs, _ in os.walk(folder, topdown=False):
                for d in dirs:
                    if os.path.ismount(os.path.join(root, d)):
                        subprocess.run(["umount", "-l", os.path.join(root, d)],
                                       capture_output=True)
            shutil.rmtree(folder, ignore_errors=True)


def main():
    clear_earlier_runs(sys.modules["__main__"])
    sys.exit(exit_code(unittest.main(verbosity=2, exit=False).result))
