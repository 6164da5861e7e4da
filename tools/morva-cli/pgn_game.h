// A game read from a record, written as PGN for other chess programs: the
// moves that standard chess accepts in SAN, and where Morva's rules leave
// standard chess, a comment that tells the rest.
#pragma once

#include <iosfwd>
#include <string>

#include "engine/record_reader.h"

namespace cli {

// The values of the seven-tag roster that do not come from the game itself.
struct PgnTags {
  std::string event, site, date, round, white, black;
};

// Returns the game's result as PGN writes it: "1-0" or "0-1" for the side
// that took the king, "1/2-1/2" for a draw, "*" for a game left unfinished.
std::string pgn_result(const engine::RecordedGame& game);

// Writes one game as PGN: the seven tags (the result as played), a blank
// line, the moves in SAN up to the last position standard chess accepts, a
// comment with the moves played after it under Morva's rules when there are
// any, the result, and a blank line. Lines stay within PGN's 80 characters.
void write_pgn(std::ostream& out, const engine::RecordedGame& game, const PgnTags& tags);

}  // namespace cli
