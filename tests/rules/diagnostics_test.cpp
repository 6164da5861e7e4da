#include "rules/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "positions.h"

namespace {

using namespace rules;

std::string captured(void (*print)()) {
  ::testing::internal::CaptureStdout();
  print();
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

std::string lines(const std::string& line, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += line + "\n";
  return out;
}

TEST(PrintBitboard, RanksTopDownFilesLeftToRight) {
  EXPECT_EQ(captured([] { print_bitboard(0); }), lines("00000000", 8));
  EXPECT_EQ(captured([] { print_bitboard(1); }), lines("00000000", 7) + "10000000\n");
  EXPECT_EQ(captured([] { print_bitboard(Bitboard{1} << 63); }),
            "00000001\n" + lines("00000000", 7));
  EXPECT_EQ(captured([] { print_bitboard(0xFFFF); }), lines("00000000", 6) + lines("11111111", 2));
}

TEST(PrintTableRow, RookOnA1) {
  build_move_tables();
  const std::string out = captured([] { print_table_row(move_table.entry[ROOK][0]); });
  std::string rank1;
  const char* cells[] = {"|8 99", "|2 99", "|3 99", "|4 99", "|5 99", "|6 99", "|7 99"};
  for (const char* cell : cells) rank1 += std::string(cell) + '\0' + '\t';
  rank1 += "|      \t\n";
  ASSERT_GE(out.size(), rank1.size());
  EXPECT_EQ(out.substr(out.size() - rank1.size()), rank1);
  // The a-file squares above a1 continue the ray; a8 leads to b1.
  EXPECT_EQ(out.substr(0, 10), std::string("|1 1") + '\0' + '\t' + "|   ");
}

TEST(PrintTableRow, SquareWithoutTargetsIsEmpty) {
  build_move_tables();
  const std::string out = captured([] { print_table_row(move_table.entry[PAWN][60]); });
  std::string empty_rank;
  for (int i = 0; i < 8; ++i) empty_rank += "|      \t";
  EXPECT_EQ(out, lines(empty_rank, 8));
}

}  // namespace
