// The board drawing and the end-of-game wait.
#include "shell/draw.h"

#include "rules/castling.h"
#include "shell/clear_board.h"
#include "shell/history.h"
#include "shell/panel.h"
#include "shell/startup.h"

namespace shell {

namespace {

// Draws the piece of a cell code (+1..+6 white, -1..-6 black) at a square's corner.
void draw_piece(Game& g, int code, int square_x, int square_y) {
  const int column = (code > 0 ? code : -code) - 1;
  const int row = code > 0 ? 0 : 1;
  const int inset = (g.square_size - g.piece_size) / 2;
  SDL_Rect source = {static_cast<Sint16>(column * g.piece_size),
                     static_cast<Sint16>(row * g.piece_size), static_cast<Uint16>(g.piece_size),
                     static_cast<Uint16>(g.piece_size)};
  SDL_Rect target = {static_cast<Sint16>(square_x + inset), static_cast<Sint16>(square_y + inset),
                     0, 0};
  SDL_BlitSurface(g.piece_sheet, &source, g.screen, &target);
}

}  // namespace

void fill_rect(SDL_Surface* surface, int x, int y, int w, int h, Rgb c) {
  SDL_Rect rect = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                   static_cast<Uint16>(h)};
  SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, c.r, c.g, c.b));
}

rules::Square square_at_screen(rules::Side user_color, int i, int j) {
  const int last = BOARD_SQUARES - 1;
  const int rank = user_color == rules::WHITE ? last - i : i;
  const int file = user_color == rules::WHITE ? j : last - j;
  return static_cast<rules::Square>(rank * BOARD_SQUARES + file);
}

Rgb square_color(int i, int j, bool selected, bool last_move, bool hinted) {
  const bool light = (i + j) % 2 == 0;
  if (selected) return light ? LIGHT_SELECTED : DARK_SELECTED;
  if (hinted) return light ? LIGHT_HINT : DARK_HINT;
  if (last_move) return light ? LIGHT_LAST_MOVE : DARK_LAST_MOVE;
  return light ? LIGHT_SQUARE : DARK_SQUARE;
}

std::pair<int, int> shown_squares(rules::Move m) {
  const rules::Castling* c = rules::castling_of(rules::move_from(m));
  if (c != nullptr) return {c->king_from, c->king_to};
  return {rules::move_from(m), rules::move_to(m)};
}

void draw_squares(Game& g, rules::Board b) {
  rules::Cells cells;
  rules::cells_from_board(b, cells);
  const int s = g.square_size;
  // END_MOVE's bytes are NO_SQUARE: at the start nothing is highlighted. A
  // position viewed shows the move that led to it, and no hint.
  const bool viewing = g.window.viewed.has_value();
  const auto [last_from, last_to] =
      g.show_last_move || viewing ? shown_squares(shown_last_move(g)) : std::pair{-1, -1};
  const auto [hint_from, hint_to] = shown_squares(viewing ? rules::END_MOVE : g.hint_move);
  for (int i = 0; i < BOARD_SQUARES; ++i) {
    for (int j = 0; j < BOARD_SQUARES; ++j) {
      const rules::Square square = square_at_screen(g.user_color, i, j);
      const bool last_move = square == last_from || square == last_to;
      const bool hinted = square == hint_from || square == hint_to;
      const int x = s + j * s;
      const int y = s + i * s;
      if (g.clear_board) {
        draw_clear_square(g.screen, i, j, x, y, s,
                          clear_square(i, j, g.sel_from == square, last_move, hinted));
      } else {
        fill_rect(g.screen, x, y, s, s,
                  square_color(i, j, g.sel_from == square, last_move, hinted));
      }
      if (cells[square] != 0) draw_piece(g, cells[square], x, y);
    }
  }
}

SDL_Surface* end_picture(const Game& g) {
  switch (g.played.end) {
    case game::GameEnd::KING_TAKEN:
      return game::winner(g.played) == rules::WHITE ? g.white_picture : g.black_picture;
    case game::GameEnd::DRAWN:
      return g.draw_picture;
    case game::GameEnd::UNFINISHED:
      break;
  }
  return nullptr;
}

void draw_end_picture(Game& g, SDL_Surface* picture) {
  const int centre = 5 * g.square_size;
  SDL_Rect target = {static_cast<Sint16>(centre - picture->w / 2),
                     static_cast<Sint16>(centre - picture->h / 2), 0, 0};
  SDL_BlitSurface(picture, nullptr, g.screen, &target);
}

void wait_for_end(Game& g) {
  // Show the final position and the picture at once, not only after the next event.
  SDL_Flip(g.screen);
  for (;;) {
    if (quit_signalled()) quit_game(g);
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
      SDL_Delay(IDLE_DELAY_MS);
      continue;
    }
    SDL_Flip(g.screen);
    if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_KEYUP || event.type == SDL_QUIT) {
      quit_game(g);
    }
  }
}

void draw_board(Game& g, rules::Board b) {
  draw_squares(g, g.window.viewed ? shown_board(g) : b);
  draw_additions(g);
  SDL_Flip(g.screen);
}

void show_end(Game& g) {
  draw_squares(g, g.board);
  if (SDL_Surface* picture = end_picture(g)) draw_end_picture(g, picture);
  draw_additions(g);
  wait_for_end(g);
}

}  // namespace shell
