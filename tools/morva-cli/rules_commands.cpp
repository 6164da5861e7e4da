// morva-cli commands on the rules core: moves, captures, perft, table, make.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>

#include "commands.h"
#include "rules/diagnostics.h"
#include "rules/fen.h"
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

namespace {

// Parses a whole decimal word within [low, high].
std::optional<int> parse_int(const std::string& word, int low, int high) {
  int value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (ec != std::errc{} || ptr != end || value < low || value > high) return std::nullopt;
  return value;
}

// Reads the one FEN argument of a command, or says what is wrong.
std::optional<rules::Position> position_arg(const Args& args, std::size_t expected, int& status) {
  if (args.size() < expected || args.empty()) {
    status = fail("missing FEN argument");
    return std::nullopt;
  }
  const rules::FenResult r = rules::parse_fen(args[0]);
  if (!r.position) status = fail(r.error);
  return r.position;
}

}  // namespace

int cmd_moves(const Args& args) {
  int status = EXIT_OK;
  const auto pos = position_arg(args, 1, status);
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
  const auto pos = position_arg(args, 1, status);
  if (!pos) return status;
  std::cout << rules::count_captures(pos->board) << "\n";
  return EXIT_OK;
}

int cmd_perft(const Args& args) {
  int status = EXIT_OK;
  const auto pos = position_arg(args, 2, status);
  if (!pos) return status;
  const auto depth = parse_int(args[1], 0, 32);
  if (!depth) return fail("bad depth '" + args[1] + "' (expected 0 to 32)");
  std::cout << rules::perft(pos->board, pos->side, *depth) << "\n";
  return EXIT_OK;
}

int cmd_table(const Args& args) {
  if (args.size() != 2) return fail("usage: table SLOT SQUARE");
  const auto slot = parse_int(args[0], 0, rules::SLOT_COUNT - 1);
  if (!slot) return fail("bad slot '" + args[0] + "' (expected 0 to 6)");
  std::optional<int> square = rules::parse_square(args[1]);
  if (!square) square = parse_int(args[1], 0, rules::SQUARE_COUNT - 1);
  if (!square) return fail("bad square '" + args[1] + "' (expected a1..h8 or 0..63)");
  rules::print_table_row(rules::move_table.entry[*slot][*square]);
  return EXIT_OK;
}

int cmd_make(const Args& args) {
  int status = EXIT_OK;
  const auto pos = position_arg(args, 1, status);
  if (!pos) return status;
  rules::Board b = pos->board;
  rules::Side side = pos->side;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const rules::FoundMove found = rules::find_move(b, side, args[i]);
    if (found.fault == rules::MoveTextFault::MALFORMED) {
      return fail("move '" + args[i] + "' is not written as two squares (e2e4, e7e8q)");
    }
    if (found.fault != rules::MoveTextFault::NONE) {
      return fail("move '" + args[i] + "' is not in the generated list of " +
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
