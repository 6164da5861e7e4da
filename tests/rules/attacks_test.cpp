// Attack sets against the generator: a square is attacked by a side exactly
// when, with an enemy piece standing there, the side's generated list holds a
// move onto it.
#include "rules/attacks.h"

#include <gtest/gtest.h>

#include <random>

#include "rules/make_move.h"
#include "rules/movegen.h"

namespace {

bool attacked_by_generation(rules::Board b, rules::Square s, rules::Side by) {
  const rules::Side enemy = rules::other_side(by);
  b.occupied[enemy] = rules::set_bit(b.occupied[enemy], s);
  for (rules::Bitboard& set : b.pieces[by]) set = rules::clear_bit(set, s);
  b.occupied[by] = rules::clear_bit(b.occupied[by], s);
  rules::MoveList list;
  const int n = rules::generate_moves(b, by, list);
  for (int i = 0; i + 1 < n; ++i) {
    if (rules::move_to(list[i]) == s) return true;
  }
  return false;
}

TEST(Attacks, AgreeWithTheGeneratorOnEverySquare) {
  std::mt19937 random(7);
  int compared = 0;
  for (int game = 0; game < 40; ++game) {
    rules::Board b = rules::board_from_cells(rules::starting_cells);
    rules::Side side = rules::WHITE;
    for (int ply = 0; ply < 80; ++ply) {
      for (rules::Square s = 0; s < rules::SQUARE_COUNT; ++s) {
        // A square a piece of `by` stands on is asked as if it were free.
        for (rules::Side by : {rules::WHITE, rules::BLACK}) {
          if (rules::test_bit(b.occupied[by], s)) continue;
          ASSERT_EQ(rules::attacks_square(b, s, by), attacked_by_generation(b, s, by))
              << "game " << game << " ply " << ply << " square " << int{s} << " by " << int{by};
          ++compared;
        }
      }
      rules::MoveList list;
      const int n = rules::generate_moves(b, side, list);
      b = rules::make_move(b, list[random() % n]);
      side = rules::other_side(side);
      if (b.pieces[rules::WHITE][rules::KING] == 0 || b.pieces[rules::BLACK][rules::KING] == 0)
        break;
    }
  }
  EXPECT_GT(compared, 100000);
}

}  // namespace
