// The Move encoding and the MoveList buffer that the generator fills.
//
//   Move, 16 bits:  [ to byte | from byte ]
//                     15..8     7..0
//
// A byte is a square 0..63, NO_SQUARE (99) in the end entry, or one of the
// castling codes 100..103, which stand in both bytes of a castling Move.
#pragma once

#include <array>
#include <cstdint>

#include "rules/board.h"

namespace rules {

using Move = std::uint16_t;

inline constexpr int CASTLE_WHITE_QUEEN = 100;  // king e1-c1, rook a1-d1
inline constexpr int CASTLE_WHITE_KING = 101;   // king e1-g1, rook h1-f1
inline constexpr int CASTLE_BLACK_QUEEN = 102;  // king e8-c8, rook a8-d8
inline constexpr int CASTLE_BLACK_KING = 103;   // king e8-g8, rook h8-f8

// Returns the Move from one byte to another.
constexpr Move move_of(int from, int to) {
  return static_cast<Move>((from & 0xFF) | ((to & 0xFF) << 8));
}

// Returns the from byte of a Move.
constexpr int move_from(Move m) { return m & 0xFF; }

// Returns the to byte of a Move.
constexpr int move_to(Move m) { return m >> 8; }

// The entry that ends every MoveList; made as a move it is a pass.
inline constexpr Move END_MOVE = move_of(NO_SQUARE, NO_SQUARE);

// Returns the castling Move of a code 100..103.
constexpr Move castling_move(int code) { return move_of(code, code); }

// A MoveList holds up to 255 moves and the end entry. Real games stay far below
// that; for contrived positions the generator stops appending at the capacity.
inline constexpr int MOVE_LIST_CAPACITY = 256;
using MoveList = std::array<Move, MOVE_LIST_CAPACITY>;

}  // namespace rules
