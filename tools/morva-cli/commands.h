// The commands of morva-cli. Each takes the words after the command name and
// returns the process exit status: 0 done, 2 bad input (a one-line message on
// standard error).
#pragma once

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_BAD_INPUT = 2;

// Rules core: moves FEN, captures FEN, perft FEN DEPTH, table SLOT SQUARE, make FEN MOVE...
int cmd_moves(const Args& args);
int cmd_captures(const Args& args);
int cmd_perft(const Args& args);
int cmd_table(const Args& args);
int cmd_make(const Args& args);

// Computer player and book: eval FEN, key FEN, think FEN, play PAIRS.
int cmd_eval(const Args& args);
int cmd_key(const Args& args);
int cmd_think(const Args& args);
int cmd_play(const Args& args);

// Speed: bench [--threads N] [--setting NAME] [--reference] [--write] [--dir DIR].
int cmd_bench(const Args& args);

// Writes "morva-cli: message" to standard error and returns EXIT_BAD_INPUT.
int fail(const std::string& message);

}  // namespace cli
