#!/usr/bin/python3
"""End-to-end tests of the window program: the built morva in a real window
under its own Xvfb, driven with xdotool, in a fresh working folder each time.

Usage: morva_e2e.py CASE --morva PATH --data DIR [--cli MORVA_CLI]
       morva_e2e.py screenshot OUT.png --morva PATH --data DIR
       morva_e2e.py installed|launcher --morva PATH --data DIR --build BUILD_DIR
       morva_e2e.py package --morva PATH --data DIR --deb DEB_OR_FOLDER
CASE is one of: white, black, demo, capture, no-index, installed, launcher, package, stop,
closed-streams, broken-pipe, keys, stalled-record, full-disk, ponder, draws, signals, window.
"""

import argparse
import contextlib
import ctypes
import ctypes.util
import fcntl
import glob
import os
import pathlib
import pty
import re
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time
import tty

from PIL import Image, ImageGrab

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import pgn_check  # noqa: E402  (pgn-extract and Stockfish as readers of a PGN)

SQUARE = 46  # pixels of one board square; the board starts one square in
PIECE = 40
DARK, LIGHT = (50, 20, 30), (230, 230, 230)
LAST_DARK, LAST_LIGHT = (130, 105, 45), (220, 205, 120)  # the last move, with lastmove=on
KEYS_ON = "lastmove=on;\ntakeback=on;\nhint=on;\n"  # the optional [GAME] keys, turned on
HINT_LIGHT, HINT_DARK = (140, 200, 150), (40, 110, 70)
# The readable board of clearboard=on: its dark square, and the last move's ring (in the three
# pixels a piece leaves in its square) on a light and on a dark square.
CLEAR_DARK = (156, 108, 118)
CLEAR_LAST = ((170, 100, 0), (255, 230, 90))
PANEL_WIDTH = 250  # the panel beside the board (status or movelist on), at the window's own size
# The squares a castling is shown on (and clicked as): the king's step.
KING_STEPS = {"e13e13": "e1c1", "f13f13": "e1g1", "g13g13": "e8c8", "h13h13": "e8g8"}
MAGENTA = (255, 0, 255)
# Small and fast strength settings, so the computer answers in well under a second.
FAST_ALGO = "[ALGO]\nlevel=2;\nprelevel=1;\nmaxlevel=3;\ncomplexity=2;\n"
# Settings of a demo game that lasts: a few moves a second for well over a minute.
STEADY_ALGO = "[ALGO]\nlevel=4;\nprelevel=2;\nmaxlevel=5;\ncomplexity=6;\n"
# Settings at which the computer thinks about the opening position for ever.
ENDLESS_ALGO = "[ALGO]\nlevel=50;\nprelevel=3;\nmaxlevel=60;\ncomplexity=14;\n"
# Settings at which the computer looks at its own move only, blind to any threat.
ONE_PLY_ALGO = "[ALGO]\nlevel=1;\nprelevel=1;\nmaxlevel=1;\ncomplexity=99;\n"
# Settings of morva-cli choosing the human's moves: deep enough to see a king fall.
HUMAN_ALGO = "[ALGO]\nlevel=3;\nprelevel=1;\nmaxlevel=3;\ncomplexity=99;\n"
# The shipped strength, whose replies take a noticeable part of a second.
SHIPPED_ALGO = "[ALGO]\nlevel=7;\nprelevel=4;\nmaxlevel=8;\ncomplexity=10;\nsoundkings=on;\n"
PONDER_MOVES = ["e2e4", "g1f3"]  # the human's moves of the ponder case, as white
PONDER_PAUSE = 3  # seconds the human thinks before each move, at least
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"
F_SETPIPE_SZ = 1031  # fcntl's command that sets a pipe's size (Linux)
RECORD_PATIENCE = 2  # seconds the game waits at its end for a reader that takes nothing
STOP_LIMIT = 2  # seconds from a request to stop until the process has ended
SQUARE_NAMES = {f + r: 8 * (int(r) - 1) + "abcdefgh".index(f) for f in "abcdefgh" for r in "12345678"}
TIME_LIMIT = 120  # seconds for one whole case
# Cases that wait for the computer to think through every reply, in the sanitizer build too.
LONG_CASES = {"ponder": 240}
# Shares of one core: a game waiting for a click redraws now and then and stays well under
# IDLE_SHARE (about 5 % here, in the sanitizer build too); the computer thinking uses its
# threads in full, more than THINKING_SHARE even on a busy machine.
IDLE_SHARE = 0.25
THINKING_SHARE = 0.5
MOVE = r"(?:[a-h][0-9]+){2}"  # a move as the game record writes it (castling: f13f13...)
DRAW_BOUND = 60  # move pairs within which the demo with draws=on ends drawn
# Fast settings at which neither side leaves its king to be taken: the demo ends in king moves.
SHUFFLING_ALGO = FAST_ALGO + "soundkings=on;\n"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))


def square_point(name, user_color):
    """Window pixel of the centre of a square for an orientation (0 white at the bottom)."""
    s = SQUARE_NAMES[name]
    rank, file = s // 8, s % 8
    i, j = (7 - rank, file) if user_color == 0 else (rank, 7 - file)
    return SQUARE + j * SQUARE + SQUARE // 2, SQUARE + i * SQUARE + SQUARE // 2


class Xvfb:
    """A private X server on the first free display number."""

    def __init__(self, screen="800x600x24"):
        self.screen = screen

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            # -noreset: a server that resets when its last client leaves (the connection
            # check below) refuses a client that comes during the reset, as morva may.
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number, "Xvfb did not start")
        self.display = ":" + number
        # The number comes when the socket exists; wait until a client really gets in.
        wait_until(lambda: can_connect(self.display), 10, "a connection to Xvfb " + self.display)
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def write_settings(folder, usercolor, algo=FAST_ALGO, keys=""):
    with open(os.path.join(folder, "conf.ini"), "w") as ini:
        ini.write("[GAME]\nusercolor=%s;\n%s%s" % (usercolor, keys, algo))


class Game:
    """morva (or another command) running in a scratch folder that holds conf.ini,
    bitmaps/ and db/ from data (without data, only the logs)."""

    def __init__(self, morva, data, usercolor, display, with_index=True, command=None, env=None,
                 terminal=False, algo=FAST_ALGO, stdout=None, preexec=None, keys="",
                 size="460x460", before_start=None):
        self.folder = tempfile.mkdtemp(prefix="morva-e2e-")
        self.size = size  # the window's, as xdotool gives it
        if data is not None:
            shutil.copytree(os.path.join(data, "bitmaps"), os.path.join(self.folder, "bitmaps"))
            shutil.copytree(os.path.join(data, "db"), os.path.join(self.folder, "db"))
            if not with_index:
                os.remove(os.path.join(self.folder, "db", "index.db"))
            write_settings(self.folder, usercolor, algo, keys)
        if before_start:
            before_start(self.folder)
        self.display = display
        env = dict(env or os.environ)
        env.pop("SDL_VIDEODRIVER", None)
        if display:
            env["DISPLAY"] = display
        else:
            env.pop("DISPLAY", None)
        self.out_path = os.path.join(self.folder, "stdout.txt")
        self.out_file = open(self.out_path, "wb")
        self.err_file = open(os.path.join(self.folder, "stderr.txt"), "wb")
        self.terminal = Terminal(self.out_file) if terminal else None
        self.process = subprocess.Popen(command or [morva], cwd=self.folder, env=env,
                                        stdout=self.terminal.child if terminal
                                        else stdout or self.out_file,
                                        stderr=self.err_file, stdin=subprocess.DEVNULL,
                                        preexec_fn=preexec)
        if self.terminal:
            self.terminal.started()
        self.window = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.terminal:
            self.terminal.finish()
        self.out_file.close()
        self.err_file.close()
        if exc[0] is not None:
            sys.stderr.write("morva on display %s, standard output so far:\n%s\n" %
                             (self.display, self.output()[-3000:]))
            sys.stderr.write("standard error:\n%s\n" % self.errors()[-3000:])
        shutil.rmtree(self.folder, ignore_errors=True)

    def errors(self):
        with open(os.path.join(self.folder, "stderr.txt"), "rb") as f:
            return f.read().decode("latin-1").strip()

    def output(self):
        with open(self.out_path, "rb") as f:
            return f.read().decode("latin-1")

    def xdotool(self, *args, timeout=10):
        try:
            result = subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display),
                                    capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("xdotool %s took longer than %d s" % (" ".join(args), timeout))
        self.xdotool_errors = result.stderr
        return result.stdout

    def wait_window(self, size=None):
        size = size or self.size
        ids = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^Morva - ", timeout=20)
        check(ids.split(), "no Morva window appeared on %s (xdotool: %s; morva: %s, %s)" %
              (self.display, self.xdotool_errors.strip(), self.process.poll(), self.errors()))
        self.window = ids.split()[0]
        geometry = self.xdotool("getwindowgeometry", self.window)
        check(size in geometry, "window is not %s: %s" % (size, geometry))  # "": any size
        return self.window

    def click(self, square, user_color, scale=1):
        x, y = (scale * k for k in square_point(square, user_color))
        self.xdotool("mousemove", "--window", self.window, str(x), str(y), "click", "1")
        time.sleep(0.1)

    def press(self, key):
        """Presses and releases a key with the pointer over the window's corner."""
        self.xdotool("mousemove", "--window", self.window, "5", "5")
        self.xdotool("key", key)

    def press_escape(self):
        self.press("Escape")

    def click_repeatedly(self, times):
        """Clicks the board times over in one xdotool run, more than SDL's queue holds."""
        self.xdotool("mousemove", "--window", self.window, "69", "207", "click", "--repeat",
                     str(times), "--delay", "5", "1", timeout=30)

    def move_mouse_about(self, times):
        """Moves the pointer to and fro over the board, in one xdotool run."""
        steps = []
        for k in range(times):
            steps += ["mousemove", "--window", self.window, str(100 + k % 200), "200"]
        self.xdotool(*steps, timeout=60)

    def board(self):
        """The 8 x 8 squares as shown, without the margin."""
        return self.screenshot().crop((SQUARE, SQUARE, 9 * SQUARE, 9 * SQUARE))

    def close_window(self):
        """Asks the window to close the way a window manager's close button does."""
        send_delete_window(self.display, int(self.window))

    def screenshot(self):
        return ImageGrab.grab(xdisplay=self.display).convert("RGB")

    def wait_exit(self, timeout=20):
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("morva did not end within %d s" % timeout)
        if self.terminal:
            self.terminal.finish()
        return status


class Terminal:
    """A pseudo-terminal for a child's standard output, in raw mode (no line-end translation), so
    that the bytes the child writes reach the output file unchanged."""

    def __init__(self, out_file):
        master, self.child = pty.openpty()
        tty.setraw(self.child)
        self.master, self.out_file = master, out_file
        self.thread = threading.Thread(target=self.copy, daemon=True)
        self.thread.start()

    def copy(self):
        while True:
            try:
                data = os.read(self.master, 4096)
            except OSError:  # EIO: every child's end is closed
                return
            if not data:
                return
            self.out_file.write(data)
            self.out_file.flush()

    def started(self):
        os.close(self.child)  # the children hold their own copies
        self.child = None

    def finish(self):
        self.thread.join(timeout=5)
        if self.master is not None:
            os.close(self.master)
            self.master = None


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def libx11():
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return x11


def can_connect(display):
    x11 = libx11()
    dpy = x11.XOpenDisplay(display.encode())
    if dpy:
        x11.XCloseDisplay(dpy)
    return bool(dpy)


def send_delete_window(display, window):
    """Sends WM_DELETE_WINDOW to a window: SDL turns it into SDL_QUIT."""
    x11 = libx11()
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    check(dpy, "cannot open display " + display)
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(event))
    x11.XFlush(dpy)
    x11.XCloseDisplay(dpy)


def keyed(picture):
    """The mask that leaves a picture's magenta out, as SDL's colour key does."""
    mask = Image.new("L", picture.size, 0)
    mask.putdata([0 if p == MAGENTA else 255 for p in picture.getdata()])
    return mask


def expected_square(data, code, dark, ground=None, clear=False, ring=None):
    """The 46 x 46 picture of a square holding a piece (cell code, 0 for none), as
    morva draws it (on another ground colour when one is given); with clear, as the readable
    board of clearboard=on draws it, a ring of that colour in its margin when one is given."""
    square = Image.new("RGB", (SQUARE, SQUARE), ring or ground or (
        (CLEAR_DARK if clear else DARK) if dark else LIGHT))
    if ring:
        square.paste(CLEAR_DARK if dark else LIGHT, (3, 3, SQUARE - 3, SQUARE - 3))
    if code == 0:
        return square
    sheet = Image.open(os.path.join(data, "bitmaps", "clear-pieces.bmp" if clear else
                                    "piece.bmp")).convert("RGB")
    column, row = abs(code) - 1, 0 if code > 0 else 1
    cell = sheet.crop((column * PIECE, row * PIECE, (column + 1) * PIECE, (row + 1) * PIECE))
    inset = (SQUARE - PIECE) // 2
    square.paste(cell, (inset, inset), keyed(cell))
    return square


def expected_board(args, moves, user_color, last=None, hint=None, clear=False):
    """The 8 x 8 squares as morva draws them after moves from the start, the squares
    of the move last highlighted, and those of a hint in its own colour; with clear, the
    readable board's squares, pieces and rings (of the last move only)."""
    ranks = fen_after(args, moves).split()[0].split("/")[::-1]  # rank 1 first
    ranks = ["".join("." * int(c) if c.isdigit() else c for c in rank) for rank in ranks]
    shown = [KING_STEPS.get(last, last)[k:k + 2] for k in (0, 2)] if last else []
    hinted = [KING_STEPS.get(hint, hint)[k:k + 2] for k in (0, 2)] if hint else []
    board = Image.new("RGB", (8 * SQUARE, 8 * SQUARE))
    for name, s in SQUARE_NAMES.items():
        x, y = square_point(name, user_color)
        i, j = (y - SQUARE) // SQUARE, (x - SQUARE) // SQUARE
        piece = ranks[s // 8][s % 8]
        code = 0 if piece == "." else ("pnbrqk".index(piece.lower()) + 1) * (
            1 if piece.isupper() else -1)
        dark = (i + j) % 2 == 1
        ground = (LAST_DARK if dark else LAST_LIGHT) if name in shown and not clear else None
        if name in hinted:
            ground = HINT_DARK if dark else HINT_LIGHT
        ring = CLEAR_LAST[dark] if clear and name in shown else None
        board.paste(expected_square(args.data, code, dark, ground, clear, ring),
                    (j * SQUARE, i * SQUARE))
    return board


def wait_board(game, expected, what):
    wait_until(lambda: game.board().tobytes() == expected.tobytes(), 10, what)


def screen_square(shot, i, j):
    x, y = SQUARE + j * SQUARE, SQUARE + i * SQUARE
    return shot.crop((x, y, x + SQUARE, y + SQUARE))


def computer_list_then_move(text):
    """Splits the computer's part of the record: its scored list, then its move."""
    lines = text.split("\n")
    listed = [re.match(r"(?: \(find at pos : \d+\) )*(%s) => -?[0-9.]+$" % MOVE, l) for l in lines[:-1]]
    return listed, lines[-1]


def case_white(args):
    with Xvfb() as x, Game(args.morva, args.data, "white", x.display) as game:
        game.wait_window()
        game.click("e2", 0)
        game.click("e4", 0)
        record = wait_until(lambda: re.match(r"e2e4 - (.*\n)*%s\n" % MOVE, game.output()), 30,
                            "the computer's reply")
        text = record.group(0)
        listed, reply = computer_list_then_move(text[len("e2e4 - "):-1])
        check(listed and all(listed), "the computer's list is malformed:\n" + text)
        first = next(m.group(1) for m in listed if m.group(1) != "d13d13")
        check(reply == first, "reply %s is not the list's first move %s" % (reply, first))
        game.press_escape()
        status = game.wait_exit()
        check(status == 0, "Escape released: status %d" % status)
        check(game.output() == text, "output after the reply: " + game.output()[len(text):])


def case_black(args):
    with Xvfb() as x, Game(args.morva, args.data, "black", x.display) as game:
        game.wait_window()
        opening = wait_until(lambda: re.match(r"(.*\n)*(%s) - $" % MOVE, game.output()), 30,
                             "the computer's first move")
        check(re.match(r"(?: \(find at pos : \d+\) )*%s => " % MOVE, game.output()),
              "no scored list before the first move")
        # Black at the bottom: h8 bottom left (a dark square) with its rook, e8 with the
        # king; e1's king and a1's rook at the top. Neither side can have moved them yet.
        expected = {(7, 0): -4, (7, 3): -6, (0, 3): 6, (0, 7): 4}

        def board_shown():
            shot = game.screenshot()
            return all(list(screen_square(shot, i, j).getdata()) ==
                       list(expected_square(args.data, code, (i + j) % 2 == 1).getdata())
                       for (i, j), code in expected.items())

        wait_until(board_shown, 10, "the board with black at the bottom")
        game.click("e7", 1)
        game.click("e5", 1)
        first_line = opening.group(0) + "e7e5\n"
        wait_until(lambda: game.output().startswith(first_line), 10, "the line ending in e7e5")
        game.close_window()  # taken at once, or at the next progress report
        status = game.wait_exit()
        check(status == 0, "window closed: status %d" % status)


def case_demo(args):
    with Xvfb() as x, Game(args.morva, args.data, "demo", x.display) as game:
        game.wait_window()
        wait_until(lambda: game.output().count(" - ") >= 3, 60, "three move pairs")
        game.close_window()
        status = game.wait_exit()
        check(status == 0, "window closed: status %d" % status)
        check_demo_record(game.output())


def check_demo_record(text):
    check(text.count(" - ") >= 3 and len(re.findall(r"(?:^|\n)%s - " % MOVE, text)) ==
          text.count(" - "), "not a demonstration game's record:\n" + text)


def wait_board_changes(game, count):
    """Waits until the board (the margin and the progress dialog left out) has
    been seen to change count times: the game goes on."""
    seen = [None]

    def changed():
        board = game.board().tobytes()
        if board != seen[-1]:
            seen.append(board)
        return len(seen) > count + 1

    wait_until(changed, 60, "%d changes of the board (morva: %s)" % (count, game.process.poll()))


def demo_plays_on(args, started=None, status_then=0, **streams):
    """A demo game started with the given standard streams plays on, and a close ends it
    with status_then; returns its standard error."""
    with Xvfb() as x, Game(args.morva, args.data, "demo", x.display, algo=STEADY_ALGO,
                           **streams) as game:
        if started:
            started()
        game.wait_window()
        wait_board_changes(game, 4)
        game.close_window()
        status = game.wait_exit()
        check(status == status_then, "window closed: status %d" % status)
        return game.errors()


def case_closed_streams(args):
    """Standard input, output and error closed (morva <&- >&- 2>&-)."""
    demo_plays_on(args, preexec=lambda: [os.close(fd) for fd in (0, 1, 2)])


def case_broken_pipe(args):
    """The record read through a pipe whose reader goes away after a line (morva | head -1)."""
    read_end, write_end = os.pipe()

    def reader_goes_away():
        os.close(write_end)
        with os.fdopen(read_end, "rb") as reader:
            check(reader.readline(), "no record came through the pipe")

    demo_plays_on(args, reader_goes_away, stdout=write_end)


def case_full_disk(args):
    """The record to a device that is full (morva >/dev/full), or the saved game to a folder
    that cannot hold it: the game plays on, and at its end the failure is reported and the
    status is not 0."""
    with open("/dev/full", "wb") as full:
        errors = demo_plays_on(args, status_then=1, stdout=full)
    check("morva: cannot write the game record: No space left on device" in errors,
          "no report of the lost record: " + errors)
    # A saved game that cannot be written is reported once, and so is the end's status.
    errors = demo_plays_on(args, status_then=1, command=[args.morva, "--save", "/dev/null/g.pgn"])
    check(errors.count("morva: cannot save the game in /dev/null/g.pgn: Not a directory\n") == 1,
          "no report of the saved game lost: " + errors)


def cpu_seconds(pid):
    """The processor time a process has used so far, in seconds."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_share(pid, seconds=1.0):
    """The share of one core a process uses over the next seconds."""
    before = cpu_seconds(pid)
    time.sleep(seconds)
    return (cpu_seconds(pid) - before) / seconds


def blend(src, dst):
    """The colour of src drawn at alpha 130 over dst."""
    return tuple((s * 130 + d * (255 - 130)) // 255 for s, d in zip(src, dst))


def wait_end_then_click(game, data, name):
    """Waits for an end picture (white or black) over the board; a click then ends the game."""
    picture = Image.open(os.path.join(data, "bitmaps", name + ".bmp")).convert("RGB")
    left, top = 5 * SQUARE - picture.width // 2, 5 * SQUARE - picture.height // 2

    def end_picture_shown():
        shot = game.screenshot()
        drawn = matched = 0
        for y in range(0, picture.height, 3):
            for x in range(0, picture.width, 3):
                src = picture.getpixel((x, y))
                if src == MAGENTA:
                    continue
                drawn += 1
                seen = shot.getpixel((left + x, top + y))
                matched += any(all(abs(a - b) <= 2 for a, b in zip(seen, blend(src, ground)))
                               for ground in (LIGHT, DARK))
        return drawn and matched >= drawn // 2  # pieces under the picture blend otherwise

    wait_until(end_picture_shown, 5, "the %s end picture over the board" % name)
    share = cpu_share(game.process.pid, 0.5)
    check(share < IDLE_SHARE, "the end picture waits using %.0f%% of a core" % (100 * share))
    check(game.process.poll() is None, "morva ended before the click")
    game.click("a1", 0)
    check(game.wait_exit() == 0, "click after the end: status not 0")


def play_and_wait_reply(game, move):
    """Clicks a move of the human playing white and returns the computer's reply."""
    before = game.output()
    game.click(move[:2], 0)
    game.click(move[2:4], 0)
    reply = wait_until(lambda: re.fullmatch(re.escape(before) + r"%s - (?:.*\n)*(%s)\n" %
                                            (move, MOVE), game.output()), 30,
                       "the computer's reply to " + move)
    return reply.group(1)


def fen_after(args, moves):
    """The position (placement and side to move) after moves from the start, by morva-cli."""
    made = subprocess.run([args.cli, "make", START_FEN, *moves], capture_output=True, text=True,
                          check=True)
    return " ".join(made.stdout.split()[:2])


def case_capture(args):
    """The human walks the white king out until the computer takes it: the black
    end picture shows at once over the board, and a click ends the game. Then the
    human, playing morva-cli's choices, takes the king of a computer that looks
    one ply deep: that move ends the record, and the white end picture shows. The
    end picture waits without using the processor, though the computer thought on
    the human's time before."""
    with Xvfb() as x, Game(args.morva, args.data, "white", x.display,
                           algo=FAST_ALGO + "ponder=on;\n") as game:
        game.wait_window()
        king = "e1"
        for move in ["f2f3", "e1f2", "f2e3", "e3d4", "d4c5", "c5b6", "b6a7"]:
            check(move[:2] in ("f2", king), "the walk lost its king")
            reply = play_and_wait_reply(game, move)
            king = move[2:] if move[:2] == king else king
            if reply[-2:] == king:
                break
        else:
            raise Failure("the computer never took the king")
        wait_end_then_click(game, args.data, "black")

    check(args.cli, "the capture case needs --cli")
    chooser = tempfile.mkdtemp(prefix="morva-e2e-human-")
    try:
        shutil.copytree(os.path.join(args.data, "db"), os.path.join(chooser, "db"))
        write_settings(chooser, "white", HUMAN_ALGO)
        with Xvfb() as x, Game(args.morva, args.data, "white", x.display,
                               algo=ONE_PLY_ALGO) as game:
            game.wait_window()
            moves = []
            for _ in range(20):
                chosen = subprocess.run([args.cli, "think", fen_after(args, moves)], cwd=chooser,
                                        capture_output=True, text=True, check=True)
                move = chosen.stdout.split()[-1]
                move = KING_STEPS.get(move, move)
                if "k" not in fen_after(args, moves + [move]).split()[0]:
                    break
                moves += [move, play_and_wait_reply(game, move)]
            else:
                raise Failure("the human never took the king")
            before = game.output()
            game.click(move[:2], 0)
            game.click(move[2:4], 0)
            wait_until(lambda: game.output() == before + move + " - ", 10,
                       "the winning move %s in the record" % move)
            wait_end_then_click(game, args.data, "white")
    finally:
        shutil.rmtree(chooser, ignore_errors=True)


def scripted_game(args, ponder):
    """Plays PONDER_MOVES as white after a pause each; returns the record and the seconds from
    each move's second click to the computer's reply in the record. With ponder=on each pause
    lasts until the game is idle: every reply is kept. Escape ends the game with ponder on,
    the close with it off."""
    algo = SHIPPED_ALGO + ("ponder=on;\n" if ponder else "")
    with Xvfb() as x, Game(args.morva, args.data, "white", x.display, algo=algo) as game:
        game.wait_window()
        waits = []
        for move in PONDER_MOVES:
            time.sleep(PONDER_PAUSE)
            if ponder:
                wait_until(lambda: cpu_share(game.process.pid) < IDLE_SHARE, 90,
                           "the game to be idle once every reply is kept")
            before = game.output()
            game.click(move[:2], 0)
            x_, y_ = square_point(move[2:4], 0)
            start = time.monotonic()
            game.xdotool("mousemove", "--window", game.window, str(x_), str(y_), "click", "1")
            pattern = re.escape(before) + r"%s - (?:.*\n)*%s\n" % (move, MOVE)
            while not re.fullmatch(pattern, game.output()):
                check(time.monotonic() - start < 30, "no reply to " + move)
                time.sleep(0.005)
            waits.append(time.monotonic() - start)
        stop = game.press_escape if ponder else game.close_window
        status = stopped_within_limit(game.process, stop, "the end of the scripted game")
        check(status == 0, "the scripted game ended with status %d" % status)
        return game.output(), waits


def case_ponder(args):
    """The same scripted game with ponder=on and off writes the same record byte for byte,
    the replies after the pauses coming sooner with it on; Escape and the close while the
    computer thinks on the human's time end the game within STOP_LIMIT."""
    off_record, off_waits = scripted_game(args, False)
    on_record, on_waits = scripted_game(args, True)
    print("replies after pauses of at least %d s, ponder=off: %s s; ponder=on: %s s" % (
        PONDER_PAUSE, " ".join("%.3f" % w for w in off_waits),
        " ".join("%.3f" % w for w in on_waits)))
    check(on_record == off_record, "the records differ:\n%s\n---\n%s" % (off_record, on_record))
    check(sum(on_waits) < sum(off_waits), "thinking on the human's time did not shorten the waits")
    for what, stop in (("Escape", lambda game: game.press_escape()),
                       ("the close", lambda game: game.close_window())):
        with Xvfb() as x, Game(args.morva, args.data, "white", x.display,
                               algo=ENDLESS_ALGO + "ponder=on;\n") as game:
            game.wait_window()
            time.sleep(1)  # the opening position's replies, each endless
            check(cpu_share(game.process.pid, 0.5) > THINKING_SHARE,
                  "no thinking on the human's time")
            status = stopped_within_limit(game.process, lambda: stop(game), what)
            check(status == 0, "%s while thinking on the human's time: status %d" % (what, status))


def case_keys(args):
    """lastmove=on, takeback=on and hint=on as white: the reply highlighted, H shows a
    hint, Backspace takes the pair back, N after two pairs starts again; as black, N lets
    the computer open again. Without the keys the same input shows the designed board
    pixel for pixel, the keys do nothing, and the record is the same byte for byte."""
    check(args.cli, "the keys case needs --cli")
    designed_record = {}
    for keys in (KEYS_ON, ""):
        on = keys == KEYS_ON
        with Xvfb() as x, Game(args.morva, args.data, "white", x.display, keys=keys) as game:
            game.wait_window()
            wait_board(game, expected_board(args, [], 0), "the starting position")
            reply = play_and_wait_reply(game, "e2e4")
            moves = ["e2e4", reply]
            wait_board(game, expected_board(args, moves, 0, reply if on else None),
                       "the reply %s%s" % (reply, " highlighted" if on else ""))
            text = designed_record.setdefault("white", game.output())
            check(game.output() == text, "the record differs with the keys on:\n" + text)
            game.press("h")
            if on:
                # H: the move the computer would play for white, on its squares and in the
                # record; the next click plays as ever.
                hint = wait_until(lambda: re.fullmatch(re.escape(text) + r"hint (%s)\n" % MOVE,
                                                       game.output()), 30, "a hint").group(1)
                wait_board(game, expected_board(args, moves, 0, reply, hint), "the hint " + hint)
                text = game.output()
                moves += ["g1f3", play_and_wait_reply(game, "g1f3")]
                wait_board(game, expected_board(args, moves, 0, moves[-1]), "the hint gone")
                text = game.output()
            game.press("BackSpace")
            if on:
                wait_until(lambda: game.output() == text + "takeback\n", 10, "takeback")
                wait_board(game, expected_board(args, moves[:2], 0, moves[1]), "the pair before")
                game.press("BackSpace")
                wait_until(lambda: game.output() == text + "takeback\ntakeback\n", 10,
                           "a second takeback")
                wait_board(game, expected_board(args, [], 0), "the start again")
                moves = ["e2e4", play_and_wait_reply(game, "e2e4")]
                moves += ["g1f3", play_and_wait_reply(game, "g1f3")]
                wait_board(game, expected_board(args, moves, 0, moves[-1]), "two pairs")
                game.press("n")
                wait_until(lambda: game.output().endswith("\n%s\nnew game\n" % moves[-1]), 10,
                           "new game")
                wait_board(game, expected_board(args, [], 0), "the start of the new game")
            else:
                game.press("n")
                time.sleep(1)
                wait_board(game, expected_board(args, moves, 0), "the board as it was")
                check(game.output() == text, "the keys wrote: " + game.output()[len(text):])
            game.press_escape()
            check(game.wait_exit() == 0, "Escape released: status not 0")

        with Xvfb() as x, Game(args.morva, args.data, "black", x.display, keys=keys) as game:
            game.wait_window()
            opening = wait_until(lambda: re.fullmatch(r"(?:.*\n)*(%s) - " % MOVE, game.output()),
                                 30, "the computer's first move")
            text = designed_record.setdefault("black", opening.group(0))
            check(text == opening.group(0), "the opening differs with the keys on")
            wait_board(game, expected_board(args, [opening.group(1)], 1,
                                            opening.group(1) if on else None), "the opening")
            game.press("n")
            if on:
                wait_until(lambda: re.fullmatch(re.escape(text + "\nnew game\n") +
                                                r"(?:.*\n)*%s - " % MOVE, game.output()),
                           30, "the computer's opening of the new game")
            else:
                time.sleep(1)
                check(game.output() == text, "N wrote: " + game.output()[len(text):])
            game.close_window()
            check(game.wait_exit() == 0, "window closed: status not 0")


def case_draws(args):
    """draws=on: the demo ends drawn within DRAW_BOUND move pairs, the "Draw" picture over the
    board and the record ended by the line draw; up to there the record is, byte for byte, that of
    the demo without draws=on, which plays on."""
    with Xvfb() as x, Game(args.morva, args.data, "demo", x.display, algo=SHUFFLING_ALGO,
                           keys="draws=on;\n") as game:
        game.wait_window()
        wait_until(lambda: game.output().endswith("draw\n"), 60, "the demo's draw")
        wait_end_then_click(game, args.data, "draw")
        played = game.output()[:-len("\ndraw\n")]
        check(0 < played.count(" - ") <= DRAW_BOUND, "a draw after %d pairs" % played.count(" - "))
    with Xvfb() as x, Game(args.morva, args.data, "demo", x.display, algo=SHUFFLING_ALGO) as game:
        game.wait_window()
        wait_until(lambda: len(game.output()) > len(played), 60, "the demo past the draw")
        game.close_window()
        check(game.wait_exit() == 0 and game.output().startswith(played),
              "without draws=on the demo went:\n" + game.output())


def case_no_index(args):
    """Start-up errors: no book index (the three-line error report), and no display, one line on
    standard error (with no window system SDL 1.2 would fall back to a text-mode driver writing
    terminal escapes into the record)."""
    for what, with_index, display, report, said in [
            # Had morva tried to open a window first, SDL would fail and report that instead.
            ("no index", False, None, r"[^\n]*\./db/index\.db", ""),
            ("no display", True, ":59", None,
             "morva: cannot open the display ':59' (is X running? over ssh, use ssh -X)"),
            ("no DISPLAY", True, None, None, "morva: no display to open the window on: DISPLAY "
             "is not set (is X running? over ssh, use ssh -X)")]:
        with Game(args.morva, args.data, "white", display, with_index=with_index) as game:
            status = game.wait_exit(timeout=10)
            out = game.output()
            check(status == 255, "%s: status %d, not 255" % (what, status))
            if report:
                check(re.fullmatch(r"ERROR\t%s\n\tfile [^\n]+ line \d+\n\tcompilation [^\n]+\n" %
                                   report, out), "%s: not the three-line error report:\n%s" % (what, out))
            else:
                check(out == "", "%s: standard output holds %r" % (what, out))
            check(game.errors() == said, "%s: standard error says %r" % (what, game.errors()))


def pipe_holds(fd):
    """The bytes waiting in a pipe."""
    return struct.unpack("i", fcntl.ioctl(fd, termios.FIONREAD, b"\0\0\0\0"))[0]


def read_all(fd, until):
    """Reads a non-blocking pipe until until() is true and nothing is waiting, or its end."""
    got = b""
    while True:
        try:
            chunk = os.read(fd, 1 << 16)
            if not chunk:
                return got
            got += chunk
        except BlockingIOError:
            if until():
                return got
            time.sleep(0.02)


def case_stalled_record(args):
    """The record to a pipe nobody reads (morva | less, a paused terminal): the window plays
    on and answers Escape; a reader that catches up gets the whole record."""
    for catches_up in (True, False):
        read_end, write_end = os.pipe()
        size = fcntl.fcntl(write_end, F_SETPIPE_SZ, 4096)  # the smallest: full within moves
        os.set_blocking(read_end, False)
        with Xvfb() as x, Game(args.morva, args.data, "demo", x.display, algo=STEADY_ALGO,
                               stdout=write_end) as game:
            os.close(write_end)
            game.wait_window()
            # Full: the next piece of the record no longer fits.
            wait_until(lambda: pipe_holds(read_end) > size // 2, 60, "a full pipe")
            wait_board_changes(game, 2)  # the game goes on with the pipe full
            if catches_up:
                got = read_all(read_end, lambda: True)
                wait_board_changes(game, 2)  # the record flows again
                game.press_escape()
                got += read_all(read_end, lambda: game.process.poll() is not None)
                status = game.wait_exit(timeout=STOP_LIMIT)
                # Every move shown is in the record, whole: the four changes seen, at least.
                text = got.decode("latin-1")
                check_demo_record(text)
                check(text.count(" - ") >= 2, "moves missing from the record:\n" + text)
            else:
                game.press_escape()
                status = game.wait_exit(timeout=STOP_LIMIT + RECORD_PATIENCE)
            check(status == 0, "Escape with the record held up: status %d" % status)
        os.close(read_end)


class Player:
    """An installed Morva (an installation root holding games/ and share/games/morva/) and a
    player's scratch home: the XDG folders of the player's settings and saved games."""

    def __init__(self, root):
        self.launcher = os.path.join(root, "games", "morva-launch")
        self.command = os.path.join(root, "games", "morva")  # the launcher under the game's name
        self.applications = os.path.join(root, "share", "applications")
        self.shipped = os.path.join(root, "share", "games", "morva")
        self.home = tempfile.mkdtemp(prefix="morva-home-")
        self.env = dict(os.environ, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_STATE_HOME=os.path.join(self.home, "state"))
        self.settings = os.path.join(self.home, "config", "morva", "conf.ini")
        self.games = os.path.join(self.home, "state", "morva", "games")

    def game(self, display, *options, terminal=False, env=None, preexec=None, program=None):
        return Game(None, None, None, display, command=[program or self.launcher, *options],
                    env=env or self.env, terminal=terminal, preexec=preexec,
                    size="")

    def clear(self):
        """Whether the shipped settings, which the player's start from, draw the readable board."""
        return "clearboard=on;" in self.shipped_settings().split("[ALGO]")[0]

    def records(self):
        """The saved records, oldest first."""
        return sorted(glob.glob(os.path.join(self.games, "*.txt")),
                      key=lambda p: os.path.basename(p)[:-4])

    def newest(self):
        records = self.records()
        return read_bytes(records[-1]) if records else b""

    def check_pgns(self, white, black):
        """Every kept record has its PGN beside it, with the players named from the launcher's
        settings, read without complaint by pgn-extract and replayed by Stockfish."""
        pgns = sorted(glob.glob(os.path.join(self.games, "*.pgn")),
                      key=lambda p: os.path.basename(p)[:-4])
        check([p[:-4] for p in pgns] == [r[:-4] for r in self.records()],
              "records %s, PGNs %s" % (self.records(), pgns))
        text = read_bytes(pgns[-1]).decode()
        result = re.search(r'^\[Result "(.*)"\]$', text, re.M).group(1)
        pgn_check.check_game(pgns[-1], text.strip("\n"), result, white, black)
        check(not pgn_check.failures, "; ".join(pgn_check.failures))

    def saved(self, human, result="*"):
        """The saved games of the human's colour with that result, the last played first."""
        pgns = [p for p in glob.glob(os.path.join(self.games, "*.pgn"))
                if '[MorvaHuman "%s"]' % human in read_bytes(p).decode() and
                '[Result "%s"]' % result in read_bytes(p).decode()]
        return sorted(pgns, key=os.path.getmtime, reverse=True)

    def read_settings(self):
        return read_bytes(self.settings).decode()

    def shipped_settings(self):
        return read_bytes(os.path.join(self.shipped, "conf.ini")).decode()

    def strength_labels(self):
        """The strength steps' ratings as --help prints them: {N: rating}."""
        out = subprocess.run([self.launcher, "--help"], env=self.env, capture_output=True,
                             text=True, check=True).stdout
        return {int(n): int(r) for n, r in re.findall(r"^ +([1-9]) about (\d+) ", out, re.M)}

    def strength_steps(self):
        """The launcher's strength table as its --help prints it: {N: the ALGO entries the
        step writes}, each step labelled by its rating: its four keys, the club search's keys
        where it names its positions, its variety, soundkings and ponder."""
        out = subprocess.run([self.launcher, "--help"], env=self.env, capture_output=True,
                             text=True, check=True).stdout
        steps = {}
        for m in re.findall(r"^ +([1-9]) about \d+ +(\d+) +(\d+) +(\d+) +(\d+) +(\S+) +(\d+)$",
                            out, re.M):
            entries = list(zip(("level", "prelevel", "maxlevel", "complexity"), m[1:5]))
            if m[5] != "-":
                entries += [("search", "club"), ("nodes", m[5]), ("legalcastling", "on")]
            entries += [("variety", m[6])] if m[6] != "0" else []
            steps[int(m[0])] = entries + [("soundkings", "on"), ("ponder", "on")]
        return steps


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_text(folder, name, text):
    with open(os.path.join(folder, name), "w") as f:
        f.write(text)


STEP_KEYS = ("level", "prelevel", "maxlevel", "complexity", "search", "nodes", "legalcastling",
             "variety", "soundkings", "ponder")  # what a strength step writes or drops


def settings_text(shipped, usercolor, strength, extra=""):
    """The shipped conf.ini with a colour and a strength step (its entries first in [ALGO],
    the shipped section's other lines after them), then further lines."""
    game, algo = shipped.split("[ALGO]")
    game = re.sub(r"usercolor=[^;]*;", "usercolor=%s;" % usercolor, game)
    others = "".join(line + "\n" for line in algo.strip("\n").split("\n")
                     if line.split("=")[0] not in STEP_KEYS)
    return (game + "[ALGO]\n" + "".join("%s=%s;\n" % kv for kv in strength) + others + extra)


def first_start(player, display):
    """A first start with --demo --strength 1, without a terminal: the player's conf.ini is made
    from the shipped one with that colour and strength, and the record is saved, not shown."""
    check(not os.path.exists(player.settings), "conf.ini exists before the first start")
    quickest = player.strength_steps()[1]
    with player.game(display, "--demo", "--strength", "1", program=player.command) as game:
        game.wait_window()
        wait_until(lambda: player.newest().count(b" - ") >= 3, 60, "three saved move pairs")
        game.close_window()
        check(game.wait_exit() == 0, "first start: status not 0")
        check(game.output() == "", "no terminal, yet the record was shown: " + game.output())
    shipped = read_bytes(os.path.join(player.shipped, "conf.ini")).decode()
    check(shipped.startswith("[GAME]\nusercolor=") and player.read_settings() ==
          settings_text(shipped, "demo", quickest),
          "first start made:\n" + player.read_settings())
    records = player.records()
    check(len(records) == 1 and re.fullmatch(r"\d{4}-\d\d-\d\d-\d{6}\.txt",
                                             os.path.basename(records[0])),
          "not one record named <date>-<time>.txt: %s" % records)
    check_demo_record(player.newest().decode("latin-1"))
    label = "Morva (about %d)" % player.strength_labels()[1]
    player.check_pgns(label, label)


def case_installed(args):
    """cmake --install, then a first start of the installed launcher."""
    check(args.build, "the installed case needs --build")
    prefix = tempfile.mkdtemp(prefix="morva-prefix-")
    player = Player(prefix)
    try:
        subprocess.run(["cmake", "--install", args.build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL, timeout=60)
        with Xvfb() as x:
            first_start(player, x.display)
    finally:
        shutil.rmtree(prefix, ignore_errors=True)
        shutil.rmtree(player.home, ignore_errors=True)


# Starts refused before a game, or answered without one, beside a record older than its name says:
# (options, environment, conf.ini (/: a folder), stdout (None: /dev/full), status, said in part).
REFUSED = [(["--demo"], {"HOME": "rel", "XDG_CONFIG_HOME": None}, None, "", 1, "(HOME is 'rel')"),
           (["--strength", "1"], {}, "[GAME]usercolor=white;[ALGO]level=7;\n", "", 1, "set level"),
           (["--once", "--strength", "1"], {}, "[GAME]usercolor=white;[ALGO]level=7;\n", "", 1,
            "set level"),
           (["--black"], {}, "; GAME keys\n[GAME]\nusercolor=white;\n", "", 1, "set usercolor"),
           ([], {}, "/", "", 1, "conf.ini is not a readable file"),
           (["--strength="], {}, None, "", 2, "--strength takes a number from 1 to 8, not ''"),
           (["--last", "--record"], {}, None, "", 0, "10\n"),
           (["--last", "--record"], {}, None, None, 1,
            "cannot write standard output: No space left on device"),
           (["--record"], {}, None, "", 2, "--record goes with --last")]


def case_launcher(args):
    """The installed launcher: REFUSED, six games at once, signals to the launcher alone (HOME
    unset), records cut by a file-size limit (the game's reports reach stderr too)."""
    prefix = tempfile.tempdir = tempfile.mkdtemp(prefix="morva-prefix-")  # all scratch in it
    try:
        subprocess.run(["cmake", "--install", args.build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL, timeout=60)

        def player(settings=None):
            p = Player(prefix)
            os.makedirs(p.settings if settings == "/" else os.path.dirname(p.settings))
            if settings not in (None, "/"):
                pathlib.Path(p.settings).write_text(settings)
            return p

        for options, changes, settings, out, status, text in REFUSED:
            p = player(settings)
            os.makedirs(p.games)
            for name in ("9", "10"):
                pathlib.Path(p.games, "2026-01-01-000000-%s.txt" % name).write_text(name + "\n")
            os.utime(os.path.join(p.games, "2026-01-01-000000-9.txt"), (0, 0))  # the older
            env = dict(p.env, SDL_VIDEODRIVER="none", DISPLAY=None, **changes)  # no game can start
            with open("/dev/full" if out is None else os.devnull, "w") as full:
                r = subprocess.run([p.launcher, *options], text=True, stderr=subprocess.PIPE,
                                   env={k: v for k, v in env.items() if v is not None},
                                   stdout=full if out is None else subprocess.PIPE)
            told = r.stdout if status == 0 else r.stderr
            check(r.returncode == status and text in told and (status == 0 or told.count("\n") == 1)
                  and (settings in (None, "/") or p.read_settings() == settings),
                  "%s: status %d, said %r" % (options, r.returncode, r.stderr + (r.stdout or "")))

        p = player()  # --last before any game, and beside an empty record of an earlier version
        for record in (None, "2026-01-01-000000.txt"):
            if record:
                os.makedirs(p.games)
                pathlib.Path(p.games, record).write_text("")
            r = subprocess.run([p.launcher, "--last"], env=p.env, capture_output=True, text=True)
            check((r.returncode, r.stdout) == (1, "") and
                  "morva-launch: no game has been kept yet" in r.stderr, "--last: " + r.stderr)

        with Xvfb() as x, contextlib.ExitStack() as stack:
            p = player()
            games = [stack.enter_context(p.game(x.display, "--demo")) for _ in range(6)]
            wait_until(lambda: [b" - " in read_bytes(r) for r in p.records()] == [True] * 6, 30,
                       "six records of games under way")
            for game in games:
                game.process.terminate()
            check([g.wait_exit() for g in games] == [0] * 6, "six games: not all status 0")

            for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):  # each ends the game: 0
                p = player()
                env = dict({k: v for k, v in p.env.items() if k != "HOME"},
                           XDG_RUNTIME_DIR=tempfile.mkdtemp(dir=p.home))
                with p.game(x.display, "--demo", env=env) as game:
                    wait_until(lambda: b" - " in p.newest(), 30, "a saved move")
                    with open("/proc/%d/task/%d/children" % ((game.process.pid,) * 2)) as f:
                        children = f.read().split()
                    game.process.send_signal(sig)
                    check(game.wait_exit() == 0 and not os.listdir(env["XDG_RUNTIME_DIR"]) and
                          not any(os.path.exists("/proc/" + c) for c in children), sig.name)

            for terminal in (False, True):  # without complexity the game warns
                p = player("[GAME]\nusercolor=demo;\n" + FAST_ALGO.replace("complexity=2;\n", ""))
                with p.game(x.display, terminal=terminal, preexec=lambda: resource.setrlimit(
                        resource.RLIMIT_FSIZE, (4096, 4096))) as game:
                    wait_until(lambda: "File too large" in game.errors(), 30, "a full record")
                    game.process.terminate()
                    check(game.wait_exit() == 1 and len(p.newest()) == 4096 and
                          "WARNING\tvalue not found\n\tfile " in game.errors() and
                          "record of this game is incomplete" in game.errors() and
                          len(game.output()) > (4096 if terminal else -1), "cut:\n" + game.errors())
    finally:
        shutil.rmtree(prefix, ignore_errors=True)


def later_starts(player, display):
    """Starts after the first: --white with a terminal shows the record as it is saved, byte for
    byte; --black and --strength edit conf.ini and keep the player's own keys; a start without
    options leaves it alone; --last prints the newest record."""
    steps = player.strength_steps()
    with open(player.settings, "a") as f:
        f.write("threads=1;\n")  # a key of the player's own
    with player.game(display, "--white", "--strength", "2", terminal=True) as game:
        game.wait_window()
        game.click("e2", 0)
        game.click("e4", 0)
        wait_until(lambda: re.match(r"e2e4 - (.*\n)*%s\n" % MOVE, game.output()), 30,
                   "the computer's reply on the terminal")
        game.press_escape()
        check(game.wait_exit() == 0, "--white: status not 0")
        check(game.output().encode("latin-1") == player.newest(),
              "the terminal showed:\n%s\nthe saved record is:\n%s" % (game.output(),
                                                                     player.newest()))
    check(player.read_settings() == settings_text(player.shipped_settings(), "white", steps[2], "threads=1;\n"),
          "--white --strength 2 wrote:\n" + player.read_settings())

    with player.game(display, "--black") as game:
        game.wait_window()
        wait_until(lambda: player.newest().endswith(b" - "), 30, "the computer's saved first move")
        game.close_window()
        check(game.wait_exit() == 0, "--black: status not 0")
    chosen = settings_text(player.shipped_settings(), "black", steps[2], "threads=1;\n")
    check(player.read_settings() == chosen, "--black wrote:\n" + player.read_settings())

    with player.game(display) as game:  # continues the --black game, the player to move
        game.wait_window()
        game.press_escape()
        check(game.wait_exit() == 0, "no options: status not 0")
    check(player.read_settings() == chosen, "a start without options changed conf.ini")
    check(len(player.records()) == 3, "not three saved games: %s" % player.records())
    player.check_pgns("Morva (about %d)" % player.strength_labels()[2], "Player")

    with player.game(display, "--white", "--new") as game:  # closed before its first move: not kept
        game.wait_window()
        game.press_escape()
        check(game.wait_exit() == 0, "--white closed at once: status not 0")
    check(len(player.records()) == 3, "a game without moves was kept: %s" % player.records())

    last = subprocess.run([player.launcher, "--last", "--record"], env=player.env,
                          capture_output=True)
    check(last.returncode == 0 and last.stdout == player.newest(),
          "--last --record printed %r, status %d" % (last.stdout[:200], last.returncode))
    last = subprocess.run([player.launcher, "--last"], env=player.env, capture_output=True)
    check(last.returncode == 0 and last.stdout == read_bytes(player.saved("black")[0]),
          "--last printed %r, status %d" % (last.stdout[:200], last.returncode))


def desktop_entry(player, display):
    """The desktop entry's Watch action shows a demo in a window of the entry's StartupWMClass,
    and the player's conf.ini stays as it was."""
    text = read_bytes(glob.glob(os.path.join(player.applications, "*.desktop"))[0]).decode()
    wm_class = re.search(r"(?m)^StartupWMClass=(.*)$", text).group(1)
    watch = re.search(r"(?m)^Exec=morva (.*--demo.*)$", text).group(1).split()
    chosen = player.read_settings()
    with player.game(display, *watch, program=player.command) as game:
        window = game.wait_window()
        wait_until(lambda: player.newest().count(b" - ") >= 2, 30, "a demo's two saved pairs")
        shown = subprocess.run(["xprop", "-display", display, "-id", window, "WM_CLASS"],
                               capture_output=True, text=True).stdout.strip()
        check(shown.endswith('= "%s", "%s"' % (wm_class, wm_class)),
              "%s, yet the entry says StartupWMClass=%s" % (shown, wm_class))
        game.close_window()
        check(game.wait_exit() == 0, "watch: status not 0")
    check(player.read_settings() == chosen, "the action changed conf.ini:\n" + player.read_settings())


def saved_moves(pgn):
    """The moves of a saved game in UCI, as pgn-extract reads them; none while it is not there."""
    if not os.path.exists(pgn):
        return []
    return pgn_check.run(["pgn-extract", "-s", "--notags", "-Wuci", pgn]).stdout.split()[:-1]


def continue_later(player, args, display):
    """The --white game of later_starts, closed after its first pair, is continued by the next
    --white start at its position; its record and its saved game go on with it."""
    pgn = player.saved("white")[0]
    record = pgn[:-4] + ".txt"
    before = read_bytes(record).decode("latin-1")
    moves = saved_moves(pgn)
    check(len(moves) == 2, "the first pair in the PGN: %s" % moves)
    with player.game(display, "--white") as game:
        game.wait_window()
        wait_board(game, expected_board(args, moves, 0, moves[-1], clear=player.clear()),
                   "the game continued")
        game.click("g1", 0)
        game.click("f3", 0)
        reply = wait_until(lambda: re.fullmatch(re.escape(before) + r"g1f3 - (?:.*\n)*(%s)\n" % MOVE,
                                                read_bytes(record).decode("latin-1")), 30,
                           "the record going on").group(1)
        game.press_escape()
        check(game.wait_exit() == 0, "the continued game: status not 0")
    check(len(player.records()) == 3, "a continued game made a record: %s" % player.records())
    played = saved_moves(pgn)
    check(played == moves + ["g1f3", reply], "the continued PGN holds %s" % played)


def launcher_children(pid):
    """The game and the record's copier (the subshell and its tee) of a launcher, by pid."""
    def children(p):
        with open("/proc/%d/task/%d/children" % (p, p)) as f:
            return [int(c) for c in f.read().split()]
    found = {}
    for child in children(pid):
        with open("/proc/%d/cmdline" % child, "rb") as f:
            command = f.read().split(b"\0")
        if b"--save" in command or b"--continue" in command:
            found["game"] = [child]
        else:
            found["copier"] = [child, *children(child)]
    return found


def killed_and_continued(player, args, display):
    """A game as white holds every ply in its saved game as it is played. Killed after three
    pairs (SIGKILL of the launcher, the game and the record's copier together, of the launcher
    alone, of the game alone), its saved game holds the six plies, read by pgn-extract and
    Stockfish, and the next --white start continues it at that position, the saved game going
    on; the private folder a killed launcher left is gone after the next game."""
    env = dict(player.env, XDG_RUNTIME_DIR=tempfile.mkdtemp(dir=player.home))
    label = "Morva (about %d)" % player.strength_labels()[2]
    for victims in (("launcher", "game", "copier"), ("launcher",), ("game",)):
        known = set(glob.glob(os.path.join(player.games, "*.pgn")))
        with player.game(display, "--white", "--new", env=env) as game:
            game.wait_window()
            played = []
            for move in ("e2e3", "a2a3", "h2h3"):
                game.click(move[:2], 0)
                game.click(move[2:], 0)
                pgn = wait_until(lambda: (set(glob.glob(os.path.join(player.games, "*.pgn"))) -
                                          known or [None]).pop(), 30, "the saved game")
                wait_until(lambda: len(saved_moves(pgn)) == len(played) + 2, 30, "the reply saved")
                played = saved_moves(pgn)
                check(played[-2] == move, "saved %s after %s" % (played, move))
            pids = launcher_children(game.process.pid)
            pids["launcher"] = [game.process.pid]
            for victim in victims:
                for pid in pids[victim]:
                    os.kill(pid, signal.SIGKILL)
            if "game" not in victims:  # the game plays on alone: its window closed with Escape
                game.press_escape()
            wait_until(lambda: not os.path.exists("/proc/%d" % pids["game"][0]), 20, "the game gone")
            game.wait_exit()
        text = read_bytes(pgn).decode()
        pgn_check.check_game(pgn, text.strip("\n"), "*", "Player", label)
        check(not pgn_check.failures and len(played) == 6, "%s killed: %s, %s" %
              (victims, played, "; ".join(pgn_check.failures)))
        with player.game(display, "--white", env=env) as game:
            game.wait_window()
            wait_board(game, expected_board(args, played, 0, played[-1], clear=player.clear()),
                       "the game continued")
            check(len(glob.glob(os.path.join(env["XDG_RUNTIME_DIR"], "morva.*"))) == 1,
                  "the killed launcher's folder is still there")
            game.click("g2", 0)
            game.click("g3", 0)
            wait_until(lambda: saved_moves(pgn)[:7] == played + ["g2g3"] and
                       len(saved_moves(pgn)) == 8, 30, "the continued game saved")
            game.press_escape()
            check(game.wait_exit() == 0, "the continued game: status not 0")


def case_package(args):
    """The Debian package unpacked into a scratch root: its launcher plays a demonstration game,
    then the later starts; a game that fails gives the launcher its exit status."""
    check(args.deb, "the package case needs --deb")
    debs = glob.glob(os.path.join(args.deb, "morva_*.deb")) if os.path.isdir(args.deb) else [
        args.deb]
    check(debs, "no package in " + args.deb)
    deb = max(debs, key=os.path.getmtime)  # the one just made, should older versions lie there
    root = tempfile.mkdtemp(prefix="morva-root-")
    player = Player(os.path.join(root, "usr"))
    try:
        subprocess.run(["dpkg-deb", "--extract", deb, root], check=True, timeout=60)
        with Xvfb() as x:
            first_start(player, x.display)
            later_starts(player, x.display)
            continue_later(player, args, x.display)
            killed_and_continued(player, args, x.display)
            desktop_entry(player, x.display)
            os.remove(os.path.join(player.shipped, "db", "index.db"))
            with player.game(x.display, "--new") as game:
                check(game.wait_exit() == 255, "a game without its book: status not 255")
            check(player.newest().startswith(b"ERROR\t"), "the book's error was not saved")
    finally:
        shutil.rmtree(root, ignore_errors=True)
        shutil.rmtree(player.home, ignore_errors=True)


def stopped_within_limit(process, stop, what):
    """Asks a running process to stop; returns its status, failing after STOP_LIMIT seconds."""
    stop()
    try:
        return process.wait(timeout=STOP_LIMIT)
    except subprocess.TimeoutExpired:
        raise Failure("%s: still running %d s later" % (what, STOP_LIMIT))


def case_stop(args):
    """The computer thinks for ever about its opening move; a close, Escape or a
    termination signal ends the game anyway, and so do signals to morva-cli think."""
    stops = [("window closed", lambda game: game.close_window()),
             ("window closed after the mouse moved about", lambda game: (
                 game.move_mouse_about(400), game.close_window())),
             ("Escape released", lambda game: game.press_escape()),
             ("SIGTERM", lambda game: game.process.send_signal(signal.SIGTERM)),
             ("SIGINT", lambda game: game.process.send_signal(signal.SIGINT)),
             ("SIGHUP", lambda game: game.process.send_signal(signal.SIGHUP)),
             # More clicks than SDL's queue holds: a close or a signal behind them still counts.
             ("window closed after 150 clicks", lambda game: (
                 game.click_repeatedly(150), game.close_window())),
             ("SIGTERM after 150 clicks", lambda game: (
                 game.click_repeatedly(150), game.process.send_signal(signal.SIGTERM)))]
    for what, stop in stops:
        with Xvfb() as x, Game(args.morva, args.data, "black", x.display,
                               algo=ENDLESS_ALGO) as game:
            game.wait_window()
            time.sleep(1)  # deep in the main pass by now, far from its next progress report
            check(game.process.poll() is None, "morva ended before being asked to: " + what)
            status = stopped_within_limit(game.process, lambda: stop(game), what)
            check(status == 0, "%s while thinking: status %d" % (what, status))
    check(args.cli, "the stop case needs --cli")
    for sig in (signal.SIGTERM, signal.SIGINT):
        with Game(None, args.data, "black", None, algo=ENDLESS_ALGO,
                  command=[args.cli, "think", START_FEN]) as think:
            time.sleep(1)
            check(think.process.poll() is None, "morva-cli think ended by itself")
            status = stopped_within_limit(think.process, lambda: think.process.send_signal(sig),
                                          "morva-cli think, " + sig.name)
            check(status == -sig, "morva-cli think, %s: status %d" % (sig.name, status))


def case_signals(args, starts=150):
    """SIGTERM, SIGINT and SIGHUP in turn: first each sent at exec, blocked until main takes it,
    without a display (status 0 and no error: it ended before SDL_Init); then at moments spread
    evenly from main's first steps (SIGPIPE ignored) to the first record, after the first board;
    once at the end picture. Each ends the demo with status 0 within STOP_LIMIT seconds, its
    record the whole game's up to a move."""
    sigs = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)

    def start(display, moment=0):
        block = (lambda: signal.pthread_sigmask(signal.SIG_BLOCK, sigs)) if not display else None
        game = Game(args.morva, args.data, "demo", display, preexec=block)
        with open("/proc/%d/status" % game.process.pid) as status:
            while display and not int(re.search(r"SigIgn:\s*(\w+)", status.read())[1], 16) & 4096:
                status.seek(0)
        return game, time.monotonic() + moment

    with Xvfb() as x:
        game, began = start(x.display)
        with game:
            first = wait_until(lambda: os.path.getsize(game.out_path) and time.monotonic(), 30,
                               "the first move") - began
            whole = wait_until(lambda: game.output() == (time.sleep(1) or game.output()) and
                               game.output(), 60, "the end picture (the record still)")
            check(stopped_within_limit(game.process, lambda: game.process.send_signal(sigs[0]),
                                       "SIGTERM at the end picture") == 0, "status not 0 at the end")
        for k in range(-len(sigs), starts):
            sig, offset = sigs[k % len(sigs)], max(0, first * k / (starts - 1))
            game, moment = start(x.display if k >= 0 else None, offset)
            with game:
                time.sleep(max(0, moment - time.monotonic()))
                what = "%s %s" % (sig.name, "%.3f s into main" % offset if k >= 0 else "at exec")
                status = stopped_within_limit(game.process, lambda: game.process.send_signal(sig), what)
                out = game.output()
                check(status == 0 and (k >= 0 or game.errors() == ""), "%s: status %d, %s" %
                      (what, status, game.errors()))
                check(whole.startswith(out) and out[-1:] in ("", " ", "\n"),
                      "%s: the record is not the game's up to a move:\n%s" % (what, out))
        print("%d starts, the first record %.3f s into main" % (starts + len(sigs) + 1, first))


# Saved games as white, each with the player's move from it and the status before and after.
SAVED = ('[Event "Morva game"]\n[Site "?"]\n[Date "2026.12.%s"]\n[Round "-"]\n[White "Player"]\n'
         '[Black "Morva"]\n[Result "*"]\n[MorvaHuman "white"]\n\n%s *\n')
TURN = "Your move — you play white"
SAVED_GAMES = [
    (SAVED % ("09", "1. e4 f5 2. Qh5+ {Black's next move, a7a6, leaves its king in check. Under "
              "Morva's rules the game went on: 2... a7a6, and was left unfinished.}"), "h5e8",
     " | Morva's king can be taken | Game continued from 2026.12.09 — move 3",
     "White wins — Black's king is taken | You win! | Click or press a key to close"),
    (SAVED % ("10", "1. e3 Nf6 2. Bd3 Ng8 3. Bf1 Nf6 4. Bd3 Ng8"), "d3f1",
     " | Game continued from 2026.12.10 — move 5", "Draw by repetition | Click or press a key to close")]


def wait_status(game, status):
    """Waits until the status the window shows last (its --status-log) is status."""
    path = os.path.join(game.folder, "status.log")
    shown = lambda: read_bytes(path).decode().split("\n")[:-1] if os.path.exists(path) else []
    wait_until(lambda: shown()[-1:] == [status], 10, "the status '%s' (shown: %s)" %
               (status, shown()[-3:]))
    return shown()


def case_window(args):
    """The shipped keys at scale 2 (the status read from --status-log): a window twice the size,
    clicks read alike, the player's turn and the help's key, the computer thinking, an earlier
    position viewed and End back, N asked and then a new game, the key help over the board and
    closed; saved games continued, with a king that can be taken, won and drawn. (Without the
    keys, the keys case finds the designed board pixel for pixel in its 460 x 460 window.)"""
    keys = shipped_keys(args)
    command = [args.morva, "--status-log", "status.log"]
    with Xvfb("1600x1000x24") as x, Game(args.morva, args.data, "white", x.display,
                                         keys=keys.replace("scale=1;", "scale=2;"),
                                         command=command, size="1420x920") as game:
        game.wait_window()
        wait_status(game, TURN + " | F1 or ? shows the keys")
        game.click("e2", 0, scale=2)
        game.click("e4", 0, scale=2)
        check(any(s.startswith("Morva is thinking… ") for s in wait_status(game, TURN)),
              "no thinking shown")
        record = game.output()
        for key, status in (("Left", "Viewing move 1 of 2 — End returns | 1. e4"), ("End", TURN),
                            ("n", TURN + " | Press N again for a new game — this one stays saved")):
            game.press(key)
            wait_status(game, status)
        check(game.output() == record, "the view or N changed the record")
        game.press("n")
        wait_until(lambda: game.output().endswith("\nnew game\n"), 10, "the new game")
        helped = lambda: all(abs(a - b) <= 10 for a, b in zip(game.screenshot().getpixel((130, 460)),
                                                            (22, 21, 26)))  # the help's ground
        for key, shown in (("F1", True), ("a", False)):
            game.press(key)
            wait_until(lambda: helped() == shown, 10, "the key help %s" % ("shown" if shown else "closed"))
    with Xvfb() as x:
        for text, move, before, after in SAVED_GAMES:
            with Game(args.morva, args.data, "white", x.display, keys=keys, size="710x460",
                      algo=ONE_PLY_ALGO, command=command + ["--continue", "game.pgn"],
                      before_start=lambda folder: write_text(folder, "game.pgn", text)) as game:
                game.wait_window()
                wait_status(game, TURN + before + " | F1 or ? shows the keys")
                game.click(move[:2], 0)
                game.click(move[2:], 0)
                wait_status(game, after)


def shipped_keys(args):
    """The [GAME] keys of the shipped conf.ini, usercolor left out, one a line."""
    game = read_bytes(os.path.join(args.data, "conf.ini")).decode().split("[ALGO]")[0]
    return "".join(line + "\n" for line in game.split("\n")[1:]
                   if line and not line.startswith("usercolor="))


def make_screenshot(args):
    """A game in progress as white with the shipped settings, for the README."""
    with Xvfb() as x, Game(args.morva, args.data, "white", x.display, keys=shipped_keys(args),
                           size="") as game:
        game.wait_window()
        for move in ("e2e4", "g1f3", "b1c3"):
            count = game.output().count("\n")
            game.click(move[:2], 0)
            game.click(move[2:], 0)
            wait_until(lambda: game.output().count("\n") > count and
                       re.search(r"\n%s\n$" % MOVE, game.output()), 30, "the reply to " + move)
        time.sleep(0.5)
        game.click("d2", 0)  # a selected square shows the highlight
        time.sleep(0.5)
        shot = game.screenshot().crop((0, 0, 460 + PANEL_WIDTH, 10 * SQUARE))
        shot.save(args.out)
        print("moves: " + " ".join(re.findall(r"(?m)^(%s)(?= - |$)" % MOVE, game.output())))
        game.press_escape()
        game.wait_exit()


CASES = {"white": case_white, "black": case_black, "demo": case_demo, "no-index": case_no_index,
         "installed": case_installed, "package": case_package, "capture": case_capture,
         "stop": case_stop, "closed-streams": case_closed_streams, "broken-pipe": case_broken_pipe,
         "keys": case_keys, "stalled-record": case_stalled_record, "ponder": case_ponder,
         "draws": case_draws, "signals": case_signals,
         "full-disk": case_full_disk, "launcher": case_launcher, "window": case_window}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES) + ["screenshot"])
    parser.add_argument("out", nargs="?")
    parser.add_argument("--morva", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--build", help="the build folder, for the installed case")
    parser.add_argument("--deb", help="the package or its folder, for the package case")
    parser.add_argument("--cli", help="morva-cli, for the stop, capture and keys cases")
    args = parser.parse_args()
    args.morva, args.data = os.path.abspath(args.morva), os.path.abspath(args.data)
    args.cli = args.cli and os.path.abspath(args.cli)

    def out_of_time(*_):
        raise Failure("the whole case took longer than %d s" % LONG_CASES.get(args.case, TIME_LIMIT))

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(LONG_CASES.get(args.case, TIME_LIMIT))  # a hung run fails (and cleans up) instead of blocking the suite
    try:
        for tool in ("Xvfb", "xdotool"):
            check(shutil.which(tool), tool + " is missing (scripts/install-deps installs it)")
        (make_screenshot if args.case == "screenshot" else CASES[args.case])(args)
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    print("passed: %s" % args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
