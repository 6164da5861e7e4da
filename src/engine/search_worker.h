// The fast search of one thread: what a searching thread keeps, and the exact
// alpha-beta search below a root entry, with move ordering and the shared
// transposition table. It gives the same values as the plain `search`: see
// root_pass.h for why, and for the search of a whole root list among threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/evaluate.h"
#include "engine/search.h"
#include "engine/search_host.h"
#include "engine/transposition.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine::fast {

// Values here are from the side to move's point of view (negamax); a win for
// the side to move is WIN_SCORE. INFINITE lies beyond every value.
inline constexpr std::int32_t INFINITE = WIN_SCORE + 1;

// What one thread needs while it searches: the table it shares with the
// others, its killer moves and history, and what tells it to stop.
struct Worker {
  TranspositionTable* table = nullptr;
  std::uint64_t salt = 0;  // of the keys of the pass being searched
  rules::Move killers[MAX_DEPTH + 1][2] = {};
  // How often each quiet move (side, from, to) has ended a node, weighted by
  // the depth left below it.
  int history[2][rules::SQUARE_COUNT][rules::SQUARE_COUNT] = {};
  // Set by another thread when the task is no longer wanted.
  const std::atomic<bool>* abandon = nullptr;
  // The host's stop requests, asked every few thousand positions; only the
  // thread that chooses the move has them.
  StopLook* stop_look = nullptr;
  bool stopped = false;  // the search was abandoned or stopped: its values mean nothing
  unsigned calls = 0;    // positions searched, for the looks at the stop

  // Forgets the killers and the history (a new game).
  void forget();
};

// Returns a value from white's point of view as the side to move sees it.
inline std::int32_t for_mover(std::int32_t white_value, rules::Side side) {
  return side == rules::WHITE ? white_value : -white_value;
}

// Exact alpha-beta (fail-soft): the value is exact when it lies strictly
// between alpha and beta, an upper bound when at or below alpha, a lower bound
// when at or above beta.
std::int32_t negamax(const rules::Board& b, rules::Side side, int depth, const PassSettings& pass,
                     std::int32_t alpha, std::int32_t beta, Worker& w);

// Returns the value of a null-window test of child i of b around threshold.
std::int32_t test_child(const rules::Board& b, rules::Side side, int depth,
                        const PassSettings& pass, const rules::MoveList& list, int i,
                        std::int32_t threshold, Worker& w);

}  // namespace engine::fast
