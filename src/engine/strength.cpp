#include "engine/strength.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "engine/root_pass.h"
#include "engine/search.h"
#include "engine/transposition.h"

namespace engine {
namespace {

constexpr const char* ALGO_SECTION = "ALGO";

// Returns a depth setting brought into range, with a note for a value deeper
// than any line may go.
int bounded_depth(const char* key, int depth, std::vector<std::string>& notes) {
  if (depth <= MAX_DEPTH) return depth;
  notes.push_back("morva: conf.ini: " + std::string(key) + "=" + std::to_string(depth) +
                  " is deeper than " + std::to_string(MAX_DEPTH) + " plies; " +
                  std::to_string(MAX_DEPTH) + " is used");
  return MAX_DEPTH;
}

}  // namespace

StrengthSettings read_strength(const config::IniText& ini, std::vector<std::string>& notes) {
  StrengthSettings s;
  s.level = config::ini_int(ini, ALGO_SECTION, "level");
  s.prelevel = config::ini_int(ini, ALGO_SECTION, "prelevel");
  s.maxlevel = config::ini_int(ini, ALGO_SECTION, "maxlevel");
  for (auto [key, depth] :
       {std::pair{"level", &s.level}, {"prelevel", &s.prelevel}, {"maxlevel", &s.maxlevel}}) {
    *depth = bounded_depth(key, *depth, notes);
  }
  const std::optional<std::string> threads = config::ini_find(ini, ALGO_SECTION, "threads");
  if (threads) s.threads = std::min(config::parse_int(*threads), search_thread_count(0));
  const std::optional<std::string> hash = config::ini_find(ini, ALGO_SECTION, "hash");
  if (hash) s.hash_mib = std::clamp(config::parse_int(*hash), 0, MAX_TABLE_MIB);
  const config::IniInt c = config::ini_int_deferred(ini, ALGO_SECTION, "complexity");
  s.complexity = c.value;
  s.complexity_miss = c.miss;
  return s;
}

}  // namespace engine
