// morva-cli commands on the computer player and the book: eval, key, think, play.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <utility>

#include "book/book_key.h"
#include "book/db.h"
#include "commands.h"
#include "engine/computer_move.h"
#include "engine/engine.h"
#include "engine/evaluate.h"
#include "engine/record.h"
#include "rules/fen.h"
#include "rules/make_move.h"
#include "rules/notation.h"
#include "rules/standard_chess.h"

namespace cli {
namespace {

// Loads ./db as the game does at start; reports an index that cannot be read.
std::optional<book::Book> load_game_book() {
  std::optional<book::Book> book = book::load_book();
  if (!book) book::report_unopenable(book::INDEX_PATH);
  return book;
}

// Lets the computer choose its move for side on b and writes the record's
// text of the choice; nothing when the book's moves cannot be read (reported).
std::optional<rules::Move> computer_turn(engine::Engine& engine, const rules::Board& b,
                                         rules::Side side, const engine::GameFacts& game) {
  const engine::ComputerMove made = engine::computer_move(engine, b, side, {}, nullptr, game);
  for (const std::string& note : made.notes) std::cerr << note << "\n";
  const engine::MoveChoice& choice = made.choice;
  engine::write_choice(std::cout, choice);
  if (choice.book_unreadable) {
    book::report_unopenable(engine.book().chess_path);
    return std::nullopt;
  }
  return choice.move;
}

// Plays the computer's move for side on b and writes it followed by separator;
// returns whether the game goes on (false too when the book failed).
bool play_turn(engine::Engine& engine, rules::Board& b, rules::Side side, const char* separator,
               engine::GameFacts& game, bool& failed) {
  const std::optional<rules::Move> m = computer_turn(engine, b, side, game);
  if (!m) {
    failed = true;
    return false;
  }
  b = rules::make_move(b, *m);
  game.castling_rights = rules::castling_rights_after(game.castling_rights, *m);
  rules::write_move(std::cout, *m);
  std::cout << separator;
  return !rules::king_gone(b, rules::WHITE) && !rules::king_gone(b, rules::BLACK);
}

// Takes "--seed N" from the front of args into seed; false on a bad number.
bool take_seed(Args& args, std::uint64_t& seed) {
  if (args.empty() || args[0] != "--seed") return true;
  if (args.size() < 2) return false;
  const std::string& word = args[1];
  const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), seed);
  if (word.empty() || ec != std::errc{} || ptr != word.data() + word.size()) return false;
  args.erase(args.begin(), args.begin() + 2);
  return true;
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

int cmd_think(const Args& given) {
  Args args = given;
  engine::GameFacts game;
  if (!take_seed(args, game.seed)) return fail("usage: morva-cli think [--seed N] FEN");
  int status = EXIT_OK;
  const auto pos = whole_fen(args, status);
  if (!pos) return status;
  // The FEN's castling field, where it has one, gives the rights.
  std::string fen;
  for (const std::string& word : args) fen += word + " ";
  if (const std::optional<std::uint8_t> rights = rules::castling_rights_of_fen(fen)) {
    game.castling_rights = *rights;
  }
  std::optional<book::Book> book = load_game_book();  // as at start-up
  if (!book) return book::BOOK_FAILURE_STATUS;
  engine::Engine engine(std::move(*book));
  const std::optional<rules::Move> m = computer_turn(engine, pos->board, pos->side, game);
  if (!m) return book::BOOK_FAILURE_STATUS;
  rules::write_move(std::cout, *m);
  std::cout << '\n';
  return EXIT_OK;
}

int cmd_play(const Args& given) {
  constexpr const char* USAGE =
      "usage: morva-cli play PAIRS (a whole number, 0 or more), after --seed N if given";
  Args args = given;
  // The game's seed, and the castling rights from the start on.
  engine::GameFacts game{0, rules::chess_start().castling_rights};
  if (!take_seed(args, game.seed) || args.size() != 1) return fail(USAGE);
  int pairs = 0;
  const char* end = args[0].data() + args[0].size();
  const auto [ptr, ec] = std::from_chars(args[0].data(), end, pairs);
  if (ec != std::errc{} || ptr != end || pairs < 0) return fail(USAGE);
  std::optional<book::Book> book = load_game_book();
  if (!book) return book::BOOK_FAILURE_STATUS;
  engine::Engine engine(std::move(*book));
  // The demonstration game: white, " - ", black, a line feed, until a king falls.
  rules::Board b = rules::board_from_cells(rules::starting_cells);
  bool failed = false;
  for (int pair = 0; pair < pairs; ++pair) {
    if (!play_turn(engine, b, rules::WHITE, " - ", game, failed)) break;
    if (!play_turn(engine, b, rules::BLACK, "\n", game, failed)) break;
  }
  return failed ? book::BOOK_FAILURE_STATUS : EXIT_OK;
}

}  // namespace cli
