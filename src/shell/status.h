// What the window says (status=on, keyhelp=on): whose turn it is, the
// computer's progress, a king that can be taken, the end and how it came, the
// position viewed, N's question and the notes of the start; and the list of
// the keys that are on. Decided from the Game alone; panel.h draws it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shell/game.h"

namespace shell {

// What the status says before a slip of conf.ini.
inline constexpr const char* SLIP_LEAD = "conf.ini: ";

// Returns the status lines for the Game as it stands, given the texts of its
// moves (game_move_texts):
// - viewing an earlier position: which one, and its move;
// - at the end: who won and how, or why it is drawn, and what closes the game;
// - otherwise whose turn it is, the engine's progress while it works, a king
//   that can be taken, N's question;
// - until the human first acts, the notes of the start: a continued game, the
//   key of the help (keyhelp=on), the slips of conf.ini.
std::vector<StatusLine> status_lines(const Game& g, const std::vector<std::string>& texts);

// Returns the line about the keys that the window shows without a status
// (keyhelp=on): N's question, or at the start the key of the help; empty
// otherwise.
std::string key_note(const Game& g);

// One row of the key help: the keys, and what they do.
struct KeyRow {
  std::string keys, action;
};

// Returns the rows of the key help: every key that the settings turn on.
std::vector<KeyRow> help_rows(const Game& g);

// What closes the key help, its last line.
inline constexpr const char* HELP_CLOSES = "Any key or click closes this list";

}  // namespace shell
