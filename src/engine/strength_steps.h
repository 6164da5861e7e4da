// The strength ladder: the steps a player chooses from (morva --strength N),
// each a set of ALGO entries and the rating measured for it in games against
// Stockfish (bench/README.md, "Strength"). The one table of the steps: the
// launcher's help, the entries it writes into conf.ini and the computer's name
// in a saved game all come from here.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/strength.h"

namespace engine {

struct StrengthStep {
  int number;            // what --strength takes
  const char* for_whom;  // who the step is for
  int rating;            // measured against Stockfish, rounded
  int level, prelevel, maxlevel, complexity;
};

// From a first game to the shipped setting. Every step also sets
// STEP_ENTRIES.
inline constexpr StrengthStep STRENGTH_STEPS[] = {
    {1, "a first game: it loses most games to a beginner's play, beats random moves", 750, 3, 1, 5,
     10},
    {2, "a casual player", 950, 4, 2, 4, 100},
    {3, "a practised player", 1200, 6, 3, 7, 12},
    {4, "the shipped setting", 1400, 7, 4, 8, 10},
};

// The ALGO entries every step writes after its four strength keys.
inline constexpr std::pair<const char*, const char*> STEP_ENTRIES[] = {{"soundkings", "on"},
                                                                       {"ponder", "on"}};

// The top step of earlier versions, taken as today's shipped step.
inline constexpr int FORMER_TOP_STEP = 5;
inline constexpr int SHIPPED_STEP = 4;

// Returns the step a --strength number stands for (FORMER_TOP_STEP as the
// shipped step), or null.
const StrengthStep* strength_step(int number);

// Returns the ALGO entries of a step, in the order they are written: level,
// prelevel, maxlevel, complexity (level first, as the reader takes the first
// "level=" it meets), then STEP_ENTRIES.
std::vector<std::pair<std::string, std::string>> step_entries(const StrengthStep& step);

// Returns the step whose entries make the same choices as settings, or null.
const StrengthStep* step_of(const StrengthSettings& settings);

// Returns the computer's name in a saved game: "Morva (about 1400)" after the
// step its settings are, plain "Morva" for settings of the player's own.
std::string computer_name(const StrengthSettings& settings);

}  // namespace engine
