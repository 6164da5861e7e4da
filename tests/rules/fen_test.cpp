#include "rules/fen.h"

#include <gtest/gtest.h>

#include "positions.h"

namespace {

using namespace rules;

TEST(Fen, ReadsPlacementAndSide) {
  const FenResult r = parse_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
  ASSERT_TRUE(r.position);
  EXPECT_EQ(r.position->board, board_from_cells(starting_cells));
  EXPECT_EQ(r.position->side, BLACK);
}

TEST(Fen, OtherFieldsMayBeAbsent) {
  for (const char* fen : {"8/8/8/8/8/8/8/K7 w", "8/8/8/8/8/8/8/K7", "  8/8/8/8/8/8/8/K7  w  "}) {
    const FenResult r = parse_fen(fen);
    ASSERT_TRUE(r.position) << fen << ": " << r.error;
    EXPECT_EQ(r.position->side, WHITE) << fen;
    EXPECT_EQ(r.position->board.pieces[WHITE][KING], 1U) << fen;
  }
}

TEST(Fen, RejectsMalformedInput) {
  const char* bad[] = {"",
                       "   ",
                       "8/8/8/8/8/8/8 w",
                       "8/8/8/8/8/8/8/8/8 w",
                       "9/8/8/8/8/8/8/8 w",
                       "8/8/8/8/8/8/8/7 w",
                       "8/8/8/8/8/8/8/ppppppppp w",
                       "8/8/8/8/8/8/8/x7 w",
                       "8/8/8/8/8/8/8/8 x",
                       "8/8/8/8/8/8/8/44p w",
                       "8/8/8/8/8/8/8/8 white"};
  for (const char* fen : bad) {
    const FenResult r = parse_fen(fen);
    EXPECT_FALSE(r.position) << "'" << fen << "'";
    EXPECT_FALSE(r.error.empty()) << "'" << fen << "'";
    EXPECT_EQ(r.error.find('\n'), std::string::npos);
  }
}

TEST(Fen, WritesWhatItReads) {
  for (const char* placement : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "8/8/8/8/8/8/8/8",
                                "r3k2r/1P4P1/8/3pP3/8/8/1p4p1/R3K2R", "7k/8/8/8/8/8/8/K7"}) {
    const FenResult r = parse_fen(placement);
    ASSERT_TRUE(r.position);
    EXPECT_EQ(placement_of(r.position->board), placement);
    EXPECT_EQ(fen_of(r.position->board, BLACK), std::string(placement) + " b - - 0 1");
  }
}

}  // namespace
