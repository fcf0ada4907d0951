"""Programs started by the script, and the exit sequence (scripts/process_*.ini).

The started programs are the test programs ends_at_once.exe and runs_until_killed.exe. The
scripts write Logging lines (numbered 1, 2, 3) as they go, so the dated log file shows which lines
ran in which order. The process test programs record the shut-down in shutdown.txt of their
current directory instead of making it."""
import glob
import os
import re
import time
import unittest

import e2e
from pixels import Picture, wait_for

ERROR_CAPTION = "KELVADO.INI ERROR!"
END_TEXT = (0, 180, 800, 240)    # "終了セクション", rows 0.30-0.40
START_TEXT = (0, 60, 800, 120)   # the starting section's text, rows 0.10-0.20


def logged(wine):
    """The numbers of the Logging lines written so far, in order."""
    numbers = []
    for name in sorted(glob.glob(os.path.join(wine.prefix, "drive_c", "kelvado-log", "*.log"))):
        with open(name, "rb") as f:
            text = f.read().decode("cp932")
        numbers += [int(n) for n in re.findall(r"分割数 -> +(\d+)", text)]
    return numbers


def wait_logged(wine, count, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and len(logged(wine)) < count:
        time.sleep(0.2)
    return logged(wine)


def running(wine, exe_name):
    """Pids of this session's Wine processes whose command line names `exe_name`."""
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmdline = f.read()
            with open(f"/proc/{pid}/environ", "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if (exe_name.encode() in cmdline
                and b"WINEPREFIX=" + wine.prefix.encode() in environ):
            found.append(int(pid))
    return found


def wait_running(wine, exe_name, wanted, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and bool(running(wine, exe_name)) != wanted:
        time.sleep(0.2)
    return bool(running(wine, exe_name))


class Processes(unittest.TestCase):
    def start(self, wine, name):
        exe = e2e.program(f"kelvado_{name}.exe")
        for helper in ("ends_at_once.exe", "runs_until_killed.exe"):
            e2e.program(helper)
        # The records of an earlier run of this test in the same folder are not this run's.
        stale = os.path.join(wine.workdir, "shutdown.txt")
        if os.path.exists(stale):
            os.unlink(stale)
        proc = wine.run(exe, cwd=wine.workdir)
        wine.wait_window("Zam", timeout=60, proc=proc)
        return proc

    def shutdown_records(self, wine):
        path = os.path.join(wine.workdir, "shutdown.txt")
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return f.read().splitlines()

    def test_end_section_runs_after_the_starting_section_went_on(self):
        with e2e.session(self) as wine:
            proc = self.start(wine, "process_end")
            self.assertEqual(wait_logged(wine, 2), [1, 2])
            p = wait_for(wine, e2e.shot(self, wine, "end-section"),
                         lambda p: p.count(END_TEXT) > 0)
            self.assertGreater(p.count(START_TEXT), 0)
            self.assertGreater(p.count(END_TEXT), 0)
            # ProgramExit after the wait, without the shut-down flag.
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
            self.assertEqual(self.shutdown_records(wine), [])

    def test_kill_process_terminates_and_the_end_section_still_runs(self):
        with e2e.session(self) as wine:
            proc = self.start(wine, "process_kill")
            self.assertEqual(wait_logged(wine, 1), [1], "KillProcess with nothing watched")
            self.assertTrue(wait_running(wine, "runs_until_killed", True))
            self.assertEqual(wait_logged(wine, 3), [1, 2, 3])
            self.assertFalse(wait_running(wine, "runs_until_killed", False))
            wait_for(wine, e2e.shot(self, wine, "killed"), lambda p: p.count(END_TEXT) > 0)
            self.assertIsNone(proc.poll(), "the tool goes on")
            wine.key("Escape", wine.find_window("Zam"))
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)

    def test_programs_that_cannot_start(self):
        with e2e.session(self) as wine:
            proc = self.start(wine, "process_missing")
            box = wine.wait_window("WinExecProc", timeout=30, proc=proc)
            self.assertEqual(wait_logged(wine, 1), [1], "the script went on")
            e2e.shot(self, wine, "1-winexecproc-box")
            wine.key("Return", box)
            wine.wait_no_window("WinExecProc")
            wine.click(400, 300)
            box = wine.wait_window(ERROR_CAPTION, timeout=30, proc=proc)
            e2e.shot(self, wine, "2-winexec-error")
            self.assertEqual(logged(wine), [1], "WinExec stopped the script")
            wine.key("Return", box)
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)

    def test_escape_during_wait_runs_the_exit_sequence_once_and_shuts_down_last(self):
        with e2e.session(self) as wine:
            proc = self.start(wine, "process_exit")
            self.assertEqual(wait_logged(wine, 1), [1])
            self.assertTrue(wait_running(wine, "runs_until_killed", True))
            wine.key("Escape", wine.find_window("Zam"))
            self.assertEqual(wine.wait_exit(proc, timeout=30), 0)
            self.assertFalse(wait_running(wine, "runs_until_killed", False))
            # Once, after the timers stopped and the watched program was released; the program's
            # end did not run the end section, as the tool was closing.
            self.assertEqual(self.shutdown_records(wine),
                             ["ExitWindowsEx(EWX_SHUTDOWN) timer1=stopped timer2=stopped watched=0"])
            self.assertEqual(logged(wine), [1])


if __name__ == "__main__":
    e2e.main()
