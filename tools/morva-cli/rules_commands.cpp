// morva-cli commands on the rules core: moves, captures, perft, table, make.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>

#include "commands.h"
#include "rules/diagnostics.h"
#include "rules/fen.h"
#include "rules/input_echo.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/perft.h"

namespace cli {

int fail(const std::string& message) {
  std::cerr << "morva-cli: " << message << "\n";
  return EXIT_BAD_INPUT;
}

int extra_word(const std::string& word, const std::string& after) {
  return fail("unexpected word '" + rules::echo_input(word) + "' after " + after);
}

namespace {

// Parses a whole decimal word within [low, high].
std::optional<int> parse_int(const std::string& word, int low, int high) {
  int value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (ec != std::errc{} || ptr != end || value < low || value > high) return std::nullopt;
  return value;
}

// Returns whether word is a whole decimal number, as a depth or a clock is.
bool is_number(const std::string& word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

// Parses the FEN made of the first count words, joined by blanks.
std::optional<rules::Position> parse_fen_words(const Args& args, std::size_t count, int& status) {
  std::string fen = args[0];
  for (std::size_t i = 1; i < count; ++i) (fen += ' ') += args[i];
  const rules::FenResult r = rules::parse_fen(fen);
  if (!r.position) status = fail(r.error);
  return r.position;
}

}  // namespace

std::optional<rules::Position> fen_arg(const Args& args, std::size_t& used, int& status) {
  used = rules::fen_word_count(args);
  if (used == 0) {
    status = fail("missing FEN argument");
    return std::nullopt;
  }
  return parse_fen_words(args, used, status);
}

std::optional<rules::Position> whole_fen(const Args& args, int& status) {
  std::size_t used = 0;
  auto pos = fen_arg(args, used, status);
  if (pos && used < args.size()) {
    status = extra_word(args[used], "the FEN");
    pos.reset();
  }
  return pos;
}

int cmd_moves(const Args& args) {
  int status = EXIT_OK;
  const auto pos = whole_fen(args, status);
  if (!pos) return status;
  rules::MoveList list;
  const int n = rules::generate_moves(pos->board, pos->side, list);
  for (int i = 0; i < n; ++i) {
    if (i > 0) std::cout << ' ';
    rules::write_move(std::cout, list[i]);
  }
  std::cout << '\n';
  return EXIT_OK;
}

int cmd_captures(const Args& args) {
  int status = EXIT_OK;
  const auto pos = whole_fen(args, status);
  if (!pos) return status;
  std::cout << rules::count_captures(pos->board) << "\n";
  return EXIT_OK;
}

// The depth is the last word when it is a number, even where it could also be
// a clock of the FEN before it; the FEN is every word before the depth.
int cmd_perft(const Args& args) {
  if (args.empty()) return fail("missing FEN argument");
  std::size_t fen_words = rules::fen_word_count(args);
  if (fen_words == args.size()) {
    if (fen_words < 2 || !is_number(args.back())) return fail("missing depth (perft FEN DEPTH)");
    --fen_words;
  }
  if (fen_words + 1 < args.size()) return extra_word(args[fen_words + 1], "the depth");
  int status = EXIT_OK;
  const auto pos = parse_fen_words(args, fen_words, status);
  if (!pos) return status;
  const std::string& word = args[fen_words];
  const auto depth = parse_int(word, 0, 32);
  if (!depth) return fail("bad depth '" + rules::echo_input(word) + "' (expected 0 to 32)");
  std::cout << rules::perft(pos->board, pos->side, *depth) << "\n";
  return EXIT_OK;
}

int cmd_table(const Args& args) {
  if (args.size() != 2) return fail("usage: table SLOT SQUARE");
  const auto slot = parse_int(args[0], 0, rules::SLOT_COUNT - 1);
  if (!slot) return fail("bad slot '" + rules::echo_input(args[0]) + "' (expected 0 to 6)");
  std::optional<int> square = rules::parse_square(args[1]);
  if (!square) square = parse_int(args[1], 0, rules::SQUARE_COUNT - 1);
  if (!square)
    return fail("bad square '" + rules::echo_input(args[1]) + "' (expected a1..h8 or 0..63)");
  rules::print_table_row(rules::move_table.entry[*slot][*square]);
  return EXIT_OK;
}

int cmd_make(const Args& args) {
  int status = EXIT_OK;
  std::size_t used = 0;
  const auto pos = fen_arg(args, used, status);
  if (!pos) return status;
  rules::Board b = pos->board;
  rules::Side side = pos->side;
  for (std::size_t i = used; i < args.size(); ++i) {
    const rules::FoundMove found = rules::find_move(b, side, args[i]);
    if (found.fault == rules::MoveTextFault::MALFORMED) {
      return fail("move '" + rules::echo_input(args[i]) +
                  "' is not written as two squares (e2e4, e7e8q)");
    }
    if (found.fault != rules::MoveTextFault::NONE) {
      return fail("move '" + rules::echo_input(args[i]) + "' is not in the generated list of " +
                  (side == rules::WHITE ? "white" : "black") +
                  (found.fault == rules::MoveTextFault::UNDER_PROMOTION
                       ? " (pawns become queens only)"
                       : ""));
    }
    b = rules::make_move(b, found.move);
    side = rules::other_side(side);
  }
  std::cout << rules::fen_of(b, side) << "\n";
  return EXIT_OK;
}

}  // namespace cli
