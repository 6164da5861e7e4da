// The game's end by a draw (draws=on): the positions of the game kept as it is
// played, and the record's line when a draw ends it. Without draws=on nothing
// is kept and nothing ends the game but a captured king.
#pragma once

#include "shell/game.h"

namespace shell {

// Starts the kept positions at the Game's board (a new game).
void start_positions(Game& g);

// Keeps the Game's board as the position after the ply just played.
void note_position(Game& g);

// Forgets the two plies of a human turn taken back.
void forget_turn(Game& g);

// Returns whether the Game's last position ends it drawn.
bool drawn(const Game& g);

// Writes the record's draw line, ending first a line that white's move left
// half written.
void note_draw(Game& g);

}  // namespace shell
