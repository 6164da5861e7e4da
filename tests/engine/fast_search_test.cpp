// The root pass against the plain search: over many positions, settings and
// thread counts, every root entry's value must be the plain search's, for the
// bounds the move choice hands to the search, with no heap allocation once
// the helper threads run; and the lists the helpers generate are counted.
// The table's preparation maps every page and keeps what the table holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "engine/club_search.h"
#include "engine/engine.h"
#include "engine/root_pass.h"
#include "engine/search.h"
#include "engine/transposition.h"
#include "engine_test_support.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

// Counts the heap allocations of the whole test program while counting is on
// (but for a ThreadSanitizer build, whose runtime owns operator new).
namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

#ifndef MORVA_NO_ALLOCATION_COUNT
void* operator new(std::size_t size) {
  if (counting) ++allocations;
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) std::abort();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace {

using rules::Position;

// The bound a root pass starts with: no value is worse for side.
float worst_for(rules::Side side) { return side == rules::WHITE ? -100000.0f : 100000.0f; }

// Opens a root pass over every entry of p's list, with the root bound moving
// as the move choice moves it, and compares each value with the plain search's.
void expect_same_values(engine::RootPass& root, const Position& p, const engine::PassSettings& pass,
                        int threads) {
  rules::MoveList list;
  const int n = rules::generate_moves(p.board, p.side, list);
  std::vector<std::int32_t> plain(n), shared(n);
  allocations = 0;
  counting = true;
  {
    engine::RootPassScope scope(root, p.board, p.side, list, n, pass, threads);
    float bound = worst_for(p.side);
    for (int i = 0; i < n; ++i) {
      const rules::Board child = rules::make_move(p.board, list[i]);
      plain[i] = engine::search(child, rules::other_side(p.side), 1, pass, bound);
      shared[i] = scope.value(i, bound).value_or(-1);
      if (p.side == rules::WHITE ? plain[i] > bound : plain[i] < bound) bound = plain[i];
    }
  }
  counting = false;
  ASSERT_EQ(shared, plain) << rules::fen_of(p.board, p.side) << " limit " << pass.limit
                           << " maxlevel " << pass.maxlevel << " complexity " << pass.complexity
                           << " sound kings " << pass.sound_kings << " threads " << threads;
  EXPECT_EQ(allocations, 0) << rules::fen_of(p.board, p.side) << " threads " << threads;
}

TEST(RootPass, SameValuesAsThePlainSearch) {
  struct Case {
    int threads;
    std::vector<engine::PassSettings> settings;
    int positions;
    unsigned seed;
  };
  const Case cases[] = {
      {1, {{1, 1, 0}, {2, 3, 2}, {3, 3, 100000}, {2, 4, 3}, {3, 4, 2}}, 60, 11},
      {3, {{2, 4, 2}, {3, 5, 4}}, 12, 23},
      // Sound kings: lines end at a captured king, wins scored by distance.
      {1, {{1, 1, 0, true}, {2, 3, 2, true}, {3, 4, 2, true}, {4, 4, 100000, true}}, 60, 31},
      {3, {{2, 4, 2, true}, {3, 5, 4, true}}, 12, 37},
  };
  engine::TranspositionTable table;
  table.reserve(16);
  engine::RootPass root(table);
  for (const Case& c : cases) {
    const std::vector<Position> positions =
        engine_test::random_positions(c.positions, c.seed, 2, 60);
    // The helper threads are started by the first pass that needs them.
    engine::RootPassScope(root, positions[0].board, positions[0].side, {}, 0, {}, c.threads);
    for (const engine::PassSettings& pass : c.settings) {
      for (const Position& p : positions) expect_same_values(root, p, pass, c.threads);
    }
  }
}

TEST(RootPass, CountsTheListsOfTheHelpers) {
  // The helpers search entries ahead as soon as the pass opens; what they
  // generate reaches the caller's count when the pass closes, and only then.
  const Position p = engine_test::position("r1bqk2r/p1pp1ppp/2p2n2/8/1b2P3/2N5/PPP2PPP/R1BQKB1R w");
  rules::MoveList list;
  const int n = rules::generate_moves(p.board, p.side, list);
  for (int threads : {1, 2}) {
    // A fresh table each time: nothing is found that the other pass searched.
    engine::TranspositionTable table;
    table.reserve(16);
    engine::RootPass root(table);
    std::uint64_t at_close = 0;
    {
      engine::RootPassScope scope(root, p.board, p.side, list, n, {4, 4, 100000}, threads);
      for (int i = 0; i < n; ++i) ASSERT_TRUE(scope.value(i, worst_for(p.side)));
      at_close = rules::node_count;
    }
    const std::uint64_t added = rules::node_count - at_close;
    // Nothing without a helper; the helper's lists with one.
    EXPECT_EQ(added > 0, threads > 1) << added << " entries added, threads " << threads;
  }
}

std::uint64_t resident_bytes() {
  std::uint64_t size = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> size >> resident;
  return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

TEST(TablePreparation, EveryPageMappedAndTheEntriesKept) {
  engine::TranspositionTable table;
  table.reserve(32);
  const std::atomic<bool> go_on{false};
  const std::uint64_t before = resident_bytes();
  table.touch_pages(go_on);
  EXPECT_GE(resident_bytes() - before, table.bytes());
  // Positions spread over the buckets, the touched ones among them.
  const std::vector<Position> positions = engine_test::random_positions(3000, 5, 2, 60);
  const auto value_of = [](const engine::TableKey& key) { return int(key.position % 100000); };
  for (const Position& p : positions) {
    const engine::TableKey key = engine::table_key(p.board, p.side, 3, 0);
    table.store(key, 3, engine::Bound::EXACT, value_of(key), rules::move_of(12, 28));
  }
  table.touch_pages(go_on);
  int kept = 0;
  for (const Position& p : positions) {
    const engine::TableKey key = engine::table_key(p.board, p.side, 3, 0);
    kept += table.probe(key).value == value_of(key);
  }
  EXPECT_EQ(kept, std::ssize(positions));
}

TEST(TablePreparation, AChoiceRightAfterItWaitsForIt) {
  // A search of another size maps the table anew: without the wait it would
  // race with the preparation (as the ThreadSanitizer build sees).
  const rules::Position p =
      engine_test::position("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b");
  engine::StrengthSettings settings = engine_test::strength(3, 2, 4, 4);
  const engine::MoveChoice plain = engine_test::choose(p, settings).choice;
  engine::Engine engine;
  engine.prepare_table(256);
  settings.hash_mib = 1;
  EXPECT_EQ(engine_test::record_of(engine_test::choose(engine, p, settings).choice),
            engine_test::record_of(plain));
}

// The club search allocates nothing once its table is mapped: a whole choice
// at a club setting, variety's tests included.
TEST(ClubSearch, AllocatesNothingOnceItsTableIsMapped) {
  const auto searcher = std::make_unique<engine::club::Searcher>();
  searcher->table.reserve(16);
  engine::PassSettings pass;
  pass.club = pass.legal_castling = true;
  pass.limit = 20;
  pass.node_budget = 3000;
  pass.variety = 20;
  pass.castling_rights = 0b1111;
  const engine::SearchHost host;
  for (const Position& p : engine_test::random_positions(30, 41, 2, 60)) {
    engine::MoveChoice choice;
    engine::StopLook stop{&host};
    allocations = 0;
    counting = true;
    engine::club::choose(*searcher, p.board, p.side, pass, 16, stop, choice);
    counting = false;
    EXPECT_EQ(allocations, 0) << rules::fen_of(p.board, p.side);
  }
}

}  // namespace
