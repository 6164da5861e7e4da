#include "engine/computer_move.h"

#include <iostream>

#include "config/ini_file.h"
#include "engine/strength.h"

namespace engine {

MoveChoice computer_move(Engine& engine, const rules::Board& b, rules::Side side,
                         const SearchHost& host, const Ponderer* ponderer, const GameFacts& game) {
  config::IniText ini;
  config::load_ini(ini, CONF_PATH);
  std::vector<std::string> notes;
  StrengthSettings settings = read_strength(ini, notes);
  settings.game = game;
  for (const std::string& note : notes) std::cerr << note << "\n";
  if (const MoveChoice* kept = ponderer ? ponderer->kept(b, side, settings) : nullptr) {
    report_progress(host, 0.0f);
    report_progress(host, 1.0f);
    return *kept;
  }
  return engine.choose_move(b, side, settings, host);
}

}  // namespace engine
