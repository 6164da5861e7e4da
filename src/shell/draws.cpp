// The kept positions of a game and its end by a draw.
#include "shell/draws.h"

#include "engine/record.h"
#include "shell/console.h"
#include "shell/startup.h"

namespace shell {

namespace {

// The plies of one human turn: the human's move and the computer's reply.
constexpr int PLIES_PER_TURN = 2;

}  // namespace

void start_positions(Game& g) {
  if (g.draws) rules::start_history(g.history, g.board);
}

void note_position(Game& g) {
  if (g.draws) rules::add_ply(g.history, g.board);
}

void forget_turn(Game& g) {
  if (g.draws) rules::drop_plies(g.history, PLIES_PER_TURN);
}

bool drawn(const Game& g) { return g.draws && rules::draw_of(g.history) != rules::Draw::NONE; }

void note_draw(Game& g) {
  // White moves at odd plies and its move leaves " - " on the line.
  const bool half_line = g.history.positions.size() % 2 == 0;
  if (half_line) print_text("\n");
  print_text(engine::DRAW_LINE);
  hand_on_record(g);
}

}  // namespace shell
