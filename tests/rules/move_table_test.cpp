#include "rules/move_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "positions.h"
#include "rules/notation.h"

namespace {

using namespace rules;
using test_support::sq;

// Walks a slot from a square on an empty board, following next (then skip),
// and writes the targets with '|' wherever the walk had to use skip: that is
// where a new ray begins for sliders.
std::string empty_walk(int slot, const char* from) {
  const int f = sq(from);
  std::string out;
  int t = table_entry(slot, f, f).next;
  while (t != NO_SQUARE) {
    if (!out.empty()) out += ' ';
    out += rules::square_name(t);
    const MoveTableEntry& e = table_entry(slot, f, t);
    if (e.next != NO_SQUARE) {
      t = e.next;
    } else {
      t = e.skip;
      if (t != NO_SQUARE) out += " |";
    }
  }
  return out;
}

// Lists the targets of a slot and square in walk order, using only skip to
// hop between rays: the first square of every ray.
std::vector<int> ray_heads(int slot, int f) {
  std::vector<int> heads;
  for (int t = table_entry(slot, f, f).next; t != NO_SQUARE; t = table_entry(slot, f, t).skip) {
    heads.push_back(t);
  }
  return heads;
}

// Counts the squares an empty-board walk visits: every target of the piece.
int target_count(int slot, int f) {
  int n = 0;
  for (int t = table_entry(slot, f, f).next; t != NO_SQUARE; ++n) {
    const MoveTableEntry& e = table_entry(slot, f, t);
    t = e.next != NO_SQUARE ? e.next : e.skip;
  }
  return n;
}

TEST(MoveTable, WorkedWalksOnAnEmptyBoard) {
  struct Case {
    int slot;
    const char* from;
    const char* walk;
  };
  const Case cases[] = {
      {ROOK, "a1", "a2 a3 a4 a5 a6 a7 a8 b1 c1 d1 e1 f1 g1 h1"},
      {BISHOP, "d4", "c5 b6 a7 e5 f6 g7 h8 c3 b2 a1 e3 f2 g1"},
      {QUEEN, "d4",
       "d3 d2 d1 d5 d6 d7 d8 c4 b4 a4 e4 f4 g4 h4 c5 b6 a7 e5 f6 g7 h8 c3 b2 a1 e3 f2 g1"},
      {KING, "e1", "e2 d1 f1 d2 f2"},
      {KING, "d4", "d3 d5 c4 e4 c5 e5 c3 e3"},
      {KNIGHT, "d4", "c2 | e2 | c6 | e6 | b3 | b5 | f3 | f5"},
      {KNIGHT, "b1", "a3 | c3 | d2"},
      {PAWN, "e2", "e3 e4 | d3 | f3"},
      {PAWN, "a2", "a3 a4 | b3"},
      {PAWN, "h7", "h8 | g8"},
      {BLACK_PAWN_SLOT, "e7", "e6 e5 | f6 | d6"},
      {BLACK_PAWN_SLOT, "h7", "h6 h5 | g6"},
      {PAWN, "e1", "e2 | d2 | f2"},
      {BLACK_PAWN_SLOT, "e8", "e7 | f7 | d7"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(empty_walk(c.slot, c.from), c.walk) << c.slot << " " << c.from;
}

TEST(MoveTable, SlidersSkipToTheNextRay) {
  EXPECT_EQ(ray_heads(ROOK, sq("a1")), (std::vector<int>{sq("a2"), sq("b1")}));
  EXPECT_EQ(ray_heads(QUEEN, sq("d4")).size(), 8U);
  const MoveTableEntry& a8 = table_entry(ROOK, sq("a1"), sq("a8"));
  EXPECT_EQ(a8.next, sq("b1"));
  EXPECT_EQ(a8.skip, sq("b1"));
  const MoveTableEntry& h1 = table_entry(ROOK, sq("a1"), sq("h1"));
  EXPECT_EQ(h1.next, NO_SQUARE);
  EXPECT_EQ(h1.skip, NO_SQUARE);
}

TEST(MoveTable, TargetCountsInCorners) {
  for (const char* corner : {"a1", "h1", "a8", "h8"}) {
    EXPECT_EQ(target_count(ROOK, sq(corner)), 14) << corner;
    EXPECT_EQ(ray_heads(ROOK, sq(corner)).size(), 2U) << corner;
    EXPECT_EQ(target_count(KNIGHT, sq(corner)), 2) << corner;
    EXPECT_EQ(target_count(KING, sq(corner)), 3) << corner;
  }
}

TEST(MoveTable, PawnsWithoutTargetsHaveEmptyHeads) {
  for (int file = 0; file < 8; ++file) {
    for (auto [slot, square] : {std::pair{PAWN, 56 + file}, std::pair{BLACK_PAWN_SLOT, file}}) {
      for (int t = 0; t < SQUARE_COUNT; ++t) {
        EXPECT_EQ(table_entry(slot, square, t).next, NO_SQUARE) << slot << " " << square;
        EXPECT_EQ(table_entry(slot, square, t).skip, NO_SQUARE) << slot << " " << square;
      }
      EXPECT_EQ(table_entry(slot, square, square).kind, KIND_ANY);
    }
  }
}

TEST(MoveTable, DoubleStepsOnlyFromTheHomeRank) {
  for (int f = 0; f < SQUARE_COUNT; ++f) {
    for (int t = 0; t < SQUARE_COUNT; ++t) {
      const MoveTableEntry& e = table_entry(PAWN, f, t);
      const bool double_step = e.kind == KIND_MOVE_ONLY && t == f + 16;
      EXPECT_EQ(double_step, f >= 8 && f < 16 && t == f + 16) << f << "-" << t;
      if (double_step) {
        EXPECT_EQ(table_entry(PAWN, f, f + 8).next, t);
        EXPECT_EQ(e.next, NO_SQUARE);
      }
    }
  }
}

TEST(MoveTable, KindCountsAndLinkRanges) {
  int capture_only = 0, move_only = 0;
  for (int slot = 0; slot < SLOT_COUNT; ++slot) {
    for (int f = 0; f < SQUARE_COUNT; ++f) {
      for (int t = 0; t < SQUARE_COUNT; ++t) {
        const MoveTableEntry& e = table_entry(slot, f, t);
        capture_only += e.kind == KIND_CAPTURE_ONLY;
        move_only += e.kind == KIND_MOVE_ONLY;
        for (int link : {int{e.next}, int{e.skip}}) {
          EXPECT_TRUE((link >= 0 && link < 64) || link == NO_SQUARE)
              << slot << " " << f << " " << t;
        }
      }
    }
  }
  EXPECT_EQ(capture_only, 196);
  EXPECT_EQ(move_only, 128);
}

}  // namespace
