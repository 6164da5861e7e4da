// The move table summarised as square sets: for every slot and from-square,
// its rays in walk order, each as one Bitboard with its direction and kind.
// Built from the table itself, so that counting moves needs no walk.
#pragma once

#include <bit>
#include <cstdint>

#include "rules/board.h"
#include "rules/move_table.h"

namespace rules {

struct RayMask {
  Bitboard squares;
  std::int8_t
      direction;      // +1: nearest square lowest; -1: nearest square highest; 0: single squares
  std::uint8_t kind;  // KIND_ANY, KIND_CAPTURE_ONLY or KIND_MOVE_ONLY
};

// The rays of one slot and from-square. A knight's or a king's targets are
// single squares that block nothing, so they form one ray of direction 0,
// whose squares are also kept in walk order.
struct RayMasks {
  RayMask ray[8];
  int count;
  std::int8_t leap[8];  // a knight's or a king's targets in walk order
  int leaps;
};

// Fills the summaries from the move table; build_move_tables calls it.
void build_ray_masks();

// The summaries, [slot][from]; written once by build_ray_masks.
extern RayMasks ray_mask_table[SLOT_COUNT][SQUARE_COUNT];

// Returns the rays of a slot and from-square.
inline const RayMasks& ray_masks(int slot, int from) { return ray_mask_table[slot][from]; }

// The squares of a ray up to and including its first occupied square.
inline Bitboard ray_reach(const RayMask& r, Bitboard occupancy) {
  const Bitboard blockers = r.squares & occupancy;
  if (blockers == 0) return r.squares;
  if (r.direction > 0) {
    const Bitboard first = blockers & (~blockers + 1);
    return r.squares & ((first << 1) - 1);
  }
  const Bitboard first = Bitboard{1} << (63 - std::countl_zero(blockers));
  return r.squares & ~(first - 1);
}

}  // namespace rules
