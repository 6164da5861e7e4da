#include "engine/computer_move.h"

#include "config/ini_file.h"
#include "engine/strength.h"

namespace engine {

ComputerMove computer_move(Engine& engine, const rules::Board& b, rules::Side side,
                           const SearchHost& host, const Ponderer* ponderer,
                           const GameFacts& game) {
  config::IniText ini;
  config::load_ini(ini, CONF_PATH);
  ComputerMove result;
  result.settings = read_strength(ini, result.notes);
  result.settings.game = game;
  if (const MoveChoice* kept = ponderer ? ponderer->kept(b, side, result.settings) : nullptr) {
    report_progress(host, 0.0f);
    report_progress(host, 1.0f);
    result.choice = *kept;
    return result;
  }
  result.choice = engine.choose_move(b, side, result.settings, host);
  return result;
}

}  // namespace engine
