#!/usr/bin/python3
"""End-to-end tests of the window program: the built morva in a real window
under its own Xvfb, driven with xdotool, in a fresh working folder each time.

Usage: morva_e2e.py CASE --morva PATH --data DIR
       morva_e2e.py screenshot OUT.png --morva PATH --data DIR
       morva_e2e.py installed --morva PATH --data DIR --build BUILD_DIR
       morva_e2e.py package --morva PATH --data DIR --deb DEB_OR_FOLDER
CASE is one of: white, black, demo, capture, no-index, installed, package.
"""

import argparse
import ctypes
import ctypes.util
import glob
import os
import pty
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty

from PIL import Image, ImageGrab

SQUARE = 46  # pixels of one board square; the board starts one square in
PIECE = 40
DARK, LIGHT = (50, 20, 30), (230, 230, 230)
MAGENTA = (255, 0, 255)
# Small and fast strength settings, so the computer answers in well under a second.
FAST_ALGO = "[ALGO]\nlevel=2;\nprelevel=1;\nmaxlevel=3;\ncomplexity=2;\n"
SQUARE_NAMES = {f + r: 8 * (int(r) - 1) + "abcdefgh".index(f) for f in "abcdefgh" for r in "12345678"}
TIME_LIMIT = 120  # seconds for one whole case
MOVE = r"(?:[a-h][0-9]+){2}"  # a move as the game record writes it (castling: f13f13...)


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

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24", "-nolisten", "tcp"],
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


def write_settings(folder, usercolor):
    with open(os.path.join(folder, "conf.ini"), "w") as ini:
        ini.write("[GAME]\nusercolor=%s;\n%s" % (usercolor, FAST_ALGO))


class Game:
    """morva running in a scratch folder that holds conf.ini, bitmaps/ and db/
    (or, given a command, that command run with the scratch folder for its logs)."""

    def __init__(self, morva, data, usercolor, display, with_index=True, command=None, env=None,
                 terminal=False):
        self.folder = tempfile.mkdtemp(prefix="morva-e2e-")
        if command is None:
            shutil.copytree(os.path.join(data, "bitmaps"), os.path.join(self.folder, "bitmaps"))
            shutil.copytree(os.path.join(data, "db"), os.path.join(self.folder, "db"))
            if not with_index:
                os.remove(os.path.join(self.folder, "db", "index.db"))
            write_settings(self.folder, usercolor)
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
                                        stdout=self.terminal.child if terminal else self.out_file,
                                        stderr=self.err_file, stdin=subprocess.DEVNULL)
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

    def wait_window(self):
        ids = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^Morva - ", timeout=20)
        check(ids.split(), "no Morva window appeared on %s (xdotool: %s; morva: %s, %s)" %
              (self.display, self.xdotool_errors.strip(), self.process.poll(), self.errors()))
        self.window = ids.split()[0]
        geometry = self.xdotool("getwindowgeometry", self.window)
        check("460x460" in geometry, "window is not 460x460: " + geometry)
        return self.window

    def click(self, square, user_color):
        x, y = square_point(square, user_color)
        self.xdotool("mousemove", "--window", self.window, str(x), str(y), "click", "1")
        time.sleep(0.1)

    def press_escape(self):
        self.xdotool("mousemove", "--window", self.window, "5", "5")
        self.xdotool("key", "Escape")

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


def expected_square(data, code, dark):
    """The 46 x 46 picture of a square holding a piece (cell code), as morva draws it."""
    sheet = Image.open(os.path.join(data, "bitmaps", "piece.bmp")).convert("RGB")
    column, row = abs(code) - 1, 0 if code > 0 else 1
    cell = sheet.crop((column * PIECE, row * PIECE, (column + 1) * PIECE, (row + 1) * PIECE))
    square = Image.new("RGB", (SQUARE, SQUARE), DARK if dark else LIGHT)
    mask = Image.new("L", cell.size, 0)
    mask.putdata([0 if p == MAGENTA else 255 for p in cell.getdata()])
    inset = (SQUARE - PIECE) // 2
    square.paste(cell, (inset, inset), mask)
    return square


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


def blend(src, dst):
    """The colour of src drawn at alpha 130 over dst."""
    return tuple((s * 130 + d * (255 - 130)) // 255 for s, d in zip(src, dst))


def case_capture(args):
    """The human walks the white king out until the computer takes it: the black
    end picture shows at once over the board, and a click ends the game."""
    with Xvfb() as x, Game(args.morva, args.data, "white", x.display) as game:
        game.wait_window()
        king = "e1"
        for move in ["f2f3", "e1f2", "f2e3", "e3d4", "d4c5", "c5b6", "b6a7"]:
            check(move[:2] in ("f2", king), "the walk lost its king")
            before = game.output()
            game.click(move[:2], 0)
            game.click(move[2:], 0)
            reply = wait_until(lambda: re.fullmatch(re.escape(before) + r"%s - (?:.*\n)*(%s)\n" %
                                                    (move, MOVE), game.output()), 30,
                               "the computer's reply to " + move)
            king = move[2:] if move[:2] == king else king
            if reply.group(1)[-2:] == king:
                break
        else:
            raise Failure("the computer never took the king")
        picture = Image.open(os.path.join(args.data, "bitmaps", "black.bmp")).convert("RGB")
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

        wait_until(end_picture_shown, 5, "the black end picture over the board")
        time.sleep(0.3)
        check(game.process.poll() is None, "morva ended before the click")
        game.click("a1", 0)
        check(game.wait_exit() == 0, "click after the end: status not 0")


def case_no_index(args):
    # No display at all: had morva tried to open a window first, SDL would fail
    # and report that instead of the book's error.
    with Game(args.morva, args.data, "white", None, with_index=False) as game:
        status = game.wait_exit(timeout=10)
        out = game.output()
        check(status == 255, "status %d, not 255" % status)
        check(re.fullmatch(r"ERROR\t[^\n]*\./db/index\.db[^\n]*\n\tfile [^\n]+ line \d+\n"
                           r"\tcompilation [^\n]+\n", out), "not the book's error report:\n" + out)


class Player:
    """An installed Morva (an installation root holding games/ and share/games/morva/) and a
    player's scratch home: the XDG folders of the player's settings and saved games."""

    def __init__(self, root):
        self.launcher = os.path.join(root, "games", "morva-launch")
        self.shipped = os.path.join(root, "share", "games", "morva")
        self.home = tempfile.mkdtemp(prefix="morva-home-")
        self.env = dict(os.environ, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_STATE_HOME=os.path.join(self.home, "state"))
        self.settings = os.path.join(self.home, "config", "morva", "conf.ini")
        self.games = os.path.join(self.home, "state", "morva", "games")

    def game(self, display, *options, terminal=False):
        return Game(None, None, None, display, command=[self.launcher, *options], env=self.env,
                    terminal=terminal)

    def records(self):
        """The saved records, oldest first."""
        return sorted(glob.glob(os.path.join(self.games, "*.txt")),
                      key=lambda p: os.path.basename(p)[:-4])

    def newest(self):
        records = self.records()
        return read_bytes(records[-1]) if records else b""

    def read_settings(self):
        return read_bytes(self.settings).decode()

    def strength_steps(self):
        """The launcher's strength table as its --help prints it: {N: (level, prelevel,
        maxlevel, complexity)}."""
        out = subprocess.run([self.launcher, "--help"], env=self.env, capture_output=True,
                             text=True, check=True).stdout
        return {int(m[0]): tuple(int(v) for v in m[1:])
                for m in re.findall(r"^ +([1-9]) +(\d+) +(\d+) +(\d+) +(\d+)$", out, re.M)}


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def settings_text(usercolor, strength, extra=""):
    """The shipped conf.ini's layout with a colour, a strength step and further [ALGO] lines."""
    keys = ("level", "prelevel", "maxlevel", "complexity")
    return ("[GAME]\nusercolor=%s;\n\n[ALGO]\n" % usercolor +
            "".join("%s=%d;\n" % kv for kv in zip(keys, strength)) + extra)


def first_start(player, display):
    """A first start with --demo --strength 1, without a terminal: the player's conf.ini is made
    from the shipped one with that colour and strength, and the record is saved, not shown."""
    check(not os.path.exists(player.settings), "conf.ini exists before the first start")
    quickest = player.strength_steps()[1]
    with player.game(display, "--demo", "--strength", "1") as game:
        game.wait_window()
        wait_until(lambda: player.newest().count(b" - ") >= 3, 60, "three saved move pairs")
        game.close_window()
        check(game.wait_exit() == 0, "first start: status not 0")
        check(game.output() == "", "no terminal, yet the record was shown: " + game.output())
    shipped = read_bytes(os.path.join(player.shipped, "conf.ini")).decode()
    check(shipped.startswith("[GAME]\nusercolor=") and player.read_settings() ==
          settings_text("demo", quickest), "first start made:\n" + player.read_settings())
    records = player.records()
    check(len(records) == 1 and re.fullmatch(r"\d{4}-\d\d-\d\d-\d{6}\.txt",
                                             os.path.basename(records[0])),
          "not one record named <date>-<time>.txt: %s" % records)
    check_demo_record(player.newest().decode("latin-1"))


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
    check(player.read_settings() == settings_text("white", steps[2], "threads=1;\n"),
          "--white --strength 2 wrote:\n" + player.read_settings())

    with player.game(display, "--black") as game:
        game.wait_window()
        wait_until(lambda: player.newest().endswith(b" - "), 30, "the computer's saved first move")
        game.close_window()
        check(game.wait_exit() == 0, "--black: status not 0")
    chosen = settings_text("black", steps[2], "threads=1;\n")
    check(player.read_settings() == chosen, "--black wrote:\n" + player.read_settings())

    with player.game(display) as game:
        game.wait_window()
        game.press_escape()
        check(game.wait_exit() == 0, "no options: status not 0")
    check(player.read_settings() == chosen, "a start without options changed conf.ini")
    check(len(player.records()) == 4, "not four saved games: %s" % player.records())

    last = subprocess.run([player.launcher, "--last"], env=player.env, capture_output=True)
    check(last.returncode == 0 and last.stdout == player.newest(),
          "--last printed %r, status %d" % (last.stdout[:200], last.returncode))


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
            os.remove(os.path.join(player.shipped, "db", "index.db"))
            with player.game(x.display) as game:
                check(game.wait_exit() == 255, "a game without its book: status not 255")
            check(player.newest().startswith(b"ERROR\t"), "the book's error was not saved")
    finally:
        shutil.rmtree(root, ignore_errors=True)
        shutil.rmtree(player.home, ignore_errors=True)


def make_screenshot(args):
    """A game in progress as white, for the README."""
    with Xvfb() as x, Game(args.morva, args.data, "white", x.display) as game:
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
        shot = game.screenshot().crop((0, 0, 10 * SQUARE, 10 * SQUARE))
        shot.save(args.out)
        game.press_escape()
        game.wait_exit()


CASES = {"white": case_white, "black": case_black, "demo": case_demo, "no-index": case_no_index,
         "installed": case_installed, "package": case_package, "capture": case_capture}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES) + ["screenshot"])
    parser.add_argument("out", nargs="?")
    parser.add_argument("--morva", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--build", help="the build folder, for the installed case")
    parser.add_argument("--deb", help="the package or its folder, for the package case")
    args = parser.parse_args()
    args.morva, args.data = os.path.abspath(args.morva), os.path.abspath(args.data)

    def out_of_time(*_):
        raise Failure("the whole case took longer than %d s" % TIME_LIMIT)

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(TIME_LIMIT)  # a hung run fails (and cleans up) instead of blocking the suite
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
