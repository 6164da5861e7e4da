// The computer's move with the fast search against the plain one, byte for
// byte on what it prints (the scored list, book traces) and on the move, and
// the progress reports, over many positions, settings and thread counts; and
// no heap allocation while the fast search runs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/computer_move.h"
#include "engine/fast_search.h"
#include "engine/search.h"
#include "engine_test_support.h"
#include "random_play.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"
#include "rules/notation.h"

// Counts the heap allocations of the whole test program while counting is on.
namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) std::abort();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using rules::Board;
using rules::Side;

struct Choice {
  std::string printed;
  std::vector<float> reports;
};

// Chooses the move with the plain or the fast search; the printed list, the
// move and the progress reports.
Choice choose(const rules::Position& p, engine::StrengthSettings s, bool plain,
              const std::vector<engine_test::BookPosition>& book) {
  s.plain_search = plain;
  const engine_test::Outcome o = engine_test::choose(p, s, book);
  return {o.output + rules::move_text(o.chosen), engine_test::progress_reports()};
}

TEST(FastMoveChoice, PrintsWhatThePlainSearchPrints) {
  // The start position is in the book, so its list carries traces and nudges.
  const std::vector<engine_test::BookPosition> book = {
      {rules::board_from_cells(rules::starting_cells),
       {{engine_test::move("e2", "e4"), 1},
        {engine_test::move("d2", "d4"), 0},
        {engine_test::move("c2", "c4"), -1}}}};
  const engine::StrengthSettings settings[] = {
      engine_test::strength(1, 1, 1, 0, 1), engine_test::strength(2, 1, 3, 2, 2),
      engine_test::strength(3, 2, 4, 3, 1), engine_test::strength(3, 1, 4, 2, 2)};
  std::vector<rules::Position> positions = engine_test::random_positions(120, 31, 0, 50);
  positions.insert(positions.begin(),
                   {rules::board_from_cells(rules::starting_cells), rules::WHITE});
  for (const engine::StrengthSettings& s : settings) {
    for (const rules::Position& p : positions) {
      const Choice plain = choose(p, s, true, book);
      const Choice fast = choose(p, s, false, book);
      ASSERT_EQ(fast.printed, plain.printed)
          << rules::fen_of(p.board, p.side) << " level " << s.level << " threads " << s.threads;
      ASSERT_EQ(fast.reports, plain.reports) << rules::fen_of(p.board, p.side);
    }
  }
}

TEST(FastMoveChoice, SearchesWithoutHeapAllocations) {
  const auto positions = engine_test::random_positions(20, 47, 0, 50);
  const engine::PassSettings pass = {3, 5, 3};
  for (int threads : {1, 2}) {
    for (const auto& [b, side] : positions) {
      rules::MoveList list;
      const int n = rules::generate_moves(b, side, list);
      {
        // The table and the helper threads are made by the first pass.
        const engine::RootPassScope warm_up(b, side, list, n, pass, threads);
      }
      allocations = 0;
      counting = true;
      {
        const engine::RootPassScope root(b, side, list, n, pass, threads);
        for (int i = 0; i < n; ++i)
          engine::root_entry_value(i, side == rules::WHITE ? -100000.0f : 100000.0f);
      }
      engine::fast_search(b, side, 1, pass, 0.0f);
      counting = false;
      EXPECT_EQ(allocations, 0) << rules::fen_of(b, side) << " threads " << threads;
    }
  }
}

}  // namespace
