// The game record's text of the computer's move choice: the one place where
// the scored list, the book's trace and the warning the choice owes are
// written.
#pragma once

#include <iosfwd>

#include "engine/engine.h"

namespace engine {

// The book's trace of one lookup that found the position.
inline constexpr const char* BOOK_TRACE_START = " (find at pos : ";
inline constexpr const char* BOOK_TRACE_END = ") ";

// Between an entry of the scored list and its score: "e2e4 => 20.1".
inline constexpr const char* SCORE_ARROW = " => ";

// The lines the window writes for what the human asks for with a key, each on
// a line of its own.
inline constexpr const char* TAKE_BACK_LINE = "takeback\n";
inline constexpr const char* NEW_GAME_LINE = "new game\n";
inline constexpr const char* HINT_LINE = "hint ";  // followed by the move and a line end

// The line that notes a game ended drawn.
inline constexpr const char* DRAW_LINE = "draw\n";

// Writes what the record holds of a choice, in the order it arose: the
// complexity warning owed, the book's traces (without a line end, so they
// stand at the start of the list's first line), and the scored list, one line
// an entry ("e2e4 => 20.1"). A stopped choice writes only the warning that
// was owed before it stopped; the move itself is the caller's to write.
void write_choice(std::ostream& out, const MoveChoice& choice);

}  // namespace engine
