"""The editor on a screen that scales windows by two (QT_SCALE_FACTOR=2): a new board, a strip
highlighted with a click, and the board read back from the screenshot. Every pixel of the
board must be one of the board's own colours (nothing smoothed or blended) and every 2 x 2 block
one pixel of the unscaled drawing."""

import subprocess
import time

import screen_checks as sc
from editor_steps import TRACES, PINS, Editor, find_window
from xsession import (Failure, click, focus, keys, request_close, type_text, visible_windows,
                      wait_for)

SCALE = 2
# Every colour the board of this test can show: background, strips, holes, the highlight.
PALETTE = {sc.BACKGROUND, sc.STRIP, sc.HIGHLIGHT, sc.BLACK}
HIGHLIGHTED = 4


def board_box():
    """The board's strips and holes, in pixels of the unscaled drawing."""
    return 18 * TRACES + 3, 15 * PINS + 4


def check_blocks(shot, w):
    width, height = board_box()
    problems = []
    for y in range(height):
        for x in range(width):
            sx, sy = w.bx + SCALE * x, w.by + SCALE * y
            block = {shot.px(sx + i, sy + j) for i in range(SCALE) for j in range(SCALE)}
            if len(block) != 1:
                problems.append(f"the block of board pixel ({x}, {y}) has {len(block)} colours")
            elif not block <= PALETTE:
                problems.append(f"board pixel ({x}, {y}) is {block.pop()}, not a board colour")
            if len(problems) > 5:
                raise Failure("; ".join(problems))
    if problems:
        raise Failure("; ".join(problems))


def check_drawing(shot, w):
    """The unscaled drawing's strips, holes and highlight, each as a block."""
    def at(x, y):
        return shot.px(w.bx + SCALE * x, w.by + SCALE * y)
    for t in range(TRACES):
        want = sc.HIGHLIGHT if t == HIGHLIGHTED else sc.STRIP
        if at(18 * t + 5, 20) != want:
            raise Failure(f"strip {t} is {at(18 * t + 5, 20)}, expected {want}")
        for p in range(PINS):
            if at(sc.trace_x(t), sc.pin_y(p)) != sc.BLACK:
                raise Failure(f"no black hole at trace {t}, row {p}")
    if at(18 * TRACES + 6, 30) != sc.BACKGROUND:
        raise Failure("something drawn right of the last strip")


def run_scaled(e):
    find_window(e, "the board view")
    e.menu("Return")
    dialog = e.wait_window("^Create a new layout$")
    focus(dialog)
    type_text(str(TRACES))
    keys("Tab")
    type_text(str(PINS))
    keys("Return")
    e.wait_gone(dialog, "the New Layout dialog")
    w = e.parts
    click(w.bx + SCALE * sc.trace_x(HIGHLIGHTED), w.by + SCALE * sc.pin_y(3))

    def drawn(shot):
        check_drawing(shot, w)
        check_blocks(shot, w)
    e.wait_checked("the board drawn in 2 x 2 blocks of its own colours", drawn)
    request_close(e.win)
    deadline = time.time() + 10
    while e.proc.poll() is None and time.time() < deadline:
        box = visible_windows("^Discard Changes\\?$")
        if box:
            focus(box[0])
            keys("Return")
        time.sleep(0.2)
    try:
        status = e.proc.wait(timeout=max(1.0, min(20.0, e.deadline.left())))
    except subprocess.TimeoutExpired:
        raise Failure("the program is still running after the close request")
    if status != 0:
        raise Failure(f"the program ended with status {status}")


def run_scaled_steps(program, folder, deadline):
    try:
        wait_for("the X server", lambda: subprocess.run(
            ["xdpyinfo"], capture_output=True).returncode == 0, deadline, 20)
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    e = None
    try:
        e = Editor(program, folder, deadline, scale=SCALE)
        run_scaled(e)
        print("the board is drawn in whole blocks at scale 2")
        return 0
    except Failure as failure:
        print(f"FAIL: {failure}")
        if e is not None and e.shot is not None:
            e.shot.save_png(f"{folder}/last-screen.png")
        return 1
    finally:
        if e is not None:
            e.stop()
