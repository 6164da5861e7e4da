// Standard chess on top of Morva's board: castling rights, the en passant
// square, check, and which of Morva's moves standard chess allows. Morva's own
// rules look at none of this (no test for check, castling on a fixed test of
// squares, no en passant); game files written for other chess programs do.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move.h"

namespace rules {

// A position of standard chess: Morva's Board and what standard chess keeps
// beside it.
struct ChessPosition {
  Board board{};
  Side side = WHITE;
  std::uint8_t castling_rights = 0;  // bit k: CASTLINGS[k] is still allowed
  Square en_passant = NO_SQUARE;     // the square a pawn's double step just passed over
};

// Why standard chess refuses a move that Morva's rules allow.
enum class ChessFault : std::uint8_t {
  NONE,                    // a legal move of standard chess
  NOT_GENERATED,           // not a move of the side to move under Morva's rules either
  TAKES_KING,              // takes the king, which a legal game never leaves to be taken
  LEAVES_KING_IN_CHECK,    // the mover's king is attacked after the move
  CASTLING_WITHOUT_RIGHT,  // the king or that rook has moved (or the rook was taken)
  CASTLING_OUT_OF_CHECK,   // the king is attacked on its home square
  CASTLING_THROUGH_CHECK,  // the square the king crosses is attacked
};

// Returns the starting position of standard chess: white to move, all four castlings allowed.
ChessPosition chess_start();

// Returns whether a piece of side by attacks square s of b.
bool attacked(const Board& b, Square s, Side by);

// Returns whether side's king can be taken: a move of the other side that
// Morva's rules generate lands on it (false when the king is gone). Standard
// chess calls it check.
bool king_attacked(const Board& b, Side side);

// Returns whether the king of the side to move is attacked.
bool in_check(const ChessPosition& p);

// Returns whether m, in p, is a pawn's capture en passant.
bool is_en_passant(const ChessPosition& p, Move m);

// Returns why standard chess refuses m in p, or ChessFault::NONE.
ChessFault chess_fault(const ChessPosition& p, Move m);

// Returns the position after a legal move m: the move made as Morva makes it,
// the pawn taken en passant removed, the castling rights and the en passant
// square brought up to date, the other side to move.
ChessPosition play_chess(const ChessPosition& p, Move m);

// Writes the legal moves of standard chess in p into list (castlings as their
// codes, captures en passant as the pawn's diagonal step; no end entry) and
// returns how many.
int legal_moves(const ChessPosition& p, MoveList& list);

}  // namespace rules
