// Leaf counts of the pseudo-legal move tree, to check and time the generator.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace rules {

// Returns the number of leaves depth plies below a position: at every node the
// generated list of the side to move without its end entry, castling included,
// sides alternating, with no stop when a king has been captured. The last ply
// is counted in bulk from the list length.
std::uint64_t perft(Board b, Side side, int depth);

}  // namespace rules
