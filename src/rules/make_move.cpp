#include "rules/make_move.h"

#include "rules/castling.h"

namespace rules {

namespace {

// Moves the piece on from to to, capturing whatever enemy piece stands there
// and promoting a pawn that reaches the far rank to a queen.
Board make_ordinary(Board b, Square from, Square to) {
  Side s;
  if (test_bit(b.occupied[WHITE], from)) {
    s = WHITE;
  } else if (test_bit(b.occupied[BLACK], from)) {
    s = BLACK;
  } else {
    return b;  // no piece to move (the rook half of a castling without a rook)
  }
  PieceType p = PAWN;
  while (p < KING && !test_bit(b.pieces[s][p], from)) ++p;

  b.occupied[s] = clear_bit(b.occupied[s], from);
  b.pieces[s][p] = clear_bit(b.pieces[s][p], from);

  const Side enemy = other_side(s);
  if (test_bit(b.occupied[enemy], to)) {
    for (Bitboard& set : b.pieces[enemy]) set = clear_bit(set, to);
    b.occupied[enemy] = clear_bit(b.occupied[enemy], to);
  }

  b.occupied[s] = set_bit(b.occupied[s], to);
  const int far_rank = s == WHITE ? 8 : 1;
  if (p == PAWN && rank_of(to) == far_rank) {
    b.pieces[s][QUEEN] = set_bit(b.pieces[s][QUEEN], to);
  } else {
    b.pieces[s][p] = set_bit(b.pieces[s][p], to);
  }
  return b;
}

}  // namespace

Board make_move(Board b, Move m) {
  const int from = move_from(m);
  if (const Castling* c = castling_of(from)) {
    // The rook's half first, then the king's.
    b = make_ordinary(b, c->rook_from, c->rook_to);
    return make_ordinary(b, c->king_from, c->king_to);
  }
  // The end entry is a pass; other bytes that are not squares change nothing either.
  if (from >= SQUARE_COUNT || move_to(m) >= SQUARE_COUNT) return b;
  return make_ordinary(b, static_cast<Square>(from), static_cast<Square>(move_to(m)));
}

}  // namespace rules
