#include "engine/club_search.h"

#include <algorithm>

#include "engine/chess_eval.h"
#include "engine/engine.h"
#include "engine/strength.h"
#include "engine/transposition.h"
#include "engine/variety.h"
#include "rules/attacks.h"
#include "rules/castling.h"
#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/standard_chess.h"

namespace engine::club {
namespace {

using rules::Board;
using rules::Move;
using rules::Side;

constexpr std::int32_t MATE = 30000;                     // a king taken at once, for the mover
constexpr std::int32_t MATE_BOUND = MATE - 2 * MAX_PLY;  // beyond it: a mate found
constexpr std::int32_t INF = MATE + 1;

// Positions searched between two looks at the stop.
constexpr std::uint64_t STOP_LOOK_MASK = 1023;
// What a capture may gain beyond its victim and still be worth a look in
// the quiescence search.
constexpr std::int32_t DELTA_MARGIN = 200;
// The variety tests may search this share of the budget beyond it.
constexpr std::uint64_t VARIETY_SHARE = 4;  // a quarter
// Root moves whose last value lies further below the margin are not tested.
constexpr std::int32_t VARIETY_SLACK = 150;
constexpr int HISTORY_LIMIT = 1 << 20;
// The depth left up to which static values prune (a gap of FUTILITY_STEP a
// ply left), and the quiet moves a node there searches at most, beyond
// the depth left squared.
constexpr int FRONTIER_DEPTH = 3;
constexpr std::int32_t FUTILITY_STEP = 120;
constexpr int LATE_MOVES = 4;

// Move ordering's classes, highest first.
constexpr int TABLE_MOVE_RANK = 1 << 30;
constexpr int CAPTURE_RANK = 1 << 28;
constexpr int PROMOTION_RANK = 1 << 27;
constexpr int KILLER_RANK = 1 << 26;

int type_on(const Board& b, Side side, int square) {
  for (rules::PieceType t = rules::PAWN; t <= rules::KING; ++t) {
    if (rules::test_bit(b.pieces[side][t], static_cast<rules::Square>(square))) return t;
  }
  return -1;
}

bool is_capture(const Board& b, Side side, Move m) {
  const int to = rules::move_to(m);
  return to < rules::SQUARE_COUNT &&
         rules::test_bit(b.occupied[rules::other_side(side)], static_cast<rules::Square>(to));
}

bool is_promotion(const Board& b, Side side, Move m) {
  const int from = rules::move_from(m), to = rules::move_to(m);
  if (from >= rules::SQUARE_COUNT) return false;
  return rules::test_bit(b.pieces[side][rules::PAWN], static_cast<rules::Square>(from)) &&
         rules::rank_of(to) == (side == rules::WHITE ? 8 : 1);
}

bool is_pawn_move(const Board& b, Side side, Move m) {
  const int from = rules::move_from(m);
  return from < rules::SQUARE_COUNT &&
         rules::test_bit(b.pieces[side][rules::PAWN], static_cast<rules::Square>(from));
}

std::int32_t mover_eval(const Board& b, Side side) {
  const std::int32_t v = evaluate_chess(b);
  return side == rules::WHITE ? v : -v;
}

// Mate values are stored from the position's own ply, read back at the ply
// of the look-up.
std::int32_t to_table(std::int32_t v, int ply) {
  return v >= MATE_BOUND ? v + ply : v <= -MATE_BOUND ? v - ply : v;
}
std::int32_t from_table(std::int32_t v, int ply) {
  return v >= MATE_BOUND ? v - ply : v <= -MATE_BOUND ? v + ply : v;
}

// One choice's search.
struct Search {
  Searcher& st;
  const PassSettings& pass;
  StopLook& stop;
  std::uint64_t salt;
  std::uint64_t nodes = 0;
  std::uint64_t limit = ~std::uint64_t{0};
  bool aborted = false;

  std::uint64_t key_of(const Board& b, Side side, std::uint8_t rights) const {
    const std::uint64_t position = table_key(b, side, 0, 0).position;
    return position ^ salt ^ (std::uint64_t{rights} * 0xD6E8FEB86659FD93ULL);
  }

  // Counts a position; returns whether the search is to end.
  bool tick() {
    if (aborted) return true;
    ++nodes;
    if (nodes > limit || ((nodes & STOP_LOOK_MASK) == 0 && stop.due())) aborted = true;
    return aborted;
  }

  // Returns whether the move may be searched: castling as the rules in use allow.
  bool castling_allowed(const Board& b, std::uint8_t rights, Move m) const {
    const rules::Castling* c = rules::castling_of(rules::move_from(m));
    return c == nullptr || !pass.legal_castling || rules::castling_allowed(b, rights, *c);
  }

  std::uint8_t rights_after(std::uint8_t rights, Move m) const {
    return pass.legal_castling ? rules::castling_rights_after(rights, m) : rights;
  }

  // Fills rank with the ordering keys of the moves.
  void rank_moves(const Board& b, Side side, const rules::MoveList& list, int count,
                  Move table_move, int ply, int (&rank)[rules::MOVE_LIST_CAPACITY]) const {
    const Move* killers = st.killers[ply];
    for (int i = 0; i < count; ++i) {
      const Move m = list[i];
      const int from = rules::move_from(m), to = rules::move_to(m);
      if (m == table_move) {
        rank[i] = TABLE_MOVE_RANK;
      } else if (is_capture(b, side, m)) {
        rank[i] =
            CAPTURE_RANK + type_on(b, rules::other_side(side), to) * 16 - type_on(b, side, from);
      } else if (is_promotion(b, side, m)) {
        rank[i] = PROMOTION_RANK;
      } else if (m == killers[0]) {
        rank[i] = KILLER_RANK + 1;
      } else if (m == killers[1]) {
        rank[i] = KILLER_RANK;
      } else {
        rank[i] = from < rules::SQUARE_COUNT ? st.history[side][from][to] : 0;
      }
    }
  }

  // Returns the index of the best-ranked move from k on, moved to place k.
  static void pick(rules::MoveList& list, int (&rank)[rules::MOVE_LIST_CAPACITY], int k,
                   int count) {
    int best = k;
    for (int i = k + 1; i < count; ++i) {
      if (rank[i] > rank[best]) best = i;
    }
    std::swap(list[k], list[best]);
    std::swap(rank[k], rank[best]);
  }

  // A child to search: the position, the side to move, the rights, the
  // depth left, the ply, and the plies since a capture or a pawn's move.
  struct Child {
    const Board& b;
    Side side;
    std::uint8_t rights;
    int depth, ply, reversible;
  };

  // Returns the child's value from its own side's point of view, in its
  // window (alpha, beta): the first move in full; any other with a null
  // window at beta, reduction plies less deep, then, where it falls below
  // beta, at the full depth, and, where it still lies inside, in full.
  std::int32_t child_value(const Child& c, std::int32_t alpha, std::int32_t beta, bool first,
                           int reduction) {
    if (first) return node(c.b, c.side, c.rights, c.depth, c.ply, alpha, beta, true, c.reversible);
    std::int32_t v =
        node(c.b, c.side, c.rights, c.depth - reduction, c.ply, beta - 1, beta, true, c.reversible);
    if (v < beta && reduction > 0 && !aborted) {
      v = node(c.b, c.side, c.rights, c.depth, c.ply, beta - 1, beta, true, c.reversible);
    }
    if (v < beta && v > alpha && !aborted) {
      v = node(c.b, c.side, c.rights, c.depth, c.ply, alpha, beta, true, c.reversible);
    }
    return v;
  }

  // A quiet move that ended a node becomes a killer and gains history.
  void note_cutoff(Side side, Move m, int depth, int ply) {
    Move* killers = st.killers[ply];
    if (killers[0] != m) {
      killers[1] = killers[0];
      killers[0] = m;
    }
    const int from = rules::move_from(m);
    if (from >= rules::SQUARE_COUNT) return;  // castling has no history
    int& h = st.history[side][from][rules::move_to(m)];
    h += depth * depth;
    if (h > HISTORY_LIMIT) {
      for (auto& row : st.history[side]) {
        for (int& x : row) x /= 2;
      }
    }
  }

  std::int32_t quiesce(const Board& b, Side side, int ply, std::int32_t alpha, std::int32_t beta);
  std::int32_t node(const Board& b, Side side, std::uint8_t rights, int depth, int ply,
                    std::int32_t alpha, std::int32_t beta, bool null_ok, int reversible);
};

std::int32_t Search::quiesce(const Board& b, Side side, int ply, std::int32_t alpha,
                             std::int32_t beta) {
  if (tick()) return 0;
  const std::int32_t stand = mover_eval(b, side);
  if (stand >= beta || ply >= MAX_PLY) return stand;
  if (stand > alpha) alpha = stand;
  rules::MoveList list;
  const int generated = rules::generate_moves(b, side, list);
  // Captures and promotions only, most valuable victim first.
  int rank[rules::MOVE_LIST_CAPACITY];
  int count = 0;
  for (int i = 0; i < generated; ++i) {
    const Move m = list[i];
    const bool capture = is_capture(b, side, m);
    if (!capture && !is_promotion(b, side, m)) continue;
    const int victim = capture ? type_on(b, rules::other_side(side), rules::move_to(m)) : -1;
    const std::int32_t gain =
        (victim >= 0 ? CHESS_VALUE[victim] : 0) +
        (is_promotion(b, side, m) ? CHESS_VALUE[rules::QUEEN] - CHESS_VALUE[rules::PAWN] : 0);
    if (stand + gain + DELTA_MARGIN <= alpha) continue;  // cannot bring alpha up
    list[count] = m;
    rank[count++] = gain * 16 - type_on(b, side, rules::move_from(m));
  }
  std::int32_t best = stand;
  const Side other = rules::other_side(side);
  for (int k = 0; k < count; ++k) {
    pick(list, rank, k, count);
    const Board child = rules::make_move(b, list[k]);
    if (rules::king_attacked(child, side)) continue;
    const std::int32_t v = -quiesce(child, other, ply + 1, -beta, -alpha);
    if (aborted) return 0;
    if (v > best) best = v;
    if (v > alpha) {
      alpha = v;
      if (alpha >= beta) break;
    }
  }
  return best;
}

// Returns whether the table's entry settles a node of this depth left and
// window without a search.
bool cuts(const Hit& hit, int depth, int ply, std::int32_t alpha, std::int32_t beta) {
  if (hit.bound == Bound::NONE || hit.draft < depth) return false;
  const std::int32_t v = from_table(hit.value, ply);
  return hit.bound == Bound::EXACT || (hit.bound == Bound::LOWER && v >= beta) ||
         (hit.bound == Bound::UPPER && v <= alpha);
}

// Returns whether side has a piece besides its king and pawns: without one,
// passing may be the best, and a null move proves nothing.
bool has_pieces(const Board& b, Side side) {
  const rules::Bitboard* p = b.pieces[side];
  return (p[rules::KNIGHT] | p[rules::BISHOP] | p[rules::ROOK] | p[rules::QUEEN]) != 0;
}

std::int32_t Search::node(const Board& b, Side side, std::uint8_t rights, int depth, int ply,
                          std::int32_t alpha, std::int32_t beta, bool null_ok, int reversible) {
  if (tick()) return 0;
  const std::uint64_t key = key_of(b, side, rights);
  st.path[ply] = key;
  // A position met again on the line (with the same side to move) is a draw.
  for (int back = 4; back <= reversible && back <= ply; back += 2) {
    if (st.path[ply - back] == key) return 0;
  }
  const bool check = rules::king_attacked(b, side);
  if (check) ++depth;
  if (depth <= 0 || ply >= MAX_PLY) return quiesce(b, side, ply, alpha, beta);
  // No line beats the quickest mate.
  alpha = std::max(alpha, -(MATE - ply));
  beta = std::min(beta, MATE - ply - 1);
  if (alpha >= beta) return alpha;
  const bool pv = beta - alpha > 1;
  const Hit hit = st.table.probe(key);
  if (!pv && cuts(hit, depth, ply, alpha, beta)) return from_table(hit.value, ply);
  const Side other = rules::other_side(side);
  // Near the leaves, a position far above beta by its static value is taken
  // as it stands, quiet moves that cannot close a gap below alpha are not
  // searched, and neither are late quiet moves.
  const bool frontier = !pv && !check && depth <= FRONTIER_DEPTH;
  const std::int32_t static_value = !pv && !check ? mover_eval(b, side) : 0;
  if (frontier && beta < MATE_BOUND && static_value - FUTILITY_STEP * depth >= beta) {
    return static_value;
  }
  const bool futile = frontier && static_value + FUTILITY_STEP * depth <= alpha;
  // Null move: if passing still holds beta, a real move will too.
  if (null_ok && !pv && !check && depth >= 3 && has_pieces(b, side) && static_value >= beta) {
    const int reduction = depth >= 7 ? 3 : 2;
    const std::int32_t v =
        -node(b, other, rights, depth - 1 - reduction, ply + 1, -beta, -beta + 1, false, 0);
    if (aborted) return 0;
    if (v >= beta) return v >= MATE_BOUND ? beta : v;
  }

  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  int rank[rules::MOVE_LIST_CAPACITY];
  rank_moves(b, side, list, count, hit.move, ply, rank);
  const std::int32_t original_alpha = alpha;
  std::int32_t best = -INF;
  Move best_move = rules::END_MOVE;
  int legal = 0;
  for (int k = 0; k < count; ++k) {
    pick(list, rank, k, count);
    const Move m = list[k];
    if (m == rules::END_MOVE || !castling_allowed(b, rights, m)) continue;
    const Board child = rules::make_move(b, m);
    if (rules::king_attacked(child, side)) continue;
    const bool quiet = !is_capture(b, side, m) && !is_promotion(b, side, m);
    if (legal > 0 && quiet && frontier && (futile || legal >= LATE_MOVES + depth * depth) &&
        !rules::king_attacked(child, other)) {
      continue;
    }
    ++legal;
    const std::uint8_t child_rights = rights_after(rights, m);
    const int child_reversible = quiet && !is_pawn_move(b, side, m) ? reversible + 1 : 0;
    // Late quiet moves are searched a ply less deep, or two or three.
    const int reduction = depth >= 3 && !check && quiet && rank[k] < KILLER_RANK && legal > 3
                              ? 1 + (legal > 6 && depth >= 5) + (!pv && legal > 12 && depth >= 7)
                              : 0;
    const std::int32_t v =
        -child_value({child, other, child_rights, depth - 1, ply + 1, child_reversible}, -beta,
                     -alpha, legal == 1, reduction);
    if (aborted) return 0;
    if (v > best) {
      best = v;
      best_move = m;
    }
    if (v > alpha) {
      alpha = v;
      if (alpha >= beta) {
        if (quiet) note_cutoff(side, m, depth, ply);
        break;
      }
    }
  }
  if (legal == 0) return check ? -(MATE - ply) : 0;  // mated, or stalemate: a draw
  const Bound bound = best <= original_alpha ? Bound::UPPER
                      : best >= beta         ? Bound::LOWER
                                             : Bound::EXACT;
  st.table.store(key, depth, bound, to_table(best, ply), best_move);
  return best;
}

// A move of the root list and what the search found for it.
struct RootMove {
  Move move;
  Board child;
  std::uint8_t rights;
  int reversible;
  std::int32_t value;
};

struct Root {
  RootMove moves[rules::MOVE_LIST_CAPACITY];
  int count = 0;
  int depth = 0;  // of the last iteration completed
};

// Sorts root moves by value, highest first, keeping the order of equals; in
// place (std::stable_sort may take memory for its buffer).
void sort_by_value(RootMove* first, RootMove* last) {
  for (RootMove* i = first + 1; i < last; ++i) {
    for (RootMove* j = i; j > first && (j - 1)->value < j->value; --j) std::swap(*(j - 1), *j);
  }
}

// Fills the root's moves that keep the king; returns a move that takes the
// enemy king at once, or END_MOVE.
Move root_moves(Search& s, const Board& b, Side side, std::uint8_t rights, Root& root) {
  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  for (int i = 0; i < count; ++i) {
    const Move m = list[i];
    if (m == rules::END_MOVE || !s.castling_allowed(b, rights, m)) continue;
    const Board child = rules::make_move(b, m);
    if (child.pieces[rules::other_side(side)][rules::KING] == 0) return m;
    if (rules::king_attacked(child, side)) continue;
    const bool reversible = !is_capture(b, side, m) && !is_pawn_move(b, side, m);
    root.moves[root.count++] = {m, child, s.rights_after(rights, m), reversible ? 1 : 0, 0};
  }
  return rules::END_MOVE;
}

// Searches every root move to depth; returns false when the budget or the
// stop ended the iteration before its first move was searched. A later move
// that rises above the first is searched in full and goes first.
bool iterate(Search& s, Root& root, Side side, int depth) {
  std::int32_t alpha = -INF;
  const std::int32_t beta = INF;
  int best = -1;
  const Side other = rules::other_side(side);
  for (int i = 0; i < root.count; ++i) {
    RootMove& r = root.moves[i];
    std::int32_t v;
    if (i == 0) {
      v = -s.node(r.child, other, r.rights, depth - 1, 1, -beta, -alpha, true, r.reversible);
    } else {
      v = -s.node(r.child, other, r.rights, depth - 1, 1, -alpha - 1, -alpha, true, r.reversible);
      if (v > alpha && !s.aborted) {
        v = -s.node(r.child, other, r.rights, depth - 1, 1, -beta, -alpha, true, r.reversible);
      }
    }
    if (s.aborted) break;
    r.value = v;
    if (v > alpha) {
      alpha = v;
      best = i;
    }
  }
  if (best < 0) return false;
  // The best first; the rest by their values, ties in the order they had.
  std::rotate(root.moves, root.moves + best, root.moves + best + 1);
  sort_by_value(root.moves + 1, root.moves + root.count);
  return true;
}

// Returns the number of root moves (the first ones) the draw of variety
// chooses among: those whose value lies within the margin of the best, as
// null-window tests at the last depth completed show, within their budget.
int near_best(Search& s, Root& root, Side side, int margin) {
  const std::int32_t best = root.moves[0].value;
  if (margin <= 0 || root.depth < 1 || best >= MATE_BOUND || best <= -MATE_BOUND) return 1;
  const std::int32_t target = best - margin;
  s.limit = s.nodes + s.pass.node_budget / VARIETY_SHARE;
  if (s.pass.node_budget == 0) s.limit = ~std::uint64_t{0};
  int near = 1;
  for (int i = 1; i < root.count && root.moves[i].value >= target - VARIETY_SLACK; ++i) {
    RootMove& r = root.moves[i];
    const std::int32_t v = -s.node(r.child, rules::other_side(side), r.rights, root.depth - 1, 1,
                                   -target, -target + 1, true, r.reversible);
    if (s.aborted) break;
    if (v >= target) std::swap(root.moves[near++], r);
  }
  return near;
}

void fill_list(const Root& root, Side side, MoveChoice& choice) {
  choice.listed = true;
  choice.count = root.count;
  for (int i = 0; i < root.count; ++i) {
    choice.list[i] = root.moves[i].move;
    const std::int32_t v = root.moves[i].value;
    choice.scores[i] = static_cast<float>(side == rules::WHITE ? v : -v);
  }
}

void start_choice(Searcher& st, int table_mib) {
  st.table.reserve(table_mib);
  st.table.new_choice();
  for (auto& pair : st.killers) pair[0] = pair[1] = rules::END_MOVE;
  for (auto& by_side : st.history) {
    for (auto& row : by_side) std::fill(std::begin(row), std::end(row), 0);
  }
}

std::uint8_t root_rights(const PassSettings& pass, const Board& b) {
  if (!pass.legal_castling) return 0;
  return pass.castling_rights == RIGHTS_FROM_PLACEMENT ? rules::castling_rights_of_placement(b)
                                                       : pass.castling_rights;
}

}  // namespace

void choose(Searcher& st, const Board& b, Side side, const PassSettings& pass, int table_mib,
            StopLook& stop, MoveChoice& choice) {
  start_choice(st, table_mib);
  st.expected = rules::END_MOVE;
  Search s{st, pass, stop, pass_salt(pass)};
  const std::uint8_t rights = root_rights(pass, b);
  Root root;
  const Move takes_king = root_moves(s, b, side, rights, root);
  if (takes_king != rules::END_MOVE || root.count == 0) {
    // A king taken at once, or no move keeps the king: the first move there is.
    rules::MoveList list;
    rules::generate_moves(b, side, list);
    choice.move = takes_king != rules::END_MOVE ? takes_king : list[0];
    return;
  }
  st.path[0] = s.key_of(b, side, rights);
  if (root.count == 1) {
    RootMove& only = root.moves[0];
    only.value = -mover_eval(only.child, rules::other_side(side));
  }
  const int deepest = std::max(1, pass.limit);
  for (int depth = 1; depth <= deepest && root.count > 1; ++depth) {
    // The first iteration always ends: the budget counts from the second.
    if (depth == 2 && pass.node_budget > 0) s.limit = pass.node_budget;
    if (!iterate(s, root, side, depth)) break;
    root.depth = depth;
    if (s.aborted) break;
    const std::int32_t v = root.moves[0].value;
    if (v >= MATE_BOUND || v <= -MATE_BOUND) break;  // a mate found: deeper finds no other
  }
  if (stop.stopped) return;
  s.aborted = false;
  const int near = root.count > 1 ? near_best(s, root, side, pass.variety) : 1;
  if (stop.stopped) return;
  fill_list(root, side, choice);
  const RootMove& chosen = root.moves[near > 1 ? variety_draw(pass.seed, b, side, near) : 0];
  choice.move = chosen.move;
  st.expected_board = chosen.child;
  st.expected_side = rules::other_side(side);
  st.expected = st.table.probe(s.key_of(chosen.child, st.expected_side, chosen.rights)).move;
}

void rank(Searcher& st, const Board& b, Side side, const PassSettings& pass, int table_mib,
          StopLook& stop, MoveChoice& choice) {
  start_choice(st, table_mib);
  Search s{st, pass, stop, pass_salt(pass)};
  const std::uint8_t rights = root_rights(pass, b);
  Root root;
  const Move takes_king = root_moves(s, b, side, rights, root);
  // Moves that lose the king at once go last, before the end entry.
  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  int n = 0;
  if (takes_king != rules::END_MOVE) choice.list[n++] = takes_king;
  const int depth = std::clamp(pass.limit, 1, 3);
  for (int i = 0; i < root.count; ++i) {
    RootMove& r = root.moves[i];
    if (r.move == takes_king) continue;
    st.path[0] = s.key_of(b, side, rights);
    r.value = -s.node(r.child, rules::other_side(side), r.rights, depth - 1, 1, -INF, INF, true,
                      r.reversible);
    if (stop.stopped) return;
  }
  sort_by_value(root.moves, root.moves + root.count);
  for (int i = 0; i < root.count; ++i) {
    if (root.moves[i].move != takes_king) choice.list[n++] = root.moves[i].move;
  }
  for (int i = 0; i < count; ++i) {
    const bool placed =
        std::find(choice.list.begin(), choice.list.begin() + n, list[i]) != choice.list.begin() + n;
    if (!placed && list[i] != rules::END_MOVE) choice.list[n++] = list[i];
  }
  choice.list[n++] = rules::END_MOVE;
  choice.count = n;
  choice.listed = true;
}

rules::Move expected_move(const Searcher& s, const Board& b, Side side) {
  return s.expected_side == side && s.expected_board == b ? s.expected : rules::END_MOVE;
}

}  // namespace engine::club
