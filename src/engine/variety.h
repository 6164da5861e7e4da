// The draw of variety=N: which of the moves near the best the computer plays,
// from the game's seed and the position alone, so that a game replays and a
// kept reply is the one a fresh search would draw.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace engine {

// Returns a number below count (at least 1) drawn from seed, b and side.
int variety_draw(std::uint64_t seed, const rules::Board& b, rules::Side side, int count);

}  // namespace engine
