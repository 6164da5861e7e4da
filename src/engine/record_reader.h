// Reading a game record back: the window's standard output as the launcher
// saves it, turned into the games it holds. The reader trusts nothing it
// reads: every move is checked against the position it is played in, and a
// text the window never writes is an error naming its line, never a crash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/move.h"

namespace engine {

// How a game of the record ended.
enum class GameEnd : std::uint8_t {
  UNFINISHED,  // the window was closed before a king was taken, or the record stops
  KING_TAKEN,  // the side that moved last took the other's king
  DRAWN,       // a line noted the draw
};

struct RecordedGame {
  std::vector<rules::Move> moves;  // the moves that stand, white's first
  GameEnd end = GameEnd::UNFINISHED;
  // Whether a move of that side (white, black) came with the computer's
  // scored list or book trace: the computer played that side.
  bool computer[2] = {false, false};
};

struct RecordRead {
  std::vector<RecordedGame> games;  // in the record's order, games without moves included
  std::string error;                // "line N: reason" when the record is unreadable; no games then
};

// Reads the games of a record. A takeback line cancels the last whole move
// pair before it, with the half line after that pair if there is one; a new
// game line starts a game from the starting position; a hint line, the
// scored lists, the book's traces and the warning and error reports change
// nothing. A last line without its line end (a record cut short) counts only
// as far as its white move and " - ".
RecordRead read_record(std::string_view text);

// Reads the games of the record in a file; the error names the file ("cannot
// read PATH: REASON", "PATH: line N: reason").
RecordRead read_record_file(const std::string& path);

}  // namespace engine
