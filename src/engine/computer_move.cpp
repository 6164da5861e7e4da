#include "engine/computer_move.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <utility>

#include "book/db.h"
#include "config/ini_file.h"
#include "engine/evaluate.h"
#include "engine/fast_search.h"
#include "engine/progress.h"
#include "engine/search.h"
#include "engine/transposition.h"
#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/notation.h"

namespace engine {
namespace {

constexpr const char* CONF_PATH = "conf.ini";
constexpr const char* ALGO_SECTION = "ALGO";

// A threshold no count_captures result reaches: the ordering pass never extends.
constexpr int NO_EXTENSION = 100000;

// Book nudges: a move credited to the mover counts ten times a drawn one.
constexpr double OWN_MARK_NUDGE = 0.1;
constexpr double DRAW_MARK_NUDGE = 0.01;
constexpr int DRAW_MARK = 0;

// The score table runs beside the root list, entry i's score at index i.
using ScoreTable = float[rules::MOVE_LIST_CAPACITY];

// Returns the score that wins for side (from white's point of view).
constexpr std::int32_t win_for(rules::Side side) {
  return side == rules::WHITE ? WIN_SCORE : -WIN_SCORE;
}

// Returns whether score a is better than score b for side.
constexpr bool better_for(rules::Side side, float a, float b) {
  return side == rules::WHITE ? a > b : a < b;
}

// Searches every root entry once and fills scores; returns the index of the
// first entry (never the end entry) whose line wins, or -1. The ordering pass
// leaves the end entry unscored: it gets the worst score for side, so the
// stable sort keeps it in its last place.
int score_pass(const rules::Board& b, rules::Side side, const rules::MoveList& list, int count,
               const PassSettings& pass, const StrengthSettings& settings, bool ordering,
               ScoreTable& scores) {
  // The plain search reads the two search settings; the fast one shares the
  // pass among its threads.
  std::optional<RootPassScope> root;
  if (settings.plain_search) {
    maxlevel = pass.maxlevel;
    complexity = pass.complexity;
  } else {
    root.emplace(b, side, list, count, pass, settings.threads, settings.hash_mib);
  }
  const std::int32_t win = win_for(side);
  float node_bound = static_cast<float>(-win);
  for (int i = 0; i < count; ++i) {
    report_progress(static_cast<float>(i) / static_cast<float>(count));
    const std::int32_t v = root ? root_entry_value(i, node_bound)
                                : search(rules::make_move(b, list[i]), rules::other_side(side), 1,
                                         pass.limit, node_bound);
    const bool end_entry = list[i] == rules::END_MOVE;
    if (end_entry && ordering) {
      scores[i] = static_cast<float>(-win);
      continue;
    }
    if (v == win && !end_entry) return i;
    if (better_for(side, static_cast<float>(v), node_bound)) node_bound = static_cast<float>(v);
    scores[i] = static_cast<float>(v);
  }
  return -1;
}

// Adds nudge to the score of every entry once for each time the book lists it
// with mark for this position. The sum is formed in double precision.
void nudge_book_moves(const rules::Board& b, int mark, double nudge, const rules::MoveList& list,
                      int count, ScoreTable& scores) {
  const int listed = book::book_lookup(b, mark);  // -1: position not in the book
  for (int i = 0; i < count; ++i) {
    for (int j = 0; j < listed; ++j) {
      if (book::book_move(j) == list[i]) {
        scores[i] = static_cast<float>(static_cast<double>(scores[i]) + nudge);
      }
    }
  }
}

// Writes one line per entry: the move, " => " and its score as the stream
// writes a float by default (20, 20.1, -100000).
void print_scored_list(const rules::MoveList& list, int count, const ScoreTable& scores) {
  for (int i = 0; i < count; ++i) {
    rules::write_move(std::cout, list[i]);
    std::cout << " => " << scores[i] << "\n";
  }
}

// Returns a depth setting brought into range, with a warning on standard
// error for a value deeper than any line may go.
int bounded_depth(const char* key, int depth) {
  if (depth <= MAX_DEPTH) return depth;
  std::cerr << "morva: conf.ini: " << key << "=" << depth << " is deeper than " << MAX_DEPTH
            << " plies; " << MAX_DEPTH << " is used\n";
  return MAX_DEPTH;
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

StrengthSettings read_strength(const config::IniText& ini) {
  StrengthSettings s;
  s.level = config::ini_int(ini, ALGO_SECTION, "level");
  s.prelevel = config::ini_int(ini, ALGO_SECTION, "prelevel");
  s.maxlevel = config::ini_int(ini, ALGO_SECTION, "maxlevel");
  for (auto [key, depth] :
       {std::pair{"level", &s.level}, {"prelevel", &s.prelevel}, {"maxlevel", &s.maxlevel}}) {
    *depth = bounded_depth(key, *depth);
  }
  const std::optional<std::string> threads = config::ini_find(ini, ALGO_SECTION, "threads");
  if (threads) s.threads = std::min(config::parse_int(*threads), search_thread_count(0));
  const std::optional<std::string> hash = config::ini_find(ini, ALGO_SECTION, "hash");
  if (hash) s.hash_mib = std::clamp(config::parse_int(*hash), 0, MAX_TABLE_MIB);
  const config::IniInt c = config::ini_int_deferred(ini, ALGO_SECTION, "complexity");
  s.complexity = c.value;
  s.complexity_miss = c.miss;
  return s;
}

rules::Move choose_move(rules::Board b, rules::Side side, const StrengthSettings& settings) {
  // 1. The ordering pass never extends busy positions. No line goes deeper
  // than MAX_DEPTH, whatever the settings (beyond it a limit changes nothing).
  const int cap = std::min(settings.maxlevel, MAX_DEPTH);
  const PassSettings ordering = {std::min(settings.prelevel, MAX_DEPTH), cap, NO_EXTENSION};
  const PassSettings main = {std::min(settings.level, MAX_DEPTH), cap, settings.complexity};

  // 2-5. Ordering pass over the moves in generation order.
  report_progress(0.0f);
  rules::MoveList list;
  ScoreTable scores;
  const int count = rules::generate_moves(b, side, list);
  const int ordering_win = score_pass(b, side, list, count, ordering, settings, true, scores);
  if (ordering_win >= 0) return list[ordering_win];

  // 6-8. Main pass over the moves sorted best first.
  report_progress(1.0f);
  sort_by_score(scores, list.data(), count, side);
  config::report_miss(settings.complexity_miss);  // complexity is read here
  report_progress(0.0f);
  const int main_win = score_pass(b, side, list, count, main, settings, false, scores);
  if (main_win >= 0) return list[main_win];

  // 9. The book breaks near-ties: the mover's own mark first, then draws.
  const int own_mark = side == rules::WHITE ? 1 : -1;
  const double sign = own_mark;
  nudge_book_moves(b, own_mark, sign * OWN_MARK_NUDGE, list, count, scores);
  nudge_book_moves(b, DRAW_MARK, sign * DRAW_MARK_NUDGE, list, count, scores);

  // 10-12. Final order, the list on standard output, the best real move.
  sort_by_score(scores, list.data(), count, side);
  print_scored_list(list, count, scores);
  rules::Move chosen = rules::END_MOVE;  // stays the pass when nothing else can move
  for (int i = 0; i < count; ++i) {
    if (list[i] != rules::END_MOVE) {
      chosen = list[i];
      break;
    }
  }
  report_progress(1.0f);
  return chosen;
}

rules::Move computer_move(rules::Board b, rules::Side side) {
  config::IniText ini;
  config::load_ini(ini, CONF_PATH);
  return choose_move(b, side, read_strength(ini));
}

}  // namespace engine
