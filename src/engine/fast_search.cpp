// The fast search of one thread: exact alpha-beta below the root entries,
// with move ordering and the shared table.
#include <algorithm>

#include "engine/search_worker.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace engine::fast {
namespace {

// The depth left to the nominal one from which quiet moves are ordered by
// their history: nearer the leaves the ordering costs more than it saves.
constexpr int HISTORY_DEPTH = 3;

// Positions searched between two looks at the clock for a stop.
constexpr unsigned STOP_LOOK_MASK = 1023;

// Returns the type of the piece of a side on a square, or -1.
int type_on(const rules::Board& b, rules::Side side, int square) {
  if (!rules::test_bit(b.occupied[side], static_cast<rules::Square>(square))) return -1;
  for (rules::PieceType t = rules::PAWN; t <= rules::KING; ++t) {
    if (rules::test_bit(b.pieces[side][t], static_cast<rules::Square>(square))) return t;
  }
  return -1;
}

// Fills order with the indices of list in search order: the table's move,
// then the captures by victim (most valuable first) and attacker (least
// valuable first), the killers, the quiet moves in generation order, and the
// pass last; moves alike keep their generation order.
void order_moves(const rules::Board& b, rules::Side side, const rules::MoveList& list, int count,
                 rules::Move table_move, const rules::Move (&killers)[2],
                 const int (*history)[rules::SQUARE_COUNT],
                 int (&order)[rules::MOVE_LIST_CAPACITY]) {
  const rules::Bitboard enemy = b.occupied[rules::other_side(side)];
  int first = 0;  // next place after the table's move and the captures
  int capture_keys[rules::MOVE_LIST_CAPACITY];
  int later[rules::MOVE_LIST_CAPACITY];  // killers first, then the quiet moves
  int killer_count = 0, later_count = 0;
  int pass = -1;
  for (int i = 0; i < count; ++i) {
    const rules::Move m = list[i];
    const int from = rules::move_from(m), to = rules::move_to(m);
    if (m == rules::END_MOVE) {
      pass = i;
    } else if (m == table_move) {
      // The table's move goes first: shift the captures placed so far.
      for (int j = first; j > 0; --j) {
        order[j] = order[j - 1];
        capture_keys[j] = capture_keys[j - 1];
      }
      order[0] = i;
      capture_keys[0] = INFINITE;
      ++first;
    } else if (from < rules::SQUARE_COUNT &&
               rules::test_bit(enemy, static_cast<rules::Square>(to))) {
      const int key = type_on(b, rules::other_side(side), to) * 8 - type_on(b, side, from);
      int j = first++;
      for (; j > 0 && capture_keys[j - 1] < key; --j) {
        order[j] = order[j - 1];
        capture_keys[j] = capture_keys[j - 1];
      }
      order[j] = i;
      capture_keys[j] = key;
    } else if (m == killers[0] || m == killers[1]) {
      // Killers stand before the quiet moves, in generation order.
      for (int j = later_count; j > killer_count; --j) later[j] = later[j - 1];
      later[killer_count++] = i;
      ++later_count;
    } else if (history == nullptr || from >= rules::SQUARE_COUNT) {
      later[later_count++] = i;  // castling has no history
    } else {
      // Quiet moves by their history, the most successful first.
      const int score = history[from][to];
      int j = later_count++;
      for (; j > killer_count; --j) {
        const rules::Move earlier = list[later[j - 1]];
        const int e_from = rules::move_from(earlier);
        if (e_from >= rules::SQUARE_COUNT || history[e_from][rules::move_to(earlier)] >= score)
          break;
        later[j] = later[j - 1];
      }
      later[j] = i;
    }
  }
  for (int j = 0; j < later_count; ++j) order[first + j] = later[j];
  if (pass >= 0) order[first + later_count] = pass;
}

}  // namespace

void Worker::forget() {
  for (auto& pair : killers) pair[0] = pair[1] = rules::Move{};
  for (auto& side : history) {
    for (auto& from : side) std::fill(std::begin(from), std::end(from), 0);
  }
}

std::int32_t negamax(const rules::Board& b, rules::Side side, int depth, const PassSettings& pass,
                     std::int32_t alpha, std::int32_t beta, Worker& w) {
  if (w.abandon != nullptr && w.abandon->load(std::memory_order_relaxed)) {
    w.stopped = true;
    return 0;
  }
  if (w.stop_look != nullptr && (++w.calls & STOP_LOOK_MASK) == 0 && w.stop_look->due()) {
    w.stopped = true;
    return 0;
  }
  if (pass.sound_kings) {
    if (const std::int32_t ended = captured_king_value(b, depth)) return for_mover(ended, side);
  }
  if (is_leaf(b, depth, pass)) return for_mover(evaluate(b), side);

  // The table's line is fetched while the moves are generated: a look-up
  // that has to wait for memory costs more than the generation.
  const TableKey key = table_key(b, side, depth, w.salt);
  w.table->prefetch(key);
  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  const TableHit hit = w.table->probe(key);
  if (hit.bound == Bound::EXACT) return hit.value;
  if (hit.bound == Bound::LOWER && hit.value >= beta) return hit.value;
  if (hit.bound == Bound::UPPER && hit.value <= alpha) return hit.value;

  rules::Move(&killers)[2] = w.killers[std::min(depth, MAX_DEPTH)];
  const rules::Side other = rules::other_side(side);
  const std::int32_t original_alpha = alpha;
  const std::int32_t most = best_possible(pass, depth);
  std::int32_t best = -INFINITE;
  rules::Move best_move = rules::END_MOVE;
  int tried = 0;
  // Searches one move and returns whether the node is done (a cut-off, a
  // captured king, or a search abandoned).
  auto search_move = [&](rules::Move m) {
    const rules::Board child = rules::make_move(b, m);
    std::int32_t v;
    if (tried++ == 0 || beta - alpha == 1) {
      v = -negamax(child, other, depth + 1, pass, -beta, -alpha, w);
    } else {
      // Principal variation search: the first move is likely the best, so the
      // others only have to be shown no better, with a null window; one that
      // is better is searched again for its exact value.
      v = -negamax(child, other, depth + 1, pass, -alpha - 1, -alpha, w);
      if (v > alpha && v < beta && !w.stopped) {
        v = -negamax(child, other, depth + 1, pass, -beta, -(v - 1), w);
      }
    }
    if (w.stopped) return true;
    if (v > best) {
      best = v;
      best_move = m;
    }
    if (v > alpha) alpha = v;
    return alpha >= beta || v == most;  // nothing beats a king captured at once
  };
  int order[rules::MOVE_LIST_CAPACITY];
  order_moves(b, side, list, count, hit.best != rules::END_MOVE ? hit.best : hit.hint, killers,
              pass.limit - depth >= HISTORY_DEPTH ? w.history[side] : nullptr, order);
  for (int k = 0; k < count; ++k) {
    if (search_move(list[order[k]])) break;
  }
  if (w.stopped) return 0;
  // A quiet move that cut off becomes a killer and gains history; castlings
  // (codes beyond the squares) and captures do not.
  if (best >= beta && rules::move_from(best_move) < rules::SQUARE_COUNT &&
      !rules::test_bit(b.occupied[other], static_cast<rules::Square>(rules::move_to(best_move)))) {
    if (best_move != killers[0]) {
      killers[1] = killers[0];
      killers[0] = best_move;
    }
    const int left = pass.maxlevel - depth;
    w.history[side][rules::move_from(best_move)][rules::move_to(best_move)] += left * left;
  }
  const Bound bound = best <= original_alpha ? Bound::UPPER
                      : best >= beta         ? Bound::LOWER
                                             : Bound::EXACT;
  w.table->store(key, depth, bound, best, best_move);
  return best;
}

std::int32_t test_child(const rules::Board& b, rules::Side side, int depth,
                        const PassSettings& pass, const rules::MoveList& list, int i,
                        std::int32_t threshold, Worker& w) {
  return -negamax(rules::make_move(b, list[i]), rules::other_side(side), depth + 1, pass,
                  -threshold - 1, -threshold, w);
}

}  // namespace engine::fast
