// The generator and the capture count work on square sets summarised from the
// move table. Here the table itself is walked square by square, the plainest
// reading of its links, and both must agree with that walk on many positions.
#include <gtest/gtest.h>

#include <random>

#include "positions.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"
#include "rules/ray_masks.h"

namespace {

using namespace rules;

constexpr int LIMIT = MOVE_LIST_CAPACITY - 1;

// The walk of one piece: an enemy piece ends the ray after a capture (never
// for a pawn push), an own piece ends it, a free square is a move unless it is
// a pawn diagonal.
int walk_moves(int slot, int from, Bitboard own, Bitboard enemy, MoveList& list, int n) {
  int t = table_entry(slot, from, from).next;
  while (t != NO_SQUARE) {
    const MoveTableEntry& e = table_entry(slot, from, t);
    if (test_bit(enemy, static_cast<Square>(t))) {
      if (e.kind != KIND_MOVE_ONLY && n < LIMIT) list[n++] = move_of(from, t);
      t = e.skip;
    } else if (test_bit(own, static_cast<Square>(t)) || e.kind == KIND_CAPTURE_ONLY) {
      t = e.skip;
    } else {
      if (n < LIMIT) list[n++] = move_of(from, t);
      t = e.next != NO_SQUARE ? e.next : e.skip;
    }
  }
  return n;
}

// The capture count's walk: rays go on through enemy pieces.
int walk_captures(int slot, int from, Bitboard own, Bitboard enemy) {
  int c = 0;
  int t = table_entry(slot, from, from).next;
  while (t != NO_SQUARE) {
    const MoveTableEntry& e = table_entry(slot, from, t);
    if (test_bit(enemy, static_cast<Square>(t))) {
      c += e.kind != KIND_MOVE_ONLY;
      t = e.next != NO_SQUARE ? e.next : e.skip;
    } else if (test_bit(own, static_cast<Square>(t)) || e.kind == KIND_CAPTURE_ONLY) {
      t = e.skip;
    } else {
      t = e.next != NO_SQUARE ? e.next : e.skip;
    }
  }
  return c;
}

// Piece moves by walking the table, in generation order (castling and the end
// entry are left to the generator, whose list is compared up to them).
int walk_piece_moves(const Board& b, Side side, MoveList& list) {
  int n = 0;
  for (PieceType p = KING; p >= PAWN; --p) {
    for (int s = 0; s < SQUARE_COUNT; ++s) {
      if (test_bit(b.pieces[side][p], static_cast<Square>(s))) {
        n = walk_moves(slot_of(side, p), s, b.occupied[side], b.occupied[other_side(side)], list,
                       n);
      }
    }
  }
  return n;
}

int walk_count_captures(const Board& b) {
  int c = 0;
  for (Side side : {BLACK, WHITE}) {
    for (PieceType p = KING; p >= PAWN; --p) {
      for (int s = 0; s < SQUARE_COUNT; ++s) {
        if (test_bit(b.pieces[side][p], static_cast<Square>(s))) {
          c += walk_captures(slot_of(side, p), s, b.occupied[side], b.occupied[other_side(side)]);
        }
      }
    }
  }
  return c;
}

// Random positions: random play from the start, and random scatterings of
// pieces (crowded boards, many queens, pawns on every rank).
std::vector<Board> positions() {
  build_move_tables();
  std::mt19937 random(99);
  std::vector<Board> out;
  for (int game = 0; game < 300; ++game) {
    Board b = board_from_cells(starting_cells);
    Side side = WHITE;
    for (int ply = 0; ply < 80; ++ply) {
      MoveList list;
      const int n = generate_moves(b, side, list);
      b = make_move(b, list[std::uniform_int_distribution<int>(0, n - 1)(random)]);
      side = other_side(side);
      if (ply % 8 == 0) out.push_back(b);
    }
  }
  std::uniform_int_distribution<int> code(-6, 6);
  for (int k = 0; k < 2000; ++k) {
    Cells cells;
    for (int& c : cells) c = random() % 3 == 0 ? code(random) : 0;
    out.push_back(board_from_cells(cells));
  }
  return out;
}

TEST(TableWalk, GeneratorAndCountsAgreeWithTheWalk) {
  for (const Board& b : positions()) {
    EXPECT_EQ(count_captures(b), walk_count_captures(b)) << placement_of(b);
    for (Side side : {WHITE, BLACK}) {
      MoveList walked, generated;
      const int w = walk_piece_moves(b, side, walked);
      const int n = generate_moves(b, side, generated);
      ASSERT_GE(n, w + 1) << placement_of(b);
      for (int i = 0; i < w; ++i) ASSERT_EQ(generated[i], walked[i]) << placement_of(b) << " " << i;
      // After the piece moves come only castlings and the end entry.
      for (int i = w; i + 1 < n; ++i) EXPECT_GE(move_from(generated[i]), CASTLE_WHITE_QUEEN);
      EXPECT_EQ(generated[n - 1], END_MOVE);
      EXPECT_EQ(count_moves(b, side), n - 1) << placement_of(b);
    }
  }
}

TEST(TableWalk, CountStopsAtTheListCapacity) {
  build_move_tables();
  const Board b = test_support::board("QQQQQQQQ/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/KQQQQQQQ w");
  EXPECT_EQ(count_moves(b, WHITE), MOVE_LIST_CAPACITY - 1);
}

}  // namespace
