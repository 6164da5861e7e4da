#include "engine/fast_search.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/evaluate.h"
#include "engine/search.h"
#include "engine/transposition.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace engine {
namespace {

// Values here are from the side to move's point of view (negamax); a win for
// the side to move is WIN_SCORE. INFINITE lies beyond every value.
constexpr std::int32_t INFINITE = WIN_SCORE + 1;

constexpr int MAX_PLY = 128;

// Ordering keys: the table's move first, then captures by victim (most
// valuable first) and attacker (least valuable first), then the killers,
// then the quiet moves in generation order; the pass stays last.
constexpr int TABLE_MOVE_KEY = 1 << 20;
constexpr int CAPTURE_KEY = 1 << 16;
constexpr int KILLER_KEY = 1 << 12;
constexpr int PASS_KEY = -(1 << 20);

// What one thread needs while it searches: its killer moves, and the signal
// that the task it works on is no longer wanted.
struct Worker {
  rules::Move killers[MAX_PLY][2] = {};
  const std::atomic<int>* cutoff = nullptr;  // tasks after this index are not wanted
  int task = 0;
  bool stopped = false;
};

bool is_leaf(const rules::Board& b, int depth, int limit) {
  if (depth >= limit && rules::count_captures(b) < complexity) return true;
  return depth >= maxlevel;
}

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

// Fills order with the indices of list in search order.
void order_moves(const rules::Board& b, rules::Side side, const rules::MoveList& list, int count,
                 rules::Move table_move, const rules::Move (&killers)[2], int (&order)[rules::MOVE_LIST_CAPACITY]) {
  int keys[rules::MOVE_LIST_CAPACITY];
  for (int i = 0; i < count; ++i) {
    const rules::Move m = list[i];
    const int from = rules::move_from(m), to = rules::move_to(m);
    int key = 0;
    if (m == rules::END_MOVE) {
      key = PASS_KEY;
    } else if (m == table_move) {
      key = TABLE_MOVE_KEY;
    } else if (from < rules::SQUARE_COUNT) {
      const int victim = type_on(b, rules::other_side(side), to);
      if (victim >= 0) {
        key = CAPTURE_KEY + victim * 8 - type_on(b, side, from);
      } else if (m == killers[0] || m == killers[1]) {
        key = KILLER_KEY;
      }
    }
    // Insertion sort, stable: equal keys keep generation order.
    int j = i;
    for (; j > 0 && keys[j - 1] < key; --j) {
      keys[j] = keys[j - 1];
      order[j] = order[j - 1];
    }
    keys[j] = key;
    order[j] = i;
  }
}

// Exact alpha-beta (fail-soft): the value is exact when it lies strictly
// between alpha and beta, an upper bound when at or below alpha, a lower bound
// when at or above beta.
std::int32_t negamax(const rules::Board& b, rules::Side side, int depth, int limit,
                     std::int32_t alpha, std::int32_t beta, Worker& w) {
  if (w.cutoff != nullptr && w.task > w.cutoff->load(std::memory_order_relaxed)) {
    w.stopped = true;
    return 0;
  }
  if (is_leaf(b, depth, limit)) return for_mover(evaluate(b), side);

  const std::uint64_t key = position_key(b, side, depth);
  const TableHit hit = probe_table(key);
  if (hit.bound == Bound::EXACT) return hit.value;
  if (hit.bound == Bound::LOWER && hit.value >= beta) return hit.value;
  if (hit.bound == Bound::UPPER && hit.value <= alpha) return hit.value;

  rules::MoveList list;
  const int count = rules::generate_moves(b, side, list);
  int order[rules::MOVE_LIST_CAPACITY];
  rules::Move(&killers)[2] = w.killers[std::min(depth, MAX_PLY - 1)];
  order_moves(b, side, list, count, hit.best, killers, order);

  const std::int32_t original_alpha = alpha;
  std::int32_t best = -INFINITE;
  rules::Move best_move = rules::END_MOVE;
  for (int k = 0; k < count; ++k) {
    const rules::Move m = list[order[k]];
    const std::int32_t v =
        -negamax(rules::make_move(b, m), rules::other_side(side), depth + 1, limit, -beta, -alpha, w);
    if (w.stopped) return 0;
    if (v > best) {
      best = v;
      best_move = m;
    }
    if (v > alpha) alpha = v;
    if (alpha >= beta || v == WIN_SCORE) break;  // nothing beats a captured king
  }
  if (best >= beta && best_move != killers[0] && best_move != rules::END_MOVE) {
    killers[1] = killers[0];
    killers[0] = best_move;
  }
  const Bound bound = best <= original_alpha ? Bound::UPPER
                      : best >= beta         ? Bound::LOWER
                                             : Bound::EXACT;
  store_table(key, bound, best, best_move);
  return best;
}

}  // namespace

namespace {

// The children of one searched position, shared out among the threads. Each
// child is a task; the results are combined in generation order afterwards.
struct Job {
  rules::Board board;
  rules::Side side = rules::WHITE;
  int depth = 0;
  int limit = 0;
  std::int32_t beta = 0;  // a child at or above this is returned at once
  rules::MoveList list;
  int count = 0;
  std::atomic<int> next{0};
  std::atomic<int> cutoff{0};             // first task known to reach beta
  std::atomic<std::int32_t> alpha{0};     // best exact value so far
  std::atomic<std::uint64_t> lists{0};    // lists generated by the helper threads
  std::int32_t value[rules::MOVE_LIST_CAPACITY];
};

Job job;

int core_count() { return static_cast<int>(std::max(1U, std::thread::hardware_concurrency())); }

int thread_limit = 0;  // 0: not set, every core
int thread_count = 0;  // 0: not set, the limit

// The helper threads wait for a new job number, work on it and report back.
// The pool lives as long as the process and is never destroyed: its threads
// are still waiting on it when the process ends.
struct Pool {
  std::mutex mutex;
  std::condition_variable job_posted;
  std::condition_variable job_finished;
  std::uint64_t job_number = 0;
  int helpers_wanted = 0;  // helpers 0..helpers_wanted-1 work on the current job
  int helpers_busy = 0;
  int helpers = 0;
};

Pool& pool = *new Pool;

void atomic_min(std::atomic<int>& a, int v) {
  int seen = a.load();
  while (v < seen && !a.compare_exchange_weak(seen, v)) {
  }
}

void atomic_max(std::atomic<std::int32_t>& a, std::int32_t v) {
  std::int32_t seen = a.load();
  while (v > seen && !a.compare_exchange_weak(seen, v)) {
  }
}

// Takes tasks until none is left or wanted.
void work_on_job(Worker& w) {
  for (;;) {
    const int i = job.next.fetch_add(1);
    if (i >= job.count || i > job.cutoff.load()) return;
    w.task = i;
    w.cutoff = &job.cutoff;
    w.stopped = false;
    const std::int32_t alpha = job.alpha.load();
    const rules::Board child = rules::make_move(job.board, job.list[i]);
    const std::int32_t v = -negamax(child, rules::other_side(job.side), job.depth + 1, job.limit,
                                    -job.beta, -alpha, w);
    if (w.stopped) continue;  // only tasks after a cut-off are stopped
    job.value[i] = v;
    if (v >= job.beta) {
      atomic_min(job.cutoff, i);
    } else if (v > alpha) {
      atomic_max(job.alpha, v);
    }
  }
}

void helper_loop(int index) {
  Worker w;
  std::uint64_t done = 0;
  for (;;) {
    {
      std::unique_lock lock(pool.mutex);
      pool.job_posted.wait(lock, [&] { return pool.job_number != done && index < pool.helpers_wanted; });
      done = pool.job_number;
    }
    const std::uint64_t before = rules::node_count;
    work_on_job(w);
    job.lists.fetch_add(rules::node_count - before);
    {
      std::lock_guard lock(pool.mutex);
      --pool.helpers_busy;
    }
    pool.job_finished.notify_one();
  }
}

// Starts the helper threads once; they live as long as the process.
void start_helpers() {
  while (pool.helpers < search_threads() - 1) std::thread(helper_loop, pool.helpers++).detach();
}

// Runs the posted job on this thread and every helper, and waits for all.
void run_job(Worker& w) {
  const int busy = std::min(pool.helpers, search_threads() - 1);
  if (busy > 0) {
    std::lock_guard lock(pool.mutex);
    pool.helpers_wanted = busy;
    pool.helpers_busy = busy;
    ++pool.job_number;
  }
  pool.job_posted.notify_all();
  work_on_job(w);
  std::unique_lock lock(pool.mutex);
  pool.job_finished.wait(lock, [] { return pool.helpers_busy == 0; });
  rules::node_count += job.lists.load();
}

}  // namespace

std::int32_t fast_search(rules::Board b, rules::Side side, int depth, int limit, float bound) {
  if (is_leaf(b, depth, limit)) return evaluate(b);
  reserve_table(0);  // normally done by start_search_pass already

  // The first child, in generation order, whose value beats the bound for the
  // side to move is returned at once, with its exact value.
  const std::int32_t threshold = for_mover(static_cast<std::int32_t>(bound), side);
  job.board = b;
  job.side = side;
  job.depth = depth;
  job.limit = limit;
  job.beta = threshold + 1;
  job.count = rules::generate_moves(b, side, job.list);
  job.next = 0;
  job.cutoff = job.count;
  job.alpha = -INFINITE;
  job.lists = 0;

  static Worker main_worker;
  run_job(main_worker);

  std::int32_t best = -INFINITE;
  const int last = std::min(job.count - 1, job.cutoff.load());
  for (int i = 0; i <= last; ++i) {
    if (job.value[i] >= job.beta) {
      Worker exact;
      const rules::Board child = rules::make_move(b, job.list[i]);
      const std::int32_t v = -negamax(child, rules::other_side(side), depth + 1, limit, -INFINITE,
                                      -(job.beta - 1), exact);
      return for_mover(v, side);
    }
    best = std::max(best, job.value[i]);
  }
  return for_mover(best, side);
}

void start_search_pass() {
  reserve_table(0);
  start_helpers();
  new_table_pass();
}

void limit_search_threads(int threads) { thread_limit = std::max(1, threads); }

void set_search_threads(int threads) { thread_count = std::max(0, threads); }

int search_threads() {
  const int limit = thread_limit > 0 ? thread_limit : core_count();
  return thread_count > 0 ? std::min(thread_count, limit) : limit;
}

}  // namespace engine
