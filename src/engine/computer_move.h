// The computer's move as the game makes it: the strength read afresh from
// conf.ini at every move.
#pragma once

#include "engine/engine.h"
#include "engine/ponder.h"
#include "engine/search_host.h"
#include "rules/board.h"

namespace engine {

// The settings file, read in the working folder.
inline constexpr const char* CONF_PATH = "conf.ini";

// Reads ./conf.ini afresh (its warnings for missing values on standard
// output, the notes on values not used as written on standard error) and
// chooses the move with its settings. A reply the ponderer, if given (and
// stopped), kept for this position and these settings is returned as it is,
// with progress shown as one run from 0 to 1. The game's seed and the
// castling rights of b go with the settings (game).
MoveChoice computer_move(Engine& engine, const rules::Board& b, rules::Side side,
                         const SearchHost& host = {}, const Ponderer* ponderer = nullptr,
                         const GameFacts& game = {});

}  // namespace engine
