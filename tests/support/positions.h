// Positions, squares and moves written as text, for every test program.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "rules/board.h"
#include "rules/fen.h"
#include "rules/move.h"

namespace rules {

// A failing assertion shows a Board as its FEN placement.
void PrintTo(const Board& b, std::ostream* os);

}  // namespace rules

namespace test_support {

// Returns the position of a FEN that the test knows to be well formed (a
// failure of the test otherwise).
rules::Position position(const std::string& fen);

// Returns the Board of a well-formed FEN.
inline rules::Board board(const std::string& fen) { return position(fen).board; }

// Returns the square of a name ("e2" is 12).
constexpr rules::Square sq(const char* name) {
  return static_cast<rules::Square>((name[1] - '1') * 8 + (name[0] - 'a'));
}

// Returns the Move between two named squares.
constexpr rules::Move move(const char* from, const char* to) {
  return rules::move_of(sq(from), sq(to));
}

// Returns the generated list of a side as record text, blank-separated, end
// entry included.
std::string moves_of(const rules::Board& b, rules::Side side);

}  // namespace test_support
