// The squares a piece attacks, as sets: what a check, a castling's test of
// the squares the king crosses and an evaluation of mobility ask for. Read
// from the move table's square sets, so they agree with the generator.
#pragma once

#include "rules/board.h"
#include "rules/move_table.h"
#include "rules/ray_masks.h"

namespace rules {

inline constexpr Bitboard FILE_A_SQUARES = 0x0101010101010101ULL;
inline constexpr Bitboard FILE_H_SQUARES = 0x8080808080808080ULL;

// Returns the squares a knight or a king on s attacks.
inline Bitboard knight_attacks(int s) { return ray_masks(KNIGHT, s).ray[0].squares; }
inline Bitboard king_attacks(int s) { return ray_masks(KING, s).ray[0].squares; }

// Returns the squares a slider of a slot (BISHOP, ROOK or QUEEN) on s attacks
// over occupancy: each ray up to and including its first occupied square.
inline Bitboard slider_attacks(int slot, int s, Bitboard occupancy) {
  const RayMasks& rays = ray_masks(slot, s);
  Bitboard reach = 0;
  for (int r = 0; r < rays.count; ++r) reach |= ray_reach(rays.ray[r], occupancy);
  return reach;
}

// Returns the squares the pawns of a side attack: one step forward and to
// either side.
constexpr Bitboard pawn_attacks(Side side, Bitboard pawns) {
  return side == WHITE ? ((pawns & ~FILE_A_SQUARES) << 7) | ((pawns & ~FILE_H_SQUARES) << 9)
                       : ((pawns & ~FILE_H_SQUARES) >> 7) | ((pawns & ~FILE_A_SQUARES) >> 9);
}

// Returns whether a piece of side `by` attacks square s of b.
bool attacks_square(const Board& b, Square s, Side by);

// Returns the king square of side, or NO_SQUARE when its king is gone.
inline Square king_square(const Board& b, Side side) {
  const Bitboard king = b.pieces[side][KING];
  return king == 0 ? NO_SQUARE : lowest_square(king);
}

// Returns whether side's king can be taken: a move of the other side that
// Morva's rules generate lands on it (false when the king is gone). Standard
// chess calls it check.
inline bool king_attacked(const Board& b, Side side) {
  const Square k = king_square(b, side);
  return k != NO_SQUARE && attacks_square(b, k, other_side(side));
}

}  // namespace rules
