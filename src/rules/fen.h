// Reading and writing positions in Forsyth-Edwards Notation. Only the piece
// placement and the side to move are used; the other fields are ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Returns the castling rights of a FEN's third field (bit k: CASTLINGS[k],
// from the letters K, Q, k and q; none for "-"), or nothing when the FEN has
// no such field. What standard chess keeps and a Board cannot tell.
std::optional<std::uint8_t> castling_rights_of_fen(std::string_view fen);

// Returns how many of words, from the first, make up one FEN when a FEN was
// given unquoted: the first word (the placement, perhaps with further fields)
// and each following word that can be the FEN's next field (side to move,
// castling, en passant square, halfmove clock, fullmove number). 0 for no words.
std::size_t fen_word_count(const std::vector<std::string>& words);

// Returns the placement field of a Board.
std::string placement_of(const Board& b);

// Returns "placement side - - 0 1".
std::string fen_of(const Board& b, Side side);

}  // namespace rules
