// The computer's move: strength settings from conf.ini, an ordering pass and a
// main pass of searches over the root list, book nudges, the printed list.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// When set, the root entries are scored by the plain `search` instead of the
// fast search, whose values are the same (tests and the bench compare them).
extern bool plain_search;

// Returns the move the computer plays for side in b (never the end entry,
// unless the end entry is the only entry of the list), and writes the scored
// list to standard output.
rules::Move computer_move(rules::Board b, rules::Side side);

// Sorts scores and moves together, best first for side; stable.
void sort_by_score(float* scores, rules::Move* moves, int count, rules::Side side);

}  // namespace engine
