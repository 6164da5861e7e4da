// morva-cli bench: the computer's move over a fixed suite of positions at fixed
// settings, timed, with every printed list and move checked against the outputs
// stored beside the suite.
#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "commands.h"
#include "config/ini_file.h"
#include "engine/computer_move.h"
#include "engine/engine.h"
#include "engine/memory_limit.h"
#include "engine/record.h"
#include "engine/root_pass.h"
#include "engine/strength.h"
#include "ponder_bench.h"
#include "rank_of_share.h"
#include "rules/fen.h"
#include "rules/movegen.h"
#include "rules/notation.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

struct BenchSetting {
  std::string name;
  int level, prelevel, maxlevel, complexity;
  std::string extras = {};  // more ALGO entries, "key=value;" each (search=club;nodes=N;...)
};

// A suite: its positions, and the named settings whose outputs are stored
// for it as expected/<prefix><setting>.txt.
struct Suite {
  const char* name;
  const char* positions;
  const char* expected_prefix;
  std::vector<BenchSetting> settings;
};

// "main": twenty positions of plies 10 to 30 and six reference cases.
// "all-phase": a hundred positions from every phase of the championship
// games. Each stored setting is named by its numbers, level-prelevel-
// maxlevel-complexity; 7-4-8-10 is the shipped strength.
const Suite SUITES[] = {
    {"main", "bench-positions.txt", "", {{"4-2-5-11", 4, 2, 5, 11}, {"4-2-6-11", 4, 2, 6, 11}}},
    {"all-phase",
     "all-phase-positions.txt",
     "all-phase-",
     {{"7-3-8-14", 7, 3, 8, 14}, {"7-4-8-10", 7, 4, 8, 10}}},
};

struct Options {
  int threads = 0;   // 0: every core
  int hash_mib = 0;  // 0: the default table
  bool reference = false;
  bool sound_kings = false;
  bool write = false;
  double ponder_seconds = 0;  // --ponder: the ponder suite, this long on the human's time
  engine::PonderOrder order = engine::PonderOrder::RANKED;
  std::uint64_t seed = 0;  // --seed: the game's seed, for variety
  const Suite* suite = &SUITES[0];
  std::vector<BenchSetting> settings;  // the suite's named ones when empty
  fs::path dir = MORVA_BENCH_DIR;
};

std::vector<std::string> read_positions(const fs::path& path) {
  std::vector<std::string> fens;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != '#') fens.push_back(line);
  }
  return fens;
}

// The stored outputs: "== FEN" lines, each followed by what think writes.
std::map<std::string, std::string> read_expected(const fs::path& path) {
  std::map<std::string, std::string> expected;
  std::ifstream in(path);
  std::string line, fen;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) {
      fen = line.substr(3);
      expected[fen];
    } else if (!fen.empty()) {
      expected[fen] += line + "\n";
    }
  }
  return expected;
}

// Returns what think prints for a position: the computer's scored list and
// its move, chosen under the settings (without a book), and the entries of the
// move lists its search generated.
std::string think(engine::Engine& engine, const rules::Position& p,
                  const engine::StrengthSettings& settings, std::uint64_t& node_count) {
  const engine::MoveChoice choice = engine.choose_move(p.board, p.side, settings);
  std::ostringstream out;
  engine::write_choice(out, choice);
  rules::write_move(out, choice.move);
  out << "\n";
  node_count = choice.node_count;
  return out.str();
}

// Returns a whole decimal word of at least 1, or nothing.
std::optional<int> positive_int(const std::string& word) {
  int value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (ec != std::errc{} || ptr != end || value < 1) return std::nullopt;
  return value;
}

// Returns a setting of a suite by name, or one written
// LEVEL,PRELEVEL,MAXLEVEL,COMPLEXITY, optionally followed by more ALGO entries
// after semicolons (named by what is written, without stored outputs).
std::optional<BenchSetting> setting_of(const Suite& suite, const std::string& word) {
  for (const BenchSetting& s : suite.settings) {
    if (word == s.name) return s;
  }
  BenchSetting s{word, 0, 0, 0, 0};
  const std::size_t semicolon = word.find(';');
  std::istringstream in(word.substr(0, semicolon));
  char c1 = 0, c2 = 0, c3 = 0;
  if (!(in >> s.level >> c1 >> s.prelevel >> c2 >> s.maxlevel >> c3 >> s.complexity) || c1 != ',' ||
      c2 != ',' || c3 != ',' || !in.eof()) {
    return std::nullopt;
  }
  if (semicolon != std::string::npos) {
    std::istringstream entries(word.substr(semicolon + 1));
    for (std::string entry; std::getline(entries, entry, ';');) {
      if (entry.empty()) continue;
      if (entry.find('=') == std::string::npos) return std::nullopt;
      s.extras += entry + ";";
    }
  }
  return s;
}

// Returns the suite of a name, or null.
const Suite* suite_of(const std::string& name) {
  for (const Suite& s : SUITES) {
    if (name == s.name) return &s;
  }
  return nullptr;
}

std::optional<Options> parse_options(const Args& args) {
  Options o;
  std::vector<std::string> setting_words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--threads" && i + 1 < args.size()) {
      const std::optional<int> threads = positive_int(args[++i]);
      if (!threads) return std::nullopt;
      o.threads = *threads;
    } else if (a == "--hash" && i + 1 < args.size()) {
      const std::optional<int> mib = positive_int(args[++i]);
      if (!mib) return std::nullopt;
      o.hash_mib = *mib;
    } else if (a == "--ponder" && i + 1 < args.size()) {
      char* end = nullptr;
      o.ponder_seconds = std::strtod(args[++i].c_str(), &end);
      if (*end != '\0' || !(o.ponder_seconds > 0 && o.ponder_seconds < 3600)) return std::nullopt;
    } else if (a == "--order" && i + 1 < args.size()) {
      const std::string& order = args[++i];
      if (order == "generation") {
        o.order = engine::PonderOrder::GENERATION;
      } else if (order == "expected") {
        o.order = engine::PonderOrder::EXPECTED;
      } else if (order == "ranked") {
        o.order = engine::PonderOrder::RANKED;
      } else {
        return std::nullopt;
      }
    } else if (a == "--seed" && i + 1 < args.size()) {
      const std::string& word = args[++i];
      const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), o.seed);
      if (word.empty() || ec != std::errc{} || ptr != word.data() + word.size()) {
        return std::nullopt;
      }
    } else if (a == "--reference") {
      o.reference = true;
    } else if (a == "--sound-kings") {
      o.sound_kings = true;
    } else if (a == "--write") {
      o.write = true;
    } else if (a == "--setting" && i + 1 < args.size()) {
      setting_words.push_back(args[++i]);
    } else if (a == "--suite" && i + 1 < args.size() && suite_of(args[i + 1]) != nullptr) {
      o.suite = suite_of(args[++i]);
    } else if (a == "--dir" && i + 1 < args.size()) {
      o.dir = args[++i];
    } else {
      return std::nullopt;
    }
  }
  for (const std::string& word : setting_words) {
    const std::optional<BenchSetting> s = setting_of(*o.suite, word);
    if (!s) return std::nullopt;
    o.settings.push_back(*s);
  }
  if (o.settings.empty()) o.settings = o.suite->settings;
  return o;
}

struct Totals {
  std::uint64_t node_count = 0;
  double seconds = 0;
  int mismatches = 0;  // outputs that differ from the stored ones, or could not be written
};

// Writes the median, the 90th percentile and the slowest move, in time and in
// node_count (the entries of the move lists generated).
void print_spread(const std::string& name, const std::vector<double>& ms,
                  const std::vector<std::uint64_t>& counts) {
  std::printf(
      "moves %s: median %.1f ms, 90th percentile %.1f ms, slowest %.1f ms; node_count: median "
      "%llu, 90th percentile %llu, most %llu\n",
      name.c_str(), rank_of_share(ms, 0.5), rank_of_share(ms, 0.9), rank_of_share(ms, 1.0),
      static_cast<unsigned long long>(rank_of_share(counts, 0.5)),
      static_cast<unsigned long long>(rank_of_share(counts, 0.9)),
      static_cast<unsigned long long>(rank_of_share(counts, 1.0)));
}

// Returns the search's settings for a bench setting under the options.
engine::StrengthSettings settings_of(const BenchSetting& s, const Options& o) {
  // The four values and the further entries, read as conf.ini would give them.
  const std::string text = "[ALGO]level=" + std::to_string(s.level) +
                           ";prelevel=" + std::to_string(s.prelevel) +
                           ";maxlevel=" + std::to_string(s.maxlevel) +
                           ";complexity=" + std::to_string(s.complexity) + ";" + s.extras;
  config::IniText ini;
  ini.length = static_cast<std::int32_t>(text.copy(ini.text, config::INI_CAPACITY));
  engine::StrengthSettings settings = engine::read_strength_quietly(ini);
  settings.threads = o.threads;
  std::vector<std::string> notes;
  settings.hash_mib = engine::bounded_table_mib(o.hash_mib, "--hash " + std::to_string(o.hash_mib),
                                                engine::memory_limit_bytes(), notes);
  for (const std::string& note : notes) std::fprintf(stderr, "%s\n", note.c_str());
  settings.plain_search = o.reference;
  settings.sound_kings = settings.sound_kings || o.sound_kings;
  settings.game.seed = o.seed;
  return settings;
}

// Benchmarks one setting.
Totals run_setting(const BenchSetting& s, const std::vector<std::string>& fens, const Options& o) {
  const fs::path expected_path =
      o.dir / "expected" / (std::string(o.suite->expected_prefix) + s.name + ".txt");
  // A setting given by its numbers has no stored outputs to check.
  // Stored outputs are the game's own search's.
  const bool stored = !o.sound_kings && s.extras.empty() &&
                      std::any_of(o.suite->settings.begin(), o.suite->settings.end(),
                                  [&](const BenchSetting& named) { return named.name == s.name; });
  const auto expected = read_expected(expected_path);
  const engine::StrengthSettings settings = settings_of(s, o);

  std::printf(
      "suite %s, setting %s: level %d, prelevel %d, maxlevel %d, complexity %d, %s search%s, %d "
      "thread(s)\n",
      o.suite->name, s.name.c_str(), s.level, s.prelevel, s.maxlevel, s.complexity,
      settings.club ? "club"
      : o.reference ? "plain"
                    : "fast",
      settings.sound_kings ? " with sound kings" : "",
      o.reference ? 1 : engine::search_thread_count(o.threads));
  std::printf("%3s %12s %10s %12s  %s\n", "#", "node_count", "ms", "per s", "check");
  // One engine for the whole suite, as in a game: its table and threads last.
  engine::Engine engine;
  Totals t;
  std::ostringstream written;
  std::vector<double> ms;
  std::vector<std::uint64_t> counts;
  for (std::size_t i = 0; i < fens.size(); ++i) {
    const rules::Position p = *rules::parse_fen(fens[i]).position;
    std::uint64_t nodes = 0;  // node_count of this move
    const auto start = std::chrono::steady_clock::now();
    const std::string out = think(engine, p, settings, nodes);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto found = expected.find(fens[i]);
    const char* check = !stored                   ? "-"
                        : o.write                 ? "written"
                        : found == expected.end() ? "MISSING"
                        : found->second == out    ? "ok"
                                                  : "MISMATCH";
    if (!o.write && stored && found != expected.end() && found->second != out) {
      std::fprintf(stderr, "bench: %s at setting %s: expected\n%sgot\n%s", fens[i].c_str(),
                   s.name.c_str(), found->second.c_str(), out.c_str());
    }
    t.mismatches += stored && !o.write && std::string(check) != "ok";
    ms.push_back(seconds * 1000);
    counts.push_back(nodes);
    std::printf("%3zu %12llu %10.1f %12.0f  %s\n", i + 1, static_cast<unsigned long long>(nodes),
                seconds * 1000, nodes / std::max(seconds, 1e-9), check);
    written << "== " << fens[i] << "\n" << out;
    t.node_count += nodes;
    t.seconds += seconds;
  }
  print_spread(s.name, ms, counts);
  std::printf("total %s: node_count %llu, %.3f s, %.0f per s, %d mismatch(es)\n\n", s.name.c_str(),
              static_cast<unsigned long long>(t.node_count), t.seconds,
              t.node_count / std::max(t.seconds, 1e-9), t.mismatches);
  if (o.write && stored) {
    std::ofstream out(expected_path);
    out << written.str();
    out.close();
    if (!out) {
      std::fprintf(stderr, "bench: cannot write %s\n", expected_path.c_str());
      ++t.mismatches;
    }
  }
  return t;
}

}  // namespace

int cmd_bench(const Args& args) {
  const std::optional<Options> o = parse_options(args);
  if (!o) {
    return fail(
        "usage: morva-cli bench [--suite main|all-phase] [--setting NAME|L,P,M,C]... "
        "[--threads N] [--hash MIB] [--reference] [--sound-kings] [--seed N] [--write] [--dir DIR] "
        "[--ponder SECONDS [--order generation|expected|ranked]]");
  }
  if (o->ponder_seconds > 0) {
    // The replies of each setting, with and without pondering; no stored outputs.
    int differences = 0;
    for (const BenchSetting& s : o->settings) {
      differences +=
          bench_ponder(o->dir / PONDER_POSITIONS, settings_of(s, *o), o->ponder_seconds, o->order);
    }
    return differences > 0 ? 1 : EXIT_OK;
  }
  const fs::path positions = o->dir / o->suite->positions;
  const std::vector<std::string> fens = read_positions(positions);
  if (fens.empty()) return fail("no positions in " + positions.string());
  for (const std::string& fen : fens) {
    if (!rules::parse_fen(fen).position) return fail("bad position in the suite: " + fen);
  }
  // No book index is loaded, so no book is consulted.
  int mismatches = 0;
  for (const BenchSetting& s : o->settings) mismatches += run_setting(s, fens, *o).mismatches;

  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %ld KiB\n", usage.ru_maxrss);
  if (mismatches > 0) {
    std::fprintf(stderr, "bench: %d output(s) differ from the stored ones\n", mismatches);
    return 1;
  }
  return EXIT_OK;
}

}  // namespace cli
