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

// Returns the salt of the keys of one pass: values depend on the pass's limit,
// maxlevel and complexity, so no key of one setting (or of another
// generation) matches a key of another.
std::uint64_t pass_salt(int limit, int maxlevel, int complexity, std::uint64_t generation);

// Returns the key of a position with a side to move at a depth in a pass.
std::uint64_t position_key(const rules::Board& b, rules::Side side, int depth, std::uint64_t salt);

// Looks a key up; a miss has bound NONE.
TableHit probe_table(std::uint64_t key);

// Stores what a search found for a key.
void store_table(std::uint64_t key, Bound bound, std::int32_t value, rules::Move best);

}  // namespace engine
