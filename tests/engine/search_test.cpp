// The search: leaf rules, the win shortcut, the single-bound cut-off and the pass.
#include "engine/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "engine/evaluate.h"
#include "engine_test_support.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace {

using engine::search;
using engine::WIN_SCORE;
using engine_test::board;

constexpr int NEVER_BUSY = 100000;
constexpr float NO_CUT_FOR_WHITE = static_cast<float>(WIN_SCORE);   // no score exceeds it
constexpr float NO_CUT_FOR_BLACK = static_cast<float>(-WIN_SCORE);  // no score is below it

const char* const MIDDLE_GAME = "r1bqk2r/p1pp1ppp/2p2n2/8/1b2P3/2N5/PPP2PPP/R1BQKB1R w";

// Returns the number of entries in the list of a side.
std::uint64_t list_size(const rules::Board& b, rules::Side side) {
  rules::MoveList list;
  return static_cast<std::uint64_t>(rules::generate_moves(b, side, list));
}

// Returns the entries written when every child of the first `children` entries
// (all when negative) generates exactly one list, as at limit 2 from the root.
std::uint64_t two_ply_entries(const rules::Board& b, rules::Side side, int children = -1) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, side, list);
  std::uint64_t total = static_cast<std::uint64_t>(n);
  for (int i = 0; i < n && (children < 0 || i < children); ++i) {
    total += list_size(rules::make_move(b, list[i]), rules::other_side(side));
  }
  return total;
}

// Returns the index of the first entry of side's list that captures a king.
int king_capture_index(const rules::Board& b, rules::Side side) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, side, list);
  const rules::Side enemy = rules::other_side(side);
  for (int i = 0; i < n; ++i) {
    if (rules::make_move(b, list[i]).pieces[enemy][rules::KING] == 0) return i;
  }
  return -1;
}

struct Result {
  std::int32_t value;
  std::uint64_t entries;  // entries generated during the search
};

// Runs one search from depth 0 with the given settings.
Result run(const rules::Board& b, rules::Side side, int limit, int maxlevel, int complexity,
           float bound) {
  engine::maxlevel = maxlevel;
  engine::complexity = complexity;
  const std::uint64_t before = rules::node_count;
  const std::int32_t v = search(b, side, 0, limit, bound);
  return {v, rules::node_count - before};
}

TEST(SearchLeaf, DepthCapMakesALeafEvenWhenBusy) {
  // White's queen can take black's queen; every position counts as busy.
  const rules::Board b = board("4k3/8/8/3q4/8/8/3Q4/4K3 w");
  engine::maxlevel = 2;
  engine::complexity = 0;
  const std::uint64_t before = rules::node_count;
  EXPECT_EQ(search(b, rules::WHITE, 2, 0, NO_CUT_FOR_WHITE), engine::evaluate(b));
  EXPECT_EQ(search(b, rules::WHITE, 7, 0, NO_CUT_FOR_WHITE), engine::evaluate(b));
  EXPECT_EQ(rules::node_count, before) << "a leaf generates no moves";
  // One ply above the cap the capture is seen: queen on d5, 1200 + 20.
  EXPECT_EQ(search(b, rules::WHITE, 1, 0, NO_CUT_FOR_WHITE), 1220);
}

TEST(SearchLeaf, MaxlevelOneOrBelowMakesEveryRootReplyALeaf) {
  const rules::Board after_root_move = board(MIDDLE_GAME);
  for (int cap : {1, 0, -3}) {
    engine::maxlevel = cap;
    engine::complexity = 0;
    const std::uint64_t before = rules::node_count;
    EXPECT_EQ(search(after_root_move, rules::BLACK, 1, 5, NO_CUT_FOR_BLACK),
              engine::evaluate(after_root_move))
        << "maxlevel " << cap;
    EXPECT_EQ(rules::node_count, before) << "maxlevel " << cap;
  }
}

TEST(SearchLeaf, EveryWayOfStoppingAtTheSameDepthAgrees) {
  // The nominal limit with no extension, the cap with everything busy, and a
  // limit past the cap all stop every line at the same ply.
  const rules::Board b = board(MIDDLE_GAME);
  for (int plies = 1; plies <= 3; ++plies) {
    const Result by_limit = run(b, rules::WHITE, plies, 10, NEVER_BUSY, NO_CUT_FOR_WHITE);
    const Result by_cap = run(b, rules::WHITE, 0, plies, 0, NO_CUT_FOR_WHITE);
    const Result limit_past_cap =
        run(b, rules::WHITE, plies + 3, plies, NEVER_BUSY, NO_CUT_FOR_WHITE);
    const Result both = run(b, rules::WHITE, plies, plies, 0, NO_CUT_FOR_WHITE);
    for (const Result& r : {by_cap, limit_past_cap, both}) {
      EXPECT_EQ(r.value, by_limit.value) << plies << " plies";
      EXPECT_EQ(r.entries, by_limit.entries) << plies << " plies";
    }
  }
  // And that ply is the right one: one list at the root for one ply, the root's
  // and every child's for two.
  EXPECT_EQ(run(b, rules::WHITE, 0, 10, NEVER_BUSY, NO_CUT_FOR_WHITE).entries, 0U);
  EXPECT_EQ(run(b, rules::WHITE, 1, 10, NEVER_BUSY, NO_CUT_FOR_WHITE).entries,
            list_size(b, rules::WHITE));
  EXPECT_EQ(run(b, rules::WHITE, 2, 10, NEVER_BUSY, NO_CUT_FOR_WHITE).entries,
            two_ply_entries(b, rules::WHITE));
}

TEST(SearchLeaf, BusyPositionAtTheLimitIsExpanded) {
  const rules::Board b = board(MIDDLE_GAME);
  const int captures = rules::count_captures(b);
  ASSERT_GT(captures, 0);
  const Result quiet = run(b, rules::WHITE, 0, 1, captures + 1, NO_CUT_FOR_WHITE);
  EXPECT_EQ(quiet.value, engine::evaluate(b));
  EXPECT_EQ(quiet.entries, 0U);
  // Exactly the threshold is busy; the children stop at the cap of 1.
  const Result busy = run(b, rules::WHITE, 0, 1, captures, NO_CUT_FOR_WHITE);
  EXPECT_EQ(busy.entries, list_size(b, rules::WHITE));
}

struct WinCase {
  const char* fen;
  rules::Side side;
  std::int32_t win;
};

TEST(SearchWin, FirstWinningLineEndsTheNode) {
  const WinCase cases[] = {
      {"4k3/8/8/8/8/8/4R3/4K3 w", rules::WHITE, WIN_SCORE},
      {"4k3/4r3/8/8/8/8/8/4K3 b", rules::BLACK, -WIN_SCORE},
  };
  for (const WinCase& c : cases) {
    const rules::Board b = board(c.fen);
    const int winner = king_capture_index(b, c.side);
    ASSERT_GE(winner, 0) << c.fen;
    ASSERT_LT(winner + 1, static_cast<int>(list_size(b, c.side))) << "entries follow the win";
    const float no_cut = c.side == rules::WHITE ? NO_CUT_FOR_WHITE : NO_CUT_FOR_BLACK;
    const Result r = run(b, c.side, 2, 10, NEVER_BUSY, no_cut);
    EXPECT_EQ(r.value, c.win) << c.fen;
    // Entries after the winning one are neither made nor searched.
    EXPECT_EQ(r.entries, two_ply_entries(b, c.side, winner + 1)) << c.fen;
  }
}

TEST(SearchWin, MissingKingDoesNotStopTheSearch) {
  // White has no king: both sides still move until the limit.
  const rules::Board b = board("4k3/8/8/8/8/8/8/R7 w");
  const Result r = run(b, rules::WHITE, 2, 10, NEVER_BUSY, NO_CUT_FOR_WHITE);
  EXPECT_EQ(r.value, -WIN_SCORE);
  EXPECT_EQ(r.entries, two_ply_entries(b, rules::WHITE));
}

struct BoundCase {
  const char* fen;  // the first entry is a king move; a later one wins the queen
  rules::Side side;
};

TEST(SearchBound, ChildCutsOffAgainstItsParentsBest) {
  const BoundCase cases[] = {
      {"3qk3/8/8/8/8/8/3Q4/4K3 b", rules::BLACK},
      {"4k3/3q4/8/8/8/8/8/3QK3 w", rules::WHITE},
  };
  for (const BoundCase& c : cases) {
    const rules::Board b = board(c.fen);
    const bool white = c.side == rules::WHITE;
    rules::MoveList list;
    const int n = rules::generate_moves(b, c.side, list);
    std::int32_t best = white ? -WIN_SCORE : WIN_SCORE;
    for (int i = 0; i < n; ++i) {
      const std::int32_t v = engine::evaluate(rules::make_move(b, list[i]));
      best = white ? std::max(best, v) : std::min(best, v);
    }
    const std::int32_t first = engine::evaluate(rules::make_move(b, list[0]));
    ASSERT_NE(best, first) << c.fen;
    // Unbounded, the side finds its best reply.
    const float no_cut = white ? NO_CUT_FOR_WHITE : NO_CUT_FOR_BLACK;
    EXPECT_EQ(run(b, c.side, 1, 10, NEVER_BUSY, no_cut).value, best) << c.fen;
    // The parent already has something better than the first reply: stop there.
    const float parent_best = static_cast<float>(white ? first - 1 : first + 1);
    EXPECT_EQ(run(b, c.side, 1, 10, NEVER_BUSY, parent_best).value, first) << c.fen;
    // A reply equal to the parent's best is no reason to stop.
    const std::int32_t at_bound =
        run(b, c.side, 1, 10, NEVER_BUSY, static_cast<float>(first)).value;
    EXPECT_NE(at_bound, first) << c.fen;
  }
}

TEST(SearchPass, PassIsWeighedLikeAMove) {
  // Stalemate: every black king move is taken, so black keeps the pass's value.
  const rules::Board b = board("7k/5K2/8/8/8/3B4/8/8 b");
  rules::MoveList replies;
  const int n = rules::generate_moves(b, rules::WHITE, replies);
  std::int32_t best_reply = -WIN_SCORE;
  for (int i = 0; i < n; ++i) {
    best_reply = std::max(best_reply, engine::evaluate(rules::make_move(b, replies[i])));
  }
  ASSERT_LT(best_reply, WIN_SCORE);
  EXPECT_EQ(run(b, rules::BLACK, 2, 10, NEVER_BUSY, NO_CUT_FOR_BLACK).value, best_reply);
}

TEST(SearchPass, SideWithoutPiecesStillPasses) {
  // Black has nothing to move: its only entry is the pass, searched one ply deeper.
  const rules::Board b = board("8/8/8/8/8/8/8/R3K3 b");
  ASSERT_EQ(list_size(b, rules::BLACK), 1U);
  const Result r = run(b, rules::BLACK, 2, 10, NEVER_BUSY, NO_CUT_FOR_BLACK);
  EXPECT_EQ(r.value, WIN_SCORE);  // no black king
  EXPECT_EQ(r.entries, 1U + list_size(b, rules::WHITE));
}

}  // namespace
