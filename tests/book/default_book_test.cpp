// The default book in data/db, built from the world championship games.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "book/book_key.h"
#include "book/db.h"
#include "book_test_support.h"

namespace {

using namespace book_test;

class DefaultBook : public ::testing::Test {
 protected:
  void SetUp() override { book::load_book_index(); }

  // Returns the moves of a lookup; count receives its result.
  std::vector<rules::Move> moves(const char* fen, int mark, int& count) {
    OutputCapture quiet;
    count = book::book_lookup(board(fen), mark);
    std::vector<rules::Move> found;
    for (int i = 0; i < count; ++i) found.push_back(book::book_move(i));
    return found;
  }
  static bool has(const std::vector<rules::Move>& list, rules::Move m) {
    return std::find(list.begin(), list.end(), m) != list.end();
  }
  ScratchFolder folder_{MORVA_DATA_DIR};
};

TEST_F(DefaultBook, StartingPositionComesFirstWithTheMainOpenings) {
  ASSERT_FALSE(book::book_index().empty());
  const book::BookKey start = book::book_key(board("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"));
  EXPECT_EQ(book::book_index()[0].K1, start.K1);
  EXPECT_EQ(book::book_index()[0].K2, start.K2);
  EXPECT_EQ(book::book_index()[0].offset, 0);
  for (int mark : {1, 0, -1}) {
    int n = 0;
    const auto list = moves("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", mark, n);
    EXPECT_GT(n, 20) << mark;
    EXPECT_TRUE(has(list, rules::move_of(sq("e2"), sq("e4")))) << mark;
    EXPECT_TRUE(has(list, rules::move_of(sq("d2"), sq("d4")))) << mark;
  }
}

// Castling in the games is stored as the castling Move.
TEST_F(DefaultBook, RuyLopezCastlesAsTheCastlingMove) {
  int n = 0;
  const auto list = moves("r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R w", 0, n);
  EXPECT_GT(n, 0);
  EXPECT_TRUE(has(list, rules::castling_move(rules::CASTLE_WHITE_KING)));
  EXPECT_FALSE(has(list, rules::move_of(sq("e1"), sq("g1"))));
}

}  // namespace
