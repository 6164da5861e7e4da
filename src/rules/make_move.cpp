#include "rules/make_move.h"

namespace rules {

namespace {

struct CastlingHalves {
  int code;
  int rook_from, rook_to;
  int king_from, king_to;
};

// The rook's half is made first, then the king's.
constexpr CastlingHalves CASTLINGS[] = {
    {CASTLE_WHITE_QUEEN, 0, 3, 4, 2},      // a1-d1, e1-c1
    {CASTLE_WHITE_KING, 7, 5, 4, 6},       // h1-f1, e1-g1
    {CASTLE_BLACK_QUEEN, 56, 59, 60, 58},  // a8-d8, e8-c8
    {CASTLE_BLACK_KING, 63, 61, 60, 62},   // h8-f8, e8-g8
};

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
  for (const CastlingHalves& c : CASTLINGS) {
    if (from == c.code) {
      b = make_ordinary(b, static_cast<Square>(c.rook_from), static_cast<Square>(c.rook_to));
      return make_ordinary(b, static_cast<Square>(c.king_from), static_cast<Square>(c.king_to));
    }
  }
  // The end entry is a pass; other bytes that are not squares change nothing either.
  if (from >= SQUARE_COUNT || move_to(m) >= SQUARE_COUNT) return b;
  return make_ordinary(b, static_cast<Square>(from), static_cast<Square>(move_to(m)));
}

}  // namespace rules
