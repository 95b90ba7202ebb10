"""The window as a screen reader finds it through the real AT-SPI bus: each figure of a board's
reply is heard in its value label's name, a label is announced when its reading changes and only
then, and the reply's line is announced as text inserted into the log. Qt's bridge to the bus
turns on only after the window is built, so the names found before the first reply are those the
window gave when the bridge connected.

Usage: tst_accessibility_bus.py KXLT. Runs its own X server (Xvfb), D-Bus session and AT-SPI
bus, and plays the board on a pseudo-terminal behind COM1. Exits 77 (skipped) when one of them
is not installed.
"""

import contextlib
import ctypes
import functools
import importlib.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77


def reply(actual):
    """A board's 27-byte reply: goal 003500, the given actual, 50 s, SN 123456, V3.0, 42H."""
    body = bytes([0x54]) + b"KX-LT   " + bytes.fromhex(
        f"003500 00 {actual} 0050 000000 123456 30 2A")
    return body + bytes([functools.reduce(lambda a, b: a ^ b, body)])


# Each caption as spoken, with the figure the first reply gives it and the figure's unit.
FIRST_FIGURES = {
    "Part type:": "KX-LT",
    "Part Addr:": "42H",
    "SN:": "123456",
    "Version:": "3.0",
    "GOAL:": "003500",
    "Seconds:": "0050",
    "ACTUAL:": "002006",
    "DIFFERENCE:": "-1494",
    "EFFICIENCY:": "57.3142857142857 %",
}
# What each box reads: the caption beside it.
BOX_NAMES = sorted(["Address", "---------\u4e32\u53e3\u6570\u636e---------", "Recieveing data",
                    "Send data", "GOAL  NUMBER:", "ACTUAL NUMBER:", "INCREMENT:"])
# The second reply differs in the actual count alone.
SECOND_FIGURES = {"ACTUAL:": "002007", "DIFFERENCE:": "-1493",
                  "EFFICIENCY:": "57.3428571428571 %"}


def missing_package():
    return next((package for package, present in (
        ("xvfb", shutil.which("Xvfb")),
        ("dbus", shutil.which("dbus-daemon")),
        ("at-spi2-core", os.path.exists("/usr/share/dbus-1/services/org.a11y.Bus.service")),
        ("python3-pyatspi", importlib.util.find_spec("pyatspi"))) if not present), None)


def started(command):
    """Starts a server in its own process group; returns it and the line it writes on FD."""
    reading, writing = os.pipe()
    server = subprocess.Popen([part.replace("FD", str(writing)) for part in command],
                              pass_fds=[writing], start_new_session=True,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(writing)
    with os.fdopen(reading) as pipe:
        address = pipe.readline().strip()
    assert address, f"{command[0]} did not start"
    return server, address


def end(groups):
    """Ends every process of the groups and reaps every child of this process."""
    for stop in (signal.SIGTERM, signal.SIGKILL):
        for group in groups:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(group, stop)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            try:
                if os.waitpid(-1, os.WNOHANG) == (0, 0):
                    time.sleep(0.05)
            except ChildProcessError:
                return


def value_label(labels, caption):
    """The one label whose name starts with the caption and goes on with a figure."""
    found = [label for label in labels if label.name.startswith(caption + " ")]
    assert len(found) == 1, f"labels reading '{caption} <figure>': {[n.name for n in found]}"
    return found[0]


def listen(kxlt):
    import pyatspi
    from gi.repository import GLib

    heard = []
    pyatspi.Registry.registerEventListener(
        lambda event: heard.append((event.type, event.source, event.any_data)),
        "object:property-change:accessible-name", "object:text-changed:insert")

    def wait_for(condition, seconds):
        context = GLib.MainContext.default()
        deadline = time.monotonic() + seconds
        while True:
            while context.pending():
                context.iteration(False)
            if condition() or time.monotonic() > deadline:
                return condition()
            time.sleep(0.02)

    board, device = os.openpty()
    window = subprocess.Popen([kxlt], env=dict(
        os.environ, KXLT_COM1=os.ttyname(device), QT_QPA_PLATFORM="xcb",
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1"))
    try:
        application = None

        def window_shown():
            nonlocal application
            application = next((app for app in pyatspi.Registry.getDesktop(0)
                                if app and app.get_process_id() == window.pid), None)
            return application and pyatspi.findDescendant(
                application, lambda node: node.getRole() == pyatspi.ROLE_PUSH_BUTTON
                and node.name == "Open port")

        open_port = wait_for(window_shown, 15)
        assert open_port, "kxlt's window never showed on the AT-SPI bus"
        every_label = pyatspi.findAllDescendants(
            application, lambda node: node.getRole() == pyatspi.ROLE_LABEL)
        labels = {caption: value_label(every_label, caption) for caption in FIRST_FIGURES}
        controls = pyatspi.findAllDescendants(application, lambda node: node.getRole() in (
            pyatspi.ROLE_LABEL, pyatspi.ROLE_PANEL, pyatspi.ROLE_PUSH_BUTTON,
            pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TEXT))
        unnamed = [node.getRoleName() for node in controls if not node.name]
        assert len(controls) >= 55 and not unnamed, f"{len(controls)} controls, unnamed: {unnamed}"
        boxes = sorted(node.name for node in controls if node.getRole() == pyatspi.ROLE_TEXT)
        assert boxes == BOX_NAMES, f"the boxes read {boxes}"
        log = pyatspi.findDescendant(
            application, lambda node: node.getState().contains(pyatspi.STATE_MULTI_LINE))
        open_port.queryAction().doAction(0)
        assert wait_for(lambda: open_port.name == "Close port", 15), "COM1 did not open"

        def answer(reply, figures):
            """The labels announced as renamed while the window takes the reply."""
            # A reply counts only after the line has been quiet for a while.
            time.sleep(0.3)
            del heard[:]
            os.write(board, reply)
            hex_line = reply.hex().upper() + reply[-1:].hex().upper()

            def all_heard():
                return (all(labels[caption].name == f"{caption} {figure}"
                            for caption, figure in figures.items())
                        and any(kind.endswith("insert") and source == log and hex_line in text
                                for kind, source, text in heard))

            all_heard_in_time = wait_for(all_heard, 15)
            for caption, figure in figures.items():
                name = labels[caption].name
                assert name == f"{caption} {figure}", f"'{caption}' reads '{name}', not {figure}"
            assert all_heard_in_time, f"the log was not heard taking {hex_line}"
            # Whatever else this reply announces comes in the same burst.
            wait_for(lambda: False, 0.2)
            return [source for kind, source, _ in heard if kind.endswith("accessible-name")]

        renamed = answer(reply("002006"), FIRST_FIGURES)
        for label in labels.values():
            assert label in renamed, f"no change announced for '{label.name}'"
        renamed = answer(reply("002007"), SECOND_FIGURES)
        for caption, label in labels.items():
            announced = label in renamed
            assert announced == (caption in SECOND_FIGURES), f"{label.name} announced: {announced}"
    finally:
        window.kill()
        window.wait()


def run_isolated(kxlt):
    """Runs listen() inside a private X display, D-Bus session and AT-SPI bus, then ends them."""
    # The AT-SPI bus and registry leave the D-Bus session's process tree; they come back to this
    # process to be reaped.
    PR_SET_CHILD_SUBREAPER = 36
    ctypes.CDLL(None).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
    groups = []
    with tempfile.TemporaryDirectory() as runtime:
        try:
            for name in ("AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY"):
                os.environ.pop(name, None)
            os.environ["XDG_RUNTIME_DIR"] = runtime
            x_server, display = started(["Xvfb", "-displayfd", "FD", "-nolisten", "tcp"])
            groups.append(x_server.pid)
            os.environ["DISPLAY"] = ":" + display
            session, address = started(
                ["dbus-daemon", "--session", "--nofork", "--print-address=FD"])
            groups.append(session.pid)
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
            listen(kxlt)
        finally:
            end(groups)


if __name__ == "__main__":
    absent = missing_package()
    if absent:
        print(f"skipped: {absent} is not installed")
        sys.exit(SKIPPED)
    run_isolated(sys.argv[1])
