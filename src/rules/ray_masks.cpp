#include "rules/ray_masks.h"

#include <bit>

#include "rules/move.h"
#include "rules/move_table.h"

namespace rules {
namespace {

RayMasks masks[SLOT_COUNT][SQUARE_COUNT];

constexpr Bitboard bit(int s) { return Bitboard{1} << s; }

// Follows the walk of a slot and from-square on an empty board and splits it
// into rays: a new ray begins wherever the walk would jump by skip.
RayMasks summarise(int slot, int from) {
  RayMasks out{};
  const bool leaper = slot == KNIGHT || slot == KING;
  int t = table_entry(slot, from, from).next;
  int ray_start = -1;
  while (t != NO_SQUARE) {
    const MoveTableEntry& e = table_entry(slot, from, t);
    if (leaper) {
      if (out.count == 0) out.ray[out.count++] = {0, 0, KIND_ANY};
      out.ray[0].squares |= bit(t);
      if (out.leaps < 8) out.leap[out.leaps++] = static_cast<std::int8_t>(t);
    } else {
      if (ray_start < 0) {
        ray_start = t;
        out.ray[out.count++] = {0, static_cast<std::int8_t>(t > from ? 1 : -1), e.kind};
      }
      out.ray[out.count - 1].squares |= bit(t);
    }
    // The ray goes on by next unless next leads to where skip leads (the
    // next ray's head): then this square was the ray's last.
    if (e.next != NO_SQUARE && e.next != e.skip) {
      t = e.next;
    } else {
      t = e.skip;
      ray_start = -1;
    }
  }
  return out;
}

inline int ray_moves(const RayMask& r, Bitboard own, Bitboard enemy) {
  if (r.direction == 0) return std::popcount(r.squares & ~own);
  if (r.kind == KIND_CAPTURE_ONLY) return std::popcount(r.squares & enemy);
  const Bitboard occupancy = own | enemy;
  const Bitboard seen = ray_reach(r, occupancy);
  if (r.kind == KIND_MOVE_ONLY) return std::popcount(seen & ~occupancy);
  return std::popcount(seen & ~own);
}

constexpr Bitboard WHITE_KING_SIDE = bit(5) | bit(6);
constexpr Bitboard WHITE_QUEEN_SIDE = bit(1) | bit(2) | bit(3);
constexpr Bitboard BLACK_KING_SIDE = bit(61) | bit(62);
constexpr Bitboard BLACK_QUEEN_SIDE = bit(57) | bit(58) | bit(59);

}  // namespace

void build_ray_masks() {
  for (int slot = 0; slot < SLOT_COUNT; ++slot) {
    for (int from = 0; from < SQUARE_COUNT; ++from) masks[slot][from] = summarise(slot, from);
  }
}

const RayMasks& ray_masks(int slot, int from) { return masks[slot][from]; }

int count_moves(const Board& b, Side side) {
  const Bitboard own = b.occupied[side];
  const Bitboard enemy = b.occupied[other_side(side)];
  int n = 0;
  for (PieceType p = KING; p >= PAWN; --p) {
    const int slot = slot_of(side, p);
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
      const RayMasks& rays = masks[slot][lowest_square(set)];
      for (int r = 0; r < rays.count; ++r) n += ray_moves(rays.ray[r], own, enemy);
    }
  }
  // Castling on the king's home square and free squares between, as generated.
  const Bitboard occupancy = own | enemy;
  const bool white = side == WHITE;
  if (b.pieces[side][KING] & bit(white ? 4 : 60)) {
    n += (occupancy & (white ? WHITE_KING_SIDE : BLACK_KING_SIDE)) == 0;
    n += (occupancy & (white ? WHITE_QUEEN_SIDE : BLACK_QUEEN_SIDE)) == 0;
  }
  return n < MOVE_LIST_CAPACITY - 1 ? n : MOVE_LIST_CAPACITY - 1;
}

}  // namespace rules
