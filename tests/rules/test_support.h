// Helpers shared by the rules tests: boards from FEN, move lists as text, and
// GoogleTest printers so that a failing assertion shows a position.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "rules/board.h"
#include "rules/fen.h"
#include "rules/move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"

namespace rules {

inline void PrintTo(const Board& b, std::ostream* os) { *os << placement_of(b); }

}  // namespace rules

namespace rules_test {

// Builds the move table once for every test of the program.
class TableEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { rules::build_move_tables(); }
};

// Returns the Board of a FEN that the test knows to be well formed.
inline rules::Board board(const std::string& fen) {
  const rules::FenResult r = rules::parse_fen(fen);
  EXPECT_TRUE(r.position.has_value()) << r.error;
  return r.position ? r.position->board : rules::Board{};
}

// Returns a Move as print_move writes it.
inline std::string text_of(rules::Move m) {
  std::string out;
  for (int byte : {rules::move_from(m), rules::move_to(m)}) {
    out += static_cast<char>(96 + rules::file_of(byte));
    out += std::to_string(rules::rank_of(byte));
  }
  return out;
}

// Returns the generated list of a side, blank-separated, end entry included.
inline std::string moves_of(const rules::Board& b, rules::Side side) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, side, list);
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (i > 0) out += ' ';
    out += text_of(list[i]);
  }
  return out;
}

// Returns a square number from its name.
constexpr rules::Square sq(const char* name) {
  return static_cast<rules::Square>((name[1] - '1') * 8 + (name[0] - 'a'));
}

}  // namespace rules_test
