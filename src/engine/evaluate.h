// The static score of a position, from white's point of view.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace engine {

// The score of a Board without the black king; the negation means no white king.
inline constexpr std::int32_t WIN_SCORE = 100000;

inline constexpr rules::Bitboard CENTRE_RING = 0x00003C24243C0000ULL;     // worth 10 a piece
inline constexpr rules::Bitboard CENTRE_SQUARES = 0x0000001818000000ULL;  // worth 20 a piece

// Returns the king test, else material plus the centre bonuses.
std::int32_t evaluate(rules::Board b);

}  // namespace engine
