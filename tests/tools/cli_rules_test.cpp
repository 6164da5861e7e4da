// morva-cli against the reference outputs of the rules core, and its handling
// of bad input.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "run_command.h"

namespace {

using tools_test::run;

const std::string CLI = MORVA_CLI;
const std::string GOLDEN = std::string(MORVA_TEST_DATA_DIR) + "/golden/";

std::vector<std::vector<std::string>> tab_rows(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0, tab;
    while ((tab = line.find('\t', start)) != std::string::npos) {
      fields.push_back(line.substr(start, tab - start));
      start = tab + 1;
    }
    fields.push_back(line.substr(start));
    rows.push_back(fields);
  }
  return rows;
}

TEST(CliGolden, MovesAndCaptures) {
  const auto rows = tab_rows(GOLDEN + "moves.txt");
  ASSERT_GE(rows.size(), 100U);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 3U);
    EXPECT_EQ(run(CLI, {"moves", row[0]}).out, row[1] + "\n") << row[0];
    EXPECT_EQ(run(CLI, {"captures", row[0]}).out, row[2] + "\n") << row[0];
  }
}

TEST(CliGolden, Perft) {
  const auto rows = tab_rows(GOLDEN + "perft.txt");
  ASSERT_GE(rows.size(), 10U);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 3U);
    EXPECT_EQ(run(CLI, {"perft", row[0], row[1]}).out, row[2] + "\n") << row[0] << " " << row[1];
  }
}

TEST(Cli, PerftDepthZeroIsOne) {
  EXPECT_EQ(run(CLI, {"perft", "8/8/8/8/8/8/8/8 w", "0"}).out, "1\n");
  // A side without pieces still has its pass, which is not counted as a leaf.
  EXPECT_EQ(run(CLI, {"perft", "8/8/8/8/8/8/8/8 w", "1"}).out, "0\n");
}

TEST(Cli, MakeWritesTheResultingFen) {
  const auto r = run(CLI, {"make", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                           "e2e4", "e7e5", "g1f3"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b - - 0 1\n");
  EXPECT_EQ(run(CLI, {"make", "r3k2r/8/8/8/8/8/8/R3K2R w", "f13f13", "g13g13"}).out,
            "2kr3r/8/8/8/8/8/8/R4RK1 w - - 0 1\n");
}

TEST(Cli, TableRowOfARook) {
  const auto r = run(CLI, {"table", "3", "a1"});
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 8);
  EXPECT_NE(r.out.find(std::string("|8 99") + '\0' + '\t'), std::string::npos);
}

}  // namespace
