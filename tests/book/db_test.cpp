#include "book/db.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book_test_support.h"

namespace {

using namespace book_test;
using book::book_lookup;
using book::book_move;

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";
constexpr const char* AFTER_E4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b";
constexpr const char* KINGS = "4k3/8/8/8/8/8/8/4K3 w";

// Returns the moves collected by the last lookup, as bytes from-to.
std::vector<rules::Move> collected(int count) {
  std::vector<rules::Move> moves;
  for (int i = 0; i < count; ++i) moves.push_back(book_move(i));
  return moves;
}

constexpr auto mv = test_support::move;

class BookReader : public InTempDir {
 protected:
  // Writes both files and loads the index.
  void install(const Bytes& index, const Bytes& chess) {
    write_file("db/index.db", index);
    write_file("db/chess.db", chess);
    ASSERT_TRUE(book::load_book_index_from(book::INDEX_PATH));
  }
  // Looks a position up and returns the count; trace receives what was written.
  int lookup(const char* fen, int mark, std::string* trace = nullptr) {
    OutputCapture capture;
    const int n = book_lookup(board(fen), mark);
    if (trace != nullptr) *trace = capture.text();
    return n;
  }
};

TEST_F(BookReader, EmptyIndexFindsNothingAndWritesNothing) {
  install(index_bytes({}), {});
  EXPECT_TRUE(book::book_index().empty());
  std::string trace;
  EXPECT_EQ(lookup(START, 1, &trace), -1);
  EXPECT_EQ(trace, "");
}

// The 16 stored key bytes of the two-kings position, written literally.
TEST_F(BookReader, ReadsKeyBytesLeastSignificantFirst) {
  Bytes index;
  put(index, 1, 4);
  for (int b : {0x10, 0, 0, 0, 0, 0, 0, 0x10, 0x28, 0, 0, 0, 0, 0, 0, 0x0C}) index.push_back(b);
  put(index, 0, 8);  // offset 0, unused bytes
  Bytes chess;
  add_block(chess, {{sq("e1"), sq("e2"), 1}});
  install(index, chess);
  EXPECT_EQ(lookup(KINGS, 1), 1);
  EXPECT_EQ(book_move(0), mv("e1", "e2"));
}

TEST_F(BookReader, FiltersByMarkInBlockOrder) {
  Bytes chess;
  const auto at = add_block(chess, {{sq("e2"), sq("e4"), 1},
                                    {sq("d2"), sq("d4"), 0},
                                    {sq("c2"), sq("c4"), 1},
                                    {sq("g1"), sq("f3"), 0}});
  install(index_bytes({entry_for(START, at)}), chess);
  EXPECT_EQ(lookup(START, -1), 0);
  ASSERT_EQ(lookup(START, 1), 2);
  EXPECT_EQ(collected(2), (std::vector{mv("e2", "e4"), mv("c2", "c4")}));
  ASSERT_EQ(lookup(START, 0), 2);
  EXPECT_EQ(collected(2), (std::vector{mv("d2", "d4"), mv("g1", "f3")}));
}

// Stored marks are signed bytes; the wanted mark is compared as one too.
TEST_F(BookReader, BlackMarkIsTheByteFF) {
  Bytes chess;
  add_block(chess, {{sq("e7"), sq("e5"), 0xFF}, {sq("c7"), sq("c5"), 1}});
  install(index_bytes({entry_for(AFTER_E4, 0)}), chess);
  ASSERT_EQ(lookup(AFTER_E4, -1), 1);
  EXPECT_EQ(book_move(0), mv("e7", "e5"));
  EXPECT_EQ(lookup(AFTER_E4, 255), 1);
}

TEST_F(BookReader, FirstOfTwoEqualKeysCounts) {
  Bytes chess;
  const auto first = add_block(chess, {{sq("e2"), sq("e4"), 1}});
  const auto second = add_block(chess, {{sq("d2"), sq("d4"), 1}, {sq("c2"), sq("c4"), 1}});
  install(index_bytes({entry_for(START, first), entry_for(START, second)}), chess);
  std::string trace;
  ASSERT_EQ(lookup(START, 1, &trace), 1);
  EXPECT_EQ(book_move(0), mv("e2", "e4"));
  EXPECT_EQ(trace, " (find at pos : 0) ");
}

// Offset -1 marks the position as absent; a later entry with its key is not tried.
TEST_F(BookReader, OffsetMinusOneIsNotFound) {
  Bytes chess;
  const auto at = add_block(chess, {{sq("e2"), sq("e4"), 1}});
  install(index_bytes({entry_for(START, -1), entry_for(START, at)}), chess);
  std::string trace = "unchanged";
  EXPECT_EQ(lookup(START, 1, &trace), -1);
  EXPECT_EQ(trace, "");
}

TEST_F(BookReader, SamePlacementEitherSideToMoveFindsTheSameBlock) {
  Bytes chess;
  add_block(chess, {{sq("e2"), sq("e4"), 1}, {sq("e7"), sq("e5"), -1}});
  install(index_bytes({entry_for(START, 0)}), chess);
  ASSERT_EQ(lookup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b", -1), 1);
  EXPECT_EQ(book_move(0), mv("e7", "e5"));
  ASSERT_EQ(lookup(START, 1), 1);
  EXPECT_EQ(book_move(0), mv("e2", "e4"));
}

TEST_F(BookReader, TraceNamesTheBlockOffset) {
  Bytes chess;
  put(chess, 0, 4);  // four bytes before the block
  const auto at = add_block(chess, {{sq("e2"), sq("e4"), 1}});
  ASSERT_EQ(at, 4);
  install(index_bytes({entry_for(START, at)}), chess);
  std::string trace;
  EXPECT_EQ(lookup(START, 0, &trace), 0);  // found, though no move has mark 0
  EXPECT_EQ(trace, " (find at pos : 4) ");
}

// The list changes only when a lookup collects a move; out-of-range reads
// give the end entry.
TEST_F(BookReader, MoveListKeptByLookupsThatCollectNothing) {
  Bytes chess;
  add_block(chess, {{sq("e2"), sq("e4"), 1}, {sq("d2"), sq("d4"), 1}});
  install(index_bytes({entry_for(START, 0)}), chess);
  ASSERT_EQ(lookup(START, 1), 2);
  EXPECT_EQ(lookup(START, -1), 0);
  EXPECT_EQ(lookup(KINGS, 1), -1);
  EXPECT_EQ(collected(2), (std::vector{mv("e2", "e4"), mv("d2", "d4")}));
  EXPECT_EQ(book_move(2), rules::END_MOVE);
  EXPECT_EQ(book_move(-1), rules::END_MOVE);
}

TEST_F(BookReader, CastlingRecordsKeepTheirCodes) {
  Bytes chess;
  add_block(chess, {{101, 101, 1}, {sq("e1"), sq("d1"), 1}});
  install(index_bytes({entry_for("4k3/8/8/8/8/8/8/R3K2R w", 0)}), chess);
  ASSERT_EQ(lookup("4k3/8/8/8/8/8/8/R3K2R w", 1), 2);
  EXPECT_EQ(book_move(0), rules::castling_move(rules::CASTLE_WHITE_KING));
}

TEST_F(BookReader, MissingIndexIsAnErrorExit) {
  EXPECT_EXIT(
      {
        std::cout.rdbuf(std::cerr.rdbuf());
        book::load_book_index();
      },
      ::testing::ExitedWithCode(255),
      "^ERROR\tcannot open file \\./db/index\\.db\n\tfile db\\.cpp line [0-9]+\n\tcompilation ");
}

// Without chess.db, a lookup that misses goes on; the first hit writes the
// trace and then ends the process.
TEST_F(BookReader, MissingChessDbMattersOnlyOnAHit) {
  write_file("db/index.db", index_bytes({entry_for(START, 12)}));
  book::load_book_index();
  EXPECT_EQ(lookup(KINGS, 1), -1);
  EXPECT_EXIT(
      {
        std::cout.rdbuf(std::cerr.rdbuf());
        book_lookup(board(START), 1);
      },
      ::testing::ExitedWithCode(255),
      "^ \\(find at pos : 12\\) ERROR\tcannot open file \\./db/chess\\.db\n\tfile db\\.cpp line "
      "[0-9]+\n\tcompilation ");
}

// Damaged index files: the entries that are whole and counted are loaded.
TEST_F(BookReader, DamagedIndexFiles) {
  const Entry start = entry_for(START, 0);
  const Entry kings = entry_for(KINGS, 0);
  Bytes truncated = index_bytes(3, {start, kings});
  truncated.resize(truncated.size() + 10, 0xAB);  // part of a third entry
  Bytes short_count = {0x02, 0x00};
  struct Case {
    const char* name;
    Bytes index;
    std::size_t entries;
  } cases[] = {
      {"count larger than the file", truncated, 2},
      {"huge count", index_bytes(0x7FFFFFFF, {start}), 1},
      {"negative count", index_bytes(-2, {start, kings}), 0},
      {"count smaller than the file", index_bytes(1, {start, kings}), 1},
      {"shorter than the count field", short_count, 0},
      {"empty file", {}, 0},
  };
  Bytes chess;
  add_block(chess, {{sq("e2"), sq("e4"), 1}});
  for (const Case& c : cases) {
    install(c.index, chess);
    EXPECT_EQ(book::book_index().size(), c.entries) << c.name;
    EXPECT_EQ(lookup(START, 1), c.entries >= 1 ? 1 : -1) << c.name;
    EXPECT_EQ(lookup(KINGS, 1), c.entries >= 2 ? 1 : -1) << c.name;
  }
}

// Damaged blocks: a position found in the index whose block is missing or
// broken has no records (the trace is still written); a block cut short has
// the whole records present.
TEST_F(BookReader, DamagedBlocks) {
  struct Case {
    const char* name;
    std::int32_t offset;
    Bytes chess;
    int found;
  };
  Bytes good;
  add_block(good, {{sq("e2"), sq("e4"), 1}, {sq("d2"), sq("d4"), 1}});
  Bytes negative_count;
  add_block(negative_count, -3, {{sq("e2"), sq("e4"), 1}});
  Bytes cut_short;
  add_block(cut_short, 10, {{sq("e2"), sq("e4"), 1}, {sq("d2"), sq("d4"), 1}});
  cut_short.push_back(sq("c2"));  // a third record that lost two bytes
  Bytes huge_count;
  add_block(huge_count, 0x7FFFFFFF, {{sq("e2"), sq("e4"), 1}});
  const Case cases[] = {
      {"intact", 0, good, 2},
      {"offset at the end", static_cast<std::int32_t>(good.size()), good, 0},
      {"offset past the end", 1000, good, 0},
      {"offset inside the last count bytes", static_cast<std::int32_t>(good.size()) - 2, good, 0},
      {"negative offset other than -1", -7, good, 0},
      {"smallest offset", INT32_MIN, good, 0},
      {"negative count", 0, negative_count, 0},
      {"records cut short", 0, cut_short, 2},
      {"huge count", 0, huge_count, 1},
      {"empty chess.db", 0, {}, 0},
  };
  for (const Case& c : cases) {
    install(index_bytes({entry_for(START, c.offset)}), c.chess);
    std::string trace;
    EXPECT_EQ(lookup(START, 1, &trace), c.found) << c.name;
    EXPECT_EQ(trace, " (find at pos : " + std::to_string(c.offset) + ") ") << c.name;
  }
}

}  // namespace
