#include "engine/strength.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "engine/memory_limit.h"
#include "engine/root_pass.h"
#include "engine/search.h"
#include "engine/transposition.h"

namespace engine {
namespace {

constexpr const char* ALGO_SECTION = "ALGO";

// Returns the text as a whole decimal number (an optional minus sign, then
// digits only) that fits an int, or nothing.
std::optional<int> whole_number(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

// Returns the note for a value of key not used as written.
std::string note_for(const char* key, const std::string& written, const std::string& why,
                     const std::string& used) {
  return "morva: conf.ini: " + std::string(key) + "=" + written + " " + why + "; " + used +
         " is used";
}

// Returns a depth setting as the reader gives it (with its warning when it is
// missing, if report), brought into range, with a note for a value deeper
// than any line may go or not written as a number.
int read_depth(const config::IniText& ini, const char* key, bool report,
               std::vector<std::string>& notes) {
  const int depth = report ? config::ini_int(ini, ALGO_SECTION, key)
                           : config::ini_int_deferred(ini, ALGO_SECTION, key).value;
  const std::optional<std::string> written = config::ini_find(ini, ALGO_SECTION, key);
  if (!written) return depth;  // missing: the reader's warning said so
  const int used = std::min(depth, MAX_DEPTH);
  const bool digits =
      written->find_first_not_of("0123456789", (*written)[0] == '-' ? 1 : 0) == std::string::npos &&
      written->size() > ((*written)[0] == '-' ? 1U : 0U);
  if (!digits) {
    notes.push_back(note_for(key, *written, "is not a whole number", std::to_string(used)));
  } else if (depth > MAX_DEPTH || !whole_number(*written)) {
    notes.push_back(note_for(key, *written,
                             "is deeper than " + std::to_string(MAX_DEPTH) + " plies",
                             std::to_string(used)));
  }
  return used;
}

}  // namespace

int bounded_table_mib(int mib, const std::string& asked, std::uint64_t limit_bytes,
                      std::vector<std::string>& notes) {
  const std::uint64_t most = limit_bytes / TABLE_SHARE_OF_MEMORY >> 20;
  const int wanted = mib > 0 ? mib : DEFAULT_TABLE_MIB;
  if (static_cast<std::uint64_t>(wanted) <= most) return mib;
  const int used = static_cast<int>(std::max<std::uint64_t>(most, 1));
  notes.push_back("morva: " + asked + " is more than a quarter of the " +
                  std::to_string(limit_bytes >> 20) + " MiB of memory this program may use; " +
                  std::to_string(used) + " is used");
  return used;
}

namespace {

StrengthSettings read_settings(const config::IniText& ini, bool report,
                               std::vector<std::string>& notes) {
  StrengthSettings s;
  s.level = read_depth(ini, "level", report, notes);
  s.prelevel = read_depth(ini, "prelevel", report, notes);
  s.maxlevel = read_depth(ini, "maxlevel", report, notes);
  const int cores = search_thread_count(0);
  if (const std::optional<std::string> threads = config::ini_find(ini, ALGO_SECTION, "threads")) {
    const std::optional<int> n = whole_number(*threads);
    if (!n || *n < 1) {
      notes.push_back(note_for("threads", *threads, "is not a number of threads",
                               std::to_string(cores) + " (every core)"));
    } else if (*n > cores) {
      notes.push_back(
          note_for("threads", *threads, "is more than the cores", std::to_string(cores)));
      s.threads = cores;
    } else {
      s.threads = *n;
    }
  }
  if (const std::optional<std::string> hash = config::ini_find(ini, ALGO_SECTION, "hash")) {
    const std::optional<int> mib = whole_number(*hash);
    if (!mib || *mib < 1 || *mib > MAX_TABLE_MIB) {
      notes.push_back(note_for("hash", *hash,
                               "is not a size in MiB from 1 to " + std::to_string(MAX_TABLE_MIB),
                               std::to_string(DEFAULT_TABLE_MIB)));
    } else {
      s.hash_mib = *mib;
    }
  }
  s.hash_mib = bounded_table_mib(
      s.hash_mib,
      "conf.ini: hash=" + std::to_string(s.hash_mib > 0 ? s.hash_mib : DEFAULT_TABLE_MIB),
      memory_limit_bytes(), notes);
  // An addition: left out, the game's own search.
  s.sound_kings = config::ini_find(ini, ALGO_SECTION, "soundkings") == "on";
  s.ponder = config::ini_find(ini, ALGO_SECTION, "ponder") == "on";
  // The complexity warning is only carried, owed to the record by whoever
  // writes the choice: a quiet reader keeps it, so that a choice made with
  // quietly read settings writes the same record as one made with loud ones.
  const config::IniInt c = config::ini_int_deferred(ini, ALGO_SECTION, "complexity");
  s.complexity = c.value;
  s.complexity_miss = c.miss;
  return s;
}

}  // namespace

StrengthSettings read_strength(const config::IniText& ini, std::vector<std::string>& notes) {
  return read_settings(ini, true, notes);
}

PassSettings ordering_pass_settings(const StrengthSettings& s) {
  return {std::min(s.prelevel, MAX_DEPTH), std::min(s.maxlevel, MAX_DEPTH), NO_EXTENSION,
          s.sound_kings};
}

PassSettings main_pass_settings(const StrengthSettings& s) {
  return {std::min(s.level, MAX_DEPTH), std::min(s.maxlevel, MAX_DEPTH), s.complexity,
          s.sound_kings};
}

bool same_choices(const StrengthSettings& a, const StrengthSettings& b) {
  return ordering_pass_settings(a) == ordering_pass_settings(b) &&
         main_pass_settings(a) == main_pass_settings(b) && a.complexity_miss == b.complexity_miss;
}

StrengthSettings read_strength_quietly(const config::IniText& ini) {
  std::vector<std::string> ignored;
  return read_settings(ini, false, ignored);
}

}  // namespace engine
