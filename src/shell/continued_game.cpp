#include "shell/continued_game.h"

#include "rules/make_move.h"
#include "shell/draws.h"

namespace shell {

rules::Side replay_moves(Game& g, const std::vector<rules::Move>& moves, rules::Side human,
                         bool demo) {
  rules::Side side = rules::WHITE;
  for (const rules::Move m : moves) {
    if (g.take_back && !demo && side == human) g.turns.push_back({g.board, g.last_move});
    g.board = rules::make_move(g.board, m);
    g.last_move = m;
    note_position(g);
    side = rules::other_side(side);
  }
  return side;
}

}  // namespace shell
