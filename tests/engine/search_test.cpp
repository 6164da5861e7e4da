// The search: leaf rules, the win shortcut, the single-bound cut-off and the pass.
#include "engine/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/evaluate.h"
#include "engine_test_support.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace {

using engine::WIN_SCORE;
using namespace engine_test;
using rules::BLACK;
using rules::WHITE;

constexpr int NEVER_BUSY = 100000;

const char* const MIDDLE_GAME = "r1bqk2r/p1pp1ppp/2p2n2/8/1b2P3/2N5/PPP2PPP/R1BQKB1R w";

// Returns the bound no score of side passes: the search never cuts off.
float no_cut(rules::Side side) {
  return static_cast<float>(side == WHITE ? WIN_SCORE : -WIN_SCORE);
}

// Returns the positions after each entry of side's list, in list order.
std::vector<rules::Board> children(const rules::Board& b, rules::Side side) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, side, list);
  std::vector<rules::Board> out;
  for (int i = 0; i < n; ++i) out.push_back(rules::make_move(b, list[i]));
  return out;
}

// Returns the entries written when each of the first `upto` children generates
// exactly one list, as at limit 2 from the root.
std::uint64_t two_ply_entries(const rules::Board& b, rules::Side side,
                              std::size_t upto = rules::MOVE_LIST_CAPACITY) {
  const std::vector<rules::Board> kids = children(b, side);
  std::uint64_t total = kids.size();
  for (std::size_t i = 0; i < std::min(upto, kids.size()); ++i) {
    total += children(kids[i], rules::other_side(side)).size();
  }
  return total;
}

struct Result {
  std::int32_t value;
  std::uint64_t entries;  // entries generated during the search
};

// Runs one search from the given depth, unbounded unless a bound is given.
Result run(const rules::Board& b, rules::Side side, const engine::PassSettings& pass, int depth = 0,
           std::optional<float> bound = std::nullopt) {
  const std::uint64_t before = rules::node_count;
  const std::int32_t v = engine::search(b, side, depth, pass, bound.value_or(no_cut(side)));
  return {v, rules::node_count - before};
}

TEST(SearchLeaf, DepthCapMakesALeafEvenWhenBusy) {
  struct Case {
    const char* fen;
    rules::Side side;
    int depth;
    engine::PassSettings pass;
  };
  // Complexity 0: every position counts as busy. The queens can take each other.
  const char* const queens = "4k3/8/8/3q4/8/8/3Q4/4K3 w";
  const Case cases[] = {
      {queens, WHITE, 2, {0, 2, 0}},
      {queens, WHITE, 7, {0, 2, 0}},
      // A maxlevel of one or below makes every reply to a root entry a leaf.
      {MIDDLE_GAME, BLACK, 1, {5, 1, 0}},
      {MIDDLE_GAME, BLACK, 1, {5, 0, 0}},
      {MIDDLE_GAME, BLACK, 1, {5, -3, 0}},
  };
  for (const Case& c : cases) {
    const Result r = run(board(c.fen), c.side, c.pass, c.depth);
    EXPECT_EQ(r.value, engine::evaluate(board(c.fen))) << c.fen << " depth " << c.depth;
    EXPECT_EQ(r.entries, 0U) << c.fen << " depth " << c.depth << ": a leaf generates no moves";
  }
  // One ply above the cap the capture is seen: queen on d5, 1200 + 20.
  EXPECT_EQ(run(board(queens), WHITE, {0, 2, 0}, 1).value, 1220);
}

TEST(SearchLeaf, EveryWayOfStoppingAtTheSameDepthAgrees) {
  // The nominal limit with no extension, the cap with everything busy, and a
  // limit past the cap all stop every line at the same ply.
  const rules::Board b = board(MIDDLE_GAME);
  for (int plies = 1; plies <= 3; ++plies) {
    const Result by_limit = run(b, WHITE, {plies, 10, NEVER_BUSY});
    for (const engine::PassSettings& pass :
         {engine::PassSettings{0, plies, 0}, engine::PassSettings{plies + 3, plies, NEVER_BUSY},
          engine::PassSettings{plies, plies, 0}}) {
      const Result r = run(b, WHITE, pass);
      EXPECT_EQ(r.value, by_limit.value) << plies << " plies, limit " << pass.limit;
      EXPECT_EQ(r.entries, by_limit.entries) << plies << " plies, limit " << pass.limit;
    }
  }
  // And that ply is the right one: one list at the root for one ply, the root's
  // and every child's for two.
  EXPECT_EQ(run(b, WHITE, {0, 10, NEVER_BUSY}).entries, 0U);
  EXPECT_EQ(run(b, WHITE, {1, 10, NEVER_BUSY}).entries, children(b, WHITE).size());
  EXPECT_EQ(run(b, WHITE, {2, 10, NEVER_BUSY}).entries, two_ply_entries(b, WHITE));
}

TEST(SearchLeaf, BusyPositionAtTheLimitIsExpanded) {
  const rules::Board b = board(MIDDLE_GAME);
  const int captures = rules::count_captures(b);
  ASSERT_GT(captures, 0);
  const Result quiet = run(b, WHITE, {0, 1, captures + 1});
  EXPECT_EQ(quiet.value, engine::evaluate(b));
  EXPECT_EQ(quiet.entries, 0U);
  // Exactly the threshold is busy; the children stop at the cap of 1.
  EXPECT_EQ(run(b, WHITE, {0, 1, captures}).entries, children(b, WHITE).size());
}

TEST(SearchWin, FirstWinningLineEndsTheNode) {
  for (const char* fen : {"4k3/8/8/8/8/8/4R3/4K3 w", "4k3/4r3/8/8/8/8/8/4K3 b"}) {
    const rules::Position p = position(fen);
    const std::vector<rules::Board> kids = children(p.board, p.side);
    const auto winner = static_cast<std::size_t>(
        std::find_if(
            kids.begin(), kids.end(),
            [&](const rules::Board& k) { return rules::king_gone(k, rules::other_side(p.side)); }) -
        kids.begin());
    ASSERT_LT(winner + 1, kids.size()) << fen << ": entries follow the win";
    const Result r = run(p.board, p.side, {2, 10, NEVER_BUSY});
    EXPECT_EQ(r.value, p.side == WHITE ? WIN_SCORE : -WIN_SCORE) << fen;
    // Entries after the winning one are neither made nor searched.
    EXPECT_EQ(r.entries, two_ply_entries(p.board, p.side, winner + 1)) << fen;
  }
}

TEST(SearchWin, MissingKingDoesNotStopTheSearch) {
  // White has no king: both sides still move until the limit.
  const rules::Board b = board("4k3/8/8/8/8/8/8/R7 w");
  const Result r = run(b, WHITE, {2, 10, NEVER_BUSY});
  EXPECT_EQ(r.value, -WIN_SCORE);
  EXPECT_EQ(r.entries, two_ply_entries(b, WHITE));
}

TEST(SearchBound, ChildCutsOffAgainstItsParentsBest) {
  // The first entry is a king move; a later one wins the queen.
  for (const char* fen : {"3qk3/8/8/8/8/8/3Q4/4K3 b", "4k3/3q4/8/8/8/8/8/3QK3 w"}) {
    const rules::Position p = position(fen);
    const bool white = p.side == WHITE;
    std::vector<std::int32_t> values;
    for (const rules::Board& k : children(p.board, p.side)) values.push_back(engine::evaluate(k));
    const std::int32_t best = white ? *std::max_element(values.begin(), values.end())
                                    : *std::min_element(values.begin(), values.end());
    const std::int32_t first = values[0];
    ASSERT_NE(best, first) << fen;
    // Unbounded, the side finds its best reply.
    EXPECT_EQ(run(p.board, p.side, {1, 10, NEVER_BUSY}).value, best) << fen;
    // The parent already has something better than the first reply: stop there.
    const float parent_best = static_cast<float>(white ? first - 1 : first + 1);
    EXPECT_EQ(run(p.board, p.side, {1, 10, NEVER_BUSY}, 0, parent_best).value, first) << fen;
    // A reply equal to the parent's best is no reason to stop.
    EXPECT_NE(run(p.board, p.side, {1, 10, NEVER_BUSY}, 0, static_cast<float>(first)).value, first)
        << fen;
  }
}

TEST(SearchPass, PassIsWeighedLikeAMove) {
  // Stalemate: every black king move is taken, so black keeps the pass's value.
  const rules::Board b = board("7k/5K2/8/8/8/3B4/8/8 b");
  std::int32_t best_reply = -WIN_SCORE;
  for (const rules::Board& k : children(b, WHITE)) {
    best_reply = std::max(best_reply, engine::evaluate(k));
  }
  ASSERT_LT(best_reply, WIN_SCORE);
  EXPECT_EQ(run(b, BLACK, {2, 10, NEVER_BUSY}).value, best_reply);
}

TEST(SearchPass, SideWithoutPiecesStillPasses) {
  // Black has nothing to move: its only entry is the pass, searched one ply deeper.
  const rules::Board b = board("8/8/8/8/8/8/8/R3K3 b");
  ASSERT_EQ(children(b, BLACK).size(), 1U);
  const Result r = run(b, BLACK, {2, 10, NEVER_BUSY});
  EXPECT_EQ(r.value, WIN_SCORE);  // no black king
  EXPECT_EQ(r.entries, 1U + children(b, WHITE).size());
}

}  // namespace
