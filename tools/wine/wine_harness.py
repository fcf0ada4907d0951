"""Runs Win32 programs under Wine on a virtual display, for the e2e tests and `make run`.

A WineSession owns everything it starts: a fresh Wine prefix (copied from a template or made with
wineboot), an Xvfb display (unless an existing display is given), its own wineserver and the
programs it runs. close() ends each of them by process id, and is called on every way out of a
`with` block.

The prefix reports Windows 98, runs in the ja_JP.UTF-8 locale (code page 932), draws window
captions itself (there is no window manager) and loads a WNASPI32.DLL placed next to the program
instead of Wine's own. It is of one of two kinds (ARCHES): a 32-bit prefix under the 32-bit Wine
for the i686 program, or a 64-bit prefix under wine64 for its x86_64 twin, the build that runs on
machines whose kernel cannot start 32-bit programs. choose_arch() picks one for this machine.
"""
import errno
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

DLL_OVERRIDES = "wnaspi32=n;mscoree,mshtml="
LOCALE = "ja_JP.UTF-8"


class HarnessError(Exception):
    pass


class Arch:
    """One kind of Win32 build and the Wine that runs it."""

    def __init__(self, name, winearch, loaders, build):
        self.name, self.winearch, self.build = name, winearch, build
        self._loaders = loaders

    @property
    def loader(self):
        """The Wine loader of this kind: the first of its candidates that is installed."""
        for candidate in self._loaders:
            if os.path.isabs(candidate) and os.path.isfile(candidate):
                return candidate
            if not os.path.isabs(candidate) and shutil.which(candidate):
                return shutil.which(candidate)
        return self._loaders[-1]

    def __str__(self):
        return self.name

    __repr__ = __str__


ARCHES = {
    # The product: Debian's `wine` starts the 32-bit loader when it is installed.
    "i686": Arch("i686", "win32", ["wine"], "win32"),
    # The twin: the 64-bit loader itself, since `wine` would pick the 32-bit one.
    "x86_64": Arch("x86_64", "win64", ["wine64", "/usr/lib/wine/wine64"], "win64"),
}


def _wine_env(prefix, display, arch):
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": prefix,
        "WINEARCH": arch.winearch,
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": DLL_OVERRIDES,
        "LANG": LOCALE,
        "LC_ALL": LOCALE,
    })
    if arch.name == "x86_64":
        # Processes the 64-bit Wine starts are started by its own loader (as Debian's `wine`
        # script arranges where only wine64 is installed).
        env["WINELOADER"] = arch.loader
    if display:
        env["DISPLAY"] = display
    return env


_cannot_run = {}


def wine_cannot_run(arch="i686"):
    """Why no program of this kind can run under Wine on this machine, or None.

    Only a cause that no set-up of the project mends is named: a kernel that cannot start 32-bit
    programs (tools/starts-32-bit-programs) for the i686 program, a loader the kernel refuses, or
    a 32-bit Wine that tools/install-deps could not install (it says so, and why, when it runs).
    Anything else (wine64 not installed, say) is left to fail."""
    arch = ARCHES[str(arch)]
    if arch.name not in _cannot_run:
        _cannot_run[arch.name] = _why_wine_cannot_run(arch)
    return _cannot_run[arch.name]


def _why_wine_cannot_run(arch):
    if arch.name == "i686":
        probe = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "starts-32-bit-programs")
        if subprocess.run([probe]).returncode != 0:
            return "this kernel does not start 32-bit programs (Exec format error)"
    try:
        result = subprocess.run([arch.loader, "--version"], capture_output=True, text=True,
                                timeout=120)
    except FileNotFoundError:
        return None
    except OSError as error:
        if error.errno == errno.ENOEXEC:  # the loader itself is refused
            return f"this kernel does not execute the {arch.name} Wine loader ({error})"
        raise
    if "Exec format error" in result.stderr:
        return (f"this kernel does not execute the {arch.name} Wine loader "
                f"({os.path.basename(arch.loader)}: Exec format error)")
    if arch.name == "i686" and "wine32 is missing" in result.stderr:
        # Debian's `wine` falls back to wine64 and says so.
        return ("the 32-bit Wine (wine32:i386) is not installed: tools/install-deps could not "
                "install it from the package archive")
    return None


def choose_arch(requested="auto"):
    """(arch, None) for the build to run, or (None, reason) when no requested build can run here.

    "i686" and "x86_64" ask for that build; "auto" takes the i686 program where this machine runs
    32-bit programs and its x86_64 twin otherwise."""
    requested = (requested or "auto").strip()
    if requested == "auto":
        candidates = ["i686", "x86_64"]
    elif requested in ARCHES:
        candidates = [requested]
    else:
        raise HarnessError(f"unknown E2E_ARCH {requested!r}: i686, x86_64 or auto")
    reasons = []
    for name in candidates:
        reason = wine_cannot_run(name)
        if reason is None:
            return ARCHES[name], None
        reasons.append(reason)
    return None, "; ".join(reasons)


def check_locale():
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    if not any(n.lower().replace("-", "") == "ja_jp.utf8" for n in names):
        raise HarnessError("locale ja_JP.UTF-8 is not generated (run tools/install-deps)")


def _kill(proc, sig=signal.SIGKILL, group=False):
    if proc is None or proc.poll() is not None:
        return
    try:
        if group:
            os.killpg(proc.pid, sig)
        else:
            proc.send_signal(sig)
    except ProcessLookupError:
        pass
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        pass


class WineSession:
    def __init__(self, workdir=None, width=800, height=600, display=None, template=None,
                 windows_version="win98", keep_prefix=False, arch="i686"):
        self.arch = ARCHES[str(arch)]
        self.loader = self.arch.loader
        self.workdir = workdir or tempfile.mkdtemp(prefix="kelvado-wine-")
        os.makedirs(self.workdir, exist_ok=True)
        self.prefix = os.path.join(self.workdir, "prefix")
        self.width, self.height = width, height
        self.display = display
        self.template = (template if template is not None
                         else os.environ.get("KELVADO_WINE_TEMPLATE"))
        self.windows_version = windows_version
        self.keep_prefix = keep_prefix
        self.xvfb = None
        self.wineserver = None
        self.programs = []

    # -- life cycle ---------------------------------------------------------------------------

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def start(self):
        check_locale()
        if self.display is None:
            self._start_xvfb()
        if os.path.lexists(self.prefix):
            shutil.rmtree(self.prefix)
        if self.template and template_arch(self.template) == self.arch.name:
            shutil.copytree(self.template, self.prefix, symlinks=True)
            self._start_wineserver()
        else:
            os.makedirs(self.prefix, exist_ok=True)
            self._start_wineserver()
            self._wineboot()

    def close(self):
        for proc in self.programs:
            _kill(proc, group=True)
        self._stop_wineserver()
        _kill(self.xvfb)
        self.programs, self.xvfb = [], None
        if not self.keep_prefix:
            shutil.rmtree(self.prefix, ignore_errors=True)

    def env(self):
        return _wine_env(self.prefix, self.display, self.arch)

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             f"{self.width}x{self.height}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise HarnessError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def _stop_wineserver(self):
        if self.wineserver is not None:
            # SIGINT lets the wineserver save the registry before it ends.
            subprocess.run(["wineserver", "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
            _kill(self.wineserver)
        self.wineserver = None

    def _start_wineserver(self):
        # Foreground and persistent: the session owns its pid and ends it in close().
        self.wineserver = subprocess.Popen(["wineserver", "-f", "-p"], env=self.env(),
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.2)

    def wine_command(self, *args, timeout=300):
        """Runs a Wine command (wineboot, wine reg, ...) to its end; output goes to wine.log.

        Wine leaves helper processes (services.exe, explorer.exe) running that would hold a pipe
        open, so the output goes to a file, never to a pipe.
        """
        with open(os.path.join(self.workdir, "wine.log"), "ab") as log:
            return subprocess.run(list(args), env=self.env(), stdout=log, stderr=log,
                                  stdin=subprocess.DEVNULL, timeout=timeout).returncode

    def _wineboot(self):
        if self.wine_command(self.loader, "wineboot", "-i") != 0:
            raise HarnessError("wineboot failed; see " + os.path.join(self.workdir, "wine.log"))
        if self.windows_version:
            self.set_registry(r"HKCU\Software\Wine", "Version", self.windows_version)
        # No window manager runs on the virtual display: Wine draws captions and frames itself.
        self.set_registry(r"HKCU\Software\Wine\X11 Driver", "Decorated", "N")
        self.map_japanese_fonts()
        self.install_wine_fonts()

    # The dialogs' Japanese faces, which a Wine prefix does not have, drawn with the IPA fonts.
    FONT_REPLACEMENTS = {"ＭＳ Ｐゴシック": "IPAPGothic", "ＭＳ ゴシック": "IPAGothic",
                         "MS PGothic": "IPAPGothic", "MS Gothic": "IPAGothic"}

    def map_japanese_fonts(self):
        for face, installed in self.FONT_REPLACEMENTS.items():
            self.set_registry(r"HKCU\Software\Wine\Fonts\Replacements", face, installed)

    # Where Debian's fonts-wine puts Wine's own fonts. Wine draws the caption buttons with the
    # symbols of Marlett, one of them; this Wine does not find them there, so a prefix shows a
    # letter "r" in place of the close button unless they lie in the prefix's Fonts folder.
    WINE_FONTS = "/usr/share/wine/fonts"

    def install_wine_fonts(self):
        fonts = os.path.join(self.prefix, "drive_c", "windows", "Fonts")
        if not os.path.isfile(os.path.join(self.WINE_FONTS, "marlett.ttf")):
            raise HarnessError(f"Wine's fonts are not installed ({self.WINE_FONTS}/marlett.ttf; "
                               "run tools/install-deps)")
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir(self.WINE_FONTS):
            if name.lower().endswith(".ttf") and not os.path.exists(os.path.join(fonts, name)):
                shutil.copy(os.path.join(self.WINE_FONTS, name), fonts)

    def set_registry(self, key, name, value, kind=None):
        extra = ["/t", kind] if kind else []
        if self.wine_command(self.loader, "reg", "add", key, "/v", name, *extra, "/d", value, "/f") != 0:
            raise HarnessError(f"wine reg add {key} {name} failed")

    def add_registry_key(self, key):
        if self.wine_command(self.loader, "reg", "add", key, "/f") != 0:
            raise HarnessError(f"wine reg add {key} failed")

    def query_registry(self, key, name):
        """The value's data as `wine reg query` prints it ("0x1" for a REG_DWORD of 1), or None
        when the key or the value does not exist."""
        out = os.path.join(self.workdir, "reg-query.txt")
        with open(out, "wb") as f:
            code = subprocess.run([self.loader, "reg", "query", key, "/v", name], env=self.env(),
                                  stdout=f, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                  timeout=120).returncode
        if code != 0:
            return None
        with open(out, "rb") as f:
            for line in f.read().decode("utf-8", "replace").splitlines():
                fields = line.split()
                if len(fields) >= 3 and fields[0] == name:
                    return fields[-1]
        return None

    # -- drives -------------------------------------------------------------------------------

    def map_drive(self, letter, folder, kind="hd", serial=None, label=None):
        """Makes `folder` appear as drive `letter`: of the given type ("hd" fixed, "floppy",
        "cdrom", "network"), with the given volume serial and label."""
        letter = letter.lower()
        link = os.path.join(self.prefix, "dosdevices", letter + ":")
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(os.path.abspath(folder), link)
        self.set_registry(r"HKLM\Software\Wine\Drives", letter + ":", kind)
        if serial is not None:
            with open(os.path.join(folder, ".windows-serial"), "w") as f:
                f.write("%08x\n" % serial)
        if label is not None:
            with open(os.path.join(folder, ".windows-label"), "w") as f:
                f.write(label + "\n")
        # Wine learns its drives, their types and serials when its server starts: a drive linked
        # in later stays unknown (type 0, serial 0) to every program. Start the server anew.
        self.restart_wineserver()

    def restart_wineserver(self):
        """Ends the wineserver (it saves the registry) and starts a new one; programs that run
        under it are ended too."""
        self._stop_wineserver()
        self._start_wineserver()

    # -- programs -----------------------------------------------------------------------------

    def run(self, exe, *args, cwd=None, env=None, stdout=None, stderr=None):
        """Starts `exe` under Wine and returns its Popen; the session ends it on close()."""
        full_env = self.env()
        if env:
            full_env.update(env)
        proc = subprocess.Popen([self.loader, exe, *args], cwd=cwd or os.path.dirname(exe) or None,
                                env=full_env, start_new_session=True,
                                stdout=stdout or subprocess.DEVNULL,
                                stderr=stderr or subprocess.DEVNULL)
        self.programs.append(proc)
        return proc

    def wait_exit(self, proc, timeout=30):
        """The program's exit code; HarnessError when it is still running after `timeout` s."""
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"program still running after {timeout} s")

    # -- windows ------------------------------------------------------------------------------

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True,
                                text=True, timeout=30)
        if check and result.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def windows(self):
        """The visible windows that have a title, as (id, title) in stacking order."""
        out = self.xdotool("search", "--onlyvisible", "--name", ".", check=False)
        found = []
        for wid in out.split():
            title = self.xdotool("getwindowname", wid, check=False).rstrip("\n")
            if title:
                found.append((wid, title))
        return found

    def find_window(self, title):
        """Id of a visible window whose whole title is `title` (a regular expression), or None."""
        pattern = re.compile(title)
        for wid, name in self.windows():
            if pattern.fullmatch(name):
                return wid
        return None

    def wait_window(self, title, timeout=30, proc=None):
        """Waits for a window titled `title`; fails early when `proc` ends first."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            wid = self.find_window(title)
            if wid:
                return wid
            if proc is not None and proc.poll() is not None:
                raise HarnessError(f"program ended with {proc.returncode} before window {title!r}")
            time.sleep(0.2)
        raise HarnessError(f"no window {title!r} within {timeout} s; seen: {self.windows()}")

    def wait_no_window(self, title, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not self.find_window(title):
                return
            time.sleep(0.2)
        raise HarnessError(f"window {title!r} still open after {timeout} s")

    def geometry(self, wid):
        """(x, y, width, height) of a window."""
        out = self.xdotool("getwindowgeometry", "--shell", wid)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def key(self, keys, wid=None):
        """Sends key presses (xdotool names: Escape, F12, Return, space) to a window or the focus."""
        if wid:
            self.xdotool("windowfocus", "--sync", wid, check=False)
        self.xdotool("key", "--delay", "50", *keys.split())

    def click(self, x, y):
        # No --sync: it waits for a motion event, which never comes when the pointer is already there.
        self.xdotool("mousemove", str(x), str(y))
        self.xdotool("click", "1")

    def screenshot(self, path, wid=None):
        """Saves the screen (or one window) as PNG."""
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        subprocess.run(["import", "-display", self.display, "-window", wid or "root", path],
                       check=True, capture_output=True, timeout=60)
        return path


class SoundServer:
    """A PulseAudio daemon of the caller's own, with one null sink, for programs that play sound.

    It runs in the foreground with its runtime folder inside `workdir`; programs reach it through
    env() (PULSE_SERVER, which Wine's winepulse driver follows). close() ends it by process id.
    start() raises HarnessError when no daemon can run here: the caller reports that as a skip.
    """

    def __init__(self, workdir):
        self.folder = os.path.join(os.path.abspath(workdir), "pulse")
        self.socket = os.path.join(self.folder, "native")
        self.proc = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def env(self):
        return {"PULSE_SERVER": "unix:" + self.socket}

    def _own_env(self):
        env = dict(os.environ)
        for name in ("HOME", "XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH"):
            env[name] = self.folder
        env.pop("PULSE_SERVER", None)
        return env

    def start(self):
        if shutil.which("pulseaudio") is None or shutil.which("pactl") is None:
            raise HarnessError("pulseaudio or pactl is not installed")
        if os.path.lexists(self.folder):
            shutil.rmtree(self.folder)
        os.makedirs(self.folder, mode=0o700)
        with open(os.path.join(self.folder, "pulseaudio.log"), "wb") as log:
            self.proc = subprocess.Popen(
                ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                 "--use-pid-file=no", "-L", "module-null-sink sink_name=kelvado",
                 "-L", f"module-native-protocol-unix socket={self.socket} auth-anonymous=1"],
                env=self._own_env(), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise HarnessError("pulseaudio ended at once; see " + self.folder)
            if os.path.exists(self.socket) and self.pactl("info") is not None:
                return
            time.sleep(0.2)
        raise HarnessError("pulseaudio did not answer within 20 s")

    def pactl(self, *args):
        """pactl's output against this server, or None when it fails."""
        result = subprocess.run(["pactl", "-s", "unix:" + self.socket, *args],
                                capture_output=True, text=True, timeout=30)
        return result.stdout if result.returncode == 0 else None

    def streams(self):
        """How many streams play into the server now."""
        out = self.pactl("list", "short", "sink-inputs")
        return len(out.splitlines()) if out else 0

    def close(self):
        if self.proc is not None and self.proc.poll() is None:
            _kill(self.proc, signal.SIGTERM)
            _kill(self.proc)
        self.proc = None


def image_max_level(path):
    """The brightest channel value of any pixel, 0..1 (0: the picture is entirely black)."""
    out = subprocess.run(["convert", path, "-format", "%[fx:maxima]", "info:"], check=True,
                         capture_output=True, text=True).stdout
    return float(out.strip())


def image_size(path):
    out = subprocess.run(["convert", path, "-format", "%w %h", "info:"], check=True,
                         capture_output=True, text=True).stdout
    w, h = out.split()
    return int(w), int(h)


TEMPLATE_ARCH_FILE = "kelvado-arch"


def template_arch(path):
    """The kind of prefix a template holds ("i686" or "x86_64"), or None for no template."""
    try:
        with open(os.path.join(path, TEMPLATE_ARCH_FILE)) as f:
            return f.read().strip()
    except OSError:
        return None


def make_template(path, arch):
    """Makes a prefix of the given kind that sessions copy instead of running wineboot each time."""
    if os.path.isdir(path):
        shutil.rmtree(path)
    work = tempfile.mkdtemp(prefix="kelvado-template-")
    try:
        with WineSession(workdir=work, template="", keep_prefix=True, arch=arch) as session:
            pass
        shutil.move(session.prefix, path)
        with open(os.path.join(path, TEMPLATE_ARCH_FILE), "w") as f:
            f.write(str(arch) + "\n")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    import sys
    if len(sys.argv) == 2 and sys.argv[1] == "product-check":
        # Passes where the e2e tests run the i686 program, the one handed out; skipped with the
        # reason where they run its twin, so that a run on the twin never looks like a whole one.
        chosen, why_not = choose_arch(os.environ.get("KELVADO_E2E_ARCH", "auto"))
        if chosen is not None and chosen.name == "i686":
            print(f"the e2e tests run the i686 program under {chosen.loader}")
            sys.exit(0)
        requested = os.environ.get("KELVADO_E2E_ARCH", "auto")
        reason = (wine_cannot_run("i686") if requested == "auto"
                  else f"KELVADO_E2E_ARCH={requested} asks for the {requested} build")
        print(f"skipped: the e2e tests do not run the i686 program here: {reason}")
        sys.exit(77)  # CTest's SKIP_RETURN_CODE (cmake/Kelvado.cmake)
    if len(sys.argv) == 3 and sys.argv[1] == "make-template":
        chosen, why_not = choose_arch(os.environ.get("KELVADO_E2E_ARCH", "auto"))
        if chosen is None:
            print("skipped:", why_not)
            sys.exit(77)  # CTest's SKIP_RETURN_CODE (cmake/Kelvado.cmake)
        print(f"prefix template for the {chosen} build ({chosen.winearch}, {chosen.loader})")
        make_template(sys.argv[2], chosen)
    else:
        sys.exit("usage: wine_harness.py make-template DIR | product-check")
