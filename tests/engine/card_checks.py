"""What the card tests share: running tools, collecting failures, making sparse images."""
import subprocess

MIB = 1 << 20

failures = []


def check(condition, what):
    """Records `what` as a failure when `condition` is false; returns the condition."""
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True, **kw)


def sparse_image(path, size):
    with open(path, "wb") as f:
        f.truncate(size)


def outcome():
    """The exit status of a test script: 1 after any failure."""
    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    return 0
