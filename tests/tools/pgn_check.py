#!/usr/bin/env python3
"""morva-cli pgn against two independent readers of standard chess: every game
it writes is replayed by pgn-extract (which must report nothing and write the
same SAN) and by Stockfish (position startpos moves ..., which must reach
pgn-extract's last position); tags, results and the moves that stand are
checked against records written by hand and a demonstration game played by
morva-cli. Bad records end with a one-line message and status 2.

usage: pgn_check.py --cli MORVA_CLI --records DIR --data DATA_DIR
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROSTER = ["Event", "Site", "Date", "Round", "White", "Black", "Result"]
MORVA_TAGS = {"MorvaHuman", "MorvaSeed"}  # what a saved game adds after the roster
MOVE = r"[a-h]\d+[a-h]\d+"
KING_STEPS = {"e13e13": "e1c1", "f13f13": "e1g1", "g13g13": "e8c8", "h13h13": "e8g8"}
FAST_CONF = "[GAME]\nusercolor=demo;\n[ALGO]\nlevel=2;\nprelevel=1;\nmaxlevel=3;\ncomplexity=2;\n"

# Record, then per PGN game: result, White, Black, the moves standard chess
# accepts (worked out by hand), and whether a comment tells the rest.
CASES = [
    ("white-wins.txt", [("1-0", "Player", "Morva", "e2e4 e7e5 f1c4 b8c6 d1h5 g8f6 h5f7", True)]),
    ("black-wins-castling.txt", [("0-1", "Morva", "Player", "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 a2a3 "
                                  "g8f6 b2b3 e8g8 e1e2 d7d6", True)]),
    ("takebacks-white.txt", [("*", "Player", "Morva", "d2d4 d7d5", False),
                             ("*", "Player", "Morva", "c2c4 e7e5", False)]),
    ("takebacks-black.txt", [("*", "Morva", "Player", "e2e4 e7e5 g1f3 g8f6 b1c3", False),
                             ("*", "Morva", "Player", "d2d4", False)]),
    ("castling-through-check.txt", [("0-1", "Player", "Morva",
                                     "e2e4 b7b6 g1f3 c8a6 g2g3 e7e6 f1h3 d8g5", True)]),
    ("castling-moved-king.txt", [("*", "?", "?", "e2e4 e7e5 e1e2 e8e7 e2e1 e7e8 g1f3 g8f6 f1c4 "
                                  "f8c5", True)]),
    ("unfinished.txt", [("*", "?", "?", "e2e4 e7e5 g1f3", False)]),
    ("disambiguation.txt", [("*", "?", "?", "g1f3 g8f6 d2d3 d7d6 b1d2 b8d7 f3d4 e7e5 d4f3 f8e7",
                             False)]),
    # The knight on c6 is pinned: Ne7, not Nge7 (pgn-extract writes its own SAN).
    ("pinned-rival.txt", [("*", "?", "?", "e2e4 e7e5 g1f3 b8c6 f1b5 d7d6 c2c3 g8e7", False)]),
    ("drawn.txt", [("1/2-1/2", "?", "?", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", False)]),
]

# Records no window writes: a piece of the message (status 2), or "" for a record
# holding no game (status 0, nothing written).
BAD = [("e2e4 - e7e5\ne2e5 - ", "line 2: 'e2e5' is no move of white here"),
       ("takeback\n", "line 1: a takeback with no move pair before it"),
       ("e7e5\n", "line 1: black's move without white's before it on its line"),
       ("e2e4 - \ne7e5 - ", "line 2: white's move where black's is due"),
       ("\x00\xff e2e4\n", "line 1: unexpected text '\\x00\\xff e2e4'"),
       ("e2e4 - e7e5\nd1h5 - g8f6\nh5f7 - e8e7\nf7e7 - a7a6\n", "line 4: a move after a king was"),
       ("e2e4 - e7e5\nd1h5 - g8f6\nh5f7 - e8e7\nf7e7 - \ndraw\n", "line 5: a draw after a king was"),
       ("g1f3 - g8f6\ndraw\ne2e4 - ", "line 3: a move after the game was drawn"),
       ("", ""), ("WARNING\tvalue not found\n\tfile f line 1\n\tcompilation c\n", "")]

failures = []
os.environ["PATH"] += os.pathsep + "/usr/games"  # where Debian puts stockfish and pgn-extract


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(command, stdin=None, cwd=None):
    return subprocess.run(command, input=stdin, capture_output=True, text=True, cwd=cwd,
                          errors="replace")


def stockfish_fen(uci):
    out = run(["stockfish"], "position startpos moves %s\nd\nquit\n" % uci).stdout
    return re.search(r"^Fen: (\S+ \S+ \S+)", out, re.M).group(1)


def split_games(pgn):
    return [g for g in re.split(r"\n\n(?=\[)", pgn.strip("\n")) if g]


def check_game(what, game, result, white, black, uci=None, commented=None):
    """One PGN game: the roster, its result, the two readers; returns its UCI moves."""
    tags = re.findall(r'^\[(\w+) "((?:[^"\\]|\\.)*)"\]$', game, re.M)
    check([t[0] for t in tags][:len(ROSTER)] == ROSTER and
          all(t[0] in MORVA_TAGS for t in tags[len(ROSTER):]), "%s: tags %s" % (what, tags))
    values = dict(tags)
    check((values.get("Result"), values.get("White"), values.get("Black")) == (result, white, black),
          "%s: result and players %s" % (what, values))
    movetext = game.split("\n\n", 1)[1]
    check(movetext.split()[-1] == result, "%s: movetext ends %r" % (what, movetext[-20:]))
    check(all(len(line) < 80 for line in game.split("\n")), "%s: a line of 80 or more" % what)
    with tempfile.NamedTemporaryFile("w", suffix=".pgn") as f:
        f.write(game + "\n")
        f.flush()
        plain = run(["pgn-extract", "-s", "--notags", "--nocomments", "-w", "10000", f.name])
        moves = run(["pgn-extract", "-s", "--notags", "-Wuci", f.name])
        last = run(["pgn-extract", "-s", "--notags", "--nocomments", "-w", "10000", "-F", f.name])
    check(plain.stderr + moves.stderr + last.stderr == "",
          "%s: pgn-extract says %s" % (what, plain.stderr + moves.stderr + last.stderr))
    ours = re.sub(r"\{[^}]*\}", "", movetext).split()
    check(plain.stdout.split() == ours, "%s: pgn-extract writes %s, morva-cli %s" %
          (what, plain.stdout.split(), ours))
    played = " ".join(moves.stdout.split()[:-1])
    if uci is not None:
        check(played == uci, "%s: moves %r, not %r" % (what, played, uci))
    fen = re.search(r'\{ "(\S+ \S+ \S+)', last.stdout)
    check(fen and stockfish_fen(played) == fen.group(1), "%s: Stockfish's position after %r is "
          "%s, pgn-extract's %s" % (what, played, stockfish_fen(played), fen and fen.group(1)))
    if commented is not None:
        check(("{" in movetext) == commented, "%s: comment %s expected" % (what, commented))
    return played, movetext


def check_records(cli, records):
    for name, games in CASES:
        r = run([cli, "pgn", os.path.join(records, name)])
        written = split_games(r.stdout)
        if check(r.returncode == 0 and len(written) == len(games), "%s: status %d, %d games: %s" %
                 (name, r.returncode, len(written), r.stderr)):
            for k, (game, expected) in enumerate(zip(written, games)):
                check('[Round "%d"]' % (k + 1) in game, "%s: round" % name)
                check_game("%s game %d" % (name, k + 1), game, *expected)
    # The launcher's options, and a date from a record's name.
    scratch = tempfile.mkdtemp(prefix="morva-pgn-")
    try:
        dated = os.path.join(scratch, "2026-03-14-101500.txt")
        shutil.copy(os.path.join(records, "unfinished.txt"), dated)
        for options, date, white, black in [([], "2026.03.14", "?", "?"), (
                ["--white", 'A "B"', "--black", "Morva (about 750)", "--date", "2025.01.02"],
                "2025.01.02", 'A \\"B\\"', "Morva (about 750)")]:
            out = run([cli, "pgn", *options, dated]).stdout
            check('[Date "%s"]\n[Round "1"]\n[White "%s"]\n[Black "%s"]\n' % (date, white, black)
                  in out, "options %s: %s" % (options, out))
        for text, said in BAD:
            bad = os.path.join(scratch, "bad.txt")
            with open(bad, "w", encoding="latin-1") as f:
                f.write(text)
            r = run([cli, "pgn", bad])
            check((r.returncode, r.stdout) == ((2 if said else 0), "") and said in r.stderr and
                  r.stderr.count("\n") == (1 if said else 0), "%r: %d %r" % (text, r.returncode, r.stderr))
        os.mkfifo(os.path.join(scratch, "fifo"))  # read at once, never waited on
        for missing, said in [("none.txt", "No such file"), ("", "Is a directory"),
                              ("/dev/zero", "not a regular file"), ("fifo", "not a regular file")]:
            r = run([cli, "pgn", os.path.join(scratch, missing)])
            check(r.returncode == 2 and said in r.stderr, "%r: %s" % (missing, r.stderr))
    finally:
        shutil.rmtree(scratch)


def check_demo(cli, data):
    """A demonstration game played by morva-cli to a king taken: the PGN's moves are the
    record's up to where standard chess stops, and the comment goes on from there."""
    scratch = tempfile.mkdtemp(prefix="morva-pgn-demo-")
    try:
        shutil.copytree(os.path.join(data, "db"), os.path.join(scratch, "db"))
        with open(os.path.join(scratch, "conf.ini"), "w") as f:
            f.write(FAST_CONF)
        record = run([cli, "play", "300"], cwd=scratch).stdout
        played = re.findall(r"^(?: \(find at pos : -?\d+\) )*(%s)(?= - |$)" % MOVE, record, re.M)
        start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"
        placement = run([cli, "make", start, *played]).stdout.split()[0]
        check("k" not in placement or "K" not in placement, "the demo ended without a king taken")
        with open(os.path.join(scratch, "demo.txt"), "w") as f:
            f.write(record)
        pgn = run([cli, "pgn", os.path.join(scratch, "demo.txt")]).stdout
        result = "1-0" if len(played) % 2 == 1 else "0-1"
        uci, movetext = check_game("demo", pgn.strip("\n"), result, "Morva", "Morva")
        standing = [KING_STEPS.get(m, m) for m in played]
        kept = uci.split()
        check(kept == standing[:len(kept)] and len(kept) < len(standing),
              "demo: the PGN's moves %s are not the record's first %s" % (kept, standing))
        rest = re.search(r"went on: \d+\.(?:\.\.)? (\S+)", movetext.replace("\n", " "))
        check(rest and rest.group(1) == standing[len(kept)], "demo: the comment's first move")
    finally:
        shutil.rmtree(scratch)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--records", required=True)
    parser.add_argument("--data", required=True)
    args = parser.parse_args()
    check_records(args.cli, args.records)
    check_demo(args.cli, args.data)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
