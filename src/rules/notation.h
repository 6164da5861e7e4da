// Chess text: square names, moves as the game record writes them, and moves as
// players and game files write them, with the way back from text to a Move.
//
// The record writes each byte of a Move as a file letter (96 + file_of) and a
// rank number (rank_of), so squares read "e4" and the special bytes keep the
// same arithmetic: the end entry is "d13d13", the castlings "e13e13" (white
// queen side) to "h13h13" (black king side).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "rules/board.h"
#include "rules/move.h"

namespace rules {

// Returns one byte of a Move as the record writes it: "e4", "d13".
std::string square_name(int byte);

// Writes a Move as the record writes it, from byte first, with nothing around it.
void write_move(std::ostream& out, Move m);

// Returns the text write_move writes.
std::string move_text(Move m);

// Returns the byte of a name that square_name writes (a file letter and a rank
// 1..13, so squares, NO_SQUARE and the castling codes), or nothing.
std::optional<int> parse_square_name(std::string_view name);

// Returns the square a1..h8 of a name, or nothing.
std::optional<Square> parse_square(std::string_view name);

// What a move text stands for in a position.
enum class MoveTextFault {
  NONE,             // found: a generated move
  MALFORMED,        // not two square names with an optional promotion letter
  NOT_GENERATED,    // well formed, but not a move of the side in this position
  UNDER_PROMOTION,  // a pawn promotion to another piece than the queen
};

struct FoundMove {
  Move move = END_MOVE;
  MoveTextFault fault = MoveTextFault::MALFORMED;
};

// Finds the generated move of side in b that text stands for: the record's
// text ("e2e4", "f13f13"), a king's two-square step from its home square for
// a castling that is generated ("e1g1"), or a pawn's step to the far rank
// with the promotion letter q ("a7a8q"). The end entry is never found.
FoundMove find_move(const Board& b, Side side, std::string_view text);

}  // namespace rules
