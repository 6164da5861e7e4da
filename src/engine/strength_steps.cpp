#include "engine/strength_steps.h"

namespace engine {

const StrengthStep* strength_step(int number) {
  if (number == FORMER_TOP_STEP) number = SHIPPED_STEP;
  for (const StrengthStep& step : STRENGTH_STEPS) {
    if (step.number == number) return &step;
  }
  return nullptr;
}

std::vector<std::pair<std::string, std::optional<std::string>>> step_entries(
    const StrengthStep& step) {
  const bool club = step.nodes > 0;
  std::vector<std::pair<std::string, std::optional<std::string>>> entries = {
      {"level", std::to_string(step.level)},
      {"prelevel", std::to_string(step.prelevel)},
      {"maxlevel", std::to_string(step.maxlevel)},
      {"complexity", std::to_string(step.complexity)},
      {"search", club ? std::optional<std::string>("club") : std::nullopt},
      {"nodes", club ? std::optional(std::to_string(step.nodes)) : std::nullopt},
      {"legalcastling", club ? std::optional<std::string>("on") : std::nullopt},
      {"variety", step.variety > 0 ? std::optional(std::to_string(step.variety)) : std::nullopt}};
  for (const auto& [key, value] : STEP_ENTRIES) entries.emplace_back(key, value);
  return entries;
}

const StrengthStep* step_of(StrengthSettings settings) {
  settings.game = {};  // a step is the same whatever game it plays
  for (const StrengthStep& step : STRENGTH_STEPS) {
    config::IniText ini;
    std::string text = "[ALGO]";
    for (const auto& [key, value] : step_entries(step)) {
      if (value) text += key + "=" + *value + ";";
    }
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
