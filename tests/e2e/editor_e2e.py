#!/usr/bin/python3
"""End-to-end test of the editor in a real X server: starts the real program under xvfb-run
and drives it only with keys and clicks, as a person would, reading the results back from
screenshots, the window titles and the saved file.

  editor_e2e.py PROGRAM
  editor_e2e.py --scaled PROGRAM   the board on a screen scaled by two (QT_SCALE_FACTOR=2)

Exit status 0 when every step passed, 1 when one failed (the screenshot and the program's
output are kept and their folder named), 77 (skipped) when no X server can be started."""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

# The test writes only into its temporary folder: no bytecode caches beside the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from editor_steps import run_steps  # noqa: E402
from scaled_steps import run_scaled_steps  # noqa: E402
from xsession import Deadline  # noqa: E402

# -noreset: the server would otherwise reset, refusing connections for a moment, each time its
# last client (a probe such as xdpyinfo) disconnects, just when the program tries to connect.
SCREEN = "-screen 0 1280x1024x24 -noreset"
BUDGET = 140  # seconds for everything, retry included; CTest stops the test at 150
RETRY_NEEDS = 60  # seconds a second attempt must have left to be worth starting


def skip(message):
    print(f"skipped: {message}")
    sys.exit(77)


def missing_tools():
    return [t for t in ("xdotool", "import", "convert", "xdpyinfo") if not shutil.which(t)]


def inner(program, folder, deadline_at, scaled=False):
    """Runs inside the X server that xvfb-run started."""
    steps = run_scaled_steps if scaled else run_steps
    return steps(program, folder, Deadline(float(deadline_at)))


def xvfb_run(display, command, timeout):
    args = ["xvfb-run", "-n", str(display), "-a", "-s", SCREEN, *command]
    try:
        return subprocess.run(args, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        print(f"the run did not end within {timeout:.0f} s")
        return 1


def main():
    # The inner run prints into the same output: keep the lines in order.
    sys.stdout.reconfigure(line_buffering=True)
    if len(sys.argv) in (5, 6) and sys.argv[1] == "--inner":
        return inner(*sys.argv[2:5], scaled=len(sys.argv) == 6)
    args = sys.argv[1:]
    scaled = args[:1] == ["--scaled"]
    if scaled:
        args = args[1:]
    if len(args) != 1:
        print(__doc__)
        return 2
    program = os.path.abspath(args[0])
    start = time.time()
    if not shutil.which("xvfb-run") or not shutil.which("Xvfb"):
        skip("no X server can be started: xvfb-run or Xvfb is missing "
             "(scripts/install-deps installs the xvfb package)")
    tools = missing_tools()
    if tools:
        print(f"FAIL: {', '.join(tools)} missing; scripts/install-deps installs them")
        return 1
    # A display number of our own, so that X servers started at the same time do not collide.
    display = random.randrange(500, 900)
    try:
        probe = subprocess.run(["xvfb-run", "-n", str(display), "-a", "-s", SCREEN, "true"],
                               capture_output=True, timeout=30)
    except subprocess.TimeoutExpired:
        skip("no X server could be started within 30 s")
    if probe.returncode != 0:
        skip("no X server could be started: " + probe.stderr.decode(errors="replace").strip())
    work = tempfile.mkdtemp(prefix="tarnwick-e2e-")
    # A machine busy with other tests may start the X server or the program slowly: one more
    # try on a fresh server before calling it a failure.
    for attempt in (1, 2):
        left = start + BUDGET - time.time()
        if attempt == 2 and left < RETRY_NEEDS:
            print(f"no time left for a second attempt ({left:.0f} s)")
            break
        folder = os.path.join(work, f"attempt{attempt}")
        os.makedirs(folder)
        deadline = start + BUDGET if attempt == 2 else start + BUDGET - RETRY_NEEDS
        status = xvfb_run(display + attempt * 7,
                          [sys.executable, os.path.abspath(__file__), "--inner", program,
                           folder, str(deadline)] + (["--scaled"] if scaled else []),
                          timeout=deadline - time.time() + 10)
        if status == 0:
            shutil.rmtree(work, ignore_errors=True)
            print(f"passed in {time.time() - start:.1f} s (attempt {attempt})")
            return 0
        print(f"attempt {attempt} failed; its screenshot and output are in {folder}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
