// The club search's evaluation: what a chess player counts in a position,
// from white's point of view in centipawns. Material at the standard values,
// piece placement, pawn structure, mobility and the king's safety, each with
// a middle-game and an endgame weight blended by the material left. The
// game's own evaluation (evaluate.h) stays the designed one.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace engine {

// The values of the pieces in the middle game, by PieceType (the king none):
// what the search orders captures by and what a capture can at most gain.
inline constexpr std::int32_t CHESS_VALUE[rules::PIECE_TYPES] = {90, 320, 330, 480, 950, 0};

// Returns the score of a Board with both kings on it.
std::int32_t evaluate_chess(const rules::Board& b);

}  // namespace engine
