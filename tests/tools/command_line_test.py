#!/usr/bin/env python3
"""The native tools' command lines and man pages, as a person meets them.

usage: command_line_test.py KELVADO_CARD KELVADO_SCRIPT VERSION MAN_DIR

- --version of both tools names VERSION; --help, and `kelvado-card COMMAND --help` for every
  command, print the usage on standard output and exit 0; wrong command lines still exit 2 with
  the usage on standard error.
- The man pages kelvado-card.1 and kelvado-script.1 of MAN_DIR render through man(1) without a
  warning, have the sections a man page has (and kelvado-card's the transfer's safety rules), carry
  VERSION, and tell every command and option that the tools' --help names.
"""
import os
import re
import subprocess
import sys
import unittest

CARD, SCRIPT, VERSION, MAN_DIR = (sys.argv[1:5] if len(sys.argv) >= 5 else [""] * 4)
COMMANDS = ["transfer", "geometry", "format", "serial", "scan"]


def run(*args):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=60)


def render(page):
    """The page as man(1) shows it (80 columns), and its warnings, as lintian renders pages."""
    env = dict(os.environ, LC_ALL="C.UTF-8", MANROFFSEQ="", MANWIDTH="80")
    checked = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page],
                             capture_output=True, text=True, env=env, timeout=60)
    shown = subprocess.run(["man", "-E", "UTF-8", "-l", page], capture_output=True, text=True,
                           env=dict(env, MANPAGER="cat", PAGER="cat"), timeout=60)
    # Drop the overstrikes of bold and underlined text.
    text = re.sub(r".\x08", "", shown.stdout)
    return text, checked.returncode, checked.stderr + shown.stderr


def options_of(text):
    return set(re.findall(r"--[a-z][a-z0-9-]*", text))


class HelpAndVersion(unittest.TestCase):
    def test_version_lines(self):
        for tool, name in ((CARD, "kelvado-card"), (SCRIPT, "kelvado-script")):
            result = run(tool, "--version")
            self.assertEqual((result.returncode, result.stdout, result.stderr),
                             (0, f"{name} (Kelvado) {VERSION}\n", ""), name)

    def test_help_prints_the_usage_and_exits_0(self):
        for tool, name in ((CARD, "kelvado-card"), (SCRIPT, "kelvado-script")):
            result = run(tool, "--help")
            self.assertEqual((result.returncode, result.stderr), (0, ""), name)
            self.assertTrue(result.stdout.startswith(f"usage: {name} "), result.stdout)
        for command in COMMANDS:
            # --help after the command's operands and options too.
            for args in ([command, "--help"], [command, "x.img", "--fat32", "--help"]):
                result = run(CARD, *args)
                self.assertEqual((result.returncode, result.stderr), (0, ""), args)
                self.assertTrue(result.stdout.startswith(f"usage: kelvado-card {command} "),
                                result.stdout)

    def test_wrong_command_lines_exit_2(self):
        cases = [
            (CARD, [], "usage: kelvado-card"),
            (CARD, ["nosuch"], "usage: kelvado-card"),
            (CARD, ["--versions"], "usage: kelvado-card"),
            (CARD, ["format"], "usage: kelvado-card format"),
            (CARD, ["geometry", "--capacity", "12x"], "usage: kelvado-card geometry"),
            (CARD, ["serial", "card.img", "XYZ"], "usage: kelvado-card serial"),
            (CARD, ["transfer", "a"], "usage: kelvado-card transfer"),
            (SCRIPT, [], "usage: kelvado-script"),
            (SCRIPT, ["--max-ticks", "x", "a.ini"], "usage: kelvado-script"),
            (SCRIPT, ["a.ini", "b.ini"], "usage: kelvado-script"),
        ]
        for tool, args, usage in cases:
            result = run(tool, *args)
            self.assertEqual((result.returncode, result.stdout), (2, ""), (tool, args))
            self.assertIn(usage, result.stderr, (tool, args))


class ManPages(unittest.TestCase):
    def page(self, name):
        path = os.path.join(MAN_DIR, name + ".1")
        self.assertTrue(os.path.isfile(path), f"{path} is not built")
        text, code, warnings = render(path)
        self.assertEqual((code, warnings), (0, ""), f"{name}(1) renders with warnings")
        return text

    def test_pages_render_clean_and_tell_every_command_and_option(self):
        helps = {
            "kelvado-card": run(CARD, "--help").stdout + "".join(
                run(CARD, c, "--help").stdout for c in COMMANDS),
            "kelvado-script": run(SCRIPT, "--help").stdout,
        }
        for name, help_text in helps.items():
            text = self.page(name)
            sections = re.findall(r"^([A-Z][A-Z ]+)$", text, re.M)
            for wanted in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS",
                           "EXAMPLES", "SEE ALSO"):
                self.assertIn(wanted, sections, f"{name}(1) has no {wanted}")
            self.assertRegex(text.splitlines()[-1], rf"^Kelvado {re.escape(VERSION)}\s")
            missing = options_of(help_text) - options_of(text)
            self.assertFalse(missing, f"{name}(1) does not tell {sorted(missing)}")
            self.assertGreater(len(options_of(help_text)), 5, name)
        card = self.page("kelvado-card")
        for command in COMMANDS:
            self.assertRegex(card, rf"(?m)^ {{7}}{command}\b", f"no paragraph on {command}")
        safety = card.split("\nSAFETY RULES\n", 1)
        self.assertEqual(len(safety), 2, "kelvado-card(1) has no SAFETY RULES")
        for rule in ("whole disk", "mounted", "swap", "holders", "O_EXCL", "loop device",
                     "512 bytes", "--yes"):
            self.assertIn(rule, re.sub(r"\s+", " ", safety[1]), f"the rules do not tell {rule}")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__.strip().split("\n\n")[1])
    sys.exit(0 if unittest.main(argv=sys.argv[:1], verbosity=2, exit=False).result.wasSuccessful()
             else 1)
