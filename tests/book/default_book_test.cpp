// The default book in data/db, built from the world championship games.
#include <gtest/gtest.h>

#include <optional>

#include "book/book_key.h"
#include "book/db.h"
#include "book_test_support.h"

namespace {

using namespace book_test;

class DefaultBook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { book_ = book::load_book(MORVA_DATA_DIR "/db"); }
  void SetUp() override { ASSERT_TRUE(book_.has_value()); }

  // Returns the lookup of a position, which the book must hold.
  static book::BookHit hit(const char* fen) {
    const book::BookHit h = book::book_lookup(*book_, board(fen));
    EXPECT_TRUE(h.found && h.readable) << fen;
    return h;
  }
  static inline std::optional<book::Book> book_;
};

TEST_F(DefaultBook, StartingPositionComesFirstWithTheMainOpenings) {
  ASSERT_FALSE(book_->index.empty());
  const book::BookKey start = book::book_key(board("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"));
  EXPECT_EQ(book_->index[0].K1, start.K1);
  EXPECT_EQ(book_->index[0].K2, start.K2);
  EXPECT_EQ(book_->index[0].offset, 0);
  const book::BookHit h = hit("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w");
  const auto records = book::read_book_block(book_->chess, h.offset);
  for (int mark : {1, 0, -1}) {
    int with_mark = 0;
    for (const book::BookRecord& r : records) with_mark += r.mark == mark;
    EXPECT_GT(with_mark, 20) << mark;
    EXPECT_GT(book::book_count(*book_, h, move("e2", "e4"), mark), 0) << mark;
    EXPECT_GT(book::book_count(*book_, h, move("d2", "d4"), mark), 0) << mark;
  }
}

// Castling in the games is stored as the castling Move.
TEST_F(DefaultBook, RuyLopezCastlesAsTheCastlingMove) {
  const book::BookHit h = hit("r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R w");
  EXPECT_GT(book::book_count(*book_, h, rules::castling_move(rules::CASTLE_WHITE_KING), 0), 0);
  EXPECT_EQ(book::book_count(*book_, h, move("e1", "g1"), 0), 0);
}

}  // namespace
