// The search of a whole root list, shared among threads.
//
// Why every thread count gives the plain search's values: `search` cuts a node
// off only against its own parent's running best, so a value cut off at a node
// never changes its parent's result. What a root entry's search returns is
// therefore fixed by exact minimax values alone: with white to move at the
// searched position P and the root's best b, it is the exact value of the
// first child of P (in generation order) whose exact value exceeds b, or, when
// none does, the exact value of P (mirrored for black). Everything below P's
// children may be searched by any exact method, on any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "engine/search.h"
#include "engine/search_host.h"
#include "engine/transposition.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// The most threads a root pass uses, however many are asked for.
inline constexpr int MAX_SEARCH_THREADS = 64;

// Returns the number of threads a pass asked for threads uses: every core
// for 0 or less, never more than MAX_SEARCH_THREADS.
int search_thread_count(int threads);

// The threads that search root lists: the thread that chooses the move and the
// helpers, started as a pass first needs them and joined when this is
// destroyed, each with its killers and history, all sharing one table.
class RootPass {
 public:
  explicit RootPass(TranspositionTable& table);
  ~RootPass();
  RootPass(const RootPass&) = delete;
  RootPass& operator=(const RootPass&) = delete;

  // Forgets every thread's killers and history; only while no pass is open.
  void forget();

  // What the state of one open pass is; defined in root_pass.cpp.
  struct Shared;

 private:
  friend class RootPassScope;
  std::unique_ptr<Shared> shared_;
};

// One pass over a root list, open while this lives: each entry's value is
// search(make_move(b, list[i]), other side, 1, pass, bound) for the bound the
// caller gives when it asks for entry i. Helper threads search the entries
// ahead of the caller with the bound as it stands, and search again the ones
// whose bound has changed by the time they are asked for. Ask for the entries
// in order, 0 first; only one pass is open at a time.
class RootPassScope {
 public:
  // Opens the pass for the count entries of list; threads counts the caller
  // (0: one for every core). stop, if given, is asked during the searches.
  RootPassScope(RootPass& root, const rules::Board& b, rules::Side side,
                const rules::MoveList& list, int count, const PassSettings& pass, int threads,
                StopLook* stop = nullptr);
  // Waits for the helpers to leave their work and adds the lists they
  // generated to the caller's node_count.
  ~RootPassScope();
  RootPassScope(const RootPassScope&) = delete;
  RootPassScope& operator=(const RootPassScope&) = delete;

  // Returns the value of entry i for the caller's bound; nothing when the
  // search was stopped.
  std::optional<std::int32_t> value(int i, float bound);

 private:
  RootPass::Shared& shared_;
};

}  // namespace engine
