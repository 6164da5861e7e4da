// morva-cli bench --ponder: how long the human waits for the computer's reply
// when the computer has thought on the human's time, beside the same replies
// without it, in one run.
#pragma once

#include <filesystem>

#include "engine/ponder.h"
#include "engine/strength.h"

namespace cli {

// One line of the ponder suite: a position with the computer to move, the
// move played there, and the human's reply to it.
inline constexpr const char* PONDER_POSITIONS = "ponder-positions.txt";

// For each line of the suite, on two engines (neither finds the other's work
// in its table): the computer's move is searched (as in a game, filling the
// table and giving the expected reply), the game's move is played, and the
// human's turn follows. Without pondering, the reply to the human's
// game move is timed at once; with it, the ponderer first thinks for seconds
// (or until every reply is kept). Prints each line's times, their median, 90th
// percentile and slowest, the share of replies found ready, and whether both
// replies are identical; returns the number that are not (0 when all agree).
int bench_ponder(const std::filesystem::path& suite, const engine::StrengthSettings& settings,
                 double seconds, engine::PonderOrder order);

}  // namespace cli
