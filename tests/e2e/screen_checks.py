"""What the editor's window looks like, read back from a screenshot: where the board, the rulers
and the side panel are, the strips and their highlight colours, the resistor glyph, and the
first row of the component list."""

from xsession import Failure

BACKGROUND = (16, 16, 16)
STRIP = (128, 112, 64)
HIGHLIGHT = (255, 0, 0)
END_HIGHLIGHT = (0, 128, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

SIDE_PANEL_WIDTH = 185
RULER_TOP_HEIGHT = 12
RULER_LEFT_WIDTH = 15


def trace_x(t):
    return 18 * t + 10


def pin_y(p):
    return 15 * p + 11


# The resistor picture, 24 x 24, rows 6 to 16 (the others are transparent); '.' is transparent,
# 'K' black, 'W' white. Row 11 is the lead row, drawn on the component's pin row.
RESISTOR_ROWS = {
    6: "...KKKKKKKKKKKKKKKKKK...",
    7: "..KWWWWWWWWWWWWWWWWWWK..",
    8: ".KWKKKKKKKKKKKKKKKKKKWK.",
    9: ".KWKKKKKKKKKKKKKKKKKKWK.",
    10: ".KWKKKKKKKKKKKKKKKKKKWK.",
    11: "WWWKKKKKKKKKKKKKKKKKKWWW",
    12: ".KWKKKKKKKKKKKKKKKKKKWK.",
    13: ".KWKKKKKKKKKKKKKKKKKKWK.",
    14: ".KWKKKKKKKKKKKKKKKKKKWK.",
    15: "..KWWWWWWWWWWWWWWWWWWK..",
    16: "...KKKKKKKKKKKKKKKKKK...",
}


class Window:
    """The main window's parts on the screen: the board view's top-left corner (bx, by), the
    left edge of the side panel, and the window's box."""

    def __init__(self, geometry, bx, by, panel_x):
        self.x, self.y, self.width, self.height = geometry
        self.bx, self.by, self.panel_x = bx, by, panel_x

    def board(self, x, y):
        """Screen position of a point given in board coordinates."""
        return self.bx + x, self.by + y


def locate_window(shot, geometry):
    """Finds the board view, the large dark area (not a dark pixel of some text), or None
    while the window is not painted yet."""
    x, y, width, height = geometry
    top = y
    while True:
        corner = shot.find(BACKGROUND, x, top, x + width, y + height, run=100)
        if corner is None:
            return None
        bx, by = corner
        if all(shot.px(bx, by + k) == BACKGROUND for k in range(100)):
            break
        top = by + 1
    # The view's top rows are background across its whole width: the strips start lower.
    right = bx
    row = by + 1
    while right < x + width and shot.px(right, row) == BACKGROUND:
        right += 1
    return Window(geometry, bx, by, right)


def check_rulers(shot, w):
    """Both rulers: black, white base lines, and ticks one centimetre apart at the view's scale
    (18 / 0.254 pixels across, 15 / 0.254 down), tick 0 at the strips' left and top edges."""
    top = w.by - RULER_TOP_HEIGHT
    problems = []
    for n, tick in enumerate((3, 74, 145, 216)):
        for y in range(top + 2, w.by):
            if shot.px(w.bx + tick, y) != WHITE:
                problems.append(f"top ruler tick {n} at x {tick} not white at y {y - top}")
                break
        gap = w.bx + tick + 35
        if shot.px(gap, top) != BLACK:
            problems.append(f"top ruler not black at x {gap - w.bx}")
    if shot.px(w.bx + 40, w.by - 1) != WHITE:
        problems.append("top ruler has no base line")
    left = w.bx - RULER_LEFT_WIDTH
    for n, tick in enumerate((4, 63, 122, 181)):
        for x in range(left + 2, w.bx - 1):
            if shot.px(x, w.by + tick) != WHITE:
                problems.append(f"left ruler tick {n} at y {tick} not white at x {x - left}")
                break
        if shot.px(left + 7, w.by + tick + 30) != BLACK:
            problems.append(f"left ruler not black below tick {n}")
    if shot.px(w.bx - 1, w.by + 40) != WHITE:
        problems.append("left ruler has no base line")
    if problems:
        raise Failure("rulers: " + "; ".join(problems))


def check_side_panel(shot, w):
    right = w.x + w.width
    if right - w.panel_x != SIDE_PANEL_WIDTH:
        raise Failure(f"side panel is {right - w.panel_x} pixels wide, expected "
                      f"{SIDE_PANEL_WIDTH}")
    list_top(shot, w)


def list_top(shot, w):
    """Top edge of the component list's rows: the first long white run of a column inside the
    list's "Type" column, below its header."""
    probe = w.panel_x + 24 + 40
    y, bottom = w.by - RULER_TOP_HEIGHT, w.y + w.height
    while y < bottom:
        if shot.px(probe, y) == WHITE and all(shot.px(probe, y + k) == WHITE for k in range(60)):
            return y
        y += 1
    raise Failure("no component list in the side panel")


def ink(pixel):
    return sum(pixel) < 3 * 160


def first_row_ink(shot, w, left, right):
    """Dark pixels of the list's first row (its top 24 pixels, room for a large font; the
    checks run while the list has at most one row) between two x offsets from the list's left
    edge."""
    top = list_top(shot, w)
    list_x = w.panel_x + 24
    return {(x, y) for y in range(top, top + 24) for x in range(list_x + left, list_x + right)
            if ink(shot.px(x, y))}


def list_is_empty(shot, w):
    return not first_row_ink(shot, w, 1, 130)


def _components(pixels):
    todo, groups = set(pixels), []
    while todo:
        stack, group = [todo.pop()], set()
        while stack:
            x, y = stack.pop()
            group.add((x, y))
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    n = (x + dx, y + dy)
                    if n in todo:
                        todo.remove(n)
                        stack.append(n)
        groups.append(group)
    return groups


def _runs(xs):
    xs = sorted(xs)
    return 1 + sum(1 for a, b in zip(xs, xs[1:]) if b > a + 1) if xs else 0


def _has_hole(pixels):
    xs = [x for x, _ in pixels]
    ys = [y for _, y in pixels]
    x0, x1, y0, y1 = min(xs) - 1, max(xs) + 1, min(ys) - 1, max(ys) + 1
    outside, stack = set(), [(x0, y0)]
    while stack:
        x, y = stack.pop()
        if (x, y) in outside or (x, y) in pixels or not (x0 <= x <= x1 and y0 <= y <= y1):
            continue
        outside.add((x, y))
        stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    return (x1 - x0 + 1) * (y1 - y0 + 1) > len(outside) + len(pixels)


def type_cell_shows_r(shot, w):
    """True when the "Type" cell of the first list row holds one letter shaped like an R: one
    connected glyph with a closed bowl, one stroke at its top and two (stem and leg) at its
    foot. Of the list's texts ("---", "R", "C", "D", "(o)", "<->", "TXT") only "R" is."""
    pixels = first_row_ink(shot, w, 1, 48)
    groups = _components(pixels)
    if len(groups) != 1:
        return False
    glyph = groups[0]
    ys = [y for _, y in glyph]
    xs = [x for x, _ in glyph]
    if not (6 <= max(ys) - min(ys) + 1 <= 14 and 4 <= max(xs) - min(xs) + 1 <= 12):
        return False
    top_row = [x for x, y in glyph if y == min(ys)]
    bottom_row = [x for x, y in glyph if y == max(ys)]
    return _runs(top_row) == 1 and _runs(bottom_row) == 2 and _has_hole(glyph)


def strip_colour(shot, w, t, pins, until=None):
    """The one fill colour of trace t's strip, or None when it is not filled evenly. Read along
    a column left of the holes, from the top of the fill to its bottom (or to board y `until`,
    above the components)."""
    x = w.bx + 18 * t + 5
    bottom = 15 * pins + 3 if until is None else until
    colours = {shot.px(x, w.by + y) for y in range(5, bottom)}
    return colours.pop() if len(colours) == 1 else None


def strips_drawn(shot, w, traces, pins):
    """The board shows exactly `traces` unlabelled strips of `pins` black holes each."""
    first = shot.find(STRIP, w.bx, w.by, w.panel_x, w.by + 100)
    if first is None or (first[0] - 4, first[1] - 5) != (w.bx, w.by):
        return False
    for t in range(traces):
        if strip_colour(shot, w, t, pins) != STRIP:
            return False
        if shot.px(w.bx + 18 * t + 3, w.by + 4) != BLACK:
            return False
        for p in range(pins):
            if shot.px(*w.board(trace_x(t), pin_y(p))) != BLACK:
                return False
        if shot.px(*w.board(trace_x(t), pin_y(pins))) != BACKGROUND:
            return False
    return shot.px(*w.board(18 * traces + 5, 30)) == BACKGROUND


def strip_colours(shot, w, traces, pins, until=None):
    return [strip_colour(shot, w, t, pins, until) for t in range(traces)]


def resistor_at(shot, w, start, end, pin):
    """The resistor glyph between two traces on a pin row, with its white lead line from hole
    to hole."""
    x1, x2, y = trace_x(start), trace_x(end), pin_y(pin)
    gx, gy = x1 + (x2 - x1 - 24) // 2, y - 11
    for row, pattern in RESISTOR_ROWS.items():
        for col, code in enumerate(pattern):
            want = {"K": BLACK, "W": WHITE}.get(code)
            if want and shot.px(*w.board(gx + col, gy + row)) != want:
                return False
    lead = list(range(x1, gx)) + list(range(gx + 24, x2))
    return all(shot.px(*w.board(x, y)) == WHITE for x in lead)


def resistor_gone(shot, w, start, end, pin):
    """No trace of the glyph's white body left on that row."""
    x1, x2, y = trace_x(start), trace_x(end), pin_y(pin)
    gx = x1 + (x2 - x1 - 24) // 2
    return all(shot.px(*w.board(gx + col, y - 4)) != WHITE for col in range(3, 21))
