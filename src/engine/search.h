// Depth-limited minimax over pseudo-legal moves with single-bound cut-offs:
// the plain search, the reference every faster search must agree with.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace engine {

// The deepest ply a line reaches, whatever the settings: it bounds the stack
// the searches use and the killer moves a searching thread keeps.
inline constexpr int MAX_DEPTH = 64;

// How deep the searches of one pass go: the nominal depth (limit), the hard
// cap (maxlevel: a position this deep is always a leaf) and the capture
// threshold (complexity: at or past the limit a position is a leaf unless its
// count_captures value reaches this).
struct PassSettings {
  int limit = 0;
  int maxlevel = 0;
  int complexity = 0;
};

// Returns whether a position at ply depth ends its line: at or past the limit
// unless it is busy with captures, and always at the depth cap.
bool is_leaf(const rules::Board& b, int depth, const PassSettings& pass);

// Returns the value of a position with side to move, at ply depth below the
// root, under the pass's settings, against the caller's running best.
std::int32_t search(rules::Board b, rules::Side side, int depth, const PassSettings& pass,
                    float bound);

}  // namespace engine
