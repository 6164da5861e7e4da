// The static score: king loss first, then material, then the two centre sets.
#include "engine/evaluate.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "engine_test_support.h"

namespace {

using engine::evaluate;
using engine_test::board;

struct EvalCase {
  const char* what;
  const char* fen;
  int score;
};

const EvalCase EVAL_CASES[] = {
    {"starting position", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", 0},
    {"e2-e4: a pawn on a centre square", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b", 20},
    {"g1-f3: a knight on a ring square", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b", 10},
    {"e2-e4 e7-e5", "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w", 0},
    {"d4 is a centre square only: 20, not 30", "4k3/8/8/8/3N4/8/8/4K3 w", 500 + 20},
    {"a king on e4 earns the centre bonus", "4k3/8/8/8/4K3/8/8/8 w", 20},
    {"a black king on c6 costs white the ring bonus", "8/8/2k5/8/8/8/8/4K3 w", -10},
    {"queen d5 against rook c6", "r3k3/8/2r5/3Q4/8/8/8/4K3 w", 1200 + 20 - 2 * 600 - 10},
    {"the same mirrored", "4k3/8/8/8/3q4/2R5/8/R3K3 w", -(1200 + 20 - 2 * 600 - 10)},
    {"piece values: knight 500, bishop 400, rook 600", "4k3/8/8/8/8/8/8/NBR1K3 w", 500 + 400 + 600},
    {"promoted queens count each", "4k3/8/8/8/8/8/8/QQQ1K3 w", 3 * 1200},
    {"black pawns and the ring", "4k3/8/8/8/2p2p2/8/8/4K3 w", -2 * 100 - 2 * 10},
    {"black king gone outweighs black material", "qqqq4/8/8/8/8/8/8/4K3 w", engine::WIN_SCORE},
    {"white king gone", "4k3/8/8/8/8/8/8/QQQQ4 w", -engine::WIN_SCORE},
    {"no king at all counts as a white loss", "8/8/8/3Q4/8/8/8/8 w", -engine::WIN_SCORE},
};

TEST(Evaluate, WorkedValues) {
  for (const EvalCase& c : EVAL_CASES) {
    EXPECT_EQ(evaluate(board(c.fen)), c.score) << c.what;
  }
}

// Returns the set of the named squares.
rules::Bitboard squares(std::initializer_list<const char*> names) {
  rules::Bitboard set = 0;
  for (const char* name : names) set = rules::set_bit(set, engine_test::sq(name));
  return set;
}

TEST(Evaluate, EveryRingAndCentreSquareCounts) {
  const rules::Bitboard ring =
      squares({"c3", "d3", "e3", "f3", "c4", "f4", "c5", "f5", "c6", "d6", "e6", "f6"});
  const rules::Bitboard centre = squares({"d4", "e4", "d5", "e5"});
  EXPECT_EQ(engine::CENTRE_RING, ring);
  EXPECT_EQ(engine::CENTRE_SQUARES, centre);
  // One white pawn at a time on every square from rank 2 to rank 7.
  const rules::Board kings = board("k7/8/8/8/8/8/8/7K w");
  for (rules::Square s = 8; s < 56; ++s) {
    rules::Board b = kings;
    b.pieces[rules::WHITE][rules::PAWN] = rules::set_bit(0, s);
    b.occupied[rules::WHITE] = rules::set_bit(b.occupied[rules::WHITE], s);
    const int bonus = rules::test_bit(centre, s) ? 20 : rules::test_bit(ring, s) ? 10 : 0;
    EXPECT_EQ(evaluate(b), 100 + bonus) << "square " << int{s};
  }
}

}  // namespace
