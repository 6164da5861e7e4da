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

// The widest variety margin: wider, the draw would reach real mistakes.
constexpr int MAX_VARIETY = 1000;

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

// Reads the keys beyond the design: search=club, nodes, variety and
// legalcastling. None of their names is found by another key's lookup, nor
// finds another key.
void read_additions(const config::IniText& ini, StrengthSettings& s,
                    std::vector<std::string>& notes) {
  if (const std::optional<std::string> search = config::ini_find(ini, ALGO_SECTION, "search")) {
    if (*search == "club") {
      s.club = true;
    } else {
      notes.push_back(note_for("search", *search, "is not a search (club)", "the game's own"));
    }
  }
  if (const std::optional<std::string> nodes = config::ini_find(ini, ALGO_SECTION, "nodes")) {
    std::uint64_t n = 0;
    const char* end = nodes->data() + nodes->size();
    const auto [ptr, ec] = std::from_chars(nodes->data(), end, n);
    if (nodes->empty() || ec != std::errc{} || ptr != end || n < 1) {
      notes.push_back(note_for("nodes", *nodes, "is not a number of positions", "no limit"));
    } else {
      s.nodes = n;
    }
  }
  if (const std::optional<std::string> variety = config::ini_find(ini, ALGO_SECTION, "variety")) {
    const std::optional<int> margin = whole_number(*variety);
    if (!margin || *margin < 0 || *margin > MAX_VARIETY) {
      notes.push_back(note_for("variety", *variety,
                               "is not a margin from 0 to " + std::to_string(MAX_VARIETY), "0"));
    } else {
      s.variety = *margin;
    }
  }
  s.legal_castling = config::ini_find(ini, ALGO_SECTION, "legalcastling") == "on";
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
  read_additions(ini, s, notes);
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

ChoicePasses choice_passes(const StrengthSettings& s) {
  // The ordering pass never extends busy positions. No line goes deeper than
  // MAX_DEPTH, whatever the settings (beyond it a limit changes nothing).
  ChoicePasses p;
  p.ordering = {std::min(s.prelevel, MAX_DEPTH), std::min(s.maxlevel, MAX_DEPTH), NO_EXTENSION,
                s.sound_kings};
  p.main = {std::min(s.level, MAX_DEPTH), std::min(s.maxlevel, MAX_DEPTH), s.complexity,
            s.sound_kings};
  for (PassSettings* pass : {&p.ordering, &p.main}) {
    pass->club = s.club;
    pass->legal_castling = s.legal_castling;
    if (s.legal_castling) pass->castling_rights = s.game.castling_rights;
  }
  p.main.variety = s.variety;
  if (s.variety != 0) p.main.seed = s.game.seed;
  if (s.club) {
    // The club search reads its depth, budget and the rules of castling only.
    p.main.maxlevel = p.main.complexity = 0;
    p.main.sound_kings = p.ordering.sound_kings = true;
    p.main.node_budget = s.nodes;
    p.ordering.maxlevel = 0;
    p.ordering.complexity = 0;
  }
  return p;
}

bool same_choices(const StrengthSettings& a, const StrengthSettings& b) {
  const ChoicePasses pa = choice_passes(a), pb = choice_passes(b);
  return pa.ordering == pb.ordering && pa.main == pb.main && a.complexity_miss == b.complexity_miss;
}

StrengthSettings read_strength_quietly(const config::IniText& ini) {
  std::vector<std::string> ignored;
  return read_settings(ini, false, ignored);
}

}  // namespace engine
