// The game record and move lists as text on standard output.
#pragma once

#include "rules/move.h"

namespace shell {

// Writes a text unchanged.
void print_text(const char* text);

// Writes a Move as two file letters and rank numbers, from byte first
// ("e2e4"; the end entry "d13d13", castlings "e13e13".."h13h13").
void print_move(rules::Move m);

}  // namespace shell
