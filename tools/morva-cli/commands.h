// The commands of morva-cli. Each takes the words after the command name and
// returns the process exit status: 0 done, 2 bad input (a one-line message on
// standard error).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "rules/fen.h"

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

// Game files: pgn [--white NAME] [--black NAME] [--date YYYY.MM.DD] RECORD.
int cmd_pgn(const Args& args);

// Speed: bench [--threads N] [--setting NAME] [--reference] [--write] [--dir DIR].
int cmd_bench(const Args& args);

// Writes "morva-cli: message" to standard error and returns EXIT_BAD_INPUT.
int fail(const std::string& message);

// Fails with "unexpected word 'WORD' after AFTER", the word cut and escaped.
int extra_word(const std::string& word, const std::string& after);

// Reads the FEN at the front of args: the first word and the words after it
// that are the FEN's further fields, so that an unquoted FEN is read whole
// (rules::fen_word_count); sets used to the number of words taken. On a fault
// writes the message and sets status.
std::optional<rules::Position> fen_arg(const Args& args, std::size_t& used, int& status);

// Reads args as one FEN and nothing else; a word left over is a fault.
std::optional<rules::Position> whole_fen(const Args& args, int& status);

}  // namespace cli
