// The texts of the game record that the window writes on standard output and
// the record reader recognises: named once, for the writers and the reader.
#pragma once

namespace game {

// The book's trace of one lookup that found the position.
inline constexpr const char* BOOK_TRACE_START = " (find at pos : ";
inline constexpr const char* BOOK_TRACE_END = ") ";

// Between an entry of the scored list and its score: "e2e4 => 20.1".
inline constexpr const char* SCORE_ARROW = " => ";

// Between white's move and black's on a line of the record.
inline constexpr const char* PAIR_SEPARATOR = " - ";

// The lines the window writes for what the human asks for with a key, each on
// a line of its own.
inline constexpr const char* TAKE_BACK_LINE = "takeback\n";
inline constexpr const char* NEW_GAME_LINE = "new game\n";
inline constexpr const char* HINT_LINE = "hint ";  // followed by the move and a line end

// The line that notes a game ended drawn.
inline constexpr const char* DRAW_LINE = "draw\n";

}  // namespace game
