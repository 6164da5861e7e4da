#include "rules/attacks.h"

namespace rules {

bool attacks_square(const Board& b, Square s, Side by) {
  const Bitboard* p = b.pieces[by];
  const Bitboard target = Bitboard{1} << s;
  if (pawn_attacks(by, p[PAWN]) & target) return true;
  if (knight_attacks(s) & p[KNIGHT]) return true;
  if (king_attacks(s) & p[KING]) return true;
  const Bitboard occupancy = b.occupied[WHITE] | b.occupied[BLACK];
  const Bitboard diagonal = p[BISHOP] | p[QUEEN];
  if (diagonal != 0 && (slider_attacks(BISHOP, s, occupancy) & diagonal)) return true;
  const Bitboard straight = p[ROOK] | p[QUEEN];
  return straight != 0 && (slider_attacks(ROOK, s, occupancy) & straight) != 0;
}

}  // namespace rules
