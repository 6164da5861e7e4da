// Helpers shared by the computer-player tests: positions from FEN, moves by
// name, a scratch working folder with conf.ini and a book, and the record of
// progress reports.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rules/board.h"
#include "rules/fen.h"
#include "rules/move.h"

namespace engine_test {

// Returns the position of a FEN that the test knows to be well formed.
rules::Position position(const std::string& fen);

// Returns the Board of a well-formed FEN.
inline rules::Board board(const std::string& fen) { return position(fen).board; }

// Returns the Move between two named squares ("e2", "e4").
rules::Move move(const char* from, const char* to);

// Returns a Move as the console writes it ("e2e4", "d13d13").
std::string text_of(rules::Move m);

// One position of a test book and its records (move, mark), in block order.
struct BookRecord {
  rules::Move move;
  int mark;
};
struct BookPosition {
  rules::Board board;
  std::vector<BookRecord> records;
};

// A fresh temporary folder made the working directory for the test's life,
// holding conf.ini and db/ with the given book positions (and the book index
// loaded); the previous working directory is restored and the folder removed
// at the end.
class ScratchFolder {
 public:
  ScratchFolder(const std::string& conf_ini, const std::vector<BookPosition>& book);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::filesystem::path previous_;
  std::filesystem::path folder_;
};

// Returns the conf.ini text with the given ALGO settings.
std::string algo_conf(int level, int prelevel, int maxlevel, int complexity);

// Every fraction passed to report_progress since the last clear, in order.
std::vector<float>& progress_reports();

// Builds the move table once for the whole test program.
class TableEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
};

}  // namespace engine_test
