// Drawing the board: squares, pieces, the human's selection and the last move,
// and the end of a game with its picture.
#pragma once

#include <SDL.h>

#include <utility>

#include "rules/board.h"
#include "rules/move.h"
#include "shell/game.h"

namespace shell {

// An RGB colour of the board drawing.
struct Rgb {
  Uint8 r, g, b;
};

// The piece sheet's grid: pawn to king in columns, white's row above black's.
inline constexpr int PIECE_SHEET_COLUMNS = 6;
inline constexpr int PIECE_SHEET_ROWS = 2;

inline constexpr Rgb LIGHT_SQUARE = {230, 230, 230};
inline constexpr Rgb LIGHT_SELECTED = {180, 180, 180};
inline constexpr Rgb DARK_SQUARE = {50, 20, 30};
inline constexpr Rgb DARK_SELECTED = {100, 70, 80};
// The last move's squares, with lastmove=on.
inline constexpr Rgb LIGHT_LAST_MOVE = {220, 205, 120};
inline constexpr Rgb DARK_LAST_MOVE = {130, 105, 45};
// The hint's squares, with hint=on.
inline constexpr Rgb LIGHT_HINT = {140, 200, 150};
inline constexpr Rgb DARK_HINT = {40, 110, 70};

// Fills the rectangle of w x h pixels at (x, y) of a surface with a colour.
void fill_rect(SDL_Surface* surface, int x, int y, int w, int h, Rgb c);

// Returns the square shown in screen row i and column j (0..7 from the top
// left): white at the bottom for user_color 0, black at the bottom for 1.
rules::Square square_at_screen(rules::Side user_color, int i, int j);

// Returns the colour of the screen square (i, j): light when i + j is even;
// the selection colour wins over the hint's, and the hint's over the last move's.
Rgb square_color(int i, int j, bool selected, bool last_move, bool hinted = false);

// Returns the two squares a move is shown on: from and to, for a castling the
// king's step.
std::pair<int, int> shown_squares(rules::Move m);

// Draws the 64 squares and their pieces onto the screen without presenting it;
// with show_last_move the last move's squares are highlighted, and a hint's
// squares while it is shown.
void draw_squares(Game& g, rules::Board b);

// Returns the end-of-game picture of the Game's ended game: black's when
// black took the king, white's when white did, the draw's for a draw; null
// while the game goes on.
SDL_Surface* end_picture(const Game& g);

// Draws an end-of-game picture centred on the window, blended by its alpha.
void draw_end_picture(Game& g, SDL_Surface* picture);

// Presents the screen and waits for a mouse press, a key release or the
// window's close, then quits; any other event presents the screen again.
[[noreturn]] void wait_for_end(Game& g);

// Draws the board for b and presents it.
void draw_board(Game& g, rules::Board b);

// Shows the end of the Game's ended game: its last position with the end
// picture over it, then waits for the user (wait_for_end).
[[noreturn]] void show_end(Game& g);

}  // namespace shell
