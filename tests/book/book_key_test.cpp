#include "book/book_key.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "book_test_support.h"

namespace {

using book::book_key;
using book::BookKey;
using book_test::board;

constexpr const char* KINGS = "4k3/8/8/8/8/8/8/4K3 w - - 0 1";

TEST(BookKey, TwoKingsWorkedExample) {
  const BookKey k = book_key(board(KINGS));
  EXPECT_EQ(k.K1, 0x1000000000000010ULL);
  EXPECT_EQ(k.K2, 0x0C00000000000028ULL);
}

// Bits shifted past h8 or below a1 are lost: the piece changes K1 only.
TEST(BookKey, BitsShiftedOffTheBoardAreLost) {
  const BookKey kings = book_key(board(KINGS));
  struct Case {
    const char* fen;
    std::uint64_t k1_bit;
  } cases[] = {
      {"4k2Q/8/8/8/8/8/8/4K3 w - - 0 1", 1ULL << 63},  // white queen h8: set and queen << 1
      {"4k3/8/8/8/8/8/8/r3K3 w - - 0 1", 1ULL << 0},   // black rook a1: set and rooks >> 1
  };
  for (const Case& c : cases) {
    const BookKey k = book_key(board(c.fen));
    EXPECT_EQ(k.K1, kings.K1 | c.k1_bit) << c.fen;
    EXPECT_EQ(k.K2, kings.K2) << c.fen;
  }
}

// The colour sets enter K2 only: a Board holding nothing but a white set of a1
// has K1 = 0 and K2 = a1 shifted left by one.
TEST(BookKey, ColourSetsEnterOnlyK2) {
  rules::Board b{};
  b.occupied[rules::WHITE] = 1;
  b.occupied[rules::BLACK] = 1ULL << 8;
  const BookKey k = book_key(b);
  EXPECT_EQ(k.K1, 0U);
  EXPECT_EQ(k.K2, (1ULL << 1) ^ (1ULL << 7));
}

// Reference keys of many positions: FEN, a tab, K1 and K2 in hexadecimal.
TEST(BookKey, MatchesReferenceKeys) {
  std::ifstream in(MORVA_TEST_DATA_DIR "/golden/book/keys.txt");
  ASSERT_TRUE(in.good());
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const BookKey k = book_key(board(line.substr(0, tab)));
    char text[40];
    std::snprintf(text, sizeof text, "%016llx %016llx", static_cast<unsigned long long>(k.K1),
                  static_cast<unsigned long long>(k.K2));
    EXPECT_EQ(text, line.substr(tab + 1)) << line.substr(0, tab);
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
