#!/usr/bin/env python3
# Black-box: the real program played with keys alone, its board read only through the
# desktop's accessibility interface (AT-SPI) as a screen reader reads it. Nothing a player
# can reach or use may be unnamed. A 3 x 3 sliding puzzle and a 3 x 3 swap puzzle are
# scrambled and solved; the status bar must count the misplaced pieces the board shows, and
# each win must tell the time it took, the time the clock and then the best-times list show.
#
#   dbus-run-session -- python3 screen_reader_test.py PROGRAM
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

PROGRAM = sys.argv[1]
LETTERS = "ABCDEFGHI"


def fail(message):
    print("FAIL:", message, flush=True)
    sys.exit(1)


def wait_for(what, check, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = check()
        if value:
            return value
        time.sleep(0.1)
    fail("waited in vain for " + what)


def start_desktop(scratch, env):
    reader, writer = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(writer), "-screen", "0", "1280x900x24",
                             "-nolisten", "tcp"], pass_fds=[writer], stderr=subprocess.DEVNULL)
    os.close(writer)
    with os.fdopen(reader) as displayfd:
        env["DISPLAY"] = ":" + displayfd.readline().strip()
    os.environ["DISPLAY"] = env["DISPLAY"]
    wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    wait_for("the window manager", lambda: b"window id" in subprocess.run(
        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True).stdout)
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return [bus, wm, xvfb]


def key(env, *keys):
    subprocess.run(["xdotool", "key", "--delay", "120", *keys], env=env, check=True)


class Reader:
    """What a screen reader finds of the program: its accessible tree over AT-SPI."""

    def __init__(self, pid):
        import pyatspi  # after the accessibility bus is up
        self.atspi = pyatspi
        self.pid = pid
        self.app = wait_for("the program on the accessibility bus", self.find_app)

    def find_app(self):
        for app in self.atspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None

    def all(self, role, node=None):
        node = node or self.app
        found = []
        for child in node:
            if child is None:
                continue
            if child.getRole() == role:
                found.append(child)
            found += self.all(role, child)
        return found

    def board(self):
        tables = [t for t in self.all(self.atspi.ROLE_TABLE) if t.name == "Puzzle board"]
        if not tables:
            return None
        table = tables[0].queryTable()
        return [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
                for r in range(table.nRows)]

    def labels(self, role):
        return [label.name for bar in self.all(role) for label in bar
                if label is not None and label.getRole() == self.atspi.ROLE_LABEL]

    def unnamed(self):
        """What a player can reach or use that a screen reader cannot name."""
        a = self.atspi
        used = {a.ROLE_PUSH_BUTTON, a.ROLE_CHECK_BOX, a.ROLE_RADIO_BUTTON, a.ROLE_MENU_ITEM,
                a.ROLE_CHECK_MENU_ITEM, a.ROLE_RADIO_MENU_ITEM, a.ROLE_TEXT, a.ROLE_LIST,
                a.ROLE_TABLE, a.ROLE_TABLE_CELL, a.ROLE_COMBO_BOX, a.ROLE_TOGGLE_BUTTON,
                a.ROLE_TOOL_BAR, a.ROLE_FRAME}
        found = []

        def walk(node, path):
            for child in node:
                if child is None:
                    continue
                here = path + "/" + child.getRoleName()
                reachable = child.getState().contains(a.STATE_FOCUSABLE)
                if (reachable or child.getRole() in used) and not child.name.strip():
                    found.append(here)
                if "\t" in child.name:  # a shortcut belongs in the key binding
                    found.append(here + " " + repr(child.name))
                walk(child, here)

        walk(self.app, "")
        return found

    def dialog_describing(self, words):
        for frame in self.app:
            if frame is not None and words in (frame.description or ""):
                return frame
        return None


def numbers(board):
    """The board as numbers row by row, 0 for the empty space; every name checked."""
    cells = []
    for row in board:
        for name in row:
            if name == "empty space":
                cells.append(0)
                continue
            letter, _, rest = name.partition(", ")
            if letter not in LETTERS or rest not in ("", "in place"):
                fail("a cell named %r" % name)
            cells.append(LETTERS.index(letter) + 1)
    for i, (name, n) in enumerate(zip(sum(board, []), cells)):
        if n and (n == i + 1) != name.endswith(", in place"):
            fail("cell %d named %r" % (i, name))
    return tuple(cells)


def slide_keys(start):
    """The arrows that solve a 3 x 3 sliding board, found by a breadth-first search."""
    goal = (1, 2, 3, 4, 5, 6, 7, 8, 0)
    # The arrow names the way a piece moves: the empty space goes the other way.
    arrows = {-1: "Right", 1: "Left", -3: "Down", 3: "Up"}
    came = {start: None}
    queue = collections.deque([start])
    while queue:
        state = queue.popleft()
        if state == goal:
            break
        empty = state.index(0)
        for step in (-1, 1, -3, 3):
            to = empty + step
            if not 0 <= to < 9 or (step in (-1, 1) and to // 3 != empty // 3):
                continue
            after = list(state)
            after[empty], after[to] = after[to], 0
            after = tuple(after)
            if after not in came:
                came[after] = (state, arrows[step])
                queue.append(after)
    keys = []
    state = goal
    while came[state] is not None:
        state, arrow = came[state]
        keys.append(arrow)
    return keys[::-1]


def swap_keys(start):
    """Arrows, Space and Space again for each swap that puts a piece home, from the top left."""
    cells = list(start)
    keys = ["Up", "Up", "Left", "Left"]
    cursor = 0

    def go(to):
        nonlocal cursor
        dx, dy = to % 3 - cursor % 3, to // 3 - cursor // 3
        keys.extend(["Right" if dx > 0 else "Left"] * abs(dx) + ["Down" if dy > 0 else "Up"] * abs(dy))
        cursor = to

    for home in range(9):
        if cells[home] == home + 1:
            continue
        there = cells.index(home + 1)
        go(home)
        keys.append("space")
        go(there)
        keys.append("Return")
        cells[home], cells[there] = cells[there], cells[home]
    return keys


def seconds_in(text):
    parts = {unit: int(n) for n, unit in re.findall(r"(\d+) (hour|minute|second)", text)}
    return parts.get("hour", 0) * 3600 + parts.get("minute", 0) * 60 + parts.get("second", 0)


def play(reader, env, kind, solve):
    done = tuple(range(1, 9)) + ((9,) if kind == "swap" else (0,))
    key(env, "F2")

    def scrambled():
        board = reader.board()
        return board if board and numbers(board) != done else None

    start = numbers(wait_for("a scrambled board", scrambled))
    misplaced = sum(1 for i, n in enumerate(start) if n and n != i + 1)
    if "Incorrect pieces: %d" % misplaced not in reader.labels(reader.atspi.ROLE_STATUS_BAR):
        fail("%s: %d misplaced, the status bar reads %s" % (
            kind, misplaced, reader.labels(reader.atspi.ROLE_STATUS_BAR)))
    time.sleep(1.5)  # a second or more on the clock
    key(env, *solve(start))
    solved = numbers(wait_for("the board solved", reader.board))
    if solved != done:
        fail("%s: the board read %s after the keys" % (kind, solved))
    # The win: a first game of its kind is a best time, and its name prompt tells the time.
    prompt = wait_for(kind + ": the win told", lambda: reader.dialog_describing("solved the puzzle"))
    told = seconds_in(prompt.description)
    clock = "%02d:%02d:%02d" % (told // 3600, told // 60 % 60, told % 60)
    if clock not in reader.labels(reader.atspi.ROLE_TOOL_BAR):
        fail("%s: the win told %s, the clock reads %s" % (
            kind, clock, reader.labels(reader.atspi.ROLE_TOOL_BAR)))
    fields = [f for f in reader.all(reader.atspi.ROLE_TEXT, prompt)]
    if not fields or "enter your name" not in fields[0].name:
        fail("%s: the name field is named %r" % (kind, fields[0].name if fields else None))
    subprocess.run(["xdotool", "type", "--delay", "60", "Ada"], env=env, check=True)
    key(env, "Return")
    listed = wait_for(kind + ": the best times shown", lambda: [
        i.name for i in reader.all(reader.atspi.ROLE_LIST_ITEM) if "Ada" in i.name])
    hms = re.search(r"(\d\d):(\d\d):(\d\d)", listed[0])
    if hms is None or int(hms[1]) * 3600 + int(hms[2]) * 60 + int(hms[3]) != told or told < 1:
        fail("%s: the win told %d seconds, the list shows %r" % (kind, told, listed[0]))
    key(env, "Escape")
    wait_for(kind + ": the best times closed", lambda: not reader.all(reader.atspi.ROLE_LIST_ITEM))
    print("%s: solved with %d keys, told %d seconds" % (kind, len(solve(start)), told), flush=True)


def main():
    scratch = tempfile.mkdtemp(prefix="kavro-reader-")
    runtime = os.path.join(scratch, "run")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=scratch, LANG="C.UTF-8",
               QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("LANGUAGE", None)
    env.pop("WAYLAND_DISPLAY", None)
    os.environ.update(XDG_RUNTIME_DIR=runtime)
    helpers = start_desktop(scratch, env)
    shutil.copy(PROGRAM, os.path.join(scratch, "kavro"))
    try:
        for kind, game, solve in (("sliding", 1, slide_keys), ("swap", 2, swap_keys)):
            # The puzzle type the program starts with; a 3 x 3 letter board either way.
            with open(os.path.join(scratch, "kavro.ini"), "w") as settings:
                settings.write("[KAVRO]\nGAME=%d\n" % game)
            program = subprocess.Popen([os.path.join(scratch, "kavro")], cwd=scratch, env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            helpers.insert(0, program)
            window = wait_for("the frame", lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "^Kavro$"], env=env,
                capture_output=True, text=True).stdout.split())[-1]
            wait_for("the frame managed", lambda: b"Normal" in subprocess.run(
                ["xprop", "-id", window, "WM_STATE"], env=env, capture_output=True).stdout)
            subprocess.run(["xdotool", "windowactivate", "--sync", window], env=env)
            reader = Reader(program.pid)
            unnamed = wait_for("the tree", lambda: reader.board() and (reader.unnamed() or ["none"]))
            if unnamed != ["none"]:
                fail("unnamed to a screen reader: %s" % unnamed)
            # The menu's toggles are check items that tell "off" as well as "on".
            types = {item.name: item.getState().contains(reader.atspi.STATE_CHECKED)
                     for item in reader.all(reader.atspi.ROLE_CHECK_BOX)}
            if types.get("Jigsaw puzzle") != (kind == "swap") or \
                    types.get("Sliding puzzle") != (kind == "sliding"):
                fail("%s: the menu's types read %s" % (kind, types))
            play(reader, env, kind, solve)
            program.kill()
            program.wait()
    finally:
        for helper in helpers:
            helper.kill()
        shutil.rmtree(scratch, ignore_errors=True)
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
