// The draw rules of a whole game: a position that comes for the third time,
// and fifty moves by each side without a capture or a pawn move. They need the
// game's past positions, which only the game keeps; the search never sees them.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/board.h"

namespace rules {

// Plies without a capture or a pawn move that end the game: fifty moves by each side.
inline constexpr int FIFTY_MOVE_PLIES = 100;

// How often one position must have stood for the game to end drawn.
inline constexpr int DRAW_REPETITIONS = 3;

// The positions of one game in order: positions[k] is the Board after k plies,
// positions[0] the start, with white to move. The side to move is white at
// even indices. A Board carries no castling rights (castling is offered by
// the placement alone) and Morva knows no en passant, so the Board and the
// side to move are the whole position.
struct GameHistory {
  std::vector<Board> positions;
};

enum class Draw : std::uint8_t { NONE, REPETITION, FIFTY_MOVES };

// Starts h afresh at the position start, white to move.
void start_history(GameHistory& h, const Board& start);

// Adds the position after the next ply.
void add_ply(GameHistory& h, const Board& after);

// Forgets the last plies (a take-back); the start always stays.
void drop_plies(GameHistory& h, int plies);

// Returns whether the ply that led from before to after captured a piece or
// moved a pawn: no position before such a ply can stand again.
bool irreversible(const Board& before, const Board& after);

// Returns the draw that the last position of h makes, or Draw::NONE.
Draw draw_of(const GameHistory& h);

}  // namespace rules
