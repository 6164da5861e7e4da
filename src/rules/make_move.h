// Carrying out one Move: the only operation that changes a position.
#pragma once

#include "rules/board.h"
#include "rules/move.h"

namespace rules {

// Returns the Board after a generated Move: an ordinary move (with capture and
// promotion to a queen), a castling Move, or the end entry (a pass, no change).
// A move from a square holding no piece returns the Board unchanged.
Board make_move(Board b, Move m);

}  // namespace rules
