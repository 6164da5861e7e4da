#!/usr/bin/env python3
"""Tests of bench/strength.py: the Elo of a score and its interval, Morva's
moves in standard notation (castlings checked against `morva-cli make`), the
settings, the order of the games and the openings file.

usage: bench/strength_test.py MORVA_CLI
"""
import os
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import strength  # noqa: E402

CLI = None
START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"


class EloTest(unittest.TestCase):
    def test_scores(self):
        self.assertEqual(strength.elo(0.5, 10), 0)
        self.assertAlmostEqual(strength.elo(0.75, 100), 190.848501, places=5)  # 400 log10 3
        self.assertAlmostEqual(strength.elo(0.25, 100), -190.848501, places=5)

    def test_score_clamped_half_a_game_from_the_ends(self):
        self.assertAlmostEqual(strength.elo(1.0, 10), 511.501440, places=5)  # as 9.5 of 10
        self.assertAlmostEqual(strength.elo(0.0, 10), -511.501440, places=5)

    def test_interval_from_the_games_standard_error(self):
        # Mean 0.7, standard deviation 0.4: 0.7 -+ 1.96 * 0.4 / sqrt(10).
        score, d, low, high = strength.elo_interval([1] * 6 + [0.5] * 2 + [0] * 2)
        self.assertAlmostEqual(score, 0.7)
        self.assertAlmostEqual(d, 147.190714, places=5)
        self.assertAlmostEqual(low, -33.402545, places=5)
        self.assertAlmostEqual(high, 504.049323, places=5)

    def test_interval_of_all_wins_is_the_clamped_point(self):
        self.assertEqual(strength.elo_interval([1] * 4)[1:], (strength.elo(0.875, 4),) * 3)


class MoveTextTest(unittest.TestCase):
    def test_castling_codes_are_the_king_steps_morva_makes(self):
        for code, step in strength.CASTLING_STEPS.items():
            fen = "r3k2r/8/8/8/8/8/8/R3K2R " + ("w" if step[1] == "1" else "b")
            after = strength.morva_make(CLI, fen, code)
            self.assertEqual(after, strength.morva_make(CLI, fen, step), code)
            self.assertIn(strength.piece_at(after, step[2:]), "Kk", code)

    def test_pawn_reaching_the_far_rank_becomes_a_queen(self):
        self.assertEqual(strength.standard_move("a7a8", "8/P7/8/8/8/8/8/4K2k"), "a7a8q")
        self.assertEqual(strength.standard_move("h2h1", "4k3/8/8/8/8/8/7p/K7"), "h2h1q")
        self.assertEqual(strength.standard_move("a7a8", "8/R7/8/8/8/8/8/4K2k"), "a7a8")
        self.assertEqual(strength.standard_move("e2e4", START), "e2e4")

    def test_piece_at(self):
        self.assertEqual(strength.piece_at(START, "e1"), "K")
        self.assertEqual(strength.piece_at(START, "d8"), "q")
        self.assertEqual(strength.piece_at(START, "h7"), "p")
        self.assertEqual(strength.piece_at(START, "e4"), "")

    def test_pass_flips_the_side_only(self):
        self.assertEqual(strength.morva_make(CLI, START + " w", strength.PASS), START + " b")


    def test_castling_rights_follow_king_and_rook_moves_and_captures(self):
        # A king's step, a castling written as the king's step, a rook leaving
        # its corner and a rook taken there each end their rights.
        for rights, move, after in [("KQkq", "e1e2", "kq"), ("KQkq", "e8g8", "KQ"),
                                    ("KQkq", "h1h5", "Qkq"), ("Qkq", "b7a8", "Qk"),
                                    ("Q", "a1b1", "-"), ("-", "e2e4", "-"), ("KQkq", "d2d4", "KQkq")]:
            self.assertEqual(strength.rights_after(rights, move), after, (rights, move))
        self.assertEqual(strength.castling_fen("r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1"),
                         "r3k2r/8/8/8/8/8/8/R3K2R b Kq")
        self.assertEqual(strength.castling_fen("8/8/8/8/8/8/8/K6k w"), "8/8/8/8/8/8/8/K6k w -")


class SettingTest(unittest.TestCase):
    def test_conf_ini_keeps_the_readers_order_then_the_extras(self):
        setting = strength.parse_setting("7,4,8,10; soundkings=on;threads=1;")
        self.assertEqual(setting, (7, 4, 8, 10, ["soundkings=on", "threads=1"]))
        self.assertEqual(strength.conf_ini(setting),
                         "[ALGO]\nlevel=7;\nprelevel=4;\nmaxlevel=8;\ncomplexity=10;\n"
                         "soundkings=on;\nthreads=1;\n")

    def test_bad_settings(self):
        for text in ("7,4,8", "7,4,8,x", "7,4,8,10;level=3", "7,4,8,10;on"):
            with self.assertRaises(ValueError, msg=text):
                strength.parse_setting(text)


class GamesTest(unittest.TestCase):
    def test_two_games_an_opening_measured_side_white_first(self):
        self.assertEqual(strength.schedule(["x", "y"], 0),
                         [(1, 1, True), (2, 1, False), (3, 2, True), (4, 2, False)])
        self.assertEqual(strength.schedule(["x", "y"], 3), strength.schedule(["x", "y"], 0)[:3])

    def test_openings_are_distinct_positions_morva_reads(self):
        fens = strength.read_openings()
        self.assertGreaterEqual(len(fens), 20)
        self.assertEqual(len({strength.short_fen(f) for f in fens}), len(fens))
        for fen in fens:
            self.assertEqual(len(fen.split()), 6, fen)
            read = subprocess.run([CLI, "make", strength.short_fen(fen)], check=True,
                                  capture_output=True, text=True).stdout
            self.assertEqual(strength.short_fen(read), strength.short_fen(fen))


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    unittest.main()
