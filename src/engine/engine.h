// The computer player: an Engine owns everything that lasts between its moves
// (the opening book, the search's table, the helper threads with their killer
// moves and history) and chooses a move as a value. It writes nothing: the
// record's text of a choice comes from record.h.
#pragma once

#include <cstdint>
#include <memory>

#include "book/db.h"
#include "engine/search_host.h"
#include "engine/strength.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// A win ends a pass before the list is complete: then the move is chosen and
// no list is written.
struct MoveChoice {
  rules::Move move = rules::END_MOVE;  // never the end entry, unless nothing else can move
  bool stopped = false;    // the host asked to stop: move is not a choice, nothing is to be written
  bool listed = false;     // the scored list is complete (no early win)
  int count = 0;           // entries of the list, end entry included
  rules::MoveList list{};  // best first for the mover, when listed
  float scores[rules::MOVE_LIST_CAPACITY]{};  // entry i's score at index i
  // The reader's warning for a missing complexity key, owed once the main
  // pass has read the value (a move the ordering pass decides never does).
  const char* complexity_miss = nullptr;
  // The book's lookups that found the position (0, 1 or 2), each written as
  // its trace, and the offset of its block.
  int book_traces = 0;
  std::int32_t book_offset = 0;
  bool book_unreadable = false;  // the position is in the index but chess.db cannot be read
  std::uint64_t node_count = 0;  // entries of the move lists generated, on every thread
};

class Engine {
 public:
  // An engine that consults book (an empty Book: no book).
  explicit Engine(book::Book book = {});
  // Ends and joins the helper threads and the table's preparation.
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Chooses the move for side in b under the settings: an ordering pass and a
  // main pass over the root list, the book's nudges, the final order. Reports
  // progress to the host between root entries, and returns early, stopped,
  // when the host asks.
  MoveChoice choose_move(const rules::Board& b, rules::Side side, const StrengthSettings& settings,
                         const SearchHost& host = {});

  // Orders the moves of side in b as the choice's first pass does (scored by
  // the shallow search of prelevel plies, best first for side, the end entry
  // last); returned as a choice whose list is complete unless the host
  // stopped it. The move of an early win goes first, the rest in generation
  // order. Writes nothing.
  MoveChoice rank_moves(const rules::Board& b, rules::Side side, const StrengthSettings& settings,
                        const SearchHost& host = {});

  // Returns the move the searches so far found best for side in b (any depth,
  // any pass), or END_MOVE. Only a hint: a placement that shares the hash may
  // give it, so it is to be matched against the generated moves.
  rules::Move expected_move(const rules::Board& b, rules::Side side) const;

  // Sizes the search's table for hash_mib MiB (as StrengthSettings::hash_mib)
  // and touches every page of it on a thread of the engine's, so that the
  // system's work of giving the table its memory, which can take seconds on a
  // machine short of free memory, falls while the player looks at the first
  // position and not into the first reply. Every other call waits until it
  // is done; the destructor cuts it short.
  void prepare_table(int hash_mib);

  // Forgets what the searches learned that should not carry over into another
  // game: the killers, the history, and the table's entries' standing.
  void new_game();

  const book::Book& book() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// Sorts scores and moves together, best first for side; stable.
void sort_by_score(float* scores, rules::Move* moves, int count, rules::Side side);

}  // namespace engine
