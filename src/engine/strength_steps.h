// The strength ladder: the steps a player chooses from (morva --strength N),
// each a set of ALGO entries and the rating measured for it in games against
// Stockfish (bench/README.md, "Strength" and "The club steps"). The one table
// of the steps: the launcher's help, the entries it writes into conf.ini and
// the computer's name in a saved game all come from here.
#pragma once

#include <cstdint>
#include <optional>
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
  // 0: the game's own search; else the club search within this many
  // positions (search=club, legalcastling=on), level being its deepest
  // iteration and the other three keys unread.
  std::uint64_t nodes;
  int variety;  // the margin of the moves the game's seed draws among
};

// From a first game to the top. Every step also sets STEP_ENTRIES. Numbers
// go on after FORMER_TOP_STEP, which earlier versions gave the shipped step:
// the old numbers keep their meaning.
inline constexpr StrengthStep STRENGTH_STEPS[] = {
    {1, "a first game: it loses most games to a beginner's play, beats random moves", 750, 3, 1, 5,
     10, 0, 1},
    {2, "a casual player", 950, 4, 2, 4, 100, 0, 1},
    {3, "a practised player", 1200, 6, 3, 7, 12, 0, 1},
    {4, "the shipped setting: a practised casual player", 1350, 7, 4, 8, 10, 0, 1},
    {6, "a player who plays now and then at a club", 1550, 20, 4, 8, 10, 6000, 15},
    {7, "a club player", 1700, 20, 4, 8, 10, 25000, 15},
    {8, "a strong club player: the strongest this pace allows", 1950, 20, 4, 8, 10, 400000, 15},
};

// The ALGO entries every step writes after its strength keys.
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
// "level=" it meets), the club search's keys, variety, then STEP_ENTRIES. A
// key with no value is one the step does not set: its entries are to be
// dropped, so that a step written over another keeps nothing of it.
std::vector<std::pair<std::string, std::optional<std::string>>> step_entries(
    const StrengthStep& step);

// Returns the step whose entries make the same choices as settings (the
// game's seed and castling rights aside), or null.
const StrengthStep* step_of(StrengthSettings settings);

// Returns the computer's name in a saved game: "Morva (about 1350)" after the
// step its settings are, plain "Morva" for settings of the player's own.
std::string computer_name(const StrengthSettings& settings);

}  // namespace engine
