// The four castlings: which code stands for which king and rook steps, and
// which squares must be free. The generator, make_move, the window's click
// pairs and the book tools all read this one table.
#pragma once

#include "rules/board.h"
#include "rules/move.h"

namespace rules {

struct Castling {
  int code;  // 100..103, both bytes of the castling Move
  Side side;
  bool king_side;
  Square king_from, king_to;
  Square rook_from, rook_to;
  Bitboard between;  // squares that must be free, from the king outwards
};

// White's two, then black's, each side's in generation order: king side
// before queen side.
inline constexpr Castling CASTLINGS[] = {
    {CASTLE_WHITE_KING, WHITE, true, 4, 6, 7, 5, square_set({5, 6})},              // e1-g1, h1-f1
    {CASTLE_WHITE_QUEEN, WHITE, false, 4, 2, 0, 3, square_set({3, 2, 1})},         // e1-c1, a1-d1
    {CASTLE_BLACK_KING, BLACK, true, 60, 62, 63, 61, square_set({61, 62})},        // e8-g8, h8-f8
    {CASTLE_BLACK_QUEEN, BLACK, false, 60, 58, 56, 59, square_set({59, 58, 57})},  // e8-c8, a8-d8
};

// Returns the castlings of a side, king side first: CASTLINGS[first .. first + 1].
constexpr int first_castling(Side side) { return 2 * side; }

// Returns the castling whose code is the from byte of a Move, or null.
constexpr const Castling* castling_of(int code) {
  for (const Castling& c : CASTLINGS) {
    if (c.code == code) return &c;
  }
  return nullptr;
}

// Returns the castling whose king step is from-to (e1-g1, e1-c1, e8-g8,
// e8-c8), or null; the piece on the king's square is not looked at.
constexpr const Castling* castling_by_king_step(int from, int to) {
  for (const Castling& c : CASTLINGS) {
    if (c.king_from == from && c.king_to == to) return &c;
  }
  return nullptr;
}

}  // namespace rules
