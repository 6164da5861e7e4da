// The search the computer plays with: the same values as `search`, found with
// alpha-beta, move ordering, a transposition table and several threads.
//
// Why the values are the same: `search` cuts a node off only against its own
// parent's running best, so a value cut off at a node never changes its
// parent's result. What a root entry's search returns is therefore fixed by
// exact minimax values alone: with white to move at the searched position P and
// the root's best b, it is the exact value of the first child of P (in
// generation order) whose exact value exceeds b, or, when none does, the exact
// value of P (mirrored for black). Everything below P's children may be
// searched by any exact method.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// Returns exactly what search(b, side, depth, limit, bound) returns, under the
// current maxlevel and complexity settings.
std::int32_t fast_search(rules::Board b, rules::Side side, int depth, int limit, float bound);

// The search of a whole root list, shared among the threads: each entry's
// value is fast_search(make_move(b, list[i]), other side, 1, limit, bound) for
// the bound the caller gives when it asks for entry i. The threads search the
// entries ahead of the caller with the bound as it stands, and search again
// the ones whose bound has changed by the time they are asked for. Ask for the
// entries in order, 0 first; end the pass before the next one begins.
void begin_root_pass(const rules::Board& b, rules::Side side, const rules::MoveList& list,
                     int count, int limit);
std::int32_t root_entry_value(int i, float bound);
void end_root_pass();

// Starts a new pass of root searches: call whenever limit, complexity or
// maxlevel change, so that stored values of another setting are not reused.
void start_search_pass();

// Caps the number of threads for the rest of the run (a program option); the
// cap starts at the number of cores.
void limit_search_threads(int threads);

// Sets the number of threads the next searches use, at most the cap; 0 or
// less asks for the cap.
void set_search_threads(int threads);

// Returns the number of threads the next searches use.
int search_threads();

}  // namespace engine
