// A game continued from its saved record: the moves that stand replayed on
// the Game without a trace in the record, so that the record, appended to,
// reads on as one game.
#pragma once

#include <vector>

#include "rules/move.h"
#include "shell/game.h"

namespace shell {

// Plays moves from the starting position on the Game's board, the last of
// them its last move; with take-backs on, notes each turn of the human
// (playing human, unless demo) so that Backspace can go back beyond the
// continue. Returns the side to move.
rules::Side replay_moves(Game& g, const std::vector<rules::Move>& moves, rules::Side human,
                         bool demo);

}  // namespace shell
