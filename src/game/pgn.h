// A game written as PGN for other chess programs: the moves that standard
// chess accepts in SAN, and where Morva's rules leave standard chess, a
// comment that tells the rest. A saved game adds a tag of Morva's own after
// the seven-tag roster, which other programs pass over: the side the human
// plays. Its reader reads the moves back from the SAN and the comment, all
// that is needed to go on with the game exactly, and trusts nothing it reads.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/played_game.h"

namespace game {

// The values of the seven-tag roster that do not come from the game itself.
struct PgnTags {
  std::string event, site, date, round, white, black;
};

// The tags of Morva's own in a saved game.
inline constexpr const char* HUMAN_TAG = "MorvaHuman";  // "white", "black" or "none"
inline constexpr const char* SEED_TAG = "MorvaSeed";    // the game's seed of variety, in decimal

// Returns the move number before the move of ply (0 the first): "12." for
// white, "12..." for black.
std::string move_number(std::size_t ply);

// Returns the text of each ply as write_pgn writes it: SAN while standard
// chess accepts the game, then Morva's moves in coordinates as the comment
// tells them (a castling as its king's step, e1g1; a pass as "(a pass)").
std::vector<std::string> move_texts(const PlayedGame& game);

// Returns the game's result as PGN writes it: "1-0" or "0-1" for the side
// that took the king, "1/2-1/2" for a draw, "*" for a game going on or left
// unfinished.
std::string pgn_result(const PlayedGame& game);

// Writes one game as PGN: the seven tags (the result as played), a blank
// line, the moves in SAN up to the last position standard chess accepts, a
// comment with the moves played after it under Morva's rules when there are
// any, the result, and a blank line. Lines stay within PGN's 80 characters.
void write_pgn(std::ostream& out, const PlayedGame& game, const PgnTags& tags);

// Writes a saved game: as write_pgn, with Morva's own tags after the roster.
void write_saved_game(std::ostream& out, const PlayedGame& game, const PgnTags& tags);

// What the tags of a saved game say, its moves not read.
struct SavedHeader {
  std::string result;                // as the Result tag gives it
  std::optional<rules::Side> human;  // none: the computer plays both sides
  std::uint64_t seed = 0;            // the game's seed of variety (0 without the tag)
  std::string error;                 // why the text is no saved game of Morva's
};

// Reads the tags at the start of text, which is left at the movetext; the
// roster's values go into tags when given.
SavedHeader read_saved_header(std::string_view& text, PgnTags* tags = nullptr);

// A saved game read back.
struct SavedGameRead {
  PlayedGame game;
  PgnTags tags;
  std::string error;  // why the text is no saved game of Morva's; the rest is empty then
};

// Reads a saved game written by write_saved_game: its roster, Morva's own tag,
// and the moves (the SAN while standard chess accepts the game, then those of
// the comment that tells the rest). Every move must be one Morva's rules allow
// where it is played, nothing may follow a king taken, and a result that says
// the game is over where its moves do not lead there is an error. The game's
// end is a king taken where the moves take one, a draw where the result says
// so, and unfinished otherwise.
SavedGameRead read_saved_game(std::string_view text);

}  // namespace game
