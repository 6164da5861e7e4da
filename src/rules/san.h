// Moves as standard chess writes them in game files: standard algebraic
// notation (SAN), as PGN asks for it.
#pragma once

#include <string>

#include "rules/move.h"
#include "rules/standard_chess.h"

namespace rules {

// Returns the SAN of a legal move m in p: the piece letter (none for a pawn),
// the from file, rank or square where another piece of that kind could go to
// the same square, 'x' for a capture (a pawn's with its file), the target,
// "=Q" for a promotion, O-O and O-O-O for the castlings, and '+' for a check
// or '#' for a checkmate.
std::string san_text(const ChessPosition& p, Move m);

}  // namespace rules
