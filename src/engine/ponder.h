// Thinking on the human's time. The computer's choice depends only on the
// position, the side, the strength settings and the book, so while the human
// considers a move a thread of the Ponderer can work out the computer's whole
// move in each position the human's moves lead to, and keep each finished
// choice as a value. When the human moves into one of them the kept choice is
// exactly what a search would return now; a partly searched position leaves
// its work in the engine's table.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "engine/engine.h"
#include "engine/strength.h"
#include "rules/board.h"

namespace engine {

// The order in which the human's moves are thought about.
enum class PonderOrder : std::uint8_t {
  GENERATION,  // the order the moves are generated in
  EXPECTED,    // the move the last search found best for the human, then the rest as generated
  RANKED,      // that move, then the rest ranked by the choice's shallow first pass
};

class Ponderer {
 public:
  // A ponderer of engine, which must outlive it. Its thread starts with the
  // first start.
  explicit Ponderer(Engine& engine, PonderOrder order = PonderOrder::RANKED);
  // Stops the thinking and joins the thread.
  ~Ponderer();
  Ponderer(const Ponderer&) = delete;
  Ponderer& operator=(const Ponderer&) = delete;

  // Starts thinking about the computer's replies to every move human can make
  // in b, under settings (settings.game: the seed, and the castling rights of
  // b, from which those after each of the human's moves are derived); returns
  // at once. The replies kept for this position
  // and these settings stay; any others are forgotten. Until stop, the engine
  // belongs to the ponderer's thread.
  void start(const rules::Board& b, rules::Side human, const StrengthSettings& settings);

  // Stops the thinking within the search's stop interval and waits until it
  // has stopped; the replies kept so far stay. Does nothing when idle.
  void stop();

  // Forgets every kept reply (a take-back, a new game).
  void forget();

  // Returns the kept choice for side to move in b under settings (the
  // castling rights in settings.game being those of b), or null;
  // only while stopped. The pointer stays valid until the next start or forget.
  const MoveChoice* kept(const rules::Board& b, rules::Side side,
                         const StrengthSettings& settings) const;

  // Waits until every reply of the position last started is kept, the
  // thinking is stopped, or limit has passed; returns how many replies are
  // kept. For tools and tests.
  int wait_until_done(std::chrono::milliseconds limit = std::chrono::hours(24));

  // Returns the place (0 first) of a human's move in the order in which the
  // replies of the position last started are thought about, or -1 while that
  // order is not known. For tools that compare the orders.
  int place_of(rules::Move human_move) const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace engine
