// Reading a game record back: the window's standard output as earlier
// versions of the launcher saved it, turned into the games it holds, for
// morva-cli pgn. The reader trusts nothing it reads: every move is checked
// against the position it is played in, a text the window never writes is an
// error naming its line, never a crash, and the time it takes grows with the
// record's length alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/played_game.h"

namespace game {

// The largest record file read, far beyond any game played.
inline constexpr std::size_t RECORD_SIZE_LIMIT = 64U << 20;

struct RecordRead {
  // In the record's order, games without moves included; a side is the
  // computer's where a move of it came with the computer's scored list or
  // book trace.
  std::vector<PlayedGame> games;
  std::string error;  // "line N: reason" when the record is unreadable; no games then
};

// Reads the games of a record. A takeback line cancels the last whole move
// pair before it, with the half line after that pair if there is one; a new
// game line starts a game from the starting position; a hint line, the
// scored lists, the book's traces and the warning and error reports change
// nothing; a draw line ends the game drawn. Nothing but reports may follow a
// king taken or a draw. A last line without its line end (a record cut short)
// counts only as far as its white move and " - ".
RecordRead read_record(std::string_view text);

// Reads the games of the record in a regular file of at most
// RECORD_SIZE_LIMIT bytes; the error names the file ("cannot read PATH:
// REASON", "PATH: line N: reason").
RecordRead read_record_file(const std::string& path);

}  // namespace game
