// The draw rules: repetition of a position and the fifty-move count.
#include "rules/draw_rules.h"

#include <algorithm>
#include <cstddef>

namespace rules {

void start_history(GameHistory& h, const Board& start) {
  h.positions.clear();
  h.positions.push_back(start);
}

void add_ply(GameHistory& h, const Board& after) { h.positions.push_back(after); }

void drop_plies(GameHistory& h, int plies) {
  if (h.positions.empty() || plies <= 0) return;
  const std::size_t dropped = std::min<std::size_t>(plies, h.positions.size() - 1);
  h.positions.resize(h.positions.size() - dropped);
}

bool irreversible(const Board& before, const Board& after) {
  // A capture leaves one piece fewer; castling and every other move keep the count.
  const bool capture = square_count(before.occupied[WHITE] | before.occupied[BLACK]) !=
                       square_count(after.occupied[WHITE] | after.occupied[BLACK]);
  // Pawns change only by a pawn's own move or promotion, or by a capture.
  const bool pawn_moved = before.pieces[WHITE][PAWN] != after.pieces[WHITE][PAWN] ||
                          before.pieces[BLACK][PAWN] != after.pieces[BLACK][PAWN];
  return capture || pawn_moved;
}

Draw draw_of(const GameHistory& h) {
  const std::vector<Board>& p = h.positions;
  if (p.empty()) return Draw::NONE;
  const std::size_t last = p.size() - 1;
  int quiet = 0;
  int seen = 1;
  // Back over the plies since the last capture or pawn move: only there can
  // the last position have stood before, and only an even number of plies
  // back, with the same side to move.
  for (std::size_t k = last; k > 0 && !irreversible(p[k - 1], p[k]); --k) {
    ++quiet;
    if (quiet % 2 == 0 && p[k - 1] == p[last]) ++seen;
  }
  if (seen >= DRAW_REPETITIONS) return Draw::REPETITION;
  if (quiet >= FIFTY_MOVE_PLIES) return Draw::FIFTY_MOVES;
  return Draw::NONE;
}

}  // namespace rules
