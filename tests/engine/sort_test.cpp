// sort_by_score: best first for the side, equal scores in their old order.
#include <gtest/gtest.h>

#include <vector>

#include "engine/computer_move.h"

namespace {

struct SortCase {
  rules::Side side;
  std::vector<float> scores;
  std::vector<int> order;  // old positions, in their new order
};

TEST(SortByScore, BestFirstAndStableForBothSides) {
  const std::vector<SortCase> cases = {
      {rules::WHITE, {5, 7, 5, 7, 1}, {1, 3, 0, 2, 4}},
      {rules::BLACK, {5, 7, 5, 7, 1}, {4, 0, 2, 1, 3}},
      {rules::WHITE, {-100000, 0.1f, 0, 0.1f}, {1, 3, 2, 0}},
      {rules::BLACK, {100000, -0.1f, 0, -0.1f}, {1, 3, 2, 0}},
      {rules::WHITE, {3, 3, 3}, {0, 1, 2}},
      {rules::BLACK, {3, 3, 3}, {0, 1, 2}},
      {rules::WHITE, {1}, {0}},
  };
  for (const SortCase& c : cases) {
    std::vector<float> scores = c.scores;
    std::vector<rules::Move> moves;
    for (std::size_t i = 0; i < scores.size(); ++i) moves.push_back(static_cast<rules::Move>(i));
    engine::sort_by_score(scores.data(), moves.data(), static_cast<int>(scores.size()), c.side);
    for (std::size_t i = 0; i < c.order.size(); ++i) {
      EXPECT_EQ(moves[i], c.order[i]) << "side " << int{c.side} << ", place " << i;
      EXPECT_EQ(scores[i], c.scores[static_cast<std::size_t>(c.order[i])]) << "scores move along";
    }
  }
}

TEST(SortByScore, HandlesAFullMoveList) {
  // Longer than a signed 8-bit counter could walk.
  const int count = rules::MOVE_LIST_CAPACITY;
  for (rules::Side side : {rules::WHITE, rules::BLACK}) {
    std::vector<float> scores(count);
    rules::MoveList moves{};
    for (int i = 0; i < count; ++i) {
      scores[i] = static_cast<float>(i % 7);  // many ties
      moves[i] = static_cast<rules::Move>(i);
    }
    engine::sort_by_score(scores.data(), moves.data(), count, side);
    for (int i = 1; i < count; ++i) {
      const bool in_order =
          side == rules::WHITE ? scores[i - 1] >= scores[i] : scores[i - 1] <= scores[i];
      EXPECT_TRUE(in_order) << "place " << i;
      if (scores[i - 1] == scores[i]) {
        EXPECT_LT(moves[i - 1], moves[i]) << "ties keep their order";
      }
      EXPECT_EQ(scores[i], static_cast<float>(moves[i] % 7)) << "scores move along";
    }
  }
}

}  // namespace
