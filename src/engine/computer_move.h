// The computer's move as the game makes it: the strength read afresh from
// conf.ini at every move.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/ponder.h"
#include "engine/search_host.h"
#include "rules/board.h"

namespace engine {

// The settings file, read in the working folder.
inline constexpr const char* CONF_PATH = "conf.ini";

// The computer's move with what it was chosen under.
struct ComputerMove {
  MoveChoice choice;
  StrengthSettings settings;       // as conf.ini gave them for this move
  std::vector<std::string> notes;  // the values not used as written, for the host to show
};

// Reads ./conf.ini afresh (its warnings for missing values on standard
// output, as the reader writes them) and chooses the move with its settings,
// the game's seed and the castling rights of b going with them (game). A
// reply the ponderer, if given (and stopped), kept for this position and
// these settings is returned as it is, with progress shown as one run from 0
// to 1.
ComputerMove computer_move(Engine& engine, const rules::Board& b, rules::Side side,
                           const SearchHost& host = {}, const Ponderer* ponderer = nullptr,
                           const GameFacts& game = {});

}  // namespace engine
