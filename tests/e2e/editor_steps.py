"""The steps a person takes in the editor, each checked on the screen: start, a new board,
highlighting two strips, adding a resistor, saving, moving it and closing without saving; then
the saved layout given on the command line, a change, the editor killed, and the change
brought back by "Restore" at the next start, and a clean exit that leaves no recovery copy."""

import glob
import os
import signal
import subprocess
import time

import screen_checks as sc
from xsession import (Failure, Screenshot, click, focus, keys, request_close, type_text,
                      visible_windows, wait_for, window_geometry, window_name, xdo)

TRACES, PINS = 10, 12
ROW = 3  # the pin row clicked on, and so the row the resistor goes to
START, END = 2, 5  # the clicked strip and the Shift-clicked strip
FILE_NAME = "resistor board.twk"


class Editor:
    """The running program and what has been learnt about its window."""

    def __init__(self, program, folder, deadline, scale=None):
        self.folder, self.deadline = folder, deadline
        self.shot = None
        self.win = None
        self.parts = None
        self.saved = None
        self.program = program
        self.log = open(os.path.join(folder, "program.log"), "wb")
        self.env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        if scale:
            self.env["QT_SCALE_FACTOR"] = str(scale)
        # The editor keeps its settings (recent layouts) and its recovery copies in the user's
        # folders: keep them in the test's folder.
        for name in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                     "XDG_RUNTIME_DIR", "XDG_STATE_HOME"):
            path = os.path.join(folder, name.lower())
            os.makedirs(path, mode=0o700, exist_ok=True)
            self.env[name] = path
        self.recovery = os.path.join(self.env["XDG_STATE_HOME"], "tarnwick", "recovery")
        self.proc = None
        self.launch()
        self.width, self.height = (int(v) for v in xdo("getdisplaygeometry").split())

    def launch(self, *args):
        self.proc = subprocess.Popen([self.program, *args], stdout=self.log,
                                     stderr=subprocess.STDOUT, env=self.env, cwd=self.folder)

    def copies(self):
        """The recovery copies in the state folder."""
        return glob.glob(os.path.join(self.recovery, "*.twk"))

    def screenshot(self):
        self.shot = Screenshot(self.width, self.height)
        return self.shot

    def wait_screen(self, what, condition, timeout=20.0):
        """Takes screenshots until condition(shot) holds."""
        return wait_for(what, lambda: condition(self.screenshot()), self.deadline, timeout,
                        interval=0.2)

    def wait_checked(self, what, check, timeout=20.0):
        """Takes screenshots until check(shot) no longer raises Failure; returns its result.
        On timeout the last check's complaint says what was still wrong."""
        complaint = []

        def attempt():
            try:
                return check(self.screenshot()) or True
            except Failure as failure:
                complaint[:] = [str(failure)]
                return None
        try:
            return wait_for(what, attempt, self.deadline, timeout, interval=0.2)
        except Failure:
            raise Failure(f"{what}: {complaint[0] if complaint else 'timed out'}")

    def wait_window(self, name_regex, timeout=20.0):
        def found():
            if self.proc.poll() is not None:
                raise Failure(f"the program ended with status {self.proc.returncode} while "
                              f"waiting for a window titled {name_regex}")
            ids = visible_windows(name_regex)
            return ids[0] if ids else None
        return wait_for(f"a window titled {name_regex}", found, self.deadline, timeout)

    def wait_gone(self, window, what, timeout=20.0):
        wait_for(f"{what} to close", lambda: window not in visible_windows("."), self.deadline,
                 timeout)

    def menu(self, *path):
        """Opens the File menu with Alt+F and walks it with the arrow keys."""
        focus(self.win)
        keys("alt+f")
        wait_for("the File menu to open", self.menu_open, self.deadline, 10)
        keys(*path)

    def menu_open(self):
        # The menu drops, light, over the top-left corner of the board view.
        return sum(self.screenshot().px(self.parts.bx + 30, self.parts.by + 30)) > 3 * 200

    def stop(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.log.close()


def find_window(e, what, check=None):
    """Waits for the window titled "Tarnwick" and for its board view in the screenshots; check,
    when given, looks further at each screenshot that has one."""
    e.win = e.wait_window("^Tarnwick$", timeout=40)
    geometry = window_geometry(e.win)

    def located(shot):
        parts = sc.locate_window(shot, geometry)
        if parts is None:
            raise Failure("no board view in the window")
        if check:
            check(shot, parts)
        return parts
    e.parts = e.wait_checked(what, located, timeout=30)


def step_start(e):
    """1. The window titled "Tarnwick" appears, with the rulers and the side panel."""
    def painted(shot, parts):
        sc.check_rulers(shot, parts)
        sc.check_side_panel(shot, parts)
        if not sc.list_is_empty(shot, parts):
            raise Failure("the component list is not empty at start")
    find_window(e, "the window with its rulers and side panel", painted)


def step_new(e):
    """2. File > New with 10 traces and 12 pins draws ten strips."""
    e.menu("Return")
    dialog = e.wait_window("^Create a new layout$")
    focus(dialog)
    # The traces box has the focus with its number selected, so typing replaces it.
    type_text(str(TRACES))
    keys("Tab")
    type_text(str(PINS))
    keys("Return")
    e.wait_gone(dialog, "the New Layout dialog")
    e.wait_screen(f"{TRACES} strips of {PINS} holes",
                  lambda shot: sc.strips_drawn(shot, e.parts, TRACES, PINS))


def step_highlight(e):
    """3. A click on the third strip turns it red; a Shift+click on the sixth turns it green."""
    click(*e.parts.board(sc.trace_x(START), sc.pin_y(ROW)))
    expected = [sc.STRIP] * TRACES
    expected[START] = sc.HIGHLIGHT
    e.wait_screen(f"strip {START} red and the others unlabelled",
                  lambda shot: sc.strip_colours(shot, e.parts, TRACES, PINS) == expected)
    click(*e.parts.board(sc.trace_x(END), sc.pin_y(ROW)), shift=True)
    expected[END] = sc.END_HIGHLIGHT
    e.wait_screen(f"strip {END} green, strip {START} still red",
                  lambda shot: sc.strip_colours(shot, e.parts, TRACES, PINS) == expected)


def step_add_resistor(e):
    """4. Ctrl+A, kind Resistor by its letter, OK, Cancel: the resistor's glyph is on the
    board and its row "R" is in the list."""
    focus(e.win)
    keys("ctrl+a")
    dialog = e.wait_window("^Component Properties$")
    focus(dialog)
    # The name box has the focus; the kind drop-down is next.
    keys("Tab")
    type_text("r")
    keys("Return")
    e.wait_screen("the resistor on the board",
                  lambda shot: sc.resistor_at(shot, e.parts, START, END, ROW))
    if dialog not in visible_windows("^Component Properties$"):
        raise Failure("the component dialog closed on OK; it should stay open for the next part")
    keys("Escape")
    e.wait_gone(dialog, "the component dialog")
    # The dialog leaves the start strip highlighted and clears the end strip.
    expected = [sc.STRIP] * TRACES
    expected[START] = sc.HIGHLIGHT
    above = sc.pin_y(ROW) - 12

    def added(shot):
        colours = sc.strip_colours(shot, e.parts, TRACES, PINS, above)
        if colours != expected:
            raise Failure(f"strip colours {colours}, expected {expected}")
        if not sc.resistor_at(shot, e.parts, START, END, ROW):
            raise Failure("no resistor glyph on the board")
        if not sc.type_cell_shows_r(shot, e.parts):
            raise Failure('the component list has no row "R"')
    e.wait_checked("the resistor after Cancel", added)


def step_save_as(e):
    """5. Save as into a temporary folder: the title names the file, which holds the
    resistor."""
    folder = os.path.join(e.folder, "saved")
    os.makedirs(folder)
    path = os.path.join(folder, FILE_NAME)
    e.menu("Down", "Down", "Down", "Return")
    dialog = e.wait_window("^Save")
    focus(dialog)
    # The file name box has the focus.
    type_text(path)
    keys("Return")
    e.wait_gone(dialog, "the save dialog")
    title = f"Tarnwick [{FILE_NAME}]"
    wait_for(f'the title "{title}"', lambda: window_name(e.win) == title, e.deadline, 10)
    check_saved(path)
    e.saved = path


def read_layout(path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if not lines or lines[0] != "[Schematic]":
        raise Failure(f"{path} does not start with [Schematic]")
    return dict(line.split("=", 1) for line in lines[1:] if "=" in line)


def check_saved(path, row=ROW):
    if not os.path.exists(path):
        raise Failure(f"no file {path}")
    values = read_layout(path)
    expected = {"PartCount": "1", "TraceCount": str(TRACES), "PinCount": str(PINS),
                "Komp1.KompTyp": "1", "Komp1.StartTrace": str(START),
                "Komp1.EndTrace": str(END), "Komp1.StartPin": str(row)}
    wrong = {k: values.get(k) for k, v in expected.items() if values.get(k) != v}
    if wrong:
        raise Failure(f"the saved file has {wrong}, expected {expected}")


def step_move_and_close(e):
    """6. Click the resistor, Move Down (Ctrl+Down), close the window: "Discard Changes?"
    appears, and OK ends the program."""
    click(*e.parts.board(sc.trace_x(START + 1), sc.pin_y(ROW)))
    focus(e.win)
    keys("ctrl+Down")
    e.wait_screen("the resistor one row lower",
                  lambda shot: sc.resistor_at(shot, e.parts, START, END, ROW + 1) and
                  sc.resistor_gone(shot, e.parts, START, END, ROW))
    request_close(e.win)
    box = e.wait_window("^Discard Changes\\?$")
    if e.proc.poll() is not None or e.win not in visible_windows("^Tarnwick"):
        raise Failure("the window closed before the discard question was answered")
    focus(box)
    keys("Return")  # OK is the default button
    try:
        status = e.proc.wait(timeout=max(1.0, min(20.0, e.deadline.left())))
    except subprocess.TimeoutExpired:
        raise Failure("the program is still running after OK in the discard question")
    if status != 0:
        raise Failure(f"the program ended with status {status}")
    check_saved(e.saved)  # the move was discarded, not saved


def find_layout(e, title_regex, row, timeout=40):
    """Waits for the window with that title, showing the saved board with the resistor on
    pin row `row`, and learns where its parts are."""
    e.win = e.wait_window(title_regex, timeout=timeout)
    geometry = window_geometry(e.win)

    def drawn(shot):
        parts = sc.locate_window(shot, geometry)
        if parts is None:
            raise Failure("no board view in the window")
        # The strips above the resistor, and the board's last hole and what lies beyond it.
        colours = sc.strip_colours(shot, parts, TRACES, PINS, sc.pin_y(ROW) - 12)
        if colours != [sc.STRIP] * TRACES:
            raise Failure(f"strip colours {colours}, expected {TRACES} plain strips")
        last = parts.board(sc.trace_x(TRACES - 1), sc.pin_y(PINS - 1))
        if shot.px(*last) != sc.BLACK or \
                shot.px(*parts.board(sc.trace_x(TRACES), sc.pin_y(1))) != sc.BACKGROUND or \
                shot.px(*parts.board(sc.trace_x(0), sc.pin_y(PINS))) != sc.BACKGROUND:
            raise Failure(f"the board is not {TRACES} strips of {PINS} holes")
        if not sc.resistor_at(shot, parts, START, END, row):
            raise Failure(f"no resistor on pin row {row}")
        if row != ROW and not sc.resistor_gone(shot, parts, START, END, ROW):
            raise Failure(f"the resistor is still on pin row {ROW}")
        return parts
    e.parts = e.wait_checked(f"the layout with the resistor on row {row}", drawn, timeout=30)


def step_open_given(e):
    """7. The saved layout given on the command line opens at start and is drawn."""
    e.launch(e.saved)
    find_layout(e, f"^Tarnwick \\[{FILE_NAME}\\]$", ROW)


def step_change_and_kill(e):
    """8. The resistor moved down; once its recovery copy is written, the editor is killed."""
    # Not where step 6 clicked: xdotool waits long for a pointer that does not move.
    click(*e.parts.board(sc.trace_x(START + 2), sc.pin_y(ROW)))
    focus(e.win)
    keys("ctrl+Down")
    e.wait_screen("the resistor one row lower",
                  lambda shot: sc.resistor_at(shot, e.parts, START, END, ROW + 1))

    def copy_written():
        for path in e.copies():
            try:
                values = read_layout(path)
            except (OSError, Failure, ValueError):
                continue
            if values.get("Komp1.StartPin") == str(ROW + 1):
                return path
        return None
    wait_for("a recovery copy with the moved resistor", copy_written, e.deadline, 15)
    e.proc.send_signal(signal.SIGKILL)
    e.proc.wait(timeout=10)


def step_restore(e):
    """9. The next start asks about the copy; "Restore" (the default button) brings back the
    moved resistor as an untitled layout whose title says it was recovered."""
    e.launch()
    box = e.wait_window("^Restore Layout\\?$", timeout=40)
    focus(box)
    keys("Return")
    e.wait_gone(box, "the restore question")
    find_layout(e, f"^Tarnwick \\[{FILE_NAME} \\(recovered\\)\\]$", ROW + 1, timeout=20)


def step_clean_exit(e):
    """10. Closing the window and discarding the restored change ends the program and leaves
    no recovery copy."""
    request_close(e.win)
    box = e.wait_window("^Discard Changes\\?$")
    focus(box)
    keys("Return")
    try:
        status = e.proc.wait(timeout=max(1.0, min(20.0, e.deadline.left())))
    except subprocess.TimeoutExpired:
        raise Failure("the program is still running after OK in the discard question")
    if status != 0:
        raise Failure(f"the program ended with status {status}")
    left = os.listdir(e.recovery) if os.path.isdir(e.recovery) else []
    if left:
        raise Failure(f"the recovery folder still holds {left}")


STEPS = [("window", step_start), ("new board", step_new), ("highlights", step_highlight),
         ("add resistor", step_add_resistor), ("save as", step_save_as),
         ("move and close", step_move_and_close), ("open given", step_open_given),
         ("change and kill", step_change_and_kill), ("restore", step_restore),
         ("clean exit", step_clean_exit)]


def run_steps(program, folder, deadline):
    try:
        # The X server may still be starting on a busy machine.
        wait_for("the X server", lambda: subprocess.run(
            ["xdpyinfo"], capture_output=True).returncode == 0, deadline, 20)
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    started = time.time()
    e = None
    try:
        e = Editor(program, folder, deadline)
        for n, (name, step) in enumerate(STEPS, 1):
            t = time.time()
            step(e)
            print(f"step {n} ({name}) passed in {time.time() - t:.1f} s")
        print(f"all steps passed in {time.time() - started:.1f} s")
        return 0
    except Failure as failure:
        print(f"FAIL: {failure}")
        if e is not None and e.shot is not None:
            e.shot.save_png(os.path.join(folder, "last-screen.png"))
        output = ""
        if os.path.exists(os.path.join(folder, "program.log")):
            with open(os.path.join(folder, "program.log"), errors="replace") as f:
                output = f.read().strip()
        if output:
            print("program output:\n" + output)
        return 1
    finally:
        if e is not None:
            e.stop()
