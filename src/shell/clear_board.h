// The readable board of clearboard=on. Its dark square is a mid tone of the
// wine colour, which the light bodies of the white pieces and the dark bodies
// of the black pieces both stand out from (on the near-black dark square of
// the board without the key a black piece shows only its light outline, and
// reads as a white one). Its marks (the selection, the hint and the last move)
// are rings in the margin that a piece leaves inside its square, a deep tone
// on light squares and a bright one on dark squares: each stands out from the
// square it is on, and the square keeps its colour, so the pieces on it keep
// their contrast too. Each contrast is at least 3:1 in luminance.
#pragma once

#include <SDL.h>

#include "shell/draw.h"
#include "shell/game.h"

namespace shell {

// The readable piece sheet, read in place of the piece sheet with the key only.
inline constexpr const char* CLEAR_PIECE_PATH = "./bitmaps/clear-pieces.bmp";
// The same sheet drawn at twice the size, for a window drawn larger (scale=2).
inline constexpr const char* CLEAR_PIECE_2X_PATH = "./bitmaps/clear-pieces-2x.bmp";

inline constexpr Rgb CLEAR_LIGHT_SQUARE = {230, 230, 230};
inline constexpr Rgb CLEAR_DARK_SQUARE = {156, 108, 118};

// A mark's ring on a light square and on a dark one.
struct MarkColours {
  Rgb on_light, on_dark;
};
inline constexpr MarkColours CLEAR_SELECTED = {{20, 80, 210}, {190, 240, 255}};
inline constexpr MarkColours CLEAR_HINT = {{0, 120, 40}, {120, 255, 150}};
inline constexpr MarkColours CLEAR_LAST_MOVE = {{170, 100, 0}, {255, 230, 90}};

// Width of a ring at the window's own size, in pixels: the margin between a
// square's edge and its piece's cell.
inline constexpr int CLEAR_MARK_WIDTH = (SQUARE_SIZE - PIECE_SIZE) / 2;

// How one screen square is drawn on the readable board.
struct ClearSquare {
  Rgb fill;
  const MarkColours* mark;  // null: no ring
};

// Returns the look of screen square (i, j): light when i + j is even; the
// selection's ring wins over the hint's, and the hint's over the last move's.
ClearSquare clear_square(int i, int j, bool selected, bool last_move, bool hinted);

// Returns whether screen square (i, j) is a light one.
constexpr bool light_square(int i, int j) { return (i + j) % 2 == 0; }

// Fills the square of side s at (x, y) and draws its ring, for screen square (i, j).
void draw_clear_square(SDL_Surface* screen, int i, int j, int x, int y, int s,
                       const ClearSquare& look);

}  // namespace shell
