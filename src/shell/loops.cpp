// The game loops; standard output gets one line per move pair.
#include "shell/loops.h"

#include <cstdio>
#include <iostream>

#include "engine/computer_move.h"
#include "rules/make_move.h"
#include "shell/console.h"
#include "shell/draw.h"
#include "shell/input.h"

namespace shell {

namespace {

// Writes a move of the record and the text after it, and hands both to the
// output at once, so that a pipe or a file sees each move as it is played.
void record(rules::Move m, const char* after) {
  print_move(m);
  print_text(after);
  std::cout.flush();
  std::fflush(stdout);
}

// Returns whether a Move from read_human_move is complete.
bool complete(rules::Move m) {
  return rules::move_from(m) != rules::NO_SQUARE && rules::move_to(m) != rules::NO_SQUARE;
}

// Clears the selection and reads clicks until the human has made a move.
rules::Move human_move(Game& g, rules::Side side) {
  g.sel_from = rules::NO_SQUARE;
  g.sel_to = rules::NO_SQUARE;
  rules::Move m = read_human_move(g, g.board, side);
  while (!complete(m)) m = read_human_move(g, g.board, side);
  return m;
}

// Lets the computer choose a move for side and plays it; returns the move.
rules::Move play_computer(Game& g, rules::Side side) {
  const rules::Move m = engine::computer_move(g.board, side);
  g.board = rules::make_move(g.board, m);
  return m;
}

}  // namespace

void play_game(Game& g, bool human_first) {
  const rules::Side human = human_first ? rules::WHITE : rules::BLACK;
  const rules::Side computer = rules::other_side(human);
  for (;;) {
    if (human_first) {
      draw_board(g, g.board);  // shows the computer's last move
    } else {
      record(play_computer(g, computer), " - ");
      draw_board(g, g.board);
    }
    const rules::Move m = human_move(g, human);
    g.board = rules::make_move(g.board, m);
    // Written before the drawing, which ends the game when m took the king.
    record(m, human_first ? " - " : "\n");
    draw_board(g, g.board);
    if (human_first) record(play_computer(g, computer), "\n");
  }
}

void play_demo(Game& g) {
  for (;;) {
    record(play_computer(g, rules::WHITE), " - ");
    draw_board(g, g.board);
    record(play_computer(g, rules::BLACK), "\n");
    draw_board(g, g.board);
  }
}

}  // namespace shell
