// The parts of the fast search that its threads share: what one searching
// thread keeps, the alpha-beta search below a root entry, and the search of
// a root entry's position. Only fast_search.cpp and root_pass.cpp use it.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/evaluate.h"
#include "engine/search.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine::fast {

// Values here are from the side to move's point of view (negamax); a win for
// the side to move is WIN_SCORE. INFINITE lies beyond every value.
inline constexpr std::int32_t INFINITE = WIN_SCORE + 1;

inline constexpr int MAX_PLY = 128;

// What one thread needs while it searches: its killer moves, and the flag
// that tells it its task is no longer wanted.
struct Worker {
  std::uint64_t salt = 0;  // of the keys of the pass being searched
  rules::Move killers[MAX_PLY][2] = {};
  const std::atomic<bool>* abandon = nullptr;
  bool stopped = false;
  bool looks_for_quit = false;  // the thread that chooses the move
  bool shares_tests = false;    // hands its children's tests to idle helpers
  unsigned calls = 0;           // positions searched, for the looks
  // How often each quiet move (side, from, to) has ended a node, weighted by
  // the depth left below it.
  int history[2][rules::SQUARE_COUNT][rules::SQUARE_COUNT] = {};
};

// Returns a value from white's point of view as the side to move sees it.
inline std::int32_t for_mover(std::int32_t white_value, rules::Side side) {
  return side == rules::WHITE ? white_value : -white_value;
}

// A child's value against the threshold, from the side to move's view: the
// value of a null-window test, beyond the threshold or not.
struct ChildTest {
  int index = -1;  // the first child beyond the threshold, or -1
  std::int32_t value = 0;
};

// Exact alpha-beta (fail-soft): the value is exact when it lies strictly
// between alpha and beta, an upper bound when at or below alpha, a lower bound
// when at or above beta.
std::int32_t negamax(const rules::Board& b, rules::Side side, int depth, const PassSettings& pass,
                     std::int32_t alpha, std::int32_t beta, Worker& w);

// Returns the value of a null-window test of child i of b around threshold.
std::int32_t test_child(const rules::Board& b, rules::Side side, int depth,
                        const PassSettings& pass, const rules::MoveList& list, int i,
                        std::int32_t threshold, Worker& w);

// Searches one position as `search` would with this bound: the first child, in
// generation order, whose value beats the bound for the side to move is
// returned at once with its exact value; otherwise the exact value.
std::int32_t search_position(const rules::Board& b, rules::Side side, int depth,
                             const PassSettings& pass, float bound, Worker& w);

// The thread that chooses the move, when it shares its work (root_pass.cpp):
// the first child beyond the threshold, its children's tests shared with idle
// helpers; and negamax with idle helpers searching the children ahead.
ChildTest first_beyond_shared(const rules::Board& b, rules::Side side, int depth,
                              const PassSettings& pass, const rules::MoveList& list, int count,
                              std::int32_t threshold, Worker& w);
std::int32_t assisted_negamax(const rules::Board& b, rules::Side side, int depth,
                              const PassSettings& pass, std::int32_t alpha, std::int32_t beta,
                              Worker& w);

}  // namespace engine::fast
