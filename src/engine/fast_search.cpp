#include "engine/fast_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/evaluate.h"
#include "engine/progress.h"
#include "engine/transposition.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace engine {
namespace {

// Values here are from the side to move's point of view (negamax); a win for
// the side to move is WIN_SCORE. INFINITE lies beyond every value.
constexpr std::int32_t INFINITE = WIN_SCORE + 1;

constexpr int MAX_PLY = 128;

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

// The depth left to the nominal one from which quiet moves are ordered by
// their history: nearer the leaves the ordering costs more than it saves.
constexpr int HISTORY_DEPTH = 3;

// Positions searched between two looks at the clock for a quit.
constexpr unsigned QUIT_LOOK_MASK = 1023;

std::int32_t for_mover(std::int32_t white_value, rules::Side side) {
  return side == rules::WHITE ? white_value : -white_value;
}

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

// Exact alpha-beta (fail-soft): the value is exact when it lies strictly
// between alpha and beta, an upper bound when at or below alpha, a lower bound
// when at or above beta.
std::int32_t negamax(const rules::Board& b, rules::Side side, int depth, const PassSettings& pass,
                     std::int32_t alpha, std::int32_t beta, Worker& w) {
  if (w.abandon != nullptr && w.abandon->load(std::memory_order_relaxed)) {
    w.stopped = true;
    return 0;
  }
  if (w.looks_for_quit && (++w.calls & QUIT_LOOK_MASK) == 0) check_quit();
  if (is_leaf(b, depth, pass)) return for_mover(evaluate(b), side);

  // The table's line is fetched while the moves are generated: a look-up
  // that has to wait for memory costs more than the generation.
  const TableKey key = table_key(b, side, depth, w.salt);
  prefetch_table(key);
  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  const TableHit hit = probe_table(key);
  if (hit.bound == Bound::EXACT) return hit.value;
  if (hit.bound == Bound::LOWER && hit.value >= beta) return hit.value;
  if (hit.bound == Bound::UPPER && hit.value <= alpha) return hit.value;

  rules::Move(&killers)[2] = w.killers[std::min(depth, MAX_PLY - 1)];
  const rules::Side other = rules::other_side(side);
  const std::int32_t original_alpha = alpha;
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
    return alpha >= beta || v == WIN_SCORE;  // nothing beats a captured king
  };
  int order[rules::MOVE_LIST_CAPACITY];
  order_moves(b, side, list, count, hit.best != rules::END_MOVE ? hit.best : hit.hint, killers,
              pass.limit - depth >= HISTORY_DEPTH ? w.history[side] : nullptr, order);
  for (int k = 0; k < count; ++k) {
    if (search_move(list[order[k]])) break;
  }
  if (w.stopped) return 0;
  if (best >= beta && best_move != rules::END_MOVE &&
      !rules::test_bit(b.occupied[other], static_cast<rules::Square>(rules::move_to(best_move))) &&
      rules::move_from(best_move) < rules::SQUARE_COUNT) {
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
  store_table(key, depth, bound, best, best_move);
  return best;
}

}  // namespace

namespace {

// A child's value against the threshold, from the side to move's view: the
// value of a null-window test, beyond the threshold or not.
struct ChildTest {
  int index = -1;  // the first child beyond the threshold, or -1
  std::int32_t value = 0;
};

// Returns the value of a null-window test of child i of b around threshold.
std::int32_t test_child(const rules::Board& b, rules::Side side, int depth,
                        const PassSettings& pass, const rules::MoveList& list, int i,
                        std::int32_t threshold, Worker& w) {
  return -negamax(rules::make_move(b, list[i]), rules::other_side(side), depth + 1, pass,
                  -threshold - 1, -threshold, w);
}

ChildTest first_beyond_shared(const rules::Board& b, rules::Side side, int depth,
                              const PassSettings& pass, const rules::MoveList& list, int count,
                              std::int32_t threshold, Worker& w);
std::int32_t assisted_negamax(const rules::Board& b, rules::Side side, int depth,
                              const PassSettings& pass, std::int32_t alpha, std::int32_t beta,
                              Worker& w);

// Returns negamax of b, with idle helpers searching its children ahead when
// this thread shares its work.
std::int32_t exact_search(const rules::Board& b, rules::Side side, int depth,
                          const PassSettings& pass, std::int32_t alpha, std::int32_t beta,
                          Worker& w) {
  if (w.shares_tests) return assisted_negamax(b, side, depth, pass, alpha, beta, w);
  return negamax(b, side, depth, pass, alpha, beta, w);
}

// Returns the first child of b, in generation order, whose test lies beyond
// the threshold, with that test's value (a lower bound of its exact value).
ChildTest first_beyond(const rules::Board& b, rules::Side side, int depth, const PassSettings& pass,
                       const rules::MoveList& list, int count, std::int32_t threshold, Worker& w) {
  if (w.shares_tests) return first_beyond_shared(b, side, depth, pass, list, count, threshold, w);
  for (int i = 0; i < count; ++i) {
    const std::int32_t v = test_child(b, side, depth, pass, list, i, threshold, w);
    if (w.stopped) return {};
    if (v > threshold) return {i, v};
  }
  return {};
}

// Searches one position as `search` would with this bound: the first child, in
// generation order, whose value beats the bound for the side to move is
// returned at once with its exact value; otherwise the exact value.
std::int32_t search_position(const rules::Board& b, rules::Side side, int depth,
                             const PassSettings& pass, float bound, Worker& w) {
  if (is_leaf(b, depth, pass)) return evaluate(b);
  const std::int32_t threshold = for_mover(static_cast<std::int32_t>(bound), side);
  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  // Which side of the bound a child's value lies on needs only a null window.
  const ChildTest beyond = first_beyond(b, side, depth, pass, list, count, threshold, w);
  if (w.stopped) return 0;
  if (beyond.index >= 0) {
    // The first child beyond the bound: its exact value (at least the test's)
    // is what the plain search returns.
    const rules::Board child = rules::make_move(b, list[beyond.index]);
    const std::int32_t v = beyond.value;
    const std::int32_t exact = v == WIN_SCORE
                                   ? v
                                   : -exact_search(child, rules::other_side(side), depth + 1, pass,
                                                   -INFINITE, -(v - 1), w);
    return w.stopped ? 0 : for_mover(exact, side);
  }
  // No child beats the bound: the exact value, below threshold + 1, from the
  // children in any order.
  const std::int32_t exact = exact_search(b, side, depth, pass, -INFINITE, threshold + 1, w);
  return w.stopped ? 0 : for_mover(exact, side);
}

// A root pass searched ahead: every thread takes the next entry not yet taken
// and searches it with the root's best as it stands. When the caller asks for
// an entry with another bound (the best has moved), work done with the old
// one is dropped and the entry is searched again.
enum class TaskState { FREE, RUNNING, DONE };

struct RootTask {
  TaskState state = TaskState::FREE;
  float bound = 0;
  std::int32_t value = 0;
  std::atomic<bool> abandon{false};
};

// The children's tests of the position the main thread searches, shared with
// the helpers that have nothing better to do: each takes the next child nobody
// has taken; the main thread reads the results in generation order.
enum class TestState : std::uint8_t { UNTESTED, TESTING, BELOW, BEYOND };

//
// While the main thread searches a position for its exact value, the helpers
// instead search its children from the last one back (the main thread starts
// at the front) with the position's window: the values only go to the table,
// where the main thread finds them.
struct SplitPoint {
  bool open = false;
  bool assist = false;                  // searching children for the table
  const rules::Board* board = nullptr;  // the main thread's, while open
  const rules::MoveList* list = nullptr;
  rules::Side side = rules::WHITE;
  int depth = 0;
  int count = 0;
  std::int32_t threshold = 0;
  std::int32_t alpha = 0, beta = 0;  // the window, when assisting
  rules::MoveList own_list;          // the children, when assisting
  int next = 0;                      // no child below it is untested (from the back, assisting)
  int testing = 0;                   // helpers testing now
  std::atomic<bool> closed{false};   // tells the helpers to leave their tests
  TestState state[rules::MOVE_LIST_CAPACITY];
  std::int32_t value[rules::MOVE_LIST_CAPACITY];
};

struct RootPass {
  std::mutex mutex;
  std::condition_variable changed;
  bool active = false;
  rules::Board board{};
  rules::Side side = rules::WHITE;
  PassSettings settings;
  std::uint64_t salt = 0;
  int threads = 1;  // the caller and threads - 1 helpers
  rules::MoveList list{};
  int count = 0;
  int consumed = 0;         // the entry the caller waits for or will ask for next
  float bound = 0;          // the bound new work uses
  int helpers = 0;          // helper threads started
  int running = 0;          // tasks being searched now
  std::uint64_t lists = 0;  // lists generated by the helper threads
  RootTask task[rules::MOVE_LIST_CAPACITY];
  SplitPoint split;
};

// Never destroyed: helper threads still wait on it when the process ends.
RootPass& root = *new RootPass;

int core_count() { return static_cast<int>(std::max(1U, std::thread::hardware_concurrency())); }

// Returns the first entry from the caller's on that nobody has taken, or -1.
int free_task(int from) {
  for (int j = from; j < root.count; ++j) {
    if (root.task[j].state == TaskState::FREE) return j;
  }
  return -1;
}

// Searches entry j (taken by this thread) outside the lock and records it;
// the lock is held on entry and on return.
void run_task(int j, Worker& w, std::unique_lock<std::mutex>& lock) {
  RootTask& t = root.task[j];
  t.state = TaskState::RUNNING;
  t.bound = root.bound;
  t.abandon = false;
  ++root.running;
  const float bound = t.bound;
  lock.unlock();
  w.abandon = &t.abandon;
  w.stopped = false;
  w.salt = root.salt;
  const rules::Board child = rules::make_move(root.board, root.list[j]);
  const std::int32_t v =
      search_position(child, rules::other_side(root.side), 1, root.settings, bound, w);
  lock.lock();
  --root.running;
  if (w.stopped || t.abandon) {
    t.state = TaskState::FREE;
  } else {
    t.value = v;
    t.state = TaskState::DONE;
  }
  root.changed.notify_all();
}

// Returns the first child of the split point nobody has taken, or -1; the
// lock is held.
int untested_child() {
  SplitPoint& sp = root.split;
  if (!sp.open) return -1;
  if (sp.assist) return sp.next > 0 ? --sp.next : -1;
  while (sp.next < sp.count && sp.state[sp.next] != TestState::UNTESTED) ++sp.next;
  return sp.next < sp.count ? sp.next : -1;
}

// Closes the split point: the helpers leave their work, and it is gone once
// none is at work; the lock is held.
void close_split(std::unique_lock<std::mutex>& lock) {
  SplitPoint& sp = root.split;
  sp.open = false;
  sp.closed = true;
  root.changed.wait(lock, [&] { return sp.testing == 0; });
}

// Tests child i of the split point (taken by this thread) outside the lock and
// records the result; the lock is held on entry and on return.
void run_test(int i, Worker& w, std::unique_lock<std::mutex>& lock) {
  SplitPoint& sp = root.split;
  sp.state[i] = TestState::TESTING;
  ++sp.testing;
  lock.unlock();
  w.abandon = &sp.closed;
  w.stopped = false;
  w.salt = root.salt;
  if (sp.assist) {
    negamax(rules::make_move(*sp.board, (*sp.list)[i]), rules::other_side(sp.side), sp.depth + 1,
            root.settings, -sp.beta, -sp.alpha, w);
  }
  const std::int32_t v = sp.assist ? 0
                                   : test_child(*sp.board, sp.side, sp.depth, root.settings,
                                                *sp.list, i, sp.threshold, w);
  lock.lock();
  --sp.testing;
  if (!sp.assist && !w.stopped && !sp.closed) {
    sp.value[i] = v;
    sp.state[i] = v > sp.threshold ? TestState::BEYOND : TestState::BELOW;
  }
  root.changed.notify_all();
}

void helper_loop(int index) {
  Worker w;
  std::unique_lock lock(root.mutex);
  for (;;) {
    int test = -1, task = -1;
    root.changed.wait(lock, [&] {
      if (!root.active || index >= root.threads - 1) return false;
      test = untested_child();
      if (test < 0) task = free_task(root.consumed);
      return test >= 0 || task >= 0;
    });
    const std::uint64_t before = rules::node_count;
    if (test >= 0) {
      run_test(test, w, lock);
    } else {
      run_task(task, w, lock);
    }
    root.lists += rules::node_count - before;
  }
}

ChildTest first_beyond_shared(const rules::Board& b, rules::Side side, int depth,
                              const PassSettings& pass, const rules::MoveList& list, int count,
                              std::int32_t threshold, Worker& w) {
  SplitPoint& sp = root.split;
  std::unique_lock lock(root.mutex);
  sp.assist = false;
  sp.board = &b;
  sp.list = &list;
  sp.side = side;
  sp.depth = depth;
  sp.count = count;
  sp.threshold = threshold;
  sp.next = 0;
  std::fill(sp.state, sp.state + count, TestState::UNTESTED);
  sp.closed = false;
  sp.open = true;
  root.changed.notify_all();
  ChildTest found;
  for (int i = 0; i < count && !w.stopped;) {
    if (sp.state[i] == TestState::BELOW) {
      ++i;
    } else if (sp.state[i] == TestState::BEYOND) {
      found = {i, sp.value[i]};
      break;
    } else {
      // Test this child, or, while a helper does, the next one nobody took.
      const int j = sp.state[i] == TestState::UNTESTED ? i : untested_child();
      if (j >= 0) {
        sp.state[j] = TestState::TESTING;
        lock.unlock();
        const std::int32_t v = test_child(b, side, depth, pass, list, j, threshold, w);
        lock.lock();
        if (w.stopped) break;
        sp.value[j] = v;
        sp.state[j] = v > threshold ? TestState::BEYOND : TestState::BELOW;
      } else {
        root.changed.wait_for(lock, std::chrono::milliseconds(QUIT_CHECK_MS));
        check_quit();
      }
    }
  }
  close_split(lock);
  return found;
}

std::int32_t assisted_negamax(const rules::Board& b, rules::Side side, int depth,
                              const PassSettings& pass, std::int32_t alpha, std::int32_t beta,
                              Worker& w) {
  SplitPoint& sp = root.split;
  std::unique_lock lock(root.mutex);
  sp.assist = true;
  sp.board = &b;
  sp.side = side;
  sp.depth = depth;
  sp.alpha = alpha;
  sp.beta = beta;
  sp.count = rules::generate_moves(b, side, sp.own_list);
  sp.list = &sp.own_list;
  sp.next = sp.count - 1;  // the last child, the pass, is left to the main thread
  sp.closed = false;
  sp.open = true;
  root.changed.notify_all();
  lock.unlock();
  const std::int32_t v = negamax(b, side, depth, pass, alpha, beta, w);
  lock.lock();
  close_split(lock);
  return v;
}

// Starts helper threads until there are enough for threads; the lock is held.
void start_helpers(int threads) {
  while (root.helpers < threads - 1) std::thread(helper_loop, root.helpers++).detach();
}

}  // namespace

std::int32_t fast_search(rules::Board b, rules::Side side, int depth, const PassSettings& pass,
                         float bound) {
  if (table_bytes() == 0) reserve_table(0);
  static Worker worker;
  worker.abandon = nullptr;
  worker.stopped = false;
  worker.looks_for_quit = true;
  worker.salt = pass_salt(pass.limit, pass.maxlevel, pass.complexity);
  return search_position(b, side, depth, pass, bound, worker);
}

int search_thread_count(int threads) {
  return std::min(threads > 0 ? threads : core_count(), MAX_SEARCH_THREADS);
}

RootPassScope::RootPassScope(const rules::Board& b, rules::Side side, const rules::MoveList& list,
                             int count, const PassSettings& pass, int threads, int hash_mib) {
  reserve_table(hash_mib);
  std::lock_guard lock(root.mutex);
  root.salt = pass_salt(pass.limit, pass.maxlevel, pass.complexity);
  new_table_generation();
  root.board = b;
  root.side = side;
  root.list = list;
  root.count = count;
  root.settings = pass;
  root.threads = search_thread_count(threads);
  start_helpers(root.threads);
  root.consumed = 0;
  root.bound =
      side == rules::WHITE ? -static_cast<float>(WIN_SCORE) : static_cast<float>(WIN_SCORE);
  root.lists = 0;
  for (int j = 0; j < count; ++j) root.task[j].state = TaskState::FREE;
  root.active = true;
  root.changed.notify_all();
}

std::int32_t root_entry_value(int i, float bound) {
  static Worker worker;
  worker.looks_for_quit = true;
  worker.shares_tests = root.threads > 1;
  std::unique_lock lock(root.mutex);
  root.consumed = i;
  if (bound != root.bound) {
    // The best has moved: what was searched ahead with the old bound is of no use.
    root.bound = bound;
    for (int j = i; j < root.count; ++j) {
      RootTask& t = root.task[j];
      if (t.state == TaskState::DONE && t.bound != bound) t.state = TaskState::FREE;
      if (t.state == TaskState::RUNNING && t.bound != bound) t.abandon = true;
    }
    root.changed.notify_all();
  }
  for (;;) {
    RootTask& t = root.task[i];
    if (t.state == TaskState::DONE) return t.value;
    // Search this entry, or, while a helper does, the next free one.
    const int j = t.state == TaskState::FREE ? i : free_task(i + 1);
    if (j >= 0) {
      run_task(j, worker, lock);
    } else {
      // A helper searches the entry: wait, looking for a quit now and then.
      root.changed.wait_for(lock, std::chrono::milliseconds(QUIT_CHECK_MS));
      check_quit();
    }
  }
}

RootPassScope::~RootPassScope() {
  std::unique_lock lock(root.mutex);
  root.active = false;
  for (int j = 0; j < root.count; ++j) root.task[j].abandon = true;
  root.changed.wait(lock, [] { return root.running == 0; });
  rules::node_count += root.lists;
}

}  // namespace engine
