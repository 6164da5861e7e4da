// Reading and writing positions in Forsyth-Edwards Notation. Only the piece
// placement and the side to move are used; the other fields are ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/board.h"

namespace rules {

struct Position {
  Board board;
  Side side;
};

struct FenResult {
  std::optional<Position> position;
  std::string error;  // a one-line reason when position is empty
};

// Parses the placement field and the optional side-to-move field ("w" or "b",
// white when absent).
FenResult parse_fen(std::string_view fen);

// Returns the placement field of a Board.
std::string placement_of(const Board& b);

// Returns "placement side - - 0 1".
std::string fen_of(const Board& b, Side side);

}  // namespace rules
