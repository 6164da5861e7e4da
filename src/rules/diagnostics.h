// Developer views of the rules core on standard output, and node_count access.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move_table.h"

namespace rules {

// Writes an 8 x 8 picture of a set, rank 8 first, files a to h, "1" or "0".
void print_bitboard(Bitboard b);

// Writes the 64 entries [slot][from][0..63] as eight lines, rank 8 first.
void print_table_row(const MoveTableEntry (&row)[SQUARE_COUNT]);

// Sets node_count to 0.
void reset_node_count();

// Returns node_count.
std::uint64_t read_node_count();

}  // namespace rules
