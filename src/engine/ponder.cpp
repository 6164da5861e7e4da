// The ponderer's thread: one job at a time (a position of the human's, the
// settings), each reply a whole choice of the engine's, stopped through the
// search's own stop question.
#include "engine/ponder.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/standard_chess.h"

namespace engine {

namespace {

// A finished reply: the computer's choice for side in board under settings.
struct Kept {
  rules::Board board;
  rules::Side side;
  StrengthSettings settings;
  MoveChoice choice;
};

}  // namespace

struct Ponderer::State {
  State(Engine& e, PonderOrder o) : engine(e), order(o) {
    // At most one reply for each move of the human's: kept never grows
    // while a search runs.
    kept.reserve(rules::MOVE_LIST_CAPACITY);
  }

  Engine& engine;
  const PonderOrder order;
  std::atomic<bool> stop_asked{false};  // read by the search every STOP_CHECK_MS

  std::mutex mutex;              // guards everything below
  std::condition_variable wake;  // a job waits, or the thread is to leave
  std::condition_variable idle;  // the thread has finished or left its job
  bool job_waiting = false;
  bool working = false;
  bool leaving = false;
  bool has_root = false;  // board, human and settings hold the last job
  rules::Board board{};
  rules::Side human = rules::WHITE;
  StrengthSettings settings{};
  std::vector<Kept> kept;
  rules::MoveList order_list{};  // the last job's moves in the order thought about
  int order_count = 0;           // 0 while that order is not known
  std::thread thread;            // started by the first start, joined by the destructor
};

namespace {

bool stop_asked(void* state) {
  return static_cast<Ponderer::State*>(state)->stop_asked.load(std::memory_order_relaxed);
}

// Returns the kept reply for side in b under settings, or null; under the lock.
const Kept* find_kept(const Ponderer::State& s, const rules::Board& b, rules::Side side,
                      const StrengthSettings& settings) {
  for (const Kept& k : s.kept) {
    if (k.side == side && k.board == b && same_choices(k.settings, settings)) return &k;
  }
  return nullptr;
}

// Puts the human's moves in the order they are thought about; false when
// stopped meanwhile.
bool order_moves(Ponderer::State& s, const rules::Board& b, rules::Side human,
                 const StrengthSettings& settings, const SearchHost& host, MoveChoice& moves) {
  if (s.order == PonderOrder::RANKED) {
    moves = s.engine.rank_moves(b, human, settings, host);
    if (moves.stopped) return false;
  } else {
    moves.count = rules::generate_moves(b, human, moves.list);
  }
  if (s.order == PonderOrder::GENERATION) return true;
  const rules::Move expected = s.engine.expected_move(b, human);
  const auto end = moves.list.begin() + moves.count;
  const auto found = std::find(moves.list.begin(), end, expected);
  if (found != end && expected != rules::END_MOVE)
    std::rotate(moves.list.begin(), found, found + 1);
  return true;
}

// Returns the settings of the reply to the human's move m: the castling
// rights after it (those read off the placement stay so).
StrengthSettings reply_settings(const StrengthSettings& settings, rules::Move m) {
  StrengthSettings reply = settings;
  if (settings.game.castling_rights != RIGHTS_FROM_PLACEMENT) {
    reply.game.castling_rights = rules::castling_rights_after(settings.game.castling_rights, m);
  }
  return reply;
}

// Returns whether every reply to the human's moves in b is kept.
bool all_kept(Ponderer::State& s, const rules::Board& b, rules::Side human,
              const StrengthSettings& settings) {
  rules::MoveList list;
  const int count = rules::generate_moves(b, human, list);
  const std::lock_guard<std::mutex> lock(s.mutex);
  for (int i = 0; i < count; ++i) {
    if (list[i] == rules::END_MOVE) continue;
    const rules::Board after = rules::make_move(b, list[i]);
    if (after.pieces[rules::other_side(human)][rules::KING] == 0) continue;
    if (!find_kept(s, after, rules::other_side(human), reply_settings(settings, list[i])))
      return false;
  }
  return true;
}

// Works out and keeps the computer's reply to each move of the human's that
// has none yet, until done or stopped.
void think(Ponderer::State& s, const rules::Board& b, rules::Side human,
           const StrengthSettings& settings) {
  if (all_kept(s, b, human, settings)) return;
  const SearchHost host{&s, nullptr, stop_asked};
  MoveChoice moves;
  if (!order_moves(s, b, human, settings, host, moves)) return;
  {
    const std::lock_guard<std::mutex> lock(s.mutex);
    s.order_list = moves.list;
    s.order_count = moves.count;
  }
  const rules::Side computer = rules::other_side(human);
  for (int i = 0; i < moves.count; ++i) {
    if (s.stop_asked.load(std::memory_order_relaxed)) return;
    if (moves.list[i] == rules::END_MOVE) continue;
    const rules::Board after = rules::make_move(b, moves.list[i]);
    // A move that takes the king ends the game: there is no reply to it.
    if (rules::king_gone(after, computer)) continue;
    const StrengthSettings reply = reply_settings(settings, moves.list[i]);
    {
      const std::lock_guard<std::mutex> lock(s.mutex);
      if (find_kept(s, after, computer, reply)) continue;
    }
    const MoveChoice choice = s.engine.choose_move(after, computer, reply, host);
    if (choice.stopped) return;  // what it found so far stays in the table
    const std::lock_guard<std::mutex> lock(s.mutex);
    s.kept.push_back({after, computer, reply, choice});
  }
}

void run(Ponderer::State& s) {
  std::unique_lock<std::mutex> lock(s.mutex);
  for (;;) {
    s.wake.wait(lock, [&] { return s.leaving || s.job_waiting; });
    if (s.leaving) return;
    s.job_waiting = false;
    s.working = true;
    const rules::Board b = s.board;
    const rules::Side human = s.human;
    const StrengthSettings settings = s.settings;
    lock.unlock();
    think(s, b, human, settings);
    lock.lock();
    s.working = false;
    s.idle.notify_all();
  }
}

}  // namespace

Ponderer::Ponderer(Engine& engine, PonderOrder order)
    : state_(std::make_unique<State>(engine, order)) {}

Ponderer::~Ponderer() {
  stop();
  State& s = *state_;
  {
    const std::lock_guard<std::mutex> lock(s.mutex);
    s.leaving = true;
  }
  s.wake.notify_all();
  if (s.thread.joinable()) s.thread.join();
}

void Ponderer::start(const rules::Board& b, rules::Side human, const StrengthSettings& settings) {
  stop();
  State& s = *state_;
  {
    const std::lock_guard<std::mutex> lock(s.mutex);
    const bool same_root =
        s.has_root && s.board == b && s.human == human && same_choices(s.settings, settings);
    if (!same_root) s.kept.clear();
    s.order_count = 0;
    s.board = b;
    s.human = human;
    s.settings = settings;
    s.has_root = true;
    s.stop_asked.store(false, std::memory_order_relaxed);
    s.job_waiting = true;
    if (!s.thread.joinable()) s.thread = std::thread(run, std::ref(s));
  }
  s.wake.notify_one();
}

void Ponderer::stop() {
  State& s = *state_;
  s.stop_asked.store(true, std::memory_order_relaxed);
  std::unique_lock<std::mutex> lock(s.mutex);
  s.job_waiting = false;
  s.idle.wait(lock, [&] { return !s.working; });
}

void Ponderer::forget() {
  stop();
  const std::lock_guard<std::mutex> lock(state_->mutex);
  state_->kept.clear();
  state_->has_root = false;
}

const MoveChoice* Ponderer::kept(const rules::Board& b, rules::Side side,
                                 const StrengthSettings& settings) const {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  const Kept* k = find_kept(*state_, b, side, settings);
  return k != nullptr ? &k->choice : nullptr;
}

int Ponderer::place_of(rules::Move human_move) const {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  const auto begin = state_->order_list.begin();
  const auto end = begin + state_->order_count;
  const auto found = std::find(begin, end, human_move);
  return found != end ? static_cast<int>(found - begin) : -1;
}

int Ponderer::wait_until_done(std::chrono::milliseconds limit) {
  State& s = *state_;
  std::unique_lock<std::mutex> lock(s.mutex);
  s.idle.wait_for(lock, limit, [&] { return !s.working && !s.job_waiting; });
  return static_cast<int>(s.kept.size());
}

}  // namespace engine
