// Depth-limited minimax over pseudo-legal moves with single-bound cut-offs.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace engine {

// The hard depth cap: a position at this depth or deeper is always a leaf.
// Written by the move choice before each pass; read by `search`.
extern int maxlevel;
// The capture threshold: at or past the limit a position is a leaf unless its
// count_captures value reaches this. Written and read like maxlevel.
extern int complexity;

// The deepest ply a line reaches, whatever the settings: it bounds the stack
// the searches use.
inline constexpr int MAX_DEPTH = 64;

// How deep the searches of one pass go: the nominal depth (limit), the hard
// cap and the capture threshold.
struct PassSettings {
  int limit = 0;
  int maxlevel = 0;
  int complexity = 0;
};

// Returns whether a position at ply depth ends its line: at or past the limit
// unless it is busy with captures, and always at the depth cap.
bool is_leaf(const rules::Board& b, int depth, const PassSettings& pass);

// Returns the value of a position with side to move, at ply depth below the
// root, for a pass of nominal depth limit, against the caller's running best,
// under the settings maxlevel and complexity.
std::int32_t search(rules::Board b, rules::Side side, int depth, int limit, float bound);

}  // namespace engine
