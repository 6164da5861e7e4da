// Helpers of the computer-player tests: strength settings as values and as
// conf.ini text, the move choice with its output captured, and the record of
// progress reports.
#pragma once

#include <string>
#include <vector>

#include "book_files.h"
#include "capture.h"
#include "engine/computer_move.h"
#include "positions.h"
#include "scratch_folder.h"

namespace engine_test {

using namespace test_support;

// Returns settings with the four strength values (complexity found) and a
// thread count.
engine::StrengthSettings strength(int level, int prelevel, int maxlevel, int complexity,
                                  int threads = 1);

// Returns the conf.ini text with the given ALGO settings.
std::string algo_conf(int level, int prelevel, int maxlevel, int complexity);

// Every fraction the engine reported since the last clear, in order; the test
// programs register the recorder before their first test.
std::vector<float>& progress_reports();

// What one move choice printed and chose.
struct Outcome {
  rules::Move chosen;
  std::string output;
};

// Clears the progress record, empties the book index unless book holds
// positions (then installs it in a scratch folder), and chooses the move.
Outcome choose(const rules::Position& p, const engine::StrengthSettings& settings,
               const std::vector<BookPosition>& book = {});

}  // namespace engine_test
