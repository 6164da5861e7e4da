// Placeholder until the computer-player commands land.
#include "commands.h"

namespace cli {
int cmd_eval(const Args&) { return fail("eval: not built yet"); }
int cmd_key(const Args&) { return fail("key: not built yet"); }
int cmd_think(const Args&) { return fail("think: not built yet"); }
int cmd_play(const Args&) { return fail("play: not built yet"); }
}  // namespace cli
