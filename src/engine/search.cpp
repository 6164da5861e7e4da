#include "engine/search.h"

#include "engine/evaluate.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace engine {

bool is_leaf(const rules::Board& b, int depth, const PassSettings& pass) {
  // The depth cap ends every line; before it, count_captures decides from the
  // nominal depth on.
  if (depth >= pass.maxlevel) return true;
  return depth >= pass.limit && !rules::captures_at_least(b, pass.complexity);
}

std::int32_t captured_king_value(const rules::Board& b, int depth) {
  if (rules::king_gone(b, rules::WHITE)) return -(WIN_SCORE - depth);
  if (rules::king_gone(b, rules::BLACK)) return WIN_SCORE - depth;
  return 0;
}

// Plain minimax with a single bound: the caller's running best. Moves are
// taken in generation order, the end entry (a pass) last, with no reordering.
std::int32_t search(rules::Board b, rules::Side side, int depth, const PassSettings& pass,
                    float bound) {
  if (pass.sound_kings) {
    if (const std::int32_t ended = captured_king_value(b, depth)) return ended;
  }
  if (is_leaf(b, depth, pass)) return evaluate(b);

  const bool white = side == rules::WHITE;
  // The best the side to move can do: nothing beats it, so it ends the node.
  const std::int32_t win = white ? best_possible(pass, depth) : -best_possible(pass, depth);
  float node_bound = static_cast<float>(-win);  // passed by no score
  std::int32_t best = 0;

  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  for (int i = 0; i < count; ++i) {
    const rules::Board child = rules::make_move(b, list[i]);
    const std::int32_t v = search(child, rules::other_side(side), depth + 1, pass, node_bound);
    // No line can do better than a king captured at once: stop looking.
    if (v == win) return win;
    if (i == 0) best = v;
    if (white) {
      if (v > best) best = v;
      if (v > node_bound) node_bound = static_cast<float>(v);
      if (v > bound) return best;  // the parent already has something better for black
    } else {
      if (v < best) best = v;
      if (v < node_bound) node_bound = static_cast<float>(v);
      if (v < bound) return best;  // the parent already has something better for white
    }
  }
  return best;
}

}  // namespace engine
