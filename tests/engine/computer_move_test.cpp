// The computer's move: both passes, the book nudges, the printed list, the
// choice of the returned entry and the progress reports.
#include "engine/computer_move.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "book/db.h"
#include "engine_test_support.h"
#include "rules/movegen.h"
#include "rules/notation.h"

namespace {

using engine_test::BookPosition;
using engine_test::BookRecord;
using engine_test::choose;
using engine_test::move;
using engine_test::Outcome;
using engine_test::strength;
using rules::move_text;

// Every root entry scored by the evaluation right after it: easy to foresee.
const engine::StrengthSettings ONE_PLY = strength(1, 1, 1, 0);
const engine::StrengthSettings GOLDEN_SETTINGS = strength(2, 1, 3, 2);

// Runs computer_move, which reads ./conf.ini, without a book; collects what it writes.
Outcome think(const rules::Position& p) {
  engine_test::progress_reports().clear();
  book::load_book_index_from("");
  test_support::OutputCapture out;
  const rules::Move m = engine::computer_move(p.board, p.side);
  return {m, out.text()};
}

// Returns the lines of a text.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Returns count copies of one book record.
std::vector<BookRecord> repeated(rules::Move m, int mark, int count) {
  return std::vector<BookRecord>(static_cast<std::size_t>(count), BookRecord{m, mark});
}

// Returns the root list of a position.
std::vector<rules::Move> root_list(const rules::Position& p) {
  rules::MoveList list;
  const int n = rules::generate_moves(p.board, p.side, list);
  return {list.begin(), list.begin() + n};
}

TEST(ComputerMove, WinFoundByTheOrderingPassReturnsAtOnce) {
  const rules::Position p = engine_test::position("4k3/8/8/8/8/8/4R3/4K3 w");
  const std::vector<rules::Move> list = root_list(p);
  const Outcome o = choose(p, GOLDEN_SETTINGS);
  EXPECT_EQ(move_text(o.chosen), "e2e8");
  EXPECT_EQ(o.output, "") << "no list is written on a win";
  // 0, then i / n up to the winning entry, and no final 1.
  std::vector<float> expected = {0.0f};
  const auto n = static_cast<float>(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    expected.push_back(static_cast<float>(i) / n);
    if (list[i] == o.chosen) break;
  }
  EXPECT_EQ(engine_test::progress_reports(), expected);
}

TEST(ComputerMove, OrderingPassNeverExtends) {
  // a1a8 wins the king on ply 3; only a pass that reaches ply 3 sees it.
  const rules::Position p = engine_test::position("7k/6pp/8/8/8/8/8/R3K3 w");
  {
    // Main pass at one ply and the cap at three: neither pass may look deeper.
    const Outcome o = choose(p, strength(1, 1, 3, 100000));
    EXPECT_EQ(lines_of(o.output).size(), root_list(p).size()) << "no win seen, a full list";
  }
  {
    // A main pass of three plies finds it and returns at once, with no list.
    const Outcome o = choose(p, strength(3, 1, 3, 100000));
    EXPECT_EQ(move_text(o.chosen), "a1a8");
    EXPECT_EQ(o.output, "");
    EXPECT_NE(engine_test::progress_reports().back(), 1.0f) << "no final report after a win";
  }
}

TEST(ComputerMove, ProgressReportsFollowBothPasses) {
  const rules::Position p = engine_test::position("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w");
  const std::size_t count = root_list(p).size();
  const Outcome o = choose(p, GOLDEN_SETTINGS);
  std::vector<float> pass;
  for (std::size_t i = 0; i < count; ++i) {
    pass.push_back(static_cast<float>(i) / static_cast<float>(count));
  }
  std::vector<float> expected = {0.0f};
  expected.insert(expected.end(), pass.begin(), pass.end());
  expected.insert(expected.end(), {1.0f, 0.0f});
  expected.insert(expected.end(), pass.begin(), pass.end());
  expected.push_back(1.0f);
  EXPECT_EQ(engine_test::progress_reports(), expected);
  EXPECT_EQ(lines_of(o.output).size(), count) << "one line per entry, end entry included";
}

struct NudgeCase {
  const char* what;
  const char* fen;
  std::vector<BookRecord> records;
  const char* chosen;
  double score;  // the chosen move's printed score
};

// Returns the score written on a line of the list.
double score_on(const std::string& line) { return std::stod(line.substr(line.find(" => ") + 4)); }

TEST(ComputerMove, BookNudgesBreakTies) {
  const rules::Move h1g3 = move("h1", "g3"), h1f2 = move("h1", "f2"), e1d1 = move("e1", "d1");
  const rules::Move g1h3 = move("g1", "h3"), g8h6 = move("g8", "h6");
  const char* quiet_white = "4k3/8/8/8/8/8/8/4K2N w";    // every move scores 500
  const char* knight_white = "4k3/8/8/8/8/8/8/4K1N1 w";  // g1f3 scores 510, the rest 500
  const char* knight_black = "4k1n1/8/8/8/8/8/8/4K3 b";  // g8f6 scores -510, the rest -500
  const std::vector<NudgeCase> cases = {
      {"no book move: the first of the ties", quiet_white, {}, "e1e2", 500},
      {"one listing with the mover's mark", quiet_white, {{h1g3, 1}}, "h1g3", 500.1},
      {"a draw listing counts a tenth", quiet_white, {{h1f2, 0}, {e1d1, 1}}, "e1d1", 500.1},
      {"the opponent's mark counts nothing", quiet_white, repeated(h1g3, -1, 5), "e1e2", 500},
      {"both marks add up", quiet_white, {{h1g3, 0}, {h1g3, 1}}, "h1g3", 500.11},
      {"every listing counts", quiet_white, repeated(h1g3, 1, 11), "h1g3", 501.1},
      {"101 listings beat ten points", knight_white, repeated(g1h3, 1, 101), "g1h3", 510.1},
      {"99 listings do not", knight_white, repeated(g1h3, 1, 99), "g1f3", 510},
      {"black subtracts", knight_black, repeated(g8h6, -1, 101), "g8h6", -510.1},
      {"black ignores white's mark", knight_black, repeated(g8h6, 1, 101), "g8f6", -510},
  };
  for (const NudgeCase& c : cases) {
    const rules::Position p = engine_test::position(c.fen);
    std::vector<BookPosition> book;
    if (!c.records.empty()) book.push_back({p.board, c.records});
    const Outcome o = choose(p, ONE_PLY, book);
    EXPECT_EQ(move_text(o.chosen), c.chosen) << c.what;
    const std::vector<std::string> lines = lines_of(o.output);
    ASSERT_FALSE(lines.empty()) << c.what;
    // A book hit writes its trace once per lookup, before the list.
    const std::string trace = book.empty() ? "" : " (find at pos : 0)  (find at pos : 0) ";
    EXPECT_EQ(lines[0].rfind(trace + c.chosen + " => ", 0), 0U) << c.what << ": " << lines[0];
    // The nudges accumulate in single precision: close to, not exactly, n tenths.
    EXPECT_NEAR(score_on(lines[0]), c.score, 0.002) << c.what;
  }
}

TEST(ComputerMove, ListIsSortedBestFirstForTheMover) {
  // Black takes the white queen: the list runs from the lowest score up.
  const Outcome o = choose(engine_test::position("3qk3/8/8/8/8/8/3Q4/4K3 b"), ONE_PLY);
  EXPECT_EQ(move_text(o.chosen), "d8d2");
  double previous = -1e9;
  for (const std::string& line : lines_of(o.output)) {
    const double score = score_on(line);
    EXPECT_GE(score, previous) << line;
    previous = score;
  }
  EXPECT_EQ(lines_of(o.output).front(), "d8d2 => -1200");
}

TEST(ComputerMove, EndEntryIsNotChosenEvenWhenItScoresBest) {
  // Every white king move walks into a rook; standing still loses nothing.
  const rules::Position p = engine_test::position("1r2k3/8/8/8/8/8/7r/K7 w");
  const Outcome o = choose(p, strength(2, 2, 2, 100));
  const std::vector<std::string> lines = lines_of(o.output);
  ASSERT_EQ(lines.size(), root_list(p).size());
  EXPECT_EQ(lines[0], "d13d13 => -1200");
  EXPECT_NE(o.chosen, rules::END_MOVE);
  EXPECT_EQ(lines[1], move_text(o.chosen) + " => -100000");
}

TEST(ComputerMove, PassIsReturnedOnlyWhenItIsTheWholeList) {
  const Outcome o = choose(engine_test::position("4k3/8/8/8/8/8/8/8 w"), GOLDEN_SETTINGS);
  EXPECT_EQ(o.chosen, rules::END_MOVE);
  EXPECT_EQ(o.output, "d13d13 => -100000\n");
  const std::vector<float> expected = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f};
  EXPECT_EQ(engine_test::progress_reports(), expected);
}

TEST(ComputerMove, SettingsAreReadAfreshOnEveryMove) {
  // One ply grabs the defended pawn; two plies see the queen lost to c6xd5.
  const rules::Position p = engine_test::position("4k3/8/2p5/3p4/8/8/8/3QK3 w");
  test_support::ScratchFolder folder;
  std::ofstream("conf.ini") << engine_test::algo_conf(1, 1, 1, 0);
  EXPECT_EQ(move_text(think(p).chosen), "d1d5");
  std::ofstream("conf.ini") << engine_test::algo_conf(2, 2, 2, 100);
  EXPECT_NE(move_text(think(p).chosen), "d1d5");
}

TEST(ComputerMove, MissingConfIniMeansDepthZeroWithWarnings) {
  test_support::ScratchFolder folder;  // holds no conf.ini
  const Outcome o = think(engine_test::position("4k3/8/2p5/3p4/8/8/8/3QK3 w"));
  EXPECT_EQ(move_text(o.chosen), "d1d5") << "chosen by the evaluation after the move";
  const std::vector<std::string> lines = lines_of(o.output);
  ASSERT_GE(lines.size(), 12U);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[3 * i], "WARNING\tsection not found") << "lookup " << i;
  }
  EXPECT_EQ(lines[12], "d1d5 => 1110");
}

// The warning for a missing complexity key comes when the main pass reads the
// value, so a move that the ordering pass decides writes none.
TEST(ComputerMove, MissingComplexityIsReportedWhenTheMainPassReadsIt) {
  test_support::ScratchFolder folder;
  std::ofstream("conf.ini") << "[ALGO]level=1;prelevel=1;maxlevel=1;";
  EXPECT_EQ(think(engine_test::position("4k3/8/8/8/8/8/4R3/4K3 w")).output, "");
  const Outcome o = think(engine_test::position("4k3/8/8/8/8/8/8/4K3 w"));
  EXPECT_EQ(o.output.rfind("WARNING\tvalue not found\n", 0), 0U);
  EXPECT_NE(o.output.find("\ne1e2 => 0\n"), std::string::npos);
}

// No setting makes a line deeper than MAX_DEPTH plies: on an empty board
// every position has only the pass, so each line runs to the depth cap.
TEST(ComputerMove, DepthSettingsBeyondReasonAreBroughtIntoRange) {
  test_support::ScratchFolder folder;
  std::ofstream("conf.ini") << "[ALGO]level=7;prelevel=3;maxlevel=3500;complexity=0;";
  test_support::OutputCapture errors(std::cerr);
  const Outcome o = think(engine_test::position("8/8/8/8/8/8/8/8 w"));
  EXPECT_EQ(o.output, "d13d13 => -100000\n");
  EXPECT_EQ(errors.text(), "morva: conf.ini: maxlevel=3500 is deeper than 64 plies; 64 is used\n");
}

TEST(ComputerMove, StrengthSettingsReadTheirKeys) {
  struct Case {
    const char* ini;
    int level, prelevel, maxlevel, complexity, threads, hash;
  };
  const Case cases[] = {
      {"[ALGO]level=7;prelevel=3;maxlevel=8;complexity=14;", 7, 3, 8, 14, 0, 0},
      {"[ALGO]level=7;prelevel=3;maxlevel=8;complexity=14;threads=1;hash=256;", 7, 3, 8, 14, 1,
       256},
      {"[ALGO]level=2;prelevel=1;maxlevel=3;complexity=2;hash=-5;threads=x;", 2, 1, 3, 2, 0, 0},
  };
  for (const Case& c : cases) {
    config::IniText ini;
    const std::string text = c.ini;
    std::copy(text.begin(), text.end(), ini.text);
    ini.length = static_cast<int>(text.size());
    const engine::StrengthSettings s = engine::read_strength(ini);
    EXPECT_EQ(
        std::vector<int>({s.level, s.prelevel, s.maxlevel, s.complexity, s.threads, s.hash_mib}),
        std::vector<int>({c.level, c.prelevel, c.maxlevel, c.complexity, c.threads, c.hash}))
        << c.ini;
  }
}

}  // namespace
