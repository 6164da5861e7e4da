#include "rules/movegen.h"

#include <bit>

#include "rules/move_table.h"
#include "rules/ray_masks.h"

namespace rules {

thread_local std::uint64_t node_count = 0;

namespace {

// The last index a move may take: the final slot is kept for the end entry.
constexpr int MOVE_LIMIT = MOVE_LIST_CAPACITY - 1;

// Appends the squares of a set, nearest to the piece first, as moves from from.
inline int append_targets(int from, Bitboard targets, int direction, MoveList& list, int n) {
  while (targets != 0 && n < MOVE_LIMIT) {
    const int t = direction > 0 ? std::countr_zero(targets) : 63 - std::countl_zero(targets);
    list[n++] = move_of(from, t);
    targets ^= Bitboard{1} << t;
  }
  return n;
}

// Appends the moves of one piece on from: its rays in table order, each up to
// and including an enemy piece, before an own piece; a pawn pushes only onto
// free squares and takes only on its diagonals.
inline int piece_moves(int slot, int from, Bitboard own, Bitboard enemy, MoveList& list, int n) {
  const RayMasks& rays = ray_masks(slot, from);
  if (rays.leaps > 0) {  // knight or king: single squares in table order
    for (int k = 0; k < rays.leaps; ++k) {
      const int t = rays.leap[k];
      if (!test_bit(own, static_cast<Square>(t)) && n < MOVE_LIMIT) list[n++] = move_of(from, t);
    }
    return n;
  }
  const Bitboard occupancy = own | enemy;
  for (int r = 0; r < rays.count; ++r) {
    const RayMask& ray = rays.ray[r];
    Bitboard targets;
    if (ray.kind == KIND_CAPTURE_ONLY) {
      targets = ray.squares & enemy;
    } else if (ray.kind == KIND_MOVE_ONLY) {
      targets = ray_reach(ray, occupancy) & ~occupancy;
    } else {
      targets = ray_reach(ray, occupancy) & ~own;
    }
    n = append_targets(from, targets, ray.direction, list, n);
  }
  return n;
}

// A square is free for castling when neither side occupies it.
constexpr bool all_free(Bitboard occupancy, Bitboard squares) { return (occupancy & squares) == 0; }

constexpr Bitboard square_set(std::initializer_list<int> squares) {
  Bitboard b = 0;
  for (int s : squares) b |= Bitboard{1} << s;
  return b;
}

constexpr int E1 = 4, E8 = 60;
constexpr Bitboard WHITE_KING_SIDE = square_set({5, 6});      // f1 g1
constexpr Bitboard WHITE_QUEEN_SIDE = square_set({3, 2, 1});  // d1 c1 b1
constexpr Bitboard BLACK_KING_SIDE = square_set({61, 62});    // f8 g8
constexpr Bitboard BLACK_QUEEN_SIDE = square_set({59, 58, 57});  // d8 c8 b8

// Castling is offered on the king's home square and free squares between only:
// no record of castling rights, no look at the rook, no test of attacked squares.
int castling_moves(const Board& b, Side side, MoveList& list, int n) {
  const Bitboard occupancy = b.occupied[WHITE] | b.occupied[BLACK];
  const int home = side == WHITE ? E1 : E8;
  if (!test_bit(b.pieces[side][KING], static_cast<Square>(home))) return n;
  const Bitboard king_side = side == WHITE ? WHITE_KING_SIDE : BLACK_KING_SIDE;
  const Bitboard queen_side = side == WHITE ? WHITE_QUEEN_SIDE : BLACK_QUEEN_SIDE;
  const int king_code = side == WHITE ? CASTLE_WHITE_KING : CASTLE_BLACK_KING;
  const int queen_code = side == WHITE ? CASTLE_WHITE_QUEEN : CASTLE_BLACK_QUEEN;
  if (all_free(occupancy, king_side) && n < MOVE_LIMIT) list[n++] = castling_move(king_code);
  if (all_free(occupancy, queen_side) && n < MOVE_LIMIT) list[n++] = castling_move(queen_code);
  return n;
}

// Counts the enemy pieces one piece on from could take, looking through enemy
// pieces (the ray goes on past them) but stopping at its own; pawn pushes
// take nothing.
inline int piece_captures(int slot, int from, Bitboard own, Bitboard enemy) {
  const RayMasks& rays = ray_masks(slot, from);
  int c = 0;
  for (int r = 0; r < rays.count; ++r) {
    const RayMask& ray = rays.ray[r];
    if (ray.kind == KIND_MOVE_ONLY) continue;
    // Up to the first own piece, which ends the ray without being taken.
    const Bitboard open = ray.direction == 0 ? ray.squares : ray_reach(ray, own) & ~own;
    c += std::popcount(open & enemy);
  }
  return c;
}

}  // namespace

int generate_moves(Board b, Side side, MoveList& list) {
  const Bitboard own = b.occupied[side];
  const Bitboard enemy = b.occupied[other_side(side)];
  int n = 0;
  for (PieceType p = KING; p >= PAWN; --p) {
    const int slot = slot_of(side, p);
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
      n = piece_moves(slot, lowest_square(set), own, enemy, list, n);
    }
  }
  n = castling_moves(b, side, list, n);
  list[n++] = END_MOVE;
  node_count += static_cast<std::uint64_t>(n);
  return n;
}

int count_captures(Board b) {
  int c = 0;
  for (Side side : {BLACK, WHITE}) {
    const Bitboard own = b.occupied[side];
    const Bitboard enemy = b.occupied[other_side(side)];
    for (PieceType p = KING; p >= PAWN; --p) {
      const int slot = slot_of(side, p);
      for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
        c += piece_captures(slot, lowest_square(set), own, enemy);
      }
    }
  }
  return c;
}

}  // namespace rules
