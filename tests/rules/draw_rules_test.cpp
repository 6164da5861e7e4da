#include "rules/draw_rules.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "positions.h"
#include "rules/make_move.h"
#include "rules/notation.h"

namespace {

using namespace rules;
using test_support::board;

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";

struct DrawCase {
  const char* what;
  const char* start;  // white to move
  const char* moves;
  int drawn_at;  // the ply that ends the game drawn, 0 for none
};

const DrawCase CASES[] = {
    {"the start stands a third time", START, "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", 8},
    {"a pawn move between: earlier positions no longer count", START,
     "g1f3 g8f6 f3g1 f6g8 e2e3 e7e6 g1f3 g8f6 f3g1 f6g8", 0},
    {"a third placement with the other side to move", "4k3/8/8/8/8/8/8/R3K3 w",
     "a1a2 e8d8 a2a1 d8e8 a1a3 e8d8 a3a2 d8e8 a2a1", 0},
    {"a repeated position after castling", "r3k2r/8/8/8/8/8/8/R3K2R w",
     "f13f13 h13h13 g1h1 g8h8 h1g1 h8g8 g1h1 g8h8 h1g1 h8g8", 10},
};

TEST(DrawRules, Repetition) {
  for (const DrawCase& c : CASES) {
    GameHistory h;
    Board b = board(c.start);
    start_history(h, b);
    std::istringstream moves(c.moves);
    std::string text;
    for (int ply = 1; moves >> text; ++ply) {
      const FoundMove found = find_move(b, static_cast<Side>((ply - 1) % 2), text);
      ASSERT_EQ(found.fault, MoveTextFault::NONE) << c.what << ": " << text;
      b = make_move(b, found.move);
      add_ply(h, b);
      EXPECT_EQ(draw_of(h), ply == c.drawn_at ? Draw::REPETITION : Draw::NONE)
          << c.what << ", ply " << ply;
    }
  }
}

TEST(DrawRules, FiftyMovesWithoutCaptureOrPawnMove) {
  // The white king walks the board rank by rank, never back, while the black
  // king steps between h8 and g8; the first ply takes a knight, so the count
  // starts after it.
  GameHistory h;
  Board b = board("7k/8/8/8/8/8/8/1Kn5 w");
  start_history(h, b);
  const auto snake = [](int k) { return (k / 8) * 8 + ((k / 8) % 2 == 0 ? k % 8 : 7 - k % 8); };
  for (int ply = 1; ply <= 1 + FIFTY_MOVE_PLIES; ++ply) {
    const int k = (ply + 1) / 2;  // the white king's k-th step, from the snake's square 1
    b = make_move(b, ply % 2 == 1
                         ? move_of(static_cast<Square>(snake(k)), static_cast<Square>(snake(k + 1)))
                         : move_of(k % 2 == 1 ? 63 : 62, k % 2 == 1 ? 62 : 63));
    add_ply(h, b);
    EXPECT_EQ(draw_of(h), ply == 1 + FIFTY_MOVE_PLIES ? Draw::FIFTY_MOVES : Draw::NONE) << ply;
  }
  drop_plies(h, 2);
  EXPECT_EQ(draw_of(h), Draw::NONE);
}

}  // namespace
