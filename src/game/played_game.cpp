#include "game/played_game.h"

#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/standard_chess.h"

namespace game {

Players players_for(std::optional<rules::Side> human) {
  Players p;
  for (const rules::Side side : {rules::WHITE, rules::BLACK}) p.computer[side] = side != human;
  return p;
}

std::optional<rules::Side> human_side(const Players& p) {
  if (p.computer[rules::WHITE] == p.computer[rules::BLACK]) return std::nullopt;
  return p.computer[rules::WHITE] ? rules::BLACK : rules::WHITE;
}

PlayedGame new_game(Players players) {
  PlayedGame g;
  g.players = players;
  rules::start_history(g.history, rules::board_from_cells(rules::starting_cells));
  return g;
}

void play(PlayedGame& g, rules::Move m) {
  rules::add_ply(g.history, rules::make_move(board(g), m));
  g.moves.push_back(m);
}

void keep_plies(PlayedGame& g, std::size_t plies) {
  if (plies >= g.moves.size()) return;
  rules::drop_plies(g.history, static_cast<int>(g.moves.size() - plies));
  g.moves.resize(plies);
  g.end = GameEnd::UNFINISHED;
  g.draw = rules::Draw::NONE;
}

bool take_back_turn(PlayedGame& g) {
  const std::optional<rules::Side> human = human_side(g.players);
  if (!human) return false;
  // White moves at even plies: the human's last move is the last ply of that parity.
  for (std::size_t ply = g.moves.size(); ply > 0; --ply) {
    if ((ply - 1) % 2 == *human) {
      keep_plies(g, ply - 1);
      return true;
    }
  }
  return false;
}

const rules::Board& board(const PlayedGame& g) { return g.history.positions.back(); }

rules::Side side_to_move(const PlayedGame& g) {
  return g.moves.size() % 2 == 0 ? rules::WHITE : rules::BLACK;
}

rules::Move last_move(const PlayedGame& g) {
  return g.moves.empty() ? rules::END_MOVE : g.moves.back();
}

std::uint8_t castling_rights(const PlayedGame& g) {
  std::uint8_t rights = rules::chess_start().castling_rights;
  for (const rules::Move m : g.moves) rights = rules::castling_rights_after(rights, m);
  return rights;
}

std::optional<rules::Move> move_of_text(const PlayedGame& g, std::string_view text) {
  const rules::FoundMove found = rules::find_move(board(g), side_to_move(g), text);
  if (found.fault == rules::MoveTextFault::NONE) return found.move;
  rules::MoveList list;
  if (text == rules::move_text(rules::END_MOVE) &&
      rules::generate_moves(board(g), side_to_move(g), list) == 1) {
    return rules::END_MOVE;
  }
  return std::nullopt;
}

GameEnd decide_end(PlayedGame& g, bool draws) {
  const rules::Board& b = board(g);
  if (rules::king_gone(b, rules::WHITE) || rules::king_gone(b, rules::BLACK)) {
    g.end = GameEnd::KING_TAKEN;
    return g.end;
  }
  if (draws) g.draw = rules::draw_of(g.history);
  if (g.draw != rules::Draw::NONE) g.end = GameEnd::DRAWN;
  return g.end;
}

rules::Side winner(const PlayedGame& g) { return rules::other_side(side_to_move(g)); }

}  // namespace game
