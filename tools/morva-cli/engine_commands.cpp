// morva-cli commands on the computer player and the book: eval, key, think, play.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

#include "book/book_key.h"
#include "book/db.h"
#include "commands.h"
#include "engine/computer_move.h"
#include "engine/evaluate.h"
#include "rules/fen.h"
#include "rules/make_move.h"
#include "rules/notation.h"

namespace cli {
namespace {

// Returns whether either king has been captured.
bool king_gone(const rules::Board& b) {
  return b.pieces[rules::WHITE][rules::KING] == 0 || b.pieces[rules::BLACK][rules::KING] == 0;
}

// Plays the computer's move for side on b and writes it followed by separator;
// returns whether the game goes on.
bool play_turn(rules::Board& b, rules::Side side, const char* separator) {
  const rules::Move m = engine::computer_move(b, side);
  b = rules::make_move(b, m);
  rules::write_move(std::cout, m);
  std::cout << separator;
  return !king_gone(b);
}

}  // namespace

int cmd_eval(const Args& args) {
  int status = EXIT_OK;
  const auto pos = whole_fen(args, status);
  if (!pos) return status;
  std::cout << engine::evaluate(pos->board) << "\n";
  return EXIT_OK;
}

int cmd_key(const Args& args) {
  int status = EXIT_OK;
  const auto pos = whole_fen(args, status);
  if (!pos) return status;
  const book::BookKey key = book::book_key(pos->board);
  char text[40];
  std::snprintf(text, sizeof text, "%016llx %016llx", static_cast<unsigned long long>(key.K1),
                static_cast<unsigned long long>(key.K2));
  std::cout << text << "\n";
  return EXIT_OK;
}

int cmd_think(const Args& args) {
  int status = EXIT_OK;
  const auto pos = whole_fen(args, status);
  if (!pos) return status;
  book::load_book_index();  // as at start-up: no index ends the process
  const rules::Move m = engine::computer_move(pos->board, pos->side);
  rules::write_move(std::cout, m);
  std::cout << '\n';
  return EXIT_OK;
}

int cmd_play(const Args& args) {
  constexpr const char* USAGE = "usage: morva-cli play PAIRS (a whole number, 0 or more)";
  if (args.size() != 1) return fail(USAGE);
  int pairs = 0;
  const char* end = args[0].data() + args[0].size();
  const auto [ptr, ec] = std::from_chars(args[0].data(), end, pairs);
  if (ec != std::errc{} || ptr != end || pairs < 0) return fail(USAGE);
  book::load_book_index();
  // The demonstration game: white, " - ", black, a line feed, until a king falls.
  rules::Board b = rules::board_from_cells(rules::starting_cells);
  for (int pair = 0; pair < pairs; ++pair) {
    if (!play_turn(b, rules::WHITE, " - ")) break;
    if (!play_turn(b, rules::BLACK, "\n")) break;
  }
  return EXIT_OK;
}

}  // namespace cli
