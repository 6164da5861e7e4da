// The game's history in the window (movelist=on): the moves' texts in rows of
// move pairs, and the position the human looks at while stepping back through
// the game with the arrow keys, Home and End. Viewing changes what is drawn
// only: the game, its record and its saved file stay as they are.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "rules/board.h"
#include "rules/move.h"
#include "shell/game.h"

namespace shell {

// Plies a step of Up or Down goes: a whole move, one row of the list.
inline constexpr std::size_t MOVE_PLIES = 2;

// Returns the plies of the position to show after a key, from the position
// after shown plies of a game of plies plies: Left and Right one ply back and
// forward, Up and Down a whole move, Home the start, End the current position;
// nothing for any other key.
std::optional<std::size_t> view_step(SDLKey key, std::size_t shown, std::size_t plies);

// Returns the plies of the position shown: the one viewed, or the whole game.
std::size_t shown_plies(const Game& g);

// Returns the position shown: the one viewed, or the current one.
const rules::Board& shown_board(const Game& g);

// Returns the last move of the position shown, END_MOVE at the start.
rules::Move shown_last_move(const Game& g);

// Steps the view by a key as view_step says; returns false, changing nothing,
// for a key that is not one of them. Back at the current position nothing is
// viewed any more.
bool step_view(Game& g, SDLKey key);

// Returns the texts of the game's moves (game::move_texts), made afresh only
// when the moves have changed since the last call.
const std::vector<std::string>& game_move_texts(Game& g);

// Returns the move list's rows for the texts of a game's plies: "1." with
// white's and black's moves, and so on; the last row's black move is empty
// while black has yet to move.
std::vector<MoveRow> move_rows(const std::vector<std::string>& texts);

// Returns the first of the rows to show when visible rows fit: the list's end,
// unless the marked ply's row lies above it, which is then the first.
std::size_t first_shown_row(std::size_t rows, std::size_t visible, int marked);

}  // namespace shell
