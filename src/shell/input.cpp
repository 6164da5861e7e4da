// Reading the human's move from mouse clicks, and the keys of the window's additions.
#include "shell/input.h"

#include "rules/castling.h"
#include "rules/movegen.h"
#include "shell/draw.h"
#include "shell/history.h"
#include "shell/startup.h"

namespace shell {

namespace {

// Returns the first generated move of side in b equal to m, or END_MOVE.
rules::Move match_move(rules::Board b, rules::Side side, rules::Move m) {
  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  for (int n = 0; n < count; ++n) {
    if (list[n] == m) return m;
  }
  return rules::END_MOVE;
}

// Handles one click on square q; returns a matched move, or END_MOVE to go on.
rules::Move click_square(Game& g, rules::Board b, rules::Side side, rules::Square q) {
  if (g.sel_from == rules::NO_SQUARE) {
    g.sel_from = q;  // any square is accepted, empty or not
    return rules::END_MOVE;
  }
  g.sel_to = q;
  if (g.sel_from == g.sel_to) g.sel_from = rules::NO_SQUARE;  // clicked twice: matches nothing
  const rules::Move wanted = castling_input(g.sel_from, g.sel_to);
  g.sel_from = static_cast<std::int8_t>(rules::move_from(wanted));
  g.sel_to = static_cast<std::int8_t>(rules::move_to(wanted));
  const rules::Move found = match_move(b, side, wanted);
  if (found == rules::END_MOVE) {
    g.sel_from = rules::NO_SQUARE;
    g.sel_to = rules::NO_SQUARE;
  }
  return found;
}

// Returns what a released key asks for during the human's turn, of what the
// settings turn on.
Request key_request(const Game& g, SDLKey key) {
  if (key == SDLK_BACKSPACE && g.take_back) return Request::TAKE_BACK;
  if (key == SDLK_n && g.take_back) return Request::NEW_GAME;
  if (key == SDLK_h && g.hint) return Request::HINT;
  return Request::NONE;
}

// Returns whether a released key asks for the key help: F1, or '?' (the key
// that gave that character when pressed, or a slash with shift as on a US
// layout).
bool help_key(const Game& g, const SDL_keysym& key) {
  return key.sym == SDLK_F1 || key.sym == SDLK_QUESTION || key.sym == g.window.question_key ||
         (key.sym == SDLK_SLASH && (key.mod & KMOD_SHIFT) != 0);
}

// Returns whether N must be pressed twice: keyhelp=on, and a game under way.
bool new_game_asks(const Game& g) {
  return g.window.key_help && g.take_back && !g.played.moves.empty();
}

// Returns whether the window's additions take a released key or a click:
// the key help shown or closed, a step through the game's history, the return
// from an earlier position (whatever else the key or click would do), the
// first N of a game under way. Anything else cancels N's question and goes on
// as it would without them.
bool taken_by_additions(Game& g, const SDL_Event& event) {
  WindowAdditions& w = g.window;
  if (event.type == SDL_KEYDOWN && w.key_help && event.key.keysym.unicode == '?') {
    w.question_key = event.key.keysym.sym;
  }
  const bool key = event.type == SDL_KEYUP;
  if (!key && event.type != SDL_MOUSEBUTTONDOWN) return false;
  w.start_notes = false;  // the human has acted
  if (w.help_shown) {
    w.help_shown = false;
    return true;
  }
  if (key && w.key_help && help_key(g, event.key.keysym)) {
    w.help_shown = true;
    w.new_game_asked = false;
    return true;
  }
  if (key && w.move_list && step_view(g, event.key.keysym.sym)) {
    g.sel_from = g.sel_to = rules::NO_SQUARE;
    w.new_game_asked = false;
    return true;
  }
  if (w.viewed) {
    w.viewed.reset();
    return true;
  }
  const bool first_n = key && event.key.keysym.sym == SDLK_n && !w.new_game_asked;
  w.new_game_asked = first_n && new_game_asks(g);
  return w.new_game_asked;
}

}  // namespace

rules::Square square_at_point(const Game& g, int x, int y) {
  const int s = g.square_size;
  // x and y are never negative, so shifting by one square before dividing
  // rounds the margin down to -1 as well.
  const int j = (x + s) / s - 2;
  const int i = (y + s) / s - 2;
  if (i < 0 || i >= BOARD_SQUARES || j < 0 || j >= BOARD_SQUARES) return rules::NO_SQUARE;
  return square_at_screen(g.user_color, i, j);
}

rules::Move castling_input(int from, int to) {
  const rules::Castling* c = rules::castling_by_king_step(from, to);
  return c != nullptr ? rules::castling_move(c->code) : rules::move_of(from, to);
}

rules::Move read_human_move(Game& g, rules::Board b, rules::Side side) {
  if (quit_signalled()) quit_game(g);
  SDL_Event event;
  bool idle = true;
  while (SDL_PollEvent(&event) != 0) {
    idle = false;
    if (is_quit_event(event)) quit_game(g);
    if (taken_by_additions(g, event)) continue;
    if (event.type == SDL_KEYUP) {
      g.request = key_request(g, event.key.keysym.sym);
      // Acted on at once, like a matched move; later events stay queued.
      if (g.request != Request::NONE) return rules::move_of(g.sel_from, g.sel_to);
    }
    if (event.type != SDL_MOUSEBUTTONDOWN) continue;
    const rules::Square q = square_at_point(g, event.button.x, event.button.y);
    if (q == rules::NO_SQUARE) continue;
    const rules::Move found = click_square(g, b, side, q);
    if (found != rules::END_MOVE) return found;
  }
  draw_board(g, b);
  if (idle) SDL_Delay(IDLE_DELAY_MS);  // nothing happened: do not spin a core while waiting
  return rules::move_of(g.sel_from, g.sel_to);
}

}  // namespace shell
