// The Game's game as played and its saved file: these functions alone change
// them, for a game played live and for one continued from its file alike.
#pragma once

#include <optional>
#include <string>

#include "engine/strength.h"
#include "game/pgn.h"
#include "game/played_game.h"
#include "rules/move.h"
#include "shell/game.h"

namespace shell {

// The saved game's Event.
inline constexpr const char* SAVED_EVENT = "Morva game";
// The human's name in a saved game.
inline constexpr const char* HUMAN_NAME = "Player";

// Starts the Game's game at the starting position with those players, a seed
// of its own and nothing played; its saved game, if any, is written at the
// first ply.
void start_played(Game& g, game::Players players);

// Returns what the computer's choices in the Game's position take from the
// game itself: its seed and the castling rights its plies leave.
engine::GameFacts game_facts(const Game& g);

// Plays a ply: the game and the board go on. The saved game is written once
// the loop has decided whether the ply ended the game (save_game).
void play(Game& g, rules::Move m);

// Goes back to the start of the human's previous turn; false (nothing done)
// when the human has not moved yet. The saved game follows.
bool take_back(Game& g);

// Starts a new game with the same players. The game left stays saved as it
// stands, unfinished; the new one is saved under a name of its own beside it.
void new_game(Game& g);

// Plays the plies of a saved game read back, without a trace in the record,
// and keeps its roster; the game is then saved in its own file again.
void continue_played(Game& g, const game::SavedGameRead& read);

// Writes the saved game as it stands, when there is a file and a ply has
// been played (a game taken back to its start is not kept). The first failure
// is reported on standard error and kept for the exit status.
void save_game(Game& g);

// Returns the saved file's path for the next new game of a window whose
// current one is saved at path: "STEM-game2.pgn", "STEM-game3.pgn", ..., the
// first that does not exist.
std::string next_game_path(const std::string& path);

}  // namespace shell
