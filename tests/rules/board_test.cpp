#include "rules/board.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "positions.h"

namespace {

using namespace rules;
using test_support::sq;

TEST(Board, StartingCellsGiveTheStartingSets) {
  const Board b = board_from_cells(starting_cells);
  EXPECT_EQ(b.pieces[WHITE][PAWN], 0x000000000000FF00ULL);
  EXPECT_EQ(b.pieces[BLACK][PAWN], 0x00FF000000000000ULL);
  EXPECT_EQ(b.pieces[WHITE][KING], Bitboard{1} << 4);
  EXPECT_EQ(b.pieces[BLACK][KING], Bitboard{1} << 60);
  EXPECT_EQ(b.pieces[WHITE][QUEEN], Bitboard{1} << 3);
  EXPECT_EQ(b.pieces[BLACK][QUEEN], Bitboard{1} << 59);
  EXPECT_EQ(b.pieces[WHITE][ROOK], 0x81ULL);
  EXPECT_EQ(b.pieces[WHITE][KNIGHT], 0x42ULL);
  EXPECT_EQ(b.pieces[WHITE][BISHOP], 0x24ULL);
  EXPECT_EQ(b.occupied[WHITE], 0xFFFFULL);
  EXPECT_EQ(b.occupied[BLACK], 0xFFFF000000000000ULL);
}

// Fixed arrays (the start, none, the start without its white king) and
// random ones read back as they were written; no cell keeps an old value.
TEST(Board, CellsRoundTrip) {
  Cells without_king = starting_cells;
  without_king[sq("e1")] = 0;
  std::vector<Cells> arrays = {starting_cells, Cells{}, without_king};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> code(-6, 6);
  for (int trial = 0; trial < 200; ++trial) {
    arrays.emplace_back();
    for (int& c : arrays.back()) c = code(random);
  }
  for (std::size_t i = 0; i < arrays.size(); ++i) {
    Cells back;
    back.fill(9);
    cells_from_board(board_from_cells(arrays[i]), back);
    ASSERT_EQ(back, arrays[i]) << "array " << i;
  }
  EXPECT_EQ(board_from_cells(Cells{}), Board{});
}

TEST(Board, OccupancyDecidesTheColour) {
  // A white occupancy bit over a black piece set reads as white, found in the
  // white sets only: nothing there, so the code is 0.
  Board b{};
  b.occupied[WHITE] = set_bit(0, sq("d4"));
  b.pieces[BLACK][QUEEN] = set_bit(0, sq("d4"));
  Cells cells;
  cells_from_board(b, cells);
  EXPECT_EQ(cells[sq("d4")], 0);
}

TEST(Bits, WorkOnBothHalves) {
  EXPECT_EQ(set_bit(0, 31), 0x80000000ULL);
  EXPECT_EQ(set_bit(0, 32), 0x100000000ULL);
  EXPECT_EQ(set_bit(0, 63), 0x8000000000000000ULL);
  EXPECT_TRUE(test_bit(0x100000000ULL, 32));
  EXPECT_FALSE(test_bit(0x100000000ULL, 31));
  EXPECT_EQ(clear_bit(~Bitboard{0}, 32), ~0x100000000ULL);
  EXPECT_EQ(clear_bit(~Bitboard{0}, 63), 0x7FFFFFFFFFFFFFFFULL);
  EXPECT_TRUE(is_odd(-3));
  EXPECT_FALSE(is_odd(4));
}

TEST(Squares, FileAndRank) {
  struct Case {
    int square, file, rank;
  };
  for (const Case c : {Case{0, 1, 1}, Case{63, 8, 8}, Case{12, 5, 2}, Case{7, 8, 1}, Case{56, 1, 8},
                       Case{99, 4, 13}, Case{100, 5, 13}, Case{103, 8, 13}}) {
    EXPECT_EQ(file_of(c.square), c.file) << c.square;
    EXPECT_EQ(rank_of(c.square), c.rank) << c.square;
  }
}

}  // namespace
