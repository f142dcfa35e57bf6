"""Driving a real X display as a person would: keys and clicks through xdotool, the screen read
back through screenshots (ImageMagick's import), and the close request a window manager would
send when its close button is pressed. Standard library only; libX11 through ctypes."""

import ctypes
import ctypes.util
import subprocess
import time


class Failure(Exception):
    """A check or a wait that did not come true; the message says what was expected."""


class Deadline:
    """The time left for one run; every wait is cut short by it."""

    def __init__(self, at):
        self.at = at

    def left(self):
        return self.at - time.time()


def run(args, timeout=20, input_bytes=None):
    """Runs a tool and returns its standard output as bytes; a non-zero exit raises Failure."""
    try:
        done = subprocess.run(args, input=input_bytes, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"{args[0]} did not finish within {timeout} s: {' '.join(args)}")
    if done.returncode != 0:
        raise Failure(f"{' '.join(args)} failed ({done.returncode}): "
                      f"{done.stderr.decode(errors='replace').strip()}")
    return done.stdout


def xdo(*args, timeout=20):
    return run(["xdotool", *[str(a) for a in args]], timeout=timeout).decode().strip()


def visible_windows(name_regex):
    """Ids of the mapped windows whose title matches the regular expression."""
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name_regex],
                          capture_output=True, timeout=20)
    return [int(w) for w in done.stdout.split()]


def window_name(window):
    done = subprocess.run(["xdotool", "getwindowname", str(window)], capture_output=True,
                          timeout=20)
    return done.stdout.decode(errors="replace").strip() if done.returncode == 0 else None


def window_geometry(window):
    """(x, y, width, height) of a window on the screen."""
    values = {}
    for line in xdo("getwindowgeometry", "--shell", window).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value)
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def focus(window):
    """Gives a window the keyboard focus. Without a window manager nobody else does, and the
    toolkit takes menu shortcuts only in the window that has it."""
    xdo("windowfocus", "--sync", window, timeout=10)


def click(x, y, shift=False):
    if shift:
        xdo("keydown", "shift", "mousemove", "--sync", x, y, "click", 1, "keyup", "shift")
    else:
        xdo("mousemove", "--sync", x, y, "click", 1)


def keys(*names):
    xdo("key", "--delay", 40, *names)


def type_text(text):
    xdo("type", "--delay", 25, text, timeout=60)


def wait_for(what, condition, deadline, timeout=20.0, interval=0.1):
    """Polls condition() until it returns something true and returns that; raises Failure when
    the timeout (or the run's deadline) passes first."""
    end = min(time.time() + timeout, deadline.at)
    while True:
        result = condition()
        if result:
            return result
        if time.time() >= end:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(interval)


class Screenshot:
    """The whole screen as 8-bit RGB, read with import -window root."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.data = run(["import", "-window", "root", "-depth", "8", "rgb:-"], timeout=30)
        if len(self.data) != width * height * 3:
            raise Failure(f"screenshot has {len(self.data)} bytes, expected {width}x{height} RGB")

    def px(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def find(self, colour, left=0, top=0, right=None, bottom=None, run=1):
        """First pixel of the colour, row by row from the top-left of the box, that starts a
        horizontal run of `run` pixels of that colour."""
        right = self.width if right is None else right
        bottom = self.height if bottom is None else bottom
        needle = bytes(colour) * run
        for y in range(top, bottom):
            row = self.data[(y * self.width + left) * 3:(y * self.width + right) * 3]
            start = 0
            while True:
                i = row.find(needle, start)
                if i < 0:
                    break
                if i % 3 == 0:
                    return left + i // 3, y
                start = i + 1
        return None

    def save_png(self, path):
        run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", path],
            input_bytes=self.data, timeout=30)


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def request_close(window):
    """Sends the window the WM_DELETE_WINDOW message a window manager sends when the user
    presses the close button of its title bar."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_Event)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise Failure("cannot open the X display to send the close request")
    try:
        event = _Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
            raise Failure("XSendEvent refused the close request")
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)
