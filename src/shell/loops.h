// The game loops: human against computer, and the computer against itself.
#pragma once

#include <SDL.h>

#include <optional>

#include "rules/move.h"
#include "shell/game.h"

namespace shell {

// SDL's event filter for the whole game, installed once at start: drops mouse
// motion while the computer thinks. (SDL_EventState cannot do this: in SDL 1.2
// switching a type off empties the whole queue, a waiting close included.)
int keep_event(const SDL_Event* event);

// Lets the computer choose a move for side (computer_move) and plays it on the
// Game's board; returns the move. Events waiting stay in SDL's queue.
rules::Move play_computer(Game& g, rules::Side side);

// A ply just played, as the record writes it: the move and the text after it.
struct Ply {
  rules::Move move;
  const char* after;  // " - " after white's move, a line end after black's
};

// The computer's ply of a loop: play_computer, then end_of_ply.
void computer_ply(Game& g, rules::Side side, const char* after);

// The one place where the game's end is decided, after every ply: a king
// gone, or with draws=on a draw by the rules. The game is saved, then the ply
// (when one is given) written to the record, so that the saved game is never
// behind the record and a move that takes the king is in the record when the
// end picture waits; at its end a draw is noted in the record, and the end
// picture shown and waited on (so this does not return then).
void end_of_ply(Game& g, std::optional<Ply> ply = std::nullopt);

// The human's turn of play_game: reads clicks until a move is made and returns
// it, unplayed, noting the turn for take-backs. With take_back on, Backspace
// released goes back to the start of the human's previous turn (nothing
// happens at the first) and the turn goes on; N released starts a new game and
// returns nothing. Each is noted on a line of the record of its own, and the
// saved game follows.
std::optional<rules::Move> human_turn(Game& g, rules::Side side);

// Alternates the human's and the computer's moves for ever from the Game's
// position (a continued game may start with black to move); the human plays
// white when human_first is true. Ends only through quitting.
[[noreturn]] void play_game(Game& g, bool human_first);

// Lets the computer play both sides for ever. Ends only through quitting.
[[noreturn]] void play_demo(Game& g);

}  // namespace shell
