// The move choice: an ordering pass and a main pass of searches over the root
// list, the book's nudges, the final order.
#include "engine/engine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <thread>
#include <utility>

#include "engine/club_search.h"
#include "engine/evaluate.h"
#include "engine/root_pass.h"
#include "engine/search.h"
#include "engine/transposition.h"
#include "engine/variety.h"
#include "rules/castling.h"
#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/standard_chess.h"

namespace engine {

struct Engine::State {
  explicit State(book::Book b) : book(std::move(b)), root(table) {}

  book::Book book;
  TranspositionTable table;
  RootPass root;          // after the table: its helpers search it until they are joined
  club::Searcher club;    // search=club: its own table, used only in that mode
  std::thread preparing;  // prepare_table's, joined before the table is used again
  std::atomic<bool> stop_preparing{false};
};

namespace {

// Waits until the table's preparation, if one runs, is done.
void wait_for_table(Engine::State& state) {
  if (state.preparing.joinable()) state.preparing.join();
}

// Book nudges: a move credited to the mover counts ten times a drawn one.
constexpr double OWN_MARK_NUDGE = 0.1;
constexpr double DRAW_MARK_NUDGE = 0.01;
constexpr int DRAW_MARK = 0;

// Returns the score from white's point of view of side's best: a king
// captured by the root move (worth less under sound kings, one ply down).
constexpr std::int32_t win_for(rules::Side side, const PassSettings& pass) {
  const std::int32_t best = best_possible(pass, 0);
  return side == rules::WHITE ? best : -best;
}

// Returns the score below every other for side: its own king lost at once.
constexpr float worst_for(rules::Side side) {
  return static_cast<float>(side == rules::WHITE ? -WIN_SCORE : WIN_SCORE);
}

// Returns whether score a is better than score b for side.
constexpr bool better_for(rules::Side side, float a, float b) {
  return side == rules::WHITE ? a > b : a < b;
}

// What one pass over the root list came to.
enum class PassEnd { COMPLETE, WON, STOPPED };

// Searches every root entry of the choice's list once and fills its scores;
// on a win, the choice's move is the first entry (never the end entry) whose
// line wins. The ordering pass leaves the end entry unscored: it gets the
// worst score for side, so the stable sort keeps it in its last place.
PassEnd score_pass(Engine::State& state, const rules::Board& b, rules::Side side,
                   const PassSettings& pass, const StrengthSettings& settings, bool ordering,
                   StopLook& stop, MoveChoice& choice) {
  const SearchHost& host = *stop.host;
  // The fast search shares the pass among its threads; the plain one is asked
  // entry by entry.
  std::optional<RootPassScope> root;
  if (!settings.plain_search) {
    root.emplace(state.root, b, side, choice.list, choice.count, pass, settings.threads, &stop);
  }
  const std::int32_t win = win_for(side, pass);
  float node_bound = worst_for(side);
  for (int i = 0; i < choice.count; ++i) {
    report_progress(host, static_cast<float>(i) / static_cast<float>(choice.count));
    if (stop.ask()) return PassEnd::STOPPED;
    const std::optional<std::int32_t> value =
        root ? root->value(i, node_bound)
             : search(rules::make_move(b, choice.list[i]), rules::other_side(side), 1, pass,
                      node_bound);
    if (!value) return PassEnd::STOPPED;
    const std::int32_t v = *value;
    const bool end_entry = choice.list[i] == rules::END_MOVE;
    if (end_entry && ordering) {
      choice.scores[i] = worst_for(side);
      continue;
    }
    if (v == win && !end_entry) {
      choice.move = choice.list[i];
      return PassEnd::WON;
    }
    if (better_for(side, static_cast<float>(v), node_bound)) node_bound = static_cast<float>(v);
    choice.scores[i] = static_cast<float>(v);
  }
  return PassEnd::COMPLETE;
}

// Adds nudge to the score of every entry once for each time the book lists it
// with mark for the position it found. Each sum is formed in double precision.
void nudge_book_moves(const book::Book& book, const book::BookHit& hit, int mark, double nudge,
                      MoveChoice& choice) {
  for (int i = 0; i < choice.count; ++i) {
    const int listed = book::book_count(book, hit, choice.list[i], mark);
    for (int j = 0; j < listed; ++j) {
      choice.scores[i] = static_cast<float>(static_cast<double>(choice.scores[i]) + nudge);
    }
  }
}

// Drops the castlings that standard chess forbids from the choice's list
// (legalcastling=on), keeping the order of the rest.
void drop_forbidden_castlings(const rules::Board& b, const PassSettings& pass, MoveChoice& choice) {
  const std::uint8_t rights = pass.castling_rights == RIGHTS_FROM_PLACEMENT
                                  ? rules::castling_rights_of_placement(b)
                                  : pass.castling_rights;
  int kept = 0;
  for (int i = 0; i < choice.count; ++i) {
    const rules::Castling* c = rules::castling_of(rules::move_from(choice.list[i]));
    if (c == nullptr || rules::castling_allowed(b, rights, *c))
      choice.list[kept++] = choice.list[i];
  }
  choice.count = kept;
}

// Runs the ordering pass over the moves in generation order, and sorts them
// by its scores when it is complete.
PassEnd ordering_pass(Engine::State& state, const rules::Board& b, rules::Side side,
                      const StrengthSettings& settings, StopLook& stop, MoveChoice& choice) {
  // 1. The ordering pass never extends busy positions.
  const PassSettings ordering = choice_passes(settings).ordering;
  if (!settings.plain_search) state.table.reserve(settings.hash_mib);

  // 2-5. Ordering pass over the moves in generation order.
  report_progress(*stop.host, 0.0f);
  choice.count = rules::generate_moves(b, side, choice.list);
  if (ordering.legal_castling) drop_forbidden_castlings(b, ordering, choice);
  const PassEnd end = score_pass(state, b, side, ordering, settings, true, stop, choice);
  if (end != PassEnd::COMPLETE) return end;
  report_progress(*stop.host, 1.0f);
  sort_by_score(choice.scores, choice.list.data(), choice.count, side);
  return end;
}

// variety=N: the moves whose exact value after the main pass lies within N
// of the best are drawn among (by the seed and the position); the list stays
// as it is. A value searched with the root's best as bound may be a bound
// only, so each entry near enough is searched again against the best less N:
// a value that holds that bound is exact. Lines that take a king are never
// drawn among: there only the best will do. Returns the move drawn, or
// END_MOVE when the best stands alone.
rules::Move variety_move(Engine::State& state, const rules::Board& b, rules::Side side,
                         const PassSettings& main, const StrengthSettings& settings, StopLook& stop,
                         const MoveChoice& choice, const float* values) {
  const bool white = side == rules::WHITE;
  float best = worst_for(side);
  for (int i = 0; i < choice.count; ++i) {
    if (choice.list[i] != rules::END_MOVE && better_for(side, values[i], best)) best = values[i];
  }
  if (std::abs(best) >= static_cast<float>(WIN_SCORE / 2)) return rules::END_MOVE;
  const float bound =
      white ? best - static_cast<float>(main.variety) : best + static_cast<float>(main.variety);
  MoveChoice near;  // the entries near enough to test, in list order
  for (int i = 0; i < choice.count; ++i) {
    if (choice.list[i] != rules::END_MOVE && !better_for(side, bound, values[i])) {
      near.list[near.count++] = choice.list[i];
    }
  }
  if (near.count < 2) return rules::END_MOVE;
  std::optional<RootPassScope> root;
  if (!settings.plain_search) {
    root.emplace(state.root, b, side, near.list, near.count, main, settings.threads, &stop);
  }
  int drawn = 0;
  for (int i = 0; i < near.count; ++i) {
    const std::optional<std::int32_t> value =
        root ? root->value(i, bound)
             : search(rules::make_move(b, near.list[i]), rules::other_side(side), 1, main, bound);
    if (!value || stop.ask()) return rules::END_MOVE;
    if (!better_for(side, bound, static_cast<float>(*value))) near.list[drawn++] = near.list[i];
  }
  return drawn > 1 ? near.list[variety_draw(main.seed, b, side, drawn)] : rules::END_MOVE;
}

// Runs the passes and the nudges; returns early on a win, a stop or a book
// that cannot be read.
void choose(Engine::State& state, const rules::Board& b, rules::Side side,
            const StrengthSettings& settings, StopLook& stop, MoveChoice& choice) {
  const SearchHost& host = *stop.host;
  PassEnd end = ordering_pass(state, b, side, settings, stop, choice);
  if (end != PassEnd::COMPLETE) return;

  // 6-8. Main pass over the moves sorted best first.
  const PassSettings main = choice_passes(settings).main;
  choice.complexity_miss = settings.complexity_miss;  // complexity is read here
  report_progress(host, 0.0f);
  end = score_pass(state, b, side, main, settings, false, stop, choice);
  if (end != PassEnd::COMPLETE) return;
  rules::Move drawn = rules::END_MOVE;
  if (main.variety > 0) {
    drawn = variety_move(state, b, side, main, settings, stop, choice, choice.scores);
    if (stop.stopped) return;
  }

  // 9. The book breaks near-ties: the mover's own mark first, then draws.
  // Each lookup that finds the position leaves its trace in the record.
  const book::BookHit hit = book::book_lookup(state.book, b);
  if (hit.found) {
    choice.book_offset = hit.offset;
    choice.book_traces = 1;
    if (!hit.readable) {
      choice.book_unreadable = true;
      return;
    }
    const int own_mark = side == rules::WHITE ? 1 : -1;
    const double sign = own_mark;
    nudge_book_moves(state.book, hit, own_mark, sign * OWN_MARK_NUDGE, choice);
    choice.book_traces = 2;
    nudge_book_moves(state.book, hit, DRAW_MARK, sign * DRAW_MARK_NUDGE, choice);
  }

  // 10-12. Final order and the best real move.
  sort_by_score(choice.scores, choice.list.data(), choice.count, side);
  choice.listed = true;
  for (int i = 0; i < choice.count; ++i) {
    if (choice.list[i] != rules::END_MOVE) {
      choice.move = choice.list[i];
      break;
    }
  }
  if (drawn != rules::END_MOVE) choice.move = drawn;
  report_progress(host, 1.0f);
}

}  // namespace

void sort_by_score(float* scores, rules::Move* moves, int count, rules::Side side) {
  // A bubble sort swaps only strictly better neighbours, so equal scores keep
  // their order: ties go to the earlier entry.
  for (int pass = 0; pass < count; ++pass) {
    for (int j = 0; j + 1 < count; ++j) {
      if (better_for(side, scores[j + 1], scores[j])) {
        std::swap(scores[j], scores[j + 1]);
        std::swap(moves[j], moves[j + 1]);
      }
    }
  }
}

Engine::Engine(book::Book book) : state_(std::make_unique<State>(std::move(book))) {}

Engine::~Engine() {
  state_->stop_preparing.store(true, std::memory_order_relaxed);
  wait_for_table(*state_);
}

void Engine::prepare_table(int hash_mib) {
  wait_for_table(*state_);
  State& state = *state_;
  state.preparing = std::thread([&state, hash_mib] {
    state.table.reserve(hash_mib);
    state.table.touch_pages(state.stop_preparing);
  });
}

MoveChoice Engine::choose_move(const rules::Board& b, rules::Side side,
                               const StrengthSettings& settings, const SearchHost& host) {
  wait_for_table(*state_);
  MoveChoice choice;
  StopLook stop{&host};
  stop.last = std::chrono::steady_clock::now();
  const std::uint64_t before = rules::node_count;
  if (settings.club) {
    report_progress(host, 0.0f);
    club::choose(state_->club, b, side, choice_passes(settings).main, settings.hash_mib, stop,
                 choice);
    choice.complexity_miss = settings.complexity_miss;
    if (!stop.stopped) report_progress(host, 1.0f);
  } else {
    choose(*state_, b, side, settings, stop, choice);
  }
  choice.stopped = stop.stopped;
  choice.node_count = rules::node_count - before;
  return choice;
}

MoveChoice Engine::rank_moves(const rules::Board& b, rules::Side side,
                              const StrengthSettings& settings, const SearchHost& host) {
  wait_for_table(*state_);
  MoveChoice choice;
  StopLook stop{&host};
  stop.last = std::chrono::steady_clock::now();
  if (settings.club) {
    club::rank(state_->club, b, side, choice_passes(settings).ordering, settings.hash_mib, stop,
               choice);
    choice.stopped = stop.stopped;
    choice.listed = !stop.stopped;
    return choice;
  }
  const PassEnd end = ordering_pass(*state_, b, side, settings, stop, choice);
  choice.stopped = stop.stopped;
  // A win found early leaves the rest unsorted: the winning move goes first.
  if (end == PassEnd::WON) {
    const auto won =
        std::find(choice.list.begin(), choice.list.begin() + choice.count, choice.move);
    std::rotate(choice.list.begin(), won, won + 1);
  }
  choice.listed = end != PassEnd::STOPPED;
  return choice;
}

rules::Move Engine::expected_move(const rules::Board& b, rules::Side side) const {
  // The club search's expectation first; else any depth and any pass: the
  // table's hint is the move last found best in this placement.
  wait_for_table(*state_);
  const rules::Move club_expects = club::expected_move(state_->club, b, side);
  if (club_expects != rules::END_MOVE || state_->table.bytes() == 0) return club_expects;
  return state_->table.probe(table_key(b, side, 0, 0)).hint;
}

void Engine::new_game() {
  wait_for_table(*state_);
  state_->root.forget();
  state_->table.new_generation();
}

const book::Book& Engine::book() const { return state_->book; }

}  // namespace engine
