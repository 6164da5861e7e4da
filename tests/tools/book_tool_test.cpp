// The book maker: books built from small hand-written game texts, checked with
// the book reader, and the morva-book program's reports, errors and dump.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../book/book_test_support.h"
#include "book/db.h"
#include "book_builder.h"
#include "book_writer.h"
#include "run_command.h"
#include "uci_games.h"

namespace {

using namespace book_test;
using book_maker::BookBuilder;

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";

rules::Move mv(const char* from, const char* to) { return rules::move_of(sq(from), sq(to)); }

class BookMaker : public InTempDir {
 protected:
  // Builds a book from text into ./db and reads it.
  void build(const std::string& text, int plies) {
    builder_ = BookBuilder{};
    builder_.plies = plies;
    std::istringstream in(text);
    std::string error;
    ASSERT_TRUE(book_maker::add_games(in, builder_, error)) << error;
    book_maker::BookFiles files;
    ASSERT_TRUE(book_maker::encode_book(builder_.blocks, files, error)) << error;
    ASSERT_TRUE(book_maker::write_book(files, "db", error)) << error;
    book_ = book::load_book("db").value_or(book::Book{});
  }
  // Returns the moves of fen's block with mark, in block order; {} with found
  // false when the position is not in the book.
  std::vector<rules::Move> book_moves(const std::string& fen, int mark, bool* found = nullptr) {
    const book::BookHit hit = book::book_lookup(book_, board(fen));
    if (found != nullptr) *found = hit.found;
    std::vector<rules::Move> moves;
    if (!hit.found) return moves;
    for (const book::BookRecord& r : book::read_book_block(book_.chess, hit.offset)) {
      if (r.mark == mark) moves.push_back(rules::move_of(r.from, r.to));
    }
    return moves;
  }
  BookBuilder builder_;
  book::Book book_;
};

constexpr const char* THREE_GAMES =
    "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1 f8c5 1-0\n"
    "\n"
    "e2e4 e7e5 g1f3 g8f6 0-1\n"
    "\n"
    "d2d4 d7d5 *\n"
    "\n"
    "e2e4 c7c5 1/2-1/2\n";

TEST_F(BookMaker, RecordsEachPositionWithTheResultsMark) {
  build(THREE_GAMES, 8);
  EXPECT_EQ(book_moves(START, 1), std::vector{mv("e2", "e4")});
  EXPECT_EQ(book_moves(START, -1), std::vector{mv("e2", "e4")});
  EXPECT_EQ(book_moves(START, 0),
            std::vector{mv("e2", "e4")});  // d2d4 came from a game without result
  const char* after_e4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b";
  EXPECT_EQ(book_moves(after_e4, 1), std::vector{mv("e7", "e5")});
  EXPECT_EQ(book_moves(after_e4, 0), std::vector{mv("c7", "c5")});
  const char* before_castling = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w";
  EXPECT_EQ(book_moves(before_castling, 1),
            std::vector{rules::castling_move(rules::CASTLE_WHITE_KING)});
  const char* after_castling = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQ1RK1 b";
  EXPECT_EQ(book_moves(after_castling, 1), std::vector{mv("f8", "c5")});

  const book_maker::BuildStats& s = builder_.stats;
  EXPECT_EQ(s.games_read, 4);
  EXPECT_EQ(s.games_used, 3);
  EXPECT_EQ(s.without_result, 1);
  EXPECT_EQ(s.records, 8U + 4U + 2U);
  EXPECT_EQ(builder_.blocks.size(), 8U);  // games 2 and 4 only pass positions of game 1
}

// Entries come in order of first appearance, offsets count from the start of
// chess.db, and the four unused bytes of every entry are zero.
TEST_F(BookMaker, FileLayout) {
  build(THREE_GAMES, 2);
  const Bytes index = read_file("db/index.db");
  const Bytes chess = read_file("db/chess.db");
  const Bytes expected_index = index_bytes(
      {entry_for(START, 0), entry_for("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b", 13)});
  EXPECT_EQ(index, expected_index);  // the helper writes the unused bytes as zero
  // The start position's block: e2e4 with marks 1, -1, 0 (games 1, 2, 4); then
  // the block after e2e4: e7e5 (1), e7e5 (-1), c7c5 (0).
  const Bytes expected_chess = {3, 0, 0, 0, 12, 28, 1, 12, 28, 0xFF, 12, 28, 0,
                                3, 0, 0, 0, 52, 36, 1, 52, 36, 0xFF, 50, 34, 0};
  EXPECT_EQ(chess, expected_chess);
}

TEST_F(BookMaker, LineEndsAtAMoveTheRulesDoNotGenerate) {
  // e5d6 takes en passant, which the rules do not know; a8b8 has no piece.
  build("e2e4 a7a6 e4e5 d7d5 e5d6 a6a5 1-0\n\ng1f3 a8b8 b1c3 0-1\n", 20);
  EXPECT_EQ(builder_.stats.records, 4U + 1U);
  EXPECT_EQ(builder_.stats.ended_not_generated, 2);
  bool found = true;
  book_moves("rnbqkbnr/1pp1pppp/p7/3pP3/8/8/PPPP1PPP/RNBQKBNR w", 1, &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(book_moves(START, -1), std::vector{mv("g1", "f3")});
}

// pgn-extract writes the promotion letter in capitals; either case is read.
TEST_F(BookMaker, QueenPromotionIsRecordedOthersEndTheLine) {
  const std::string line = "a2a4 b7b5 a4b5 a7a6 b5a6 b8c6 a6a7 a8b8 a7b8";
  build(line + "Q g8f6 1-0\n\n" + line + "N g8f6 0-1\n\n" + line + " g8f6 1/2-1/2\n\n" + line +
            "q 1-0\n",
        20);
  EXPECT_EQ(builder_.stats.ended_under_promotion, 1);
  EXPECT_EQ(builder_.stats.records, 10U + 8U + 10U + 9U);
  const char* before = "1rbqkbnr/P1pppppp/2n5/8/8/8/1PPPPPPP/RNBQKBNR w";
  EXPECT_EQ(book_moves(before, 1), (std::vector{mv("a7", "b8"), mv("a7", "b8")}));
  EXPECT_EQ(book_moves(before, 0), std::vector{mv("a7", "b8")});  // no letter: a queen too
  EXPECT_EQ(book_moves(before, -1), std::vector<rules::Move>{});
  const char* after = "1Qbqkbnr/2pppppp/2n5/8/8/8/1PPPPPPP/RNBQKBNR b";
  EXPECT_EQ(book_moves(after, 1), std::vector{mv("g8", "f6")});
}

TEST_F(BookMaker, StopsAfterThePlyLimit) {
  build("e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 1-0\n", 3);
  EXPECT_EQ(builder_.stats.records, 3U);
  bool found = true;
  book_moves("rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b", 1, &found);
  EXPECT_FALSE(found);
}

// Transpositions and repeated placements share one block, records in game order.
TEST_F(BookMaker, SamePlacementSharesOneBlock) {
  build(
      "g1f3 g8f6 b1c3 b8c6 e2e4 1-0\n\nb1c3 b8c6 g1f3 g8f6 d2d4 0-1\n\n"
      "g1f3 g8f6 f3g1 f6g8 c2c4 1/2-1/2\n",
      20);
  const char* four_knights = "r1bqkb1r/pppppppp/2n2n2/8/8/2N2N2/PPPPPPPP/R1BQKB1R w";
  EXPECT_EQ(book_moves(four_knights, 1), std::vector{mv("e2", "e4")});
  EXPECT_EQ(book_moves(four_knights, -1), std::vector{mv("d2", "d4")});
  EXPECT_EQ(book_moves(START, 0), (std::vector{mv("g1", "f3"), mv("c2", "c4")}));
}

// Blank lines of any number, CR LF line ends, and games spread over lines.
TEST_F(BookMaker, ReadsParagraphsLeniently) {
  build("\n\r\ne2e4 e7e5\r\ng1f3 1-0\r\n\r\n\n\nd2d4\n0-1", 20);
  EXPECT_EQ(builder_.stats.games_read, 2);
  EXPECT_EQ(builder_.stats.records, 3U + 1U);
}

TEST(UciGames, MalformedInputNamesGameAndMove) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"e2e4 1-0\n\ne2e4 e7e5 e2e9 1-0\n",
       "game 2 (line 3), move 2 for white: 'e2e9' is not a move in coordinate notation"},
      {"e2e4 1-0 e7e5\n", "game 1 (line 1), move 1 for black: result '1-0' before the end"},
      {"\n\ne2e4 e7e5\n", "game 1 (line 3), move 2 for white: the game ends without a result"},
      {"1. e4 e5 1-0\n", "game 1 (line 1), move 1 for white: '1.' is not a move"},
      {"e2e4 e7e5x 1-0\n", "move 1 for black: 'e7e5x' is not a move"},
      {"e2e4 \x01\x1b[2J 1-0\n", "move 1 for black: '\\x01\\x1b[2J' is not a move"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.text);
    book_maker::UciGame game;
    std::string error;
    int line = 0;
    book_maker::ReadStatus status;
    for (int n = 1;
         (status = book_maker::read_game(in, n, line, game, error)) == book_maker::ReadStatus::GAME;
         ++n) {
    }
    EXPECT_EQ(status, book_maker::ReadStatus::MALFORMED) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

// The program itself: files, reports, errors and the dump.
class BookProgram : public InTempDir {
 protected:
  tools_test::RunResult book(const std::vector<std::string>& args) {
    return tools_test::run(MORVA_BOOK, args, dir_.string());
  }
  void write_text(const char* name, const std::string& text) { std::ofstream(dir_ / name) << text; }
};

TEST_F(BookProgram, BuildsFromAFileOrStandardInputAndReports) {
  write_text("games.uci", THREE_GAMES);
  const auto from_file = book({"--plies", "8", "--out", "book1", "games.uci"});
  ASSERT_EQ(from_file.status, 0) << from_file.err;
  EXPECT_NE(from_file.err.find("4 games read, 3 used, 1 skipped without a result"),
            std::string::npos)
      << from_file.err;
  EXPECT_NE(from_file.err.find("8 positions, 14 records"), std::string::npos) << from_file.err;

  const auto from_stdin = tools_test::run(
      "/bin/sh", {"-c", std::string(MORVA_BOOK) + " --plies 8 --out book2 < games.uci"},
      dir_.string());
  ASSERT_EQ(from_stdin.status, 0) << from_stdin.err;
  EXPECT_EQ(read_file("book1/index.db"), read_file("book2/index.db"));
  EXPECT_EQ(read_file("book1/chess.db"), read_file("book2/chess.db"));
  EXPECT_EQ(from_file.out, "");
}

TEST_F(BookProgram, RejectsMalformedInputWithoutWritingABook) {
  write_text("games.uci", "e2e4 e7e5 1-0\n\ne2e4 e7e5 g1f3 Nc6 0-1\n");
  const auto r = book({"--out", "book", "games.uci"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("game 2 (line 3), move 2 for black: 'Nc6'"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "book"));
}

TEST_F(BookProgram, ReportsProgressOnLargeInputs) {
  std::string many;
  for (int i = 0; i < 1001; ++i) many += "e2e4 e7e5 1-0\n\n";
  write_text("games.uci", many);
  const auto r = book({"--plies", "2", "--out", "book", "games.uci"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("morva-book: 1000 games read\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1001 games read, 1001 used"), std::string::npos) << r.err;
}

TEST_F(BookProgram, DumpListsKeysMovesAndMarks) {
  write_text("games.uci", THREE_GAMES);
  ASSERT_EQ(book({"--plies", "1", "--out", "book", "games.uci"}).status, 0);
  const auto summary = book({"dump", "book"});
  ASSERT_EQ(summary.status, 0) << summary.err;
  EXPECT_EQ(summary.out,
            "index.db: 1 entries (count field 1)\n"
            "chess.db: 13 bytes\n"
            "position 1  key ffff00000000ffff 4003800000000177  offset 0  3 records\n"
            "  e2e4          +1 x1  0 x1  -1 x1\n"
            "total: 1 positions, 3 records\n");
  const auto records = book({"dump", "--records", "book"});
  EXPECT_NE(records.out.find("\n  e2e4 +1  e2e4 -1  e2e4  0\n"), std::string::npos) << records.out;
}

// A run that fails, or that uses no game, leaves the book in the folder as it
// was, byte for byte, with no other file beside it.
TEST_F(BookProgram, FailedOrEmptyRunsLeaveTheOldBook) {
  write_text("games.uci", THREE_GAMES);
  ASSERT_EQ(book({"--out", "book", "games.uci"}).status, 0);
  const Bytes index = read_file(dir_ / "book/index.db"), chess = read_file(dir_ / "book/chess.db");
  std::string many;  // a book of 52 bytes of index.db and 1208 of chess.db
  for (int i = 0; i < 200; ++i) many += "e2e4 e7e5 1-0\n\n";
  write_text("many.uci", many);
  write_text("unfinished.uci", "e2e4 *\n\nd2d4 d7d5 *\n");
  const std::string program = tools_test::shell_quote(MORVA_BOOK);
  // ulimit -f counts blocks of 512 or 1024 bytes: index.db fits, chess.db does not.
  const std::pair<std::string, const char*> runs[] = {
      {program + " --out book </dev/null", "no game gave a book record (0 games read"},
      {program + " --out book unfinished.uci", "(2 games read, 2 without a result)"},
      {"trap '' XFSZ; ulimit -f 1; exec " + program + " --out book many.uci",
       "cannot write book/chess.db: File too large"},
      {"ulimit -f 1; exec " + program + " --out book many.uci", "File too large"},
      {program + " dump book >/dev/full", "cannot write standard output: No space left on device"},
  };
  for (const auto& [command, message] : runs) {
    const auto r = tools_test::run("/bin/sh", {"-c", command}, dir_.string());
    EXPECT_NE(r.status, 0) << command;
    EXPECT_NE(r.err.find(message), std::string::npos) << command << "\n" << r.err;
    EXPECT_EQ(read_file(dir_ / "book/index.db"), index) << command;
    EXPECT_EQ(read_file(dir_ / "book/chess.db"), chess) << command;
    const auto files = std::distance(std::filesystem::directory_iterator(dir_ / "book"), {});
    EXPECT_EQ(files, 2) << command;
  }
  // The last rename fails (a folder named index.db is in the way or, where chattr
  // may set it, index.db is immutable): chess.db goes back as it was.
  const std::string index_db = tools_test::shell_quote(dir_ / "half/index.db");
  for (const bool immutable : {false, true}) {
    std::filesystem::remove_all(dir_ / "half");
    std::filesystem::create_directories(dir_ / (immutable ? "half" : "half/index.db/x"));
    write_text("half/chess.db", "old");
    if (immutable) write_text("half/index.db", "i");
    if (immutable && std::system(("chattr +i " + index_db + " 2>/dev/null").c_str()) != 0) continue;
    EXPECT_EQ(book({"--out", "half", "games.uci"}).status, 1);
    EXPECT_EQ(immutable ? std::system(("chattr -i " + index_db).c_str()) : 0, 0);
    EXPECT_EQ(read_file(dir_ / "half/chess.db"), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "half"), {}), 2);
  }
}

// A damaged book is listed with a note on what is wrong and ends with status 1.
TEST_F(BookProgram, DumpSaysWhatIsDamaged) {
  const Bytes one_block = {1, 0, 0, 0, 12, 28, 1};
  const struct {
    Bytes index, chess;
    const char* note;
  } cases[] = {
      {index_bytes({{1, 2, 100}}), one_block,
       "offset 100  0 records  (damaged: offset past the end"},
      {index_bytes({{1, 2, -5}}), one_block, "offset -5  0 records  (damaged: negative offset)"},
      {index_bytes(3, {{1, 2, 0}}), one_block, "\ndamaged: index.db has 28 bytes, not"},
      {Bytes{1, 0}, one_block, "\ndamaged: index.db is shorter than its count field\n"},
      {index_bytes({{1, 2, 0}}), {0xFF, 0xFF, 0xFF, 0xFF}, "(damaged: negative record count -1)"},
      {index_bytes({{1, 2, 0}}), {5, 0, 0, 0, 12, 28, 1}, "1 record  (damaged: 5 records run past"},
      {index_bytes({{1, 2, 0}, {3, 4, 4}}),
       {1, 0, 0, 0, 0, 0, 0, 0},
       "offset 4  0 records  (damaged: overlaps the block of position 1)\n"},
  };
  std::filesystem::create_directory(dir_ / "book");
  for (const auto& c : cases) {
    write_file(dir_ / "book/index.db", c.index);
    write_file(dir_ / "book/chess.db", c.chess);
    const auto r = book({"dump", "book"});
    EXPECT_EQ(r.status, 1) << c.note;
    EXPECT_NE(r.out.find(c.note), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("morva-book: damaged book in book: "), std::string::npos) << r.err;
  }
  // The offset -1 marks a position as absent: no damage.
  write_file(dir_ / "book/index.db", index_bytes({{1, 2, -1}}));
  EXPECT_EQ(book({"dump", "book"}).status, 0);

  // 300 entries whose blocks all run to the end of the file: listed once.
  std::vector<Entry> entries;
  for (int i = 0; i < 300; ++i) entries.push_back({1, 2, 3 * i});
  write_file(dir_ / "book/index.db", index_bytes(entries));
  write_file(dir_ / "book/chess.db", Bytes(6000, 0x10));
  const auto garbage = book({"dump", "--records", "book"});
  EXPECT_EQ(garbage.status, 1);
  EXPECT_LT(garbage.out.size(), 250U * 300 + 10U * 6000);

  std::filesystem::remove(dir_ / "book/chess.db");
  std::filesystem::create_directory(dir_ / "book/chess.db");
  const auto folder = book({"dump", "book"});
  EXPECT_EQ(folder.status, 1);
  EXPECT_EQ(folder.err, "morva-book: cannot open book/chess.db: not a regular file\n");
}

}  // namespace
