// The game as played: its plies, who plays each side, and how it ended. The
// window's loop changes it only by playing a ply, taking back a turn and
// starting a new game, and a game continued from its saved file is rebuilt
// through the same operations; the position, the last move, the human's turns
// and the positions the draw rules need are all views of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "rules/board.h"
#include "rules/draw_rules.h"
#include "rules/move.h"

namespace game {

// How a game ended.
enum class GameEnd : std::uint8_t {
  UNFINISHED,  // still going on, or left before its end
  KING_TAKEN,  // the side that moved last took the other's king
  DRAWN,       // ended drawn (draws=on, or a record's draw line)
};

// Who plays each side: the computer or a human.
struct Players {
  bool computer[2] = {false, false};

  friend bool operator==(const Players&, const Players&) = default;
};

// Returns the players of a mode: the human plays human (and the computer the
// other side), or with no human the computer plays both.
Players players_for(std::optional<rules::Side> human);

// Returns the side the human plays, or nothing when the computer plays both
// or nobody is known to be the computer.
std::optional<rules::Side> human_side(const Players& p);

struct PlayedGame {
  std::vector<rules::Move> moves;  // the plies that stand, white's first
  rules::GameHistory history;      // positions[k]: the Board after k plies
  Players players;
  GameEnd end = GameEnd::UNFINISHED;
  rules::Draw draw = rules::Draw::NONE;  // why it was drawn, where the rules say
  // The seed of the computer's variety (variety=N): drawn when the game
  // starts, kept with it, the same for every move, so the game replays.
  std::uint64_t seed = 0;
};

// Returns a game at the starting position with nothing played.
PlayedGame new_game(Players players);

// Plays m (a generated move of the side to move) on the game.
void play(PlayedGame& g, rules::Move m);

// Keeps only the first plies plies of the game, which is then unfinished again.
void keep_plies(PlayedGame& g, std::size_t plies);

// Goes back to the start of the human's last turn: the plies from the human's
// last move on are taken back. Returns false, changing nothing, when the
// human has not moved yet.
bool take_back_turn(PlayedGame& g);

// Returns the current position.
const rules::Board& board(const PlayedGame& g);

// Returns the side to move.
rules::Side side_to_move(const PlayedGame& g);

// Returns the last move played, END_MOVE at the start.
rules::Move last_move(const PlayedGame& g);

// Returns the castling rights standard chess leaves in the current position
// (bit k: rules::CASTLINGS[k]): those of the start, less each whose king or
// rook has left home or been taken.
std::uint8_t castling_rights(const PlayedGame& g);

// Returns the move a text stands for as the record writes it, for the side to
// move: a generated move, or the end entry (a pass) where the side has
// nothing else to move; nothing for any other text.
std::optional<rules::Move> move_of_text(const PlayedGame& g, std::string_view text);

// Decides whether the last ply ended the game: a king is gone, or, with draws
// on, the draw rules end it. Sets and returns the end.
GameEnd decide_end(PlayedGame& g, bool draws);

// Returns the side that won a game ended by a king taken: the side that moved last.
rules::Side winner(const PlayedGame& g);

}  // namespace game
