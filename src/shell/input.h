// The human's move: mouse clicks on the board turned into a matched Move.
#pragma once

#include "rules/board.h"
#include "rules/move.h"
#include "shell/game.h"

namespace shell {

// Returns the square under window pixel (x, y) for g's orientation, or
// NO_SQUARE when the point lies in the margin around the board.
rules::Square square_at_point(const Game& g, int x, int y);

// Returns the castling Move that a click pair on the king's squares stands for
// (e1-g1, e1-c1, e8-g8, e8-c8), or the pair itself as a Move.
rules::Move castling_input(int from, int to);

// One pass over the event queue for side to move in b: clicks select squares,
// the window's close or Escape released quits. Returns a matched Move at once,
// leaving later events queued; with the queue empty draws the board and
// returns the selection (a byte is NO_SQUARE while the move is incomplete).
// With take_back on, Backspace or N released sets g.request and returns the
// selection at once; with hint on, H likewise. The window's additions take
// their keys and clicks first: F1 or ? shows the key help (keyhelp=on), which
// the next key or click closes; the arrow keys, Home and End step through the
// game's positions (movelist=on), and while an earlier one is shown any other
// key or click only returns to the current one; with keyhelp=on, N during a
// game under way asks first, and a second N starts the new game.
rules::Move read_human_move(Game& g, rules::Board b, rules::Side side);

}  // namespace shell
