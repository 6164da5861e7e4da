#include "engine/strength_steps.h"

namespace engine {

const StrengthStep* strength_step(int number) {
  if (number == FORMER_TOP_STEP) number = SHIPPED_STEP;
  for (const StrengthStep& step : STRENGTH_STEPS) {
    if (step.number == number) return &step;
  }
  return nullptr;
}

std::vector<std::pair<std::string, std::string>> step_entries(const StrengthStep& step) {
  std::vector<std::pair<std::string, std::string>> entries = {
      {"level", std::to_string(step.level)},
      {"prelevel", std::to_string(step.prelevel)},
      {"maxlevel", std::to_string(step.maxlevel)},
      {"complexity", std::to_string(step.complexity)}};
  for (const auto& [key, value] : STEP_ENTRIES) entries.emplace_back(key, value);
  return entries;
}

const StrengthStep* step_of(const StrengthSettings& settings) {
  for (const StrengthStep& step : STRENGTH_STEPS) {
    config::IniText ini;
    std::string text = "[ALGO]";
    for (const auto& [key, value] : step_entries(step)) text += key + "=" + value + ";";
    config::load_ini_text(ini, text);
    if (same_choices(read_strength_quietly(ini), settings)) return &step;
  }
  return nullptr;
}

std::string computer_name(const StrengthSettings& settings) {
  const StrengthStep* step = step_of(settings);
  return step ? "Morva (about " + std::to_string(step->rating) + ")" : "Morva";
}

}  // namespace engine
