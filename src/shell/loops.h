// The game loops: human against computer, and the computer against itself.
#pragma once

#include "shell/game.h"

namespace shell {

// Alternates the human's and the computer's moves for ever; the human plays
// white when human_first is true. Ends only through quitting.
[[noreturn]] void play_game(Game& g, bool human_first);

// Lets the computer play both sides for ever. Ends only through quitting.
[[noreturn]] void play_demo(Game& g);

}  // namespace shell
