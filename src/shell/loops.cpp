// The game loops; standard output gets one line per move pair.
#include "shell/loops.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>

#include "book/db.h"
#include "config/ini_file.h"
#include "engine/computer_move.h"
#include "engine/record.h"
#include "game/record.h"
#include "rules/notation.h"
#include "shell/console.h"
#include "shell/draw.h"
#include "shell/input.h"
#include "shell/played.h"
#include "shell/progress_display.h"
#include "shell/startup.h"

namespace shell {

namespace {

using game::DRAW_LINE;
using game::HINT_LINE;
using game::NEW_GAME_LINE;
using game::PAIR_SEPARATOR;
using game::TAKE_BACK_LINE;

// Ends a move pair's line of the record.
constexpr const char* LINE_END = "\n";

// Writes a text of the record and hands it to the output at once, so that a
// pipe or a file sees each move as it is played.
void note(Game& g, const char* text) {
  print_text(text);
  hand_on_record(g);
}

// Writes a move of the record and the text after it, at once.
void record(Game& g, rules::Move m, const char* after) {
  print_move(m);
  note(g, after);
}

// Writes a line of its own, ending first a line the computer's move left half written.
void note_line(Game& g, const char* line, bool half_line) {
  if (half_line) print_text("\n");
  note(g, line);
}

// Returns whether a Move from read_human_move is complete.
bool complete(rules::Move m) {
  return rules::move_from(m) != rules::NO_SQUARE && rules::move_to(m) != rules::NO_SQUARE;
}

// Returns whether the window is shown and has the keyboard: only then does
// the computer think on the human's time.
bool window_active() {
  const Uint8 wanted = SDL_APPACTIVE | SDL_APPINPUTFOCUS;
  return (SDL_GetAppState() & wanted) == wanted;
}

// Thinking on the human's time while the window is active, with the settings
// conf.ini holds when the turn begins (ponder=on).
struct Pondering {
  bool wanted = false;   // ponder=on
  bool running = false;  // the ponderer works on the current position
  engine::StrengthSettings settings{};
};

// Starts the ponderer on the human's position when it is wanted and the window
// is active, and stops it when the window is not.
void keep_pondering(Game& g, rules::Side side, Pondering& p) {
  if (!p.wanted || g.ponderer == nullptr) return;
  const bool active = window_active();
  if (active && !p.running) {
    engine::StrengthSettings settings = p.settings;
    settings.game = game_facts(g);  // the human's position: its replies' rights follow
    g.ponderer->start(g.board, side, settings);
  }
  if (!active && p.running) g.ponderer->stop();
  p.running = active;
}

// Clears the selection and reads clicks until the human has made a move or
// asked for something with a key, the computer thinking meanwhile when
// ponder=on; the thinking is stopped when this returns.
rules::Move human_move(Game& g, rules::Side side) {
  g.sel_from = rules::NO_SQUARE;
  g.sel_to = rules::NO_SQUARE;
  config::IniText ini;
  config::load_ini(ini, engine::CONF_PATH);
  Pondering pondering;
  pondering.settings = engine::read_strength_quietly(ini);
  pondering.wanted = pondering.settings.ponder;
  rules::Move m = read_human_move(g, g.board, side);
  while (!complete(m) && g.request == Request::NONE) {
    keep_pondering(g, side, pondering);
    m = read_human_move(g, g.board, side);
  }
  if (pondering.running) g.ponderer->stop();
  return m;
}

// What the engine is doing, read by keep_event on SDL's event thread.
enum class Thinking : std::uint8_t { NO, MOVE, HINT };
std::atomic<Thinking> thinking{Thinking::NO};

// Returns the settings of a hint: the strength conf.ini holds now, in the
// human's position, and always the best move the search finds (no variety:
// a hint is advice, not a game's move).
engine::StrengthSettings hint_settings(const Game& g, const config::IniText& ini) {
  engine::StrengthSettings settings = engine::read_strength_quietly(ini);
  settings.game = game_facts(g);
  settings.variety = 0;
  return settings;
}

// Searches the move the computer would choose for the human, at the strength
// conf.ini holds now, without a trace in the record, and shows it on its
// squares; notes it on a line of its own. A click, a key or the close stops
// the search and is then taken as usual.
void show_hint(Game& g, rules::Side side, bool half_line) {
  config::IniText ini;
  config::load_ini(ini, engine::CONF_PATH);
  thinking.store(Thinking::HINT, std::memory_order_relaxed);
  set_activity(g, Activity::HINTING);
  const engine::MoveChoice choice =
      g.engine->choose_move(g.board, side, hint_settings(g, ini), hint_host(g));
  set_activity(g, Activity::NONE);
  thinking.store(Thinking::NO, std::memory_order_relaxed);
  if (!choice.stopped && choice.move != rules::END_MOVE) {
    g.hint_move = choice.move;
    const std::string line = std::string(HINT_LINE) + rules::move_text(choice.move) + "\n";
    note_line(g, line.c_str(), half_line);
    if (half_line) record(g, game::last_move(g.played), PAIR_SEPARATOR);
  }
  draw_board(g, g.board);  // the hint's squares, or the board without the dialog
}

// Writes the record's draw line, ending first a line that white's move left
// half written.
void note_draw(Game& g) {
  if (g.played.moves.size() % 2 == 1) print_text(LINE_END);
  note(g, DRAW_LINE);
}

}  // namespace

int keep_event(const SDL_Event* event) {
  // While the computer thinks only a quit matters: everything else would be
  // dropped at the next progress report anyway, and queued meanwhile it could
  // fill SDL's queue (128 events) so that a close were lost. A hint's search
  // keeps clicks and keys (they end it and are then the human's), but not motion.
  switch (thinking.load(std::memory_order_relaxed)) {
    case Thinking::MOVE:
      return is_quit_event(*event);
    case Thinking::HINT:
      return event->type != SDL_MOUSEMOTION;
    case Thinking::NO:
      break;
  }
  return 1;
}

rules::Move play_computer(Game& g, rules::Side side) {
  // While the computer thinks, events other than a quit are not even queued
  // (keep_event): the progress reports would only drop them, and a long think
  // could fill SDL's queue with them, so that a close of the window were lost.
  thinking.store(Thinking::MOVE, std::memory_order_relaxed);
  set_activity(g, Activity::THINKING);
  const engine::ComputerMove made = engine::computer_move(*g.engine, g.board, side, window_host(g),
                                                          g.ponderer.get(), game_facts(g));
  set_activity(g, Activity::NONE);
  thinking.store(Thinking::NO, std::memory_order_relaxed);
  for (const std::string& note : made.notes) std::cerr << note << "\n";
  const engine::MoveChoice& choice = made.choice;
  engine::write_choice(std::cout, choice);
  if (choice.stopped) quit_game(g);
  if (choice.book_unreadable) {
    book::report_unopenable(g.engine->book().chess_path);
    quit_game(g, book::BOOK_FAILURE_STATUS);
  }
  play(g, choice.move);
  return choice.move;
}

void computer_ply(Game& g, rules::Side side, const char* after) {
  const rules::Move m = play_computer(g, side);
  end_of_ply(g, Ply{m, after});
}

std::optional<rules::Move> human_turn(Game& g, rules::Side side) {
  // Playing black, the human finds the computer's move waiting on the line.
  const bool half_line = side == rules::BLACK;
  for (;;) {
    const rules::Move m = human_move(g, side);
    const Request request = std::exchange(g.request, Request::NONE);
    if (request != Request::HINT) g.hint_move = rules::END_MOVE;  // shown until the human acts
    switch (request) {
      case Request::NONE:
        return m;
      case Request::HINT:
        show_hint(g, side, half_line);
        break;
      case Request::NEW_GAME:
        note_line(g, NEW_GAME_LINE, half_line);
        new_game(g);
        draw_board(g, g.board);
        return std::nullopt;
      case Request::TAKE_BACK:
        if (!take_back(g)) break;
        note_line(g, TAKE_BACK_LINE, half_line);
        // The computer's move that stands again opens the pair the human completes.
        if (half_line) record(g, game::last_move(g.played), PAIR_SEPARATOR);
        break;
    }
  }
}

void end_of_ply(Game& g, std::optional<Ply> ply) {
  const game::GameEnd end = game::decide_end(g.played, g.draws);
  save_game(g);  // before the record shows the ply: the saved game is never behind it
  if (ply) record(g, ply->move, ply->after);
  if (end == game::GameEnd::UNFINISHED) return;
  if (end == game::GameEnd::DRAWN) note_draw(g);
  show_end(g);
}

void play_game(Game& g, bool human_first) {
  const rules::Side human = human_first ? rules::WHITE : rules::BLACK;
  const rules::Side computer = rules::other_side(human);
  // A continued game at black's move starts with black's half of the pair.
  const rules::Side to_move = game::side_to_move(g.played);
  if (to_move == rules::BLACK && human_first) computer_ply(g, computer, LINE_END);
  bool computer_opens = to_move == rules::WHITE;
  for (;;) {
    if (!human_first && std::exchange(computer_opens, true)) {
      computer_ply(g, computer, PAIR_SEPARATOR);
    }
    draw_board(g, g.board);  // shows the computer's last move
    const std::optional<rules::Move> m = human_turn(g, human);
    if (!m) continue;  // a new game: playing black, the human lets the computer open again
    play(g, *m);
    end_of_ply(g, Ply{*m, human_first ? PAIR_SEPARATOR : LINE_END});
    draw_board(g, g.board);
    if (human_first) computer_ply(g, computer, LINE_END);
  }
}

void play_demo(Game& g) {
  if (game::side_to_move(g.played) == rules::BLACK) {
    computer_ply(g, rules::BLACK, LINE_END);
    draw_board(g, g.board);
  }
  for (;;) {
    computer_ply(g, rules::WHITE, PAIR_SEPARATOR);
    draw_board(g, g.board);
    computer_ply(g, rules::BLACK, LINE_END);
    draw_board(g, g.board);
  }
}

}  // namespace shell
