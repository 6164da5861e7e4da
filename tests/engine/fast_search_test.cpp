// The fast search against the plain one: over many positions and settings,
// every root entry's value must be the same, for the bounds the move choice
// hands to the search.
#include "engine/fast_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/search.h"
#include "random_play.h"
#include "rules/fen.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"

namespace {

using rules::Board;
using rules::Side;

struct Settings {
  int limit, maxlevel, complexity;
};

using rules::Position;

// Runs the plain search, the fast search of one position and the shared root
// pass over every root entry, with the root bound moving as the move choice
// moves it, and compares the values.
void expect_same_values(const Position& p, const Settings& s, int threads) {
  engine::maxlevel = s.maxlevel;
  engine::complexity = s.complexity;
  const engine::PassSettings pass = {s.limit, s.maxlevel, s.complexity};
  rules::MoveList list;
  const int n = rules::generate_moves(p.board, p.side, list);
  const engine::RootPassScope root(p.board, p.side, list, n, pass, threads);
  const bool white = p.side == rules::WHITE;
  float bound = white ? -100000.0f : 100000.0f;
  for (int i = 0; i < n; ++i) {
    const Board child = rules::make_move(p.board, list[i]);
    const Side other = rules::other_side(p.side);
    const std::int32_t expected = engine::search(child, other, 1, s.limit, bound);
    const std::string where = rules::fen_of(p.board, p.side) + " entry " + std::to_string(i) +
                              " limit " + std::to_string(s.limit) + " maxlevel " +
                              std::to_string(s.maxlevel) + " complexity " +
                              std::to_string(s.complexity) + " bound " + std::to_string(bound) +
                              " threads " + std::to_string(threads);
    ASSERT_EQ(engine::fast_search(child, other, 1, pass, bound), expected) << where;
    ASSERT_EQ(engine::root_entry_value(i, bound), expected) << where;
    if (white ? expected > bound : expected < bound) bound = static_cast<float>(expected);
  }
}

TEST(FastSearch, SameValuesAsThePlainSearch) {
  const Settings settings[] = {{1, 1, 0}, {2, 3, 2}, {3, 3, 100000}, {2, 4, 3}, {3, 4, 2}};
  const std::vector<Position> positions = engine_test::random_positions(60, 11, 2, 60);
  for (const Settings& s : settings) {
    for (const Position& p : positions) expect_same_values(p, s, 1);
  }
}

TEST(FastSearch, SameValuesWithSeveralThreads) {
  const Settings settings[] = {{2, 4, 2}, {3, 5, 4}};
  const std::vector<Position> positions = engine_test::random_positions(12, 23, 2, 60);
  for (const Settings& s : settings) {
    for (const Position& p : positions) expect_same_values(p, s, 3);
  }
}

TEST(FastSearch, CountsTheListsOfEveryThread) {
  const std::vector<Position> positions = engine_test::random_positions(1, 5, 2, 60);
  for (int threads : {1, 2}) {
    rules::MoveList list;
    const int n = rules::generate_moves(positions[0].board, positions[0].side, list);
    rules::node_count = 0;
    {
      const engine::RootPassScope root(positions[0].board, positions[0].side, list, n,
                                       {4, 4, 100000}, threads);
      for (int i = 0; i < n; ++i) engine::root_entry_value(i, 0.0f);
    }
    // At least the lists of the root's children are counted, whoever searched them.
    EXPECT_GE(rules::node_count, static_cast<std::uint64_t>(n)) << threads;
  }
}

}  // namespace
