// What the game program answers for its launcher without opening a window:
// the saved games that wait, the strength steps, and the settings written
// into a player's conf.ini. So the launcher keeps no game logic of its own:
// one reader of conf.ini, one table of the steps, one reader of saved games.
#pragma once

#include <string>
#include <vector>

#include "shell/startup.h"

namespace shell {

// morva --waiting FOLDER CONF_INI: prints the path of the unfinished saved
// game in FOLDER that the human played in the colour the settings CONF_INI
// give (nothing for the demo), that was played last and that no window plays
// now, or nothing; says on standard error how many more wait, and which saved
// games cannot be read. Returns the exit status.
int print_waiting(const std::vector<std::string>& args);

// The exit status of a game whose saved game to go on with is played in
// another window at the time.
inline constexpr int EXIT_TAKEN = 3;

// morva --strength-help: prints the lines of the launcher's help about
// --strength N, with the table of the steps.
int print_strength_help();

// morva --settings FILE [--into OUT] [--colour white|black|demo] [--strength
// N]: writes the colour (usercolor) and the strength step's entries into the
// conf.ini FILE, or into a new file OUT (FILE stays as it is), where the game
// reads them; a conf.ini that is a link stays one. A value the game would not
// read where it is written leaves the file as it was, with one line on
// standard error. Returns the exit status.
int edit_settings_file(const std::vector<std::string>& args);

}  // namespace shell
