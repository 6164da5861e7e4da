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

#include "engine/search.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// The most threads a root pass uses, however many are asked for.
inline constexpr int MAX_SEARCH_THREADS = 64;

// Returns exactly what search(b, side, depth, pass.limit, bound) returns with
// the settings maxlevel and complexity of pass.
std::int32_t fast_search(rules::Board b, rules::Side side, int depth, const PassSettings& pass,
                         float bound);

// The search of a whole root list, shared among threads: each entry's value
// is fast_search(make_move(b, list[i]), other side, 1, pass, bound) for the
// bound the caller gives when it asks for entry i. Helper threads search the
// entries ahead of the caller with the bound as it stands, and search again
// the ones whose bound has changed by the time they are asked for. Ask for
// the entries in order, 0 first. Only one root pass is open at a time, and a
// RootPassScope always closes it, also on an early return.
struct RootPassScope {
  // Opens the pass for the count entries of list; threads counts the caller
  // (0: one for every core); the table holds hash_mib MiB (0: the default).
  RootPassScope(const rules::Board& b, rules::Side side, const rules::MoveList& list, int count,
                const PassSettings& pass, int threads, int hash_mib = 0);
  // Waits for the helpers to leave their work and adds the lists they
  // generated to the caller's node_count.
  ~RootPassScope();
  RootPassScope(const RootPassScope&) = delete;
  RootPassScope& operator=(const RootPassScope&) = delete;
};

// Returns the value of entry i of the open root pass for the caller's bound.
std::int32_t root_entry_value(int i, float bound);

// Returns the number of threads a pass asked for threads uses: every core
// for 0 or less, never more than MAX_SEARCH_THREADS.
int search_thread_count(int threads);

}  // namespace engine
