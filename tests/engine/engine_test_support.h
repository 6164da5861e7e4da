// Helpers of the computer-player tests: strength settings as values, the move
// choice with the progress it reported, its record text, and positions from
// random play.
#pragma once

#include <string>
#include <vector>

#include "book_files.h"
#include "capture.h"
#include "engine/engine.h"
#include "positions.h"
#include "scratch_folder.h"

namespace engine_test {

using namespace test_support;

// Returns settings with the four strength values (complexity found) and a
// thread count.
engine::StrengthSettings strength(int level, int prelevel, int maxlevel, int complexity,
                                  int threads = 1);

// A move choice, every progress fraction it reported, in order, and the
// host's stop looks.
struct Outcome {
  engine::MoveChoice choice;
  std::vector<float> reports;
  int stop_at = 0;  // the look from which the host asks to stop; 0: never
  int looks = 0;    // the times the search asked the host whether to stop
};

// Chooses the move with engine, recording the progress reports and the stop
// looks; the host asks to stop from look stop_at on (0: never).
Outcome choose(engine::Engine& engine, const rules::Position& p,
               const engine::StrengthSettings& settings, int stop_at = 0);

// Chooses the move with a new engine whose book holds the given positions
// (installed in a scratch folder), or no book.
Outcome choose(const rules::Position& p, const engine::StrengthSettings& settings,
               const std::vector<BookPosition>& book = {});

// Returns what the record holds of a choice.
std::string record_of(const engine::MoveChoice& choice);

// Returns the entries of a choice's list and their scores, in list order.
std::vector<rules::Move> entries(const engine::MoveChoice& choice);
std::vector<float> scores(const engine::MoveChoice& choice);

// Returns count positions reached by random pseudo-legal play from the start,
// so that they cover openings, middle games, captured kings and promotions
// alike; the same seed always gives the same positions.
std::vector<rules::Position> random_positions(int count, unsigned seed, int min_plies,
                                              int max_plies);

}  // namespace engine_test
