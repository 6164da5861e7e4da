#include "rules/san.h"

#include "rules/castling.h"
#include "rules/notation.h"

namespace rules {

namespace {

constexpr char PIECE_LETTERS[PIECE_TYPES + 1] = "PNBRQK";

// Returns the type of the piece of side on s (a square it occupies).
PieceType piece_on(const Board& b, Side side, int s) {
  PieceType p = PAWN;
  while (p < KING && !test_bit(b.pieces[side][p], static_cast<Square>(s))) ++p;
  return p;
}

// Returns what tells m's piece apart from the other pieces of its kind that
// could move to the same square: nothing, the from file, the from rank, or the
// whole from square, in that order of preference.
std::string disambiguation(const ChessPosition& p, Move m, PieceType piece) {
  MoveList legal;
  const int count = legal_moves(p, legal);
  const int from = move_from(m);
  bool rivals = false, same_file = false, same_rank = false;
  for (int i = 0; i < count; ++i) {
    const int other = move_from(legal[i]);
    if (legal[i] == m || move_to(legal[i]) != move_to(m) || other >= SQUARE_COUNT ||
        piece_on(p.board, p.side, other) != piece) {
      continue;
    }
    rivals = true;
    same_file = same_file || file_of(other) == file_of(from);
    same_rank = same_rank || rank_of(other) == rank_of(from);
  }
  const std::string square = square_name(from);
  if (!rivals) return "";
  if (!same_file) return square.substr(0, 1);
  if (!same_rank) return square.substr(1);
  return square;
}

}  // namespace

std::string san_text(const ChessPosition& p, Move m) {
  std::string text;
  if (const Castling* c = castling_of(move_from(m))) {
    text = c->king_side ? "O-O" : "O-O-O";
  } else {
    const int from = move_from(m), to = move_to(m);
    const PieceType piece = piece_on(p.board, p.side, from);
    const bool capture = test_bit(p.board.occupied[other_side(p.side)], static_cast<Square>(to)) ||
                         is_en_passant(p, m);
    if (piece == PAWN) {
      if (capture) text = square_name(from).substr(0, 1);
    } else {
      text = PIECE_LETTERS[piece];
      text += disambiguation(p, m, piece);
    }
    if (capture) text += 'x';
    text += square_name(to);
    const int far_rank = p.side == WHITE ? 8 : 1;
    if (piece == PAWN && rank_of(to) == far_rank)
      text += "=Q";  // Morva's pawns always become queens
  }
  const ChessPosition next = play_chess(p, m);
  if (in_check(next)) {
    MoveList replies;
    text += legal_moves(next, replies) == 0 ? '#' : '+';
  }
  return text;
}

}  // namespace rules
