// The command lines of morva-cli and morva-book, one row each: the words, the
// exit status, and the exact standard output or a piece of the error message.
// Every message repeats input words cut short and with unprintable bytes escaped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "run_command.h"

namespace {

const std::string CLI = MORVA_CLI;
const std::string BOOK = MORVA_BOOK;
const std::string START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";
const std::string LONG_WORD(100000, 'x');

struct Row {
  const std::string& program;
  std::vector<std::string> args;
  int status;
  std::string out;       // exact standard output when status is 0
  std::string err = "";  // a piece of standard error otherwise
};

const Row ROWS[] = {
    {CLI, {}, 2, "", "no command (morva-cli --help lists them)"},
    {CLI, {"frobnicate"}, 2, "", "unknown command 'frobnicate'"},
    {CLI, {"moves"}, 2, "", "missing FEN argument"},
    {CLI, {"moves", "not a fen"}, 2, "", "unexpected character 'o'"},
    {CLI, {"moves", "8/8/8/8/8/8/8/9 w"}, 2, "", "unexpected character '9'"},
    {CLI,
     {"moves", "4k3/8/8/8/8/8/8/4K3", "b"},
     0,
     "e8e7 e8d8 e8f8 e8d7 e8f7 h13h13 g13g13 d13d13\n"},
    {CLI, {"perft", START, "b", "KQkq", "-", "0", "1", "1"}, 0, "20\n"},
    {CLI, {"moves", START, "b", "x"}, 2, "", "unexpected word 'x' after the FEN"},
    {CLI, {"captures", START + " x"}, 2, "", "side to move: 'x'"},
    {CLI, {"perft", "8/8/8/8/8/8/8/8 w"}, 2, "", "missing depth (perft FEN DEPTH)"},
    {CLI, {"perft", START, "b"}, 2, "", "missing depth"},
    {CLI, {"perft", START, "1", "2"}, 2, "", "unexpected word '2' after the depth"},
    {CLI, {"perft", "8/8/8/8/8/8/8/8 w", "-1"}, 2, "", "bad depth '-1'"},
    {CLI, {"perft", "8/8/8/8/8/8/8/8 w", "two"}, 2, "", "bad depth 'two'"},
    {CLI, {"moves", START.substr(0, 42)}, 2, "", "rank 1 is not 8 squares"},
    {CLI, {"moves", START + "R"}, 2, "", "rank 1 is not 8 squares"},
    {CLI, {"moves", "rnbqkbn/" + START.substr(9)}, 2, "", "rank 8 is not 8 squares"},
    {CLI, {"moves", "8/8/8/44p/8/8/8/8"}, 2, "", "rank 5 is not 8 squares"},
    {CLI, {"moves", "8/8/8/8/8/8/8/8/8"}, 2, "", "more than 8 ranks"},
    {CLI, {"moves", "8/8/8/8/8/8/8"}, 2, "", "expected 8 ranks of 8 squares"},
    {CLI, {"table", "7", "a1"}, 2, "", "bad slot '7'"},
    {CLI, {"table", "3", "i9"}, 2, "", "bad square 'i9'"},
    {CLI, {"table", "3", "a1", "x"}, 2, "", "usage: table SLOT SQUARE"},
    {CLI,
     {"make", START, "b", "e7e5"},
     0,
     "rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w - - 0 1\n"},
    {CLI,
     {"make", "r3k2r/8/8/8/8/8/8/R3K2R", "e1g1", "e8c8"},
     0,
     "2kr3r/8/8/8/8/8/8/R4RK1 w - - 0 1\n"},
    {CLI, {"make", "4k3/P7/8/8/8/8/8/4K3 w", "a7a8q"}, 0, "Q3k3/8/8/8/8/8/8/4K3 b - - 0 1\n"},
    {CLI, {"make", "4k3/P7/8/8/8/8/8/4K3 w", "a7a8n"}, 2, "", "(pawns become queens only)"},
    {CLI, {"make", START, "e2e5"}, 2, "", "move 'e2e5' is not in the generated list of white"},
    {CLI, {"make", START, "e7e5"}, 2, "", "move 'e7e5' is not in the generated list of white"},
    {CLI, {"make", START, LONG_WORD}, 2, "", "move '" + LONG_WORD.substr(0, 100) + "...' is not"},
    {CLI, {"make", START, "e2\x01\x1b[2J"}, 2, "", "move 'e2\\x01\\x1b[2J' is not"},
    {CLI, {"eval"}, 2, "", "missing FEN argument"},
    {CLI, {"eval", "8/8/8 w"}, 2, "", "expected 8 ranks"},
    {CLI, {"eval", "4k3/8/8/8/8/8/8/Q3K3", "b"}, 0, "1200\n"},
    {CLI, {"key", START, "w"}, 0, "ffff00000000ffff 4003800000000177\n"},
    {CLI, {"key", "rnbqkbnr/ppppppppp/8/8/8/8/8/8 w"}, 2, "", "rank 7 is not 8 squares"},
    {CLI, {"key", "a", "b"}, 2, "", "unexpected character 'a'"},
    {CLI, {"think", "8/8/8/8/8/8/8/8 x"}, 2, "", "side to move: 'x'"},
    {CLI, {"think"}, 2, "", "missing FEN argument"},
    {CLI, {"think", START, "w", "e2e4"}, 2, "", "unexpected word 'e2e4' after the FEN"},
    {CLI, {"play"}, 2, "", "usage: morva-cli play PAIRS"},
    {CLI, {"play", "-1"}, 2, "", "usage: morva-cli play PAIRS"},
    {CLI, {"play", "3x"}, 2, "", "usage: morva-cli play PAIRS"},
    {CLI, {"play", "1", "2"}, 2, "", "usage: morva-cli play PAIRS"},
    {BOOK, {"--plies", "0", "--out", "b"}, 2, "", "--plies needs a number from 1 to 1000"},
    {BOOK, {"--plies", "x", "--out", "b"}, 2, "", "--plies needs a number from 1 to 1000"},
    {BOOK, {"games.uci"}, 2, "", "--out DIR is required"},
    {BOOK, {"--frobnicate", "--out", "b"}, 2, "", "unknown or incomplete option '--frobnicate'"},
    {BOOK, {"-\x7f" + LONG_WORD}, 2, "", "option '-\\x7f" + LONG_WORD.substr(0, 95) + "...'"},
    {BOOK, {"dump"}, 2, "", "dump takes one folder"},
    {BOOK, {"--out", "b", "missing.uci"}, 1, "", "cannot open missing.uci"},
    {BOOK, {"dump", "nowhere"}, 1, "", "cannot open nowhere/index.db"},
};

TEST(ToolArguments, StatusOutputAndMessage) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("morva-arguments-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (const Row& row : ROWS) {
    std::string shown = row.program.substr(row.program.rfind('/') + 1);
    for (const std::string& a : row.args) (shown += ' ') += a.substr(0, 60);
    const tools_test::RunResult r = tools_test::run(row.program, row.args, dir.string());
    EXPECT_EQ(r.status, row.status) << shown << "\n" << r.err;
    EXPECT_EQ(r.out, row.out) << shown;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << shown << "\n" << r.err;
    // Messages stay short and printable, whatever the words held.
    EXPECT_LT(r.err.size(), 1500U) << shown;
    EXPECT_TRUE(std::all_of(r.err.begin(), r.err.end(), [](char c) {
      return c == '\n' || (c >= ' ' && c <= '~');
    })) << shown;
    // A command line refused is one line on standard error.
    if (row.status == 2) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown;
    }
    if (row.status == 0) {  // an answer that cannot be written fails, with a message
      std::string command = tools_test::shell_quote(row.program);
      for (const std::string& a : row.args) (command += ' ') += tools_test::shell_quote(a);
      const auto lost = tools_test::run("/bin/sh", {"-c", command + " >/dev/full"}, dir.string());
      EXPECT_EQ(lost.status, 1) << shown;
      EXPECT_EQ(lost.err, shown.substr(0, shown.find(' ')) +
                              ": cannot write standard output: No space left on device\n");
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir));  // no failed run wrote anything
  std::filesystem::remove_all(dir);
}

}  // namespace
