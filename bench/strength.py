"""What bench/match and bench/stockfish-match share: the openings, a Morva
setting and the computer's move under it, Stockfish as a UCI engine, the game
log, and the Elo difference of a score."""
import collections
import math
import os
import random
import re
import shutil
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPENINGS = os.path.join(ROOT, "bench", "openings.txt")
GAMES_PGN = os.path.join(ROOT, "data", "games", "world-championship-games.pgn")
DEFAULT_CLI = os.path.join(ROOT, "build", "tools", "morva-cli", "morva-cli")
DEFAULT_BOOK = os.path.join(ROOT, "data", "db")
PGN_EXTRACT = shutil.which("pgn-extract") or "/usr/games/pgn-extract"
STOCKFISH = shutil.which("stockfish") or "/usr/games/stockfish"
MAX_PLIES = 300

# The record writes a castling as its code (100..103) in square arithmetic:
# file letter 96 + code % 8, rank code / 8 + 1 = 13 (src/rules/notation.h).
# Standard chess writes the king's two-square step instead.
CASTLING_STEPS = {"e13e13": "e1c1", "f13f13": "e1g1", "g13g13": "e8c8", "h13h13": "e8g8"}
# The end entry: the computer plays it only when nothing else can move, and
# then it is a pass (make_move leaves the board as it is).
PASS = "d13d13"
ALGO_KEYS = ("level", "prelevel", "maxlevel", "complexity")


class MatchError(Exception):
    """A program did not answer as the match expects; the match stops."""


# ---------------------------------------------------------------- openings

def read_openings(path=OPENINGS):
    """Returns the FENs of an openings file: every line that is neither blank
    nor a comment (#)."""
    with open(path) as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def championship_games(pgn=GAMES_PGN):
    """Returns, per game of the file in its order, (tags, [(uci move, FEN after it)])."""
    out = subprocess.run([PGN_EXTRACT, "--quiet", "--fencomments", "-Wuci", pgn],
                         check=True, capture_output=True, text=True).stdout
    games = []
    for line in out.splitlines():
        tag = re.match(r'\[(\w+) "(.*)"\]$', line)
        if tag:
            if tag.group(1) == "Event" or not games:
                games.append(({}, []))
            games[-1][0][tag.group(1)] = tag.group(2)
        elif games:
            games[-1][1].extend((m, " ".join(f.split()))
                                for m, f in re.findall(r"(\S+)\s*\{([^}]*)\}", line))
    return games


def write_openings(path, count, plies, pgn=GAMES_PGN):
    """Writes count openings: the position after plies plies of game
    1 + k * games / count (k = 0 .. count - 1), or of the first game after it
    that lasts at least plies + 12 plies and whose position is not taken yet."""
    games = championship_games(pgn)
    lines, taken = [], set()
    for k in range(count):
        i = k * len(games) // count
        while True:
            if i >= len(games):
                raise MatchError(f"too few games in {pgn} for {count} openings")
            tags, moves = games[i]
            fen = moves[plies - 1][1] if len(moves) >= plies + 12 else None
            if fen and short_fen(fen) not in taken:
                break
            i += 1
        taken.add(short_fen(fen))
        lines.append(f"# game {i + 1}: {tags.get('White', '?')} - {tags.get('Black', '?')}, "
                     f"{tags.get('Date', '?')}: {' '.join(m for m, _ in moves[:plies])}")
        lines.append(fen)
    with open(path, "w") as f:
        f.write(f"# The openings of bench/match and bench/stockfish-match: the position after\n"
                f"# the first {plies} plies of {count} games of {os.path.relpath(pgn, ROOT)},\n"
                f"# game 1 + k * {len(games)} / {count} (rounded down, k = 0 .. {count - 1}), or\n"
                f"# the next game when that one is shorter than {plies + 12} plies or leads to a\n"
                f"# position already here. FENs as pgn-extract writes them (standard chess:\n"
                f"# castling rights, en-passant square, clocks). Made by\n"
                f"#   bench/match --write-openings [--count {count}] [--plies {plies}]\n")
        f.write("\n".join(lines) + "\n")


# ---------------------------------------------------------------- Morva

def parse_setting(text):
    """Returns (level, prelevel, maxlevel, complexity, [extra ALGO entries])
    of "L,P,M,C" followed by optional ";key=value" entries."""
    numbers, *extras = [part.strip() for part in text.split(";")]
    fields = [f.strip() for f in numbers.split(",")]
    if len(fields) != 4 or not all(f.isdigit() for f in fields):
        raise ValueError(f"'{text}' is not L,P,M,C[;key=value...] (e.g. 2,1,2,100;threads=1)")
    extras = [e for e in extras if e]
    for e in extras:
        key = e.split("=", 1)[0].strip()
        if "=" not in e or not key or key in ALGO_KEYS:
            raise ValueError(f"'{e}' in '{text}' is not an extra key=value entry")
    return tuple(int(f) for f in fields) + (extras,)


def conf_ini(setting):
    """Returns the conf.ini of a parsed setting: the four keys in the order the
    reader needs, then the extra entries as given."""
    lines = [f"{key}={value};" for key, value in zip(ALGO_KEYS, setting[:4])]
    return "[ALGO]\n" + "\n".join(lines + [f"{e};" for e in setting[4]]) + "\n"


def short_fen(fen):
    """Returns placement and side to move of a FEN: all a Morva position has."""
    return " ".join(fen.split()[:2])


def castling_fen(fen):
    """Returns placement, side to move and castling rights of a FEN ("-" when
    it gives none): what `morva-cli think` reads, the rights for legalcastling=on."""
    fields = fen.split()
    return " ".join(fields[:2] + [fields[2] if len(fields) > 2 else "-"])


# The squares whose king or rook, moving or taken, end a castling right (FEN letters).
RIGHTS_OF_SQUARE = {"e1": "KQ", "h1": "K", "a1": "Q", "e8": "kq", "h8": "k", "a8": "q"}


def rights_after(rights, move):
    """Returns the castling rights (FEN letters, "-" for none) after a move in
    UCI text (a castling as the king's step)."""
    gone = RIGHTS_OF_SQUARE.get(move[:2], "") + RIGHTS_OF_SQUARE.get(move[2:4], "")
    left = "".join(c for c in rights if c in "KQkq" and c not in gone)
    return left or "-"


class Morva:
    """The computer player under one setting: `morva-cli think` in a scratch
    folder of its own holding the setting's conf.ini and a copy of the book."""

    def __init__(self, cli, setting_text, book):
        self.cli = cli
        self.text = setting_text
        self.folder = tempfile.TemporaryDirectory(prefix="morva-strength-")
        with open(os.path.join(self.folder.name, "conf.ini"), "w") as f:
            f.write(conf_ini(parse_setting(setting_text)))
        shutil.copytree(book, os.path.join(self.folder.name, "db"))
        self.notes = set()
        self.moves = 0
        self.seconds = 0.0

    def think(self, fen, seed=0):
        """Returns the record's text of the computer's move on fen (placement,
        side to move and castling rights) in the game of a seed: the last line
        that think prints."""
        start = time.perf_counter()
        r = subprocess.run([self.cli, "think", "--seed", str(seed), castling_fen(fen)],
                           cwd=self.folder.name, capture_output=True, text=True)
        self.seconds += time.perf_counter() - start
        self.moves += 1
        if r.returncode != 0:
            raise MatchError(f"morva-cli think '{fen}' under {self.text}: status "
                             f"{r.returncode}: {r.stderr.strip()}")
        for note in r.stderr.splitlines():  # conf.ini notes, said once per setting
            if note not in self.notes:
                self.notes.add(note)
                print(f"[{self.text}] {note}", flush=True)
        lines = [line.strip() for line in r.stdout.splitlines() if line.strip()]
        if not lines:
            raise MatchError(f"morva-cli think '{fen}' under {self.text} printed no move")
        return lines[-1]

    def close(self):
        self.folder.cleanup()


def morva_make(cli, fen, move):
    """Returns placement and side to move after a move under Morva's rules
    (`morva-cli make`); the end entry passes the move to the other side."""
    if move == PASS:
        placement, side = fen.split()[:2]
        return f"{placement} {'b' if side == 'w' else 'w'}"
    r = subprocess.run([cli, "make", short_fen(fen), move], capture_output=True, text=True)
    if r.returncode != 0:
        raise MatchError(f"morva-cli make '{fen}' {move}: {r.stderr.strip()}")
    return short_fen(r.stdout)


def piece_at(placement, square):
    """Returns the FEN letter on a square ("e4") of a placement, or "" when empty."""
    rank = placement.split("/")[8 - int(square[1])]
    file = ord(square[0]) - ord("a")
    for c in rank:
        if c.isdigit():
            file -= int(c)
        elif file == 0:
            return c
        else:
            file -= 1
        if file < 0:
            return ""
    return ""


def standard_move(text, placement):
    """Returns the UCI text of a Morva move: a castling as the king's step, a
    pawn's step to the far rank with q (Morva's pawns always become queens)."""
    if text in CASTLING_STEPS:
        return CASTLING_STEPS[text]
    if (len(text) == 4 and text[3] in "18" and piece_at(placement, text[:2]) in ("P", "p")):
        return text + "q"
    return text


# ---------------------------------------------------------------- Stockfish

class Stockfish:
    """A Stockfish process spoken to over UCI: the referee of standard chess
    (the position, its checkers, its legal moves) and, when asked, a player."""

    def __init__(self, path, options=()):
        try:
            self.p = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      text=True, bufsize=1)
        except OSError as e:
            raise MatchError(f"cannot start Stockfish '{path}': {e}") from e
        self.send("uci")
        self.read_until("uciok")
        for name, value in options:
            self.send(f"setoption name {name} value {value}")
        self.ready()

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def read_until(self, prefix):
        """Returns the lines read up to and with the first that starts with prefix."""
        lines = []
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise MatchError(f"Stockfish ended while the match waited for '{prefix}'")
            lines.append(line.rstrip("\n"))
            if line.startswith(prefix):
                return lines

    def ready(self):
        self.send("isready")
        return self.read_until("readyok")

    def new_game(self):
        self.send("ucinewgame")
        self.ready()

    def set_position(self, fen, moves):
        self.send(f"position fen {fen}" + (" moves " + " ".join(moves) if moves else ""))

    def board(self):
        """Returns the FEN of the position set and whether its mover is in check."""
        self.send("d")
        lines = self.ready()
        fen = next(line[5:].strip() for line in lines if line.startswith("Fen: "))
        checkers = next(line[9:].strip() for line in lines if line.startswith("Checkers:"))
        return fen, bool(checkers)

    def legal_moves(self):
        """Returns the legal moves of the position set, as `go perft 1` lists them."""
        self.send("go perft 1")
        lines = self.read_until("Nodes searched")
        return [m.group(1) for m in (re.match(r"([a-h][1-8][a-h][1-8][qrbn]?): 1$", line)
                                     for line in lines) if m]

    def best_move(self, movetime_ms):
        self.send(f"go movetime {movetime_ms}")
        return self.read_until("bestmove")[-1].split()[1]

    def close(self):
        if self.p.poll() is None:
            self.send("quit")
            self.p.wait()


class StockfishPlayer:
    """Stockfish's own move in a fixed time, under the options it was started with."""

    def __init__(self, stockfish, movetime_ms):
        self.stockfish = stockfish
        self.movetime_ms = movetime_ms

    def choose(self, legal):
        return self.stockfish.best_move(self.movetime_ms)


class RandomPlayer:
    """A uniformly random legal move from a seeded generator: the floor of the scale."""

    def __init__(self, seed):
        self.rng = random.Random(seed)

    def choose(self, legal):
        return self.rng.choice(sorted(legal))


# ---------------------------------------------------------------- log and score

class GameLog:
    """One line per game, tab-separated, written as each game ends."""

    COLUMNS = "game opening white black result end plies moves"

    def __init__(self, path, header):
        self.path = os.path.abspath(path)
        self.f = open(self.path, "w")
        for line in header:
            self.f.write(f"# {line}\n")
        self.f.write(f"# columns (tab-separated): {self.COLUMNS}\n")
        self.f.flush()

    def write(self, game, opening, white, black, result, end, moves):
        fields = [game, opening, white, black, result, end, len(moves), " ".join(moves)]
        self.f.write("\t".join(str(x) for x in fields) + "\n")
        self.f.flush()

    def close(self):
        self.f.close()


def elo(score, n):
    """Returns the Elo difference of a score fraction over n games, the fraction
    first brought within half a game of 0 and of 1."""
    half = 0.5 / n
    s = min(max(score, half), 1 - half)
    return -400 * math.log10(1 / s - 1)


def elo_interval(results):
    """Returns the score fraction, its Elo difference and the 95 % interval of
    it, from per-game results (1, 0.5 or 0): the mean and 1.96 standard errors
    around it, each mapped through elo()."""
    n = len(results)
    mean = sum(results) / n
    sd = math.sqrt(sum((x - mean) ** 2 for x in results) / n)
    margin = 1.96 * sd / math.sqrt(n)
    return mean, elo(mean, n), elo(mean - margin, n), elo(mean + margin, n)


class Tally:
    """The results of one side's games: wins, draws, losses and how games ended."""

    def __init__(self):
        self.results = []
        self.ends = collections.Counter()

    def add(self, points, end):
        self.results.append(points)
        self.ends[end] += 1

    def line(self):
        r = self.results
        return (f"{sum(r):g}/{len(r)} ({100 * sum(r) / len(r):.1f} %)  W {r.count(1)}  "
                f"D {r.count(0.5)}  L {r.count(0)}")

    def elo_lines(self, name, base=None):
        """Returns the lines of the Elo difference and, given the opponent's
        rating as base, the rating it implies."""
        _, d, low, high = (round(x) for x in elo_interval(self.results))
        lines = [f"Elo difference of {name}: {d:+d} (95 %: {low:+d} to {high:+d})"]
        if base is not None:
            base = round(base)
            lines.append(f"Implied rating of {name}: {base + d} "
                         f"(95 %: {base + low} to {base + high}), against {base}")
        return lines

    def ends_line(self):
        return "Game ends: " + ", ".join(f"{k} {v}" for k, v in sorted(self.ends.items()))


def schedule(openings, games):
    """Returns the games to play, in order: (game number, opening number, True
    when the measured side has white), two per opening, white first; at most
    games of them."""
    order = [(2 * i + c + 1, i + 1, c == 0) for i in range(len(openings)) for c in (0, 1)]
    return order[:games] if games else order
