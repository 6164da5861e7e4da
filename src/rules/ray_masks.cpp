#include "rules/ray_masks.h"

#include <bit>

#include "rules/move_table.h"

namespace rules {

RayMasks ray_mask_table[SLOT_COUNT][SQUARE_COUNT];

namespace {

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

}  // namespace

void build_ray_masks() {
  for (int slot = 0; slot < SLOT_COUNT; ++slot) {
    for (int from = 0; from < SQUARE_COUNT; ++from) {
      ray_mask_table[slot][from] = summarise(slot, from);
    }
  }
}

}  // namespace rules
