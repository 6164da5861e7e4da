// The one Game record the window program works on: the position, the human's
// selection, the board orientation, and the SDL surfaces and cursor it owns.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "rules/board.h"

namespace shell {

// Side in pixels of one piece cell in the piece sheet.
inline constexpr int PIECE_SIZE = 40;
// Side in pixels of one board square; also the margin and a tenth of the window.
inline constexpr int SQUARE_SIZE = 46;
// Squares per board side.
inline constexpr int BOARD_SQUARES = 8;
// Pause in milliseconds after a look at an empty event queue, so waiting costs no CPU.
inline constexpr int IDLE_DELAY_MS = 10;

struct Game {
  rules::Board board{};                     // the current position
  std::int8_t sel_from = rules::NO_SQUARE;  // first click, castling code, or NO_SQUARE
  std::int8_t sel_to = rules::NO_SQUARE;    // second click, or NO_SQUARE
  std::int32_t piece_size = PIECE_SIZE;
  std::int32_t square_size = SQUARE_SIZE;
  bool progress_shown = false;            // false: the next run draws the dialog first
  rules::Side user_color = rules::WHITE;  // 0 white at the bottom, 1 black at the bottom
  SDL_Surface* piece_sheet = nullptr;
  SDL_Surface* screen = nullptr;
  SDL_Surface* dialog_picture = nullptr;
  SDL_Surface* black_picture = nullptr;
  SDL_Surface* white_picture = nullptr;
  SDL_Surface* progress_picture = nullptr;
  SDL_Cursor* cursor = nullptr;
};

// The program's one Game; report_progress draws on it.
extern Game game;

}  // namespace shell
