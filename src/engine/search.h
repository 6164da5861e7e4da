// Depth-limited minimax over pseudo-legal moves with single-bound cut-offs.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace engine {

// The hard depth cap: a position at this depth or deeper is always a leaf.
extern int maxlevel;
// The capture threshold: at or past the limit a position is a leaf unless its
// count_captures value reaches this.
extern int complexity;

// Returns the value of a position with side to move, at ply depth below the
// root, for a pass of nominal depth limit, against the caller's running best.
std::int32_t search(rules::Board b, rules::Side side, int depth, int limit, float bound);

}  // namespace engine
