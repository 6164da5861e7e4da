#include "rules/movegen.h"

#include <gtest/gtest.h>

#include <string>

#include "positions.h"

namespace {

using namespace rules;
using test_support::board;
using test_support::moves_of;

struct ListCase {
  const char* what;
  const char* fen;
  const char* moves;
};

// Generation order: king, queens, rooks, bishops, knights, pawns; ascending
// from-squares; the table's walk order; king-side then queen-side castling; end entry.
const ListCase LIST_CASES[] = {
    {"start, white", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",
     "b1a3 b1c3 g1f3 g1h3 a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 "
     "h2h3 h2h4 d13d13"},
    {"start, black", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b",
     "b8a6 b8c6 g8f6 g8h6 a7a6 a7a5 b7b6 b7b5 c7c6 c7c5 d7d6 d7d5 e7e6 e7e5 f7f6 f7f5 g7g6 g7g5 "
     "h7h6 h7h5 d13d13"},
    {"castling without a rook, b1 blocks the queen side", "4k3/8/8/8/8/8/8/1N2K3 w",
     "e1e2 e1d1 e1f1 e1d2 e1f2 b1a3 b1c3 b1d2 f13f13 d13d13"},
    {"black queen on d8 blocks the queen side", "3qk3/8/8/8/8/8/8/4K3 b",
     "e8e7 e8f8 e8d7 e8f7 d8d7 d8d6 d8d5 d8d4 d8d3 d8d2 d8d1 d8c8 d8b8 d8a8 d8c7 d8b6 d8a5 d8e7 "
     "d8f6 d8g5 d8h4 h13h13 d13d13"},
    {"no side pieces", "4k3/8/8/8/8/8/8/8 w", "d13d13"},
    {"king off its home square never castles", "8/8/8/8/8/8/8/5K2 w",
     "f1f2 f1e1 f1g1 f1e2 f1g2 d13d13"},
    {"pawn blocked by any piece", "4k3/8/8/8/8/4n3/4P3/7K w", "h1h2 h1g1 h1g2 d13d13"},
    {"pawn push stops at a piece on e4", "4k3/8/8/8/4p3/8/4P3/7K w", "h1h2 h1g1 h1g2 e2e3 d13d13"},
    {"pawn capture toward file a first", "4k3/8/8/8/8/3n1n2/4P3/7K w",
     "h1h2 h1g1 h1g2 e2e3 e2e4 e2d3 e2f3 d13d13"},
    {"rook ray ends at a capture", "7k/8/8/8/8/p7/8/R6K w",
     "h1h2 h1g1 h1g2 a1a2 a1a3 a1b1 a1c1 a1d1 a1e1 a1f1 a1g1 d13d13"},
    {"black pawn: empty diagonal toward h, capture toward a", "7k/8/8/8/8/8/1p6/R3K3 b",
     "h8h7 h8g8 h8g7 b2b1 b2a1 d13d13"},
};

TEST(GenerateMoves, ListsInTheFixedOrder) {
  for (const ListCase& c : LIST_CASES) {
    const rules::FenResult r = parse_fen(c.fen);
    ASSERT_TRUE(r.position) << c.what;
    EXPECT_EQ(moves_of(r.position->board, r.position->side), c.moves) << c.what;
  }
}

TEST(GenerateMoves, CountIncludesTheEndEntryAndFeedsNodeCount) {
  MoveList list;
  node_count = 5;
  EXPECT_EQ(generate_moves(board("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"), WHITE, list),
            21);
  EXPECT_EQ(node_count, 26U);
  EXPECT_EQ(generate_moves(board("8/8/8/8/8/8/8/8 w"), BLACK, list), 1);
  EXPECT_EQ(list[0], END_MOVE);
  EXPECT_EQ(node_count, 27U);
}

TEST(GenerateMoves, StopsAtTheListCapacity) {
  // A ring of 27 queens and a king around an empty centre: 283 pseudo-legal moves.
  const Board b = board("QQQQQQQQ/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/KQQQQQQQ w");
  MoveList list;
  list.fill(0x7777);
  const int n = generate_moves(b, WHITE, list);
  EXPECT_EQ(n, MOVE_LIST_CAPACITY);
  EXPECT_EQ(list[MOVE_LIST_CAPACITY - 1], END_MOVE);
  for (int i = 0; i + 1 < n; ++i) EXPECT_NE(list[i], END_MOVE) << i;
}

TEST(GenerateMoves, BothCastlingsWhenTheWayIsFree) {
  EXPECT_EQ(moves_of(board("r3k2r/8/8/8/8/8/8/4K3 b"), BLACK).substr(0, 4), "e8e7");
  const std::string white = moves_of(board("4k3/8/8/8/8/8/8/R3K2R w"), WHITE);
  EXPECT_EQ(white.substr(white.size() - 20), "f13f13 e13e13 d13d13");
}

struct CaptureCase {
  const char* what;
  const char* fen;
  int count;
};

TEST(CountCaptures, CountsBothSidesThroughEnemyPieces) {
  const CaptureCase cases[] = {
      {"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", 0},
      {"rook through two pawns", "7k/8/p7/8/p7/8/8/R6K w", 2},
      {"pawns on both diagonals", "k7/8/8/3p1p2/4P3/8/8/7K w", 4},
      {"kings face to face", "8/8/8/4k3/4K3/8/8/8 w", 2},
      {"pawns head on", "k7/8/8/4p3/4P3/8/8/7K w", 0},
      {"own piece ends the ray", "7k/p7/8/8/P7/8/8/R6K w", 0},
  };
  for (const CaptureCase& c : cases) EXPECT_EQ(count_captures(board(c.fen)), c.count) << c.what;
}

TEST(CountCaptures, LeavesNodeCountAlone) {
  node_count = 3;
  count_captures(board("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"));
  EXPECT_EQ(node_count, 3U);
}

}  // namespace
