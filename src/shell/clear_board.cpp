// The squares of the readable board: their colour and their marks' rings.
#include "shell/clear_board.h"

namespace shell {

ClearSquare clear_square(int i, int j, bool selected, bool last_move, bool hinted) {
  const Rgb fill = light_square(i, j) ? CLEAR_LIGHT_SQUARE : CLEAR_DARK_SQUARE;
  if (selected) return {fill, &CLEAR_SELECTED};
  if (hinted) return {fill, &CLEAR_HINT};
  if (last_move) return {fill, &CLEAR_LAST_MOVE};
  return {fill, nullptr};
}

void draw_clear_square(SDL_Surface* screen, int i, int j, int x, int y, int s,
                       const ClearSquare& look) {
  if (look.mark == nullptr) {
    fill_rect(screen, x, y, s, s, look.fill);
    return;
  }
  // The ring's width grows with the square (a window drawn larger).
  const int w = CLEAR_MARK_WIDTH * s / SQUARE_SIZE;
  fill_rect(screen, x, y, s, s, light_square(i, j) ? look.mark->on_light : look.mark->on_dark);
  fill_rect(screen, x + w, y + w, s - 2 * w, s - 2 * w, look.fill);
}

}  // namespace shell
