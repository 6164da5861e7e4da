// The game record's text of the computer's move choice: the one place where
// the scored list, the book's trace and the warning the choice owes are
// written (the record's texts themselves are named in game/record.h, beside
// its reader).
#pragma once

#include <iosfwd>

#include "engine/engine.h"

namespace engine {

// Writes what the record holds of a choice, in the order it arose: the
// complexity warning owed, the book's traces (without a line end, so they
// stand at the start of the list's first line), and the scored list, one line
// an entry ("e2e4 => 20.1"). A stopped choice writes only the warning that
// was owed before it stopped; the move itself is the caller's to write.
void write_choice(std::ostream& out, const MoveChoice& choice);

}  // namespace engine
