#include "rules/perft.h"

#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/ray_masks.h"

namespace rules {

std::uint64_t perft(Board b, Side side, int depth) {
  if (depth == 0) return 1;
  // The last ply is counted in bulk; its lists would only be counted.
  if (depth == 1) return static_cast<std::uint64_t>(count_moves(b, side));
  MoveList list;
  const int n = generate_moves(b, side, list);
  std::uint64_t leaves = 0;
  for (int i = 0; i + 1 < n; ++i)
    leaves += perft(make_move(b, list[i]), other_side(side), depth - 1);
  return leaves;
}

}  // namespace rules
