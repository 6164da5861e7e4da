#include "rules/draw_rules.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "positions.h"
#include "rules/make_move.h"
#include "rules/notation.h"

namespace {

using namespace rules;

// Moves from a start with white to move, and the ply that ends the game drawn (0: none).
const struct {
  const char *what, *start, *moves;
  int drawn_at;
} CASES[] = {
    {"the start a third time", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",
     "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", 8},
    {"a third placement, other side to move", "4k3/8/8/8/8/8/8/R3K3 w",
     "a1a2 e8d8 a2a1 d8e8 a1a3 e8d8 a3a2 d8e8 a2a1", 0},
};

TEST(DrawRules, Repetition) {
  for (const auto& c : CASES) {
    GameHistory h;
    Board b = test_support::board(c.start);
    start_history(h, b);
    std::istringstream moves(c.moves);
    std::string text;
    for (int ply = 1; moves >> text; ++ply) {
      const FoundMove found = find_move(b, static_cast<Side>((ply - 1) % 2), text);
      ASSERT_EQ(found.fault, MoveTextFault::NONE) << c.what << ": " << text;
      add_ply(h, b = make_move(b, found.move));
      EXPECT_EQ(draw_of(h), ply == c.drawn_at ? Draw::REPETITION : Draw::NONE) << c.what << ply;
    }
  }
}

TEST(DrawRules, FiftyMovesWithoutCaptureOrPawnMove) {
  // The white king walks the ranks to and fro, never back, taking a knight at
  // the first ply; the black king steps between h8 and g8. Where black's pawn
  // steps instead, one ply before the count is full, the count starts again.
  for (const int pawn_step : {0, FIFTY_MOVE_PLIES}) {
    GameHistory h;
    Board b = test_support::board("7k/7p/8/8/8/8/8/1Kn5 w");
    start_history(h, b);
    const auto walk = [](int k) {
      return static_cast<Square>(k / 8 * 8 + (k / 8 % 2 ? 7 - k % 8 : k % 8));
    };
    for (int ply = 1; ply <= 1 + FIFTY_MOVE_PLIES; ++ply) {
      const int k = (ply + 1) / 2;
      const Move m = ply == pawn_step ? move_of(55, 47)  // h7-h6, long after the king passed h6
                     : ply % 2        ? move_of(walk(k), walk(k + 1))
                                      : move_of(k % 2 ? 63 : 62, k % 2 ? 62 : 63);
      add_ply(h, b = make_move(b, m));
      const bool drawn = pawn_step == 0 && ply == 1 + FIFTY_MOVE_PLIES;
      EXPECT_EQ(draw_of(h), drawn ? Draw::FIFTY_MOVES : Draw::NONE) << ply << " " << pawn_step;
    }
    drop_plies(h, 2);
    EXPECT_EQ(draw_of(h), Draw::NONE);
  }
}

}  // namespace
