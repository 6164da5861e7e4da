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
#include "shell/console.h"

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

// Runs computer_move with its standard output captured.
Choice choose(const Board& b, Side side, bool plain) {
  engine::plain_search = plain;
  engine_test::progress_reports().clear();
  std::ostringstream captured;
  std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
  const rules::Move m = engine::computer_move(b, side);
  shell::print_move(m);
  std::cout.rdbuf(saved);
  engine::plain_search = false;
  return {captured.str(), engine_test::progress_reports()};
}

struct Setting {
  int level, prelevel, maxlevel, complexity, threads;
};

TEST(FastMoveChoice, PrintsWhatThePlainSearchPrints) {
  rules::build_move_tables();
  // The start position is in the book, so its list carries traces and nudges.
  const std::vector<engine_test::BookPosition> book = {
      {rules::board_from_cells(rules::starting_cells),
       {{engine_test::move("e2", "e4"), 1},
        {engine_test::move("d2", "d4"), 0},
        {engine_test::move("c2", "c4"), -1}}}};
  const Setting settings[] = {{1, 1, 1, 0, 1}, {2, 1, 3, 2, 2}, {3, 2, 4, 3, 1}, {3, 1, 4, 2, 2}};
  std::vector<rules::Position> positions = engine_test::random_positions(120, 31, 0, 50);
  positions.insert(positions.begin(),
                   {rules::board_from_cells(rules::starting_cells), rules::WHITE});
  for (const Setting& s : settings) {
    engine_test::ScratchFolder folder(
        engine_test::algo_conf(s.level, s.prelevel, s.maxlevel, s.complexity) +
            "threads=" + std::to_string(s.threads) + ";\n",
        book);
    for (const auto& [b, side] : positions) {
      const Choice plain = choose(b, side, true);
      const Choice fast = choose(b, side, false);
      ASSERT_EQ(fast.printed, plain.printed)
          << rules::fen_of(b, side) << " level " << s.level << " threads " << s.threads;
      ASSERT_EQ(fast.reports, plain.reports) << rules::fen_of(b, side);
    }
  }
}

TEST(FastMoveChoice, SearchesWithoutHeapAllocations) {
  rules::build_move_tables();
  const auto positions = engine_test::random_positions(20, 47, 0, 50);
  engine::maxlevel = 5;
  engine::complexity = 3;
  for (int threads : {1, 2}) {
    engine::set_search_threads(threads);
    engine::start_search_pass();  // the table and the threads are made here, once
    for (const auto& [b, side] : positions) {
      rules::MoveList list;
      const int n = rules::generate_moves(b, side, list);
      allocations = 0;
      counting = true;
      engine::begin_root_pass(b, side, list, n, 3);
      for (int i = 0; i < n; ++i)
        engine::root_entry_value(i, side == rules::WHITE ? -100000.0f : 100000.0f);
      engine::end_root_pass();
      engine::fast_search(b, side, 1, 3, 0.0f);
      counting = false;
      EXPECT_EQ(allocations, 0) << rules::fen_of(b, side) << " threads " << threads;
    }
  }
  engine::set_search_threads(0);
}

}  // namespace
