// The opening book: ./db/index.db (key -> block offset) held in memory, and
// ./db/chess.db read at the offset of a position found in it.
#pragma once

#include <cstdint>

#include "rules/board.h"
#include "rules/move.h"

namespace book {

inline constexpr const char* INDEX_PATH = "./db/index.db";
inline constexpr const char* CHESS_PATH = "./db/chess.db";

// Reads ./db/index.db into memory; on failure reports the error and ends the
// process with status -1.
void load_book_index();

// Returns -1 when the position is not in the index, otherwise the number of
// records of its block whose mark equals mark; those moves become the book
// move list. On a hit writes " (find at pos : OFFSET) " to standard output.
int book_lookup(rules::Board b, int mark);

// Returns the i-th move collected by the last lookup that collected any.
rules::Move book_move(int i);

}  // namespace book
