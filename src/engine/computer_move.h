// The computer's move: strength settings from conf.ini, an ordering pass and a
// main pass of searches over the root list, book nudges, the printed list.
#pragma once

#include <cstdint>

#include "config/ini_file.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// How strongly the computer plays: the four keys of section ALGO, and two
// choices of how the search runs that do not change what it finds.
struct StrengthSettings {
  int level = 0;       // nominal depth of the main pass, in plies
  int prelevel = 0;    // nominal depth of the ordering pass
  int maxlevel = 0;    // depth no line goes beyond
  int complexity = 0;  // capture count from which the main pass searches on
  // The reader's warning for a missing complexity key, written when the main
  // pass takes the value (a move the ordering pass decides never reads it).
  const char* complexity_miss = nullptr;
  int threads = 0;            // threads of the search; 0: one for every core
  int hash_mib = 0;           // size of the search's table in MiB; 0: the default
  bool plain_search = false;  // score with the plain `search` (the reference)
};

// Reads section ALGO: level, prelevel and maxlevel in this order (a missing
// one reads 0 after the reader's warning; one deeper than MAX_DEPTH is brought
// to it, with a warning on standard error), the optional threads (never more
// than the cores) and hash, and complexity with its warning owed.
StrengthSettings read_strength(const config::IniText& ini);

// Returns the move the computer plays for side in b under the settings (never
// the end entry, unless it is the only entry of the list), and writes the
// scored list to standard output; reports progress between root entries.
rules::Move choose_move(rules::Board b, rules::Side side, const StrengthSettings& settings);

// Reads ./conf.ini afresh and chooses the move with its settings.
rules::Move computer_move(rules::Board b, rules::Side side);

// Sorts scores and moves together, best first for side; stable.
void sort_by_score(float* scores, rules::Move* moves, int count, rules::Side side);

}  // namespace engine
