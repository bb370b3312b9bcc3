"""Drives the built lab from outside, as a student would: real X input
events through xdotool, read back through the accessibility interface
(AT-SPI) and the clipboard. The lab runs unchanged; Qt exposes its widgets
to AT-SPI when QT_LINUX_ACCESSIBILITY_ALWAYS_ON is set."""

import os
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

import pyatspi  # noqa: E402

POLL_SECONDS = 0.05
TIMEOUT_SECONDS = 20


class TimeoutError(AssertionError):
    pass


def wait_for(what, probe, timeout=TIMEOUT_SECONDS):
    """Polls probe() until it returns something truthy; fails naming `what`."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            value = probe()
            if value:
                return value
        except Exception as error:  # AT-SPI objects vanish while windows close
            last_error = error
        time.sleep(POLL_SECONDS)
    raise TimeoutError(f"timed out waiting for {what} (last error: {last_error})")


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


class XServer:
    """A private Xvfb for one test run."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1200x24",
             "-nolisten", "tcp"], pass_fds=[write_end])
        os.close(write_end)
        # The server writes the number, then a newline, once it is ready;
        # closing the pipe before the newline would kill it.
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 64)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        # xdotool, xclip and import talk to this server too.
        os.environ["DISPLAY"] = self.display
        # A window manager, as on a student's desktop: it gives new windows
        # the keyboard and hands it back when a message box closes.
        self.window_manager = subprocess.Popen(["openbox", "--sm-disable"],
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the window manager", lambda: subprocess.run(
            ["wmctrl", "-m"], capture_output=True).returncode == 0)

    def close(self):
        for process in (self.window_manager, self.process):
            process.terminate()
            process.wait()


class Lab:
    """One run of the lab binary, a fresh process (so a fresh scatter)."""

    def __init__(self, binary, pictures, display, extra_environment=None, arguments=(), first_window="Main Menu"):
        environment = dict(os.environ)
        environment.update({"DISPLAY": display, "QT_QPA_PLATFORM": "xcb",
                            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                            "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
        environment.update(extra_environment or {})
        self.environment = environment
        self.process = subprocess.Popen([binary, *arguments], cwd=pictures, env=environment)
        self.application = wait_for("the lab on the accessibility bus", self._find_application)
        # Read every property from the lab itself, never from the client's
        # cache: Qt does not announce every change (descriptions, for one).
        self.application.set_cache_mask(Atspi.Cache.NONE)
        self.menu = self.window(first_window)

    def _find_application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            if application is not None and application.get_process_id() == self.process.pid:
                return application
        return None

    # --- windows and controls -------------------------------------------
    def find_window(self, title):
        for index in range(self.application.childCount):
            window = self.application.getChildAtIndex(index)
            if window is not None and window.name == title and window.getState().contains(pyatspi.STATE_SHOWING):
                return window
        return None

    def window(self, title):
        window = wait_for(f"window {title!r}", lambda: self.find_window(title))
        wait_for(f"{title!r} active", lambda: window.getState().contains(pyatspi.STATE_ACTIVE))
        return window

    @staticmethod
    def window_ids(title):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                              capture_output=True, text=True).stdout.split()

    def wait_closed(self, title):
        wait_for(f"window {title!r} to close", lambda: self.find_window(title) is None)

    @staticmethod
    def control(window, name, role=None):
        for node in walk(window):
            if node.name == name and (role is None or node.getRoleName() == role):
                return node
        raise AssertionError(f"no control named {name!r} in {window.name!r}")

    @staticmethod
    def description_of(node):
        return node.description

    @staticmethod
    def text_of(node):
        text = node.queryText()
        return text.getText(0, text.characterCount)

    @staticmethod
    def focused(window):
        for node in walk(window):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
        return None

    @staticmethod
    def extents(node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    # --- input ------------------------------------------------------------
    def click(self, node):
        x, y, width, height = self.extents(node)
        xdotool("mousemove", "--sync", str(x + width // 2), str(y + height // 2), "click", "1")

    @staticmethod
    def keys(*keys):
        xdotool("key", "--clearmodifiers", "--delay", "20", *keys)

    @staticmethod
    def type(text):
        xdotool("type", "--delay", "20", text)

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                                text=True, env=self.environment)
        return result.stdout

    def screenshot(self, window_title, path):
        window_id = subprocess.run(["xdotool", "search", "--name", f"^{window_title}$"],
                                   capture_output=True, text=True).stdout.split()
        if window_id:
            subprocess.run(["import", "-window", window_id[-1], path], check=True,
                           env=self.environment)

    def screen_region(self, node, path, ratio=1):
        x, y, width, height = (value * ratio for value in self.extents(node))
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                        path], check=True, env=self.environment)
        return width, height

    def window_size(self, title):
        window_id = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], capture_output=True,
                                   text=True).stdout.split()[-1]
        geometry = subprocess.run(["xdotool", "getwindowgeometry", window_id], capture_output=True,
                                  text=True).stdout
        size = geometry.split("Geometry:")[1].split()[0]
        width, height = size.split("x")
        return int(width), int(height)

    def activate(self, title="Main Menu"):
        """Gives this lab's window the keyboard, as a student's click would,
        when another lab's window has it."""
        ids = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid), "--name",
                              f"^{title}$"], capture_output=True, text=True).stdout.split()
        xdotool("windowactivate", "--sync", ids[-1])
        return self.window(title)

    def wait_exit(self, timeout=TIMEOUT_SECONDS):
        return self.process.wait(timeout=timeout)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
