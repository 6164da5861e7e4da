// Pseudo-legal move generation and the capture count, both walking the move table.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move.h"

namespace rules {

// Grows by the number of entries of every list generate_moves writes. Each
// thread counts its own lists; a search that uses helper threads adds theirs
// to the count of the thread that started it.
extern thread_local std::uint64_t node_count;

// Writes the moves of a side into list, in the fixed order (king moves first,
// then queens, rooks, bishops, knights, pawns; king-side then queen-side
// castling; the end entry last) and returns the number of entries written,
// end entry included. Never writes past the list's capacity.
int generate_moves(Board b, Side side, MoveList& list);

// Returns the number of moves generate_moves lists for side, without the end
// entry (at most MOVE_LIST_CAPACITY - 1), counted without listing them.
int count_moves(const Board& b, Side side);

// Returns the number of (piece, enemy piece) pairs of both sides in which the
// piece could take the enemy piece were the enemy pieces in between not there.
int count_captures(Board b);

// Returns whether count_captures(b) is at least count, counting no further
// than needed to tell.
bool captures_at_least(const Board& b, int count);

}  // namespace rules
