// The moves of the game in rows, and the position viewed while stepping back.
#include "shell/history.h"

#include <algorithm>

#include "game/pgn.h"

namespace shell {

std::optional<std::size_t> view_step(SDLKey key, std::size_t shown, std::size_t plies) {
  const auto back = [&](std::size_t n) { return shown > n ? shown - n : 0; };
  const auto forward = [&](std::size_t n) { return std::min(shown + n, plies); };
  switch (key) {
    case SDLK_LEFT:
      return back(1);
    case SDLK_RIGHT:
      return forward(1);
    case SDLK_UP:
      return back(MOVE_PLIES);
    case SDLK_DOWN:
      return forward(MOVE_PLIES);
    case SDLK_HOME:
      return 0;
    case SDLK_END:
      return plies;
    default:
      break;
  }
  return std::nullopt;
}

std::size_t shown_plies(const Game& g) { return g.window.viewed.value_or(g.played.moves.size()); }

const rules::Board& shown_board(const Game& g) {
  return g.played.history.positions[shown_plies(g)];
}

rules::Move shown_last_move(const Game& g) {
  const std::size_t shown = shown_plies(g);
  return shown == 0 ? rules::END_MOVE : g.played.moves[shown - 1];
}

bool step_view(Game& g, SDLKey key) {
  const std::size_t plies = g.played.moves.size();
  const std::optional<std::size_t> next = view_step(key, shown_plies(g), plies);
  if (!next) return false;
  g.window.viewed = *next == plies ? std::nullopt : next;
  return true;
}

const std::vector<std::string>& game_move_texts(Game& g) {
  if (g.window.texts_of != g.played.moves) {
    g.window.texts = game::move_texts(g.played);
    g.window.texts_of = g.played.moves;
  }
  return g.window.texts;
}

std::vector<MoveRow> move_rows(const std::vector<std::string>& texts) {
  std::vector<MoveRow> rows;
  for (std::size_t ply = 0; ply < texts.size(); ply += MOVE_PLIES) {
    rows.push_back(
        {game::move_number(ply), texts[ply], ply + 1 < texts.size() ? texts[ply + 1] : ""});
  }
  return rows;
}

std::size_t first_shown_row(std::size_t rows, std::size_t visible, int marked) {
  const std::size_t end_first = rows > visible ? rows - visible : 0;
  if (marked < 0) return end_first;
  return std::min(end_first, static_cast<std::size_t>(marked) / MOVE_PLIES);
}

}  // namespace shell
