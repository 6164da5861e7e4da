// The transposition table of the fast search: values of positions already
// searched at the same depth in the same pass, shared by every search thread.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// What a stored value says about the position's exact value.
enum class Bound : std::uint8_t { NONE = 0, EXACT = 1, LOWER = 2, UPPER = 3 };

struct TableHit {
  Bound bound = Bound::NONE;
  std::int32_t value = 0;
  rules::Move best = rules::END_MOVE;
};

// Allocates the table once (size_log2: 2^size_log2 entries of 16 bytes);
// later calls keep the existing table.
void reserve_table(int size_log2);

// Returns the bytes the table holds.
std::uint64_t table_bytes();

// Starts a new pass: entries of earlier passes no longer match. A pass is one
// setting of limit, complexity and maxlevel.
void new_table_pass();

// Returns the key of a position with a side to move at a depth in this pass.
std::uint64_t position_key(const rules::Board& b, rules::Side side, int depth);

// Looks a key up; a miss has bound NONE.
TableHit probe_table(std::uint64_t key);

// Stores what a search found for a key.
void store_table(std::uint64_t key, Bound bound, std::int32_t value, rules::Move best);

}  // namespace engine
