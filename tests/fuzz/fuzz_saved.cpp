// Fuzzes the readers of what the window leaves on disk: arbitrary text is
// read as a saved game and as a record of an earlier version. A saved game
// that reads is written again and must read back the same, and every game a
// record holds is written as PGN. Any sanitizer report or broken property
// aborts the run.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "fuzz_support.h"
#include "game/pgn.h"
#include "game/record_reader.h"
#include "rules/move_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tables = (rules::build_move_tables(), true);
  (void)tables;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const game::PgnTags tags{"e", "s", "d", "r", "w", "b"};

  const game::SavedGameRead saved = game::read_saved_game(text);
  if (saved.error.empty()) {
    std::ostringstream again;
    game::write_saved_game(again, saved.game, saved.tags);
    const game::SavedGameRead back = game::read_saved_game(again.str());
    fuzz::check(back.error.empty(), "a saved game written again reads back");
    fuzz::check(back.game.moves == saved.game.moves && back.game.end == saved.game.end &&
                    back.game.players == saved.game.players && back.game.seed == saved.game.seed,
                "a saved game reads back as it was written");
  }

  const game::RecordRead record = game::read_record(text);
  fuzz::check(record.error.empty() != record.games.empty(), "a record read has its games");
  for (const game::PlayedGame& played : record.games) {
    std::ostringstream pgn;
    game::write_pgn(pgn, played, tags);
    fuzz::check(!pgn.str().empty(), "every game of a record is written");
  }
  return 0;
}
