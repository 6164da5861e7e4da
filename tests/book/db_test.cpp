#include "book/db.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "book_test_support.h"

namespace {

using namespace book_test;

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";
constexpr const char* KINGS = "4k3/8/8/8/8/8/8/4K3 w";
constexpr auto mv = test_support::move;

class BookReader : public InTempDir {
 protected:
  // Writes both files and returns the book read from them.
  static book::Book install(const Bytes& index, const Bytes& chess) {
    write_file("db/index.db", index);
    write_file("db/chess.db", chess);
    std::optional<book::Book> b = book::load_book("db");
    EXPECT_TRUE(b.has_value());
    return b.value_or(book::Book{});
  }
};

// The two-kings entry written literally: keys and offset least significant
// byte first, the four unused bytes ignored.
TEST_F(BookReader, ReadsEntryBytesLeastSignificantFirst) {
  Bytes index = {1, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0x10, 0x28, 0, 0, 0, 0, 0, 0, 0x0C};
  for (int b : {0x04, 0x01, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE}) index.push_back(b);
  const book::Book book = install(index, {});
  ASSERT_EQ(book.index.size(), 1U);
  EXPECT_EQ(book.index[0].K1, 0x1000000000000010ULL);
  EXPECT_EQ(book.index[0].K2, 0x0C00000000000028ULL);
  EXPECT_EQ(book.index[0].offset, 0x104);
  EXPECT_TRUE(book::book_lookup(book, board(KINGS)).found);
}

// Which entry a lookup finds: the first of its key, none when that one holds -1.
TEST_F(BookReader, LookupFindsTheFirstEntryOfTheKey) {
  const struct Case {
    const char* name;
    std::vector<Entry> index;
    const char* fen;
    bool found;
    std::int32_t offset;
  } cases[] = {
      {"empty index", {}, START, false, 0},
      {"other position only", {entry_for(KINGS, 0)}, START, false, 0},
      {"second entry", {entry_for(KINGS, 0), entry_for(START, 7)}, START, true, 7},
      {"first of two equal keys", {entry_for(START, 7), entry_for(START, 0)}, START, true, 7},
      {"-1 hides a later entry", {entry_for(START, -1), entry_for(START, 0)}, START, false, 0},
      {"negative offset other than -1", {entry_for(START, -7)}, START, true, -7},
  };
  Bytes chess;
  add_block(chess, {{sq("e2"), sq("e4"), 1}});
  add_block(chess, {{sq("d2"), sq("d4"), 1}});
  for (const Case& c : cases) {
    const book::BookHit hit = book::book_lookup(install(index_bytes(c.index), chess), board(c.fen));
    EXPECT_EQ(hit.found, c.found) << c.name;
    if (c.found) EXPECT_EQ(hit.offset, c.offset) << c.name;
    EXPECT_TRUE(hit.readable) << c.name;
  }
}

// book_count counts every record of the move with the mark, the mark compared
// as the signed byte it is stored as; castling records keep their own code.
TEST_F(BookReader, CountsRecordsOfMoveAndMark) {
  Bytes chess;
  put(chess, 0, 4);  // four bytes before the block
  const std::int32_t at = add_block(chess, {{sq("e2"), sq("e4"), 1},
                                            {sq("d2"), sq("d4"), 0},
                                            {sq("e2"), sq("e4"), 1},
                                            {sq("c2"), sq("c4"), 0xFF},
                                            {sq("g1"), sq("f3"), 0},
                                            {101, 101, 1}});
  const book::Book book = install(index_bytes({entry_for(START, at)}), chess);
  const book::BookHit hit = book::book_lookup(book, board(START));
  ASSERT_TRUE(hit.found);
  ASSERT_EQ(hit.offset, 4);
  const struct Case {
    rules::Move move;
    int mark, count;
  } cases[] = {
      {mv("e2", "e4"), 1, 2},
      {mv("e2", "e4"), 0, 0},
      {mv("d2", "d4"), 0, 1},
      {mv("d2", "d4"), -1, 0},
      {mv("c2", "c4"), -1, 1},
      {mv("c2", "c4"), 255, 1},
      {mv("c2", "c4"), 1, 0},
      {mv("g1", "f3"), 0, 1},
      {rules::castling_move(rules::CASTLE_WHITE_KING), 1, 1},
      {mv("e1", "g1"), 1, 0},
      {mv("a2", "a3"), 1, 0},
  };
  // The book read stays the game's whatever happens to its files later (a
  // package removed or rebuilt under a running game).
  write_file("db/index.db", index_bytes({entry_for(START, 0)}));
  write_file("db/chess.db", {9, 9, 9});
  for (const Case& c : cases) {
    EXPECT_EQ(book::book_count(book, hit, c.move, c.mark), c.count)
        << rules::move_from(c.move) << "-" << rules::move_to(c.move) << " mark " << c.mark;
  }
  EXPECT_EQ(book::book_count(book, book::BookHit{}, mv("e2", "e4"), 1), 0);
}

// Without index.db there is no book; the report the programs then write is
// checked in tests/tools/golden_engine_test.cpp.
TEST_F(BookReader, MissingIndexIsNoBook) {
  write_file("db/chess.db", {});
  EXPECT_FALSE(book::load_book("db").has_value());
  EXPECT_FALSE(book::read_index("db/index.db").has_value());
}

// Without chess.db the book loads; a lookup that misses goes on, the first hit
// says that its block cannot be read and lists nothing.
TEST_F(BookReader, MissingChessDbMattersOnlyOnAHit) {
  write_file("db/index.db", index_bytes({entry_for(START, 12)}));
  const std::optional<book::Book> book = book::load_book();
  ASSERT_TRUE(book.has_value());
  EXPECT_EQ(book->chess_path, "./db/chess.db");
  EXPECT_FALSE(book::book_lookup(*book, board(KINGS)).found);
  const book::BookHit hit = book::book_lookup(*book, board(START));
  EXPECT_TRUE(hit.found);
  EXPECT_FALSE(hit.readable);
  EXPECT_EQ(hit.offset, 12);
  EXPECT_EQ(book::book_count(*book, hit, mv("e2", "e4"), 1), 0);
}

// Damaged index files: the entries that are whole and counted are read.
TEST_F(BookReader, DamagedIndexFiles) {
  const Entry start = entry_for(START, 0);
  const Entry kings = entry_for(KINGS, 0);
  Bytes truncated = index_bytes(3, {start, kings});
  truncated.resize(truncated.size() + 10, 0xAB);  // part of a third entry
  const struct Case {
    const char* name;
    Bytes index;
    std::size_t entries;
  } cases[] = {
      {"count larger than the file", truncated, 2},
      {"huge count", index_bytes(0x7FFFFFFF, {start}), 1},
      {"negative count", index_bytes(-2, {start, kings}), 0},
      {"count smaller than the file", index_bytes(1, {start, kings}), 1},
      {"shorter than the count field", {0x02, 0x00}, 0},
      {"empty file", {}, 0},
  };
  Bytes chess;
  add_block(chess, {{sq("e2"), sq("e4"), 1}});
  for (const Case& c : cases) {
    const book::Book book = install(c.index, chess);
    EXPECT_EQ(book.index.size(), c.entries) << c.name;
    EXPECT_EQ(book::book_lookup(book, board(START)).found, c.entries >= 1) << c.name;
    EXPECT_EQ(book::book_lookup(book, board(KINGS)).found, c.entries >= 2) << c.name;
  }
}

// Damaged blocks: an offset outside the bytes or a negative count gives no
// records, a count beyond the data the whole records present; book_count
// keeps to the same records.
TEST(BookBlocks, DamagedBlocksGiveTheRecordsPresent) {
  Bytes good;
  add_block(good, {{sq("e2"), sq("e4"), 1}, {sq("d2"), sq("d4"), 1}});
  const std::int32_t second = add_block(good, {{sq("d2"), sq("d4"), 1}});
  const auto end = static_cast<std::int32_t>(good.size());
  Bytes negative_count;
  add_block(negative_count, -3, {{sq("e2"), sq("e4"), 1}});
  Bytes cut_short;
  add_block(cut_short, 10, {{sq("e2"), sq("e4"), 1}, {sq("d2"), sq("d4"), 1}});
  cut_short.push_back(sq("c2"));  // a third record that lost two bytes
  Bytes huge_count;
  add_block(huge_count, 0x7FFFFFFF, {{sq("e2"), sq("e4"), 1}});
  const struct Case {
    const char* name;
    std::int32_t offset;
    Bytes chess;
    std::optional<std::int32_t> count;
    std::size_t records;
  } cases[] = {
      {"intact", 0, good, 2, 2},
      {"second block", second, good, 1, 1},
      {"offset at the end", end, good, std::nullopt, 0},
      {"offset inside the last count bytes", end - 2, good, std::nullopt, 0},
      {"offset past the end", 1000, good, std::nullopt, 0},
      {"largest offset", INT32_MAX, good, std::nullopt, 0},
      {"offset -1", -1, good, std::nullopt, 0},
      {"smallest offset", INT32_MIN, good, std::nullopt, 0},
      {"negative count", 0, negative_count, -3, 0},
      {"records cut short", 0, cut_short, 10, 2},
      {"huge count", 0, huge_count, 0x7FFFFFFF, 1},
      {"empty chess.db", 0, {}, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    std::int32_t count = 0;
    EXPECT_EQ(book::read_block_count(c.chess, c.offset, count), c.count.has_value()) << c.name;
    if (c.count) EXPECT_EQ(count, *c.count) << c.name;
    EXPECT_EQ(book::read_book_block(c.chess, c.offset).size(), c.records) << c.name;
    const book::Book book{{}, c.chess, true, ""};
    const book::BookHit hit{true, true, c.offset};
    EXPECT_EQ(book::book_count(book, hit, mv("e2", "e4"), 1) +
                  book::book_count(book, hit, mv("d2", "d4"), 1),
              static_cast<int>(c.records))
        << c.name;
  }
}

}  // namespace
