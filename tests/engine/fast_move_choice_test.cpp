// The computer's move with the fast search against the plain one: the same
// move, list, scores, book traces and progress reports over many positions,
// settings and thread counts.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "engine_test_support.h"

namespace {

using namespace engine_test;

// Returns what a choice comes to: the move, whether it is listed, the list
// and its scores, the book's traces, and the progress reports.
auto summary(const Outcome& o) {
  return std::tuple(o.choice.move, o.choice.listed, entries(o.choice), scores(o.choice),
                    o.choice.book_traces, o.reports);
}

TEST(FastMoveChoice, ChoosesWhatThePlainSearchChooses) {
  // The start position is in the book, so its list carries traces and nudges.
  ScratchFolder folder;
  const rules::Position start{rules::board_from_cells(rules::starting_cells), rules::WHITE};
  engine::Engine engine(test_book(
      {{start.board, {{move("e2", "e4"), 1}, {move("d2", "d4"), 0}, {move("c2", "c4"), -1}}}}));
  engine::StrengthSettings settings[] = {strength(1, 1, 1, 0, 1), strength(2, 1, 3, 2, 2),
                                         strength(3, 2, 4, 3, 1), strength(3, 1, 4, 2, 2),
                                         strength(3, 2, 4, 3, 2), strength(2, 1, 3, 2, 1)};
  settings[4].sound_kings = settings[5].sound_kings = true;
  std::vector<rules::Position> positions = random_positions(120, 31, 0, 50);
  positions.insert(positions.begin(), start);
  for (engine::StrengthSettings s : settings) {
    for (const rules::Position& p : positions) {
      s.plain_search = true;
      const Outcome plain = choose(engine, p, s);
      s.plain_search = false;
      const Outcome fast = choose(engine, p, s);
      ASSERT_EQ(summary(fast), summary(plain))
          << rules::fen_of(p.board, p.side) << " level " << s.level << " threads " << s.threads
          << " sound kings " << s.sound_kings;
    }
  }
}

}  // namespace
