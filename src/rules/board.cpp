#include "rules/board.h"

namespace rules {

// clang-format off
const Cells starting_cells = {
     4,  2,  3,  5,  6,  3,  2,  4,
     1,  1,  1,  1,  1,  1,  1,  1,
     0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
    -1, -1, -1, -1, -1, -1, -1, -1,
    -4, -2, -3, -5, -6, -3, -2, -4,
};
// clang-format on

Board board_from_cells(const Cells& cells) {
  Board b{};
  for (int s = 0; s < SQUARE_COUNT; ++s) {
    const int c = cells[s];
    const Square sq = static_cast<Square>(s);
    if (c > 0 && c <= PIECE_TYPES) {
      b.pieces[WHITE][c - 1] = set_bit(b.pieces[WHITE][c - 1], sq);
      b.occupied[WHITE] = set_bit(b.occupied[WHITE], sq);
    } else if (c < 0 && c >= -PIECE_TYPES) {
      b.pieces[BLACK][-c - 1] = set_bit(b.pieces[BLACK][-c - 1], sq);
      b.occupied[BLACK] = set_bit(b.occupied[BLACK], sq);
    }
  }
  return b;
}

void cells_from_board(Board b, Cells& cells) {
  for (int s = 0; s < SQUARE_COUNT; ++s) {
    const Square sq = static_cast<Square>(s);
    int code = 0;
    for (Side side : {WHITE, BLACK}) {
      if (!test_bit(b.occupied[side], sq)) continue;
      for (PieceType t = PAWN; t <= KING; ++t) {
        if (test_bit(b.pieces[side][t], sq)) {
          code = side == WHITE ? t + 1 : -(t + 1);
          break;
        }
      }
      break;  // the occupancy decides the colour; the other side is not searched
    }
    cells[s] = code;
  }
}

}  // namespace rules
