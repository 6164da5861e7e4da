// The program's one Game, created with its initial values before main runs.
#include "shell/game.h"

namespace shell {

Game game;

}  // namespace shell
