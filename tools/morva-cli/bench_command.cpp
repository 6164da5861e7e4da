// morva-cli bench: the computer's move over a fixed suite of positions at fixed
// settings, timed, with every printed list and move checked against the outputs
// stored beside the suite.
#include <sys/resource.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "commands.h"
#include "engine/computer_move.h"
#include "engine/fast_search.h"
#include "rules/fen.h"
#include "rules/movegen.h"
#include "rules/notation.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

struct BenchSetting {
  const char* name;
  int level, prelevel, maxlevel, complexity;
};

// "default": the shipped settings when the suite was made; "deep": one that
// takes the plain search several seconds a move.
constexpr BenchSetting SETTINGS[] = {
    {"default", 4, 2, 5, 11},
    {"deep", 4, 2, 6, 11},
};

struct Options {
  int threads = 0;  // 0: every core
  bool reference = false;
  bool write = false;
  std::string only;  // one setting, or all when empty
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
// its move, chosen under the settings (without a book).
std::string think(const rules::Position& p, const engine::StrengthSettings& settings) {
  std::ostringstream captured;
  std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
  const rules::Move m = engine::choose_move(p.board, p.side, settings);
  rules::write_move(std::cout, m);
  std::cout << "\n";
  std::cout.rdbuf(saved);
  return captured.str();
}

// Returns a whole decimal word of at least 1, or nothing.
std::optional<int> positive_int(const std::string& word) {
  int value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (ec != std::errc{} || ptr != end || value < 1) return std::nullopt;
  return value;
}

// Returns whether a setting of the given name is in SETTINGS.
bool known_setting(const std::string& name) {
  for (const BenchSetting& s : SETTINGS) {
    if (name == s.name) return true;
  }
  return false;
}

std::optional<Options> parse_options(const Args& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--threads" && i + 1 < args.size()) {
      const std::optional<int> threads = positive_int(args[++i]);
      if (!threads) return std::nullopt;
      o.threads = *threads;
    } else if (a == "--reference") {
      o.reference = true;
    } else if (a == "--write") {
      o.write = true;
    } else if (a == "--setting" && i + 1 < args.size() && known_setting(args[i + 1])) {
      o.only = args[++i];
    } else if (a == "--dir" && i + 1 < args.size()) {
      o.dir = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return o;
}

struct Totals {
  std::uint64_t nodes = 0;
  double seconds = 0;
  int mismatches = 0;
};

// Benchmarks one setting.
Totals run_setting(const BenchSetting& s, const std::vector<std::string>& fens, const Options& o) {
  const fs::path expected_path = o.dir / "expected" / (std::string(s.name) + ".txt");
  const auto expected = read_expected(expected_path);
  engine::StrengthSettings settings;
  settings.level = s.level;
  settings.prelevel = s.prelevel;
  settings.maxlevel = s.maxlevel;
  settings.complexity = s.complexity;
  settings.threads = o.threads;
  settings.plain_search = o.reference;

  std::printf(
      "setting %s: level %d, prelevel %d, maxlevel %d, complexity %d, %s search, %d thread(s)\n",
      s.name, s.level, s.prelevel, s.maxlevel, s.complexity, o.reference ? "plain" : "fast",
      o.reference ? 1 : engine::search_thread_count(o.threads));
  std::printf("%3s %12s %10s %12s  %s\n", "#", "nodes", "ms", "nodes/s", "check");
  Totals t;
  std::ostringstream written;
  for (std::size_t i = 0; i < fens.size(); ++i) {
    const rules::Position p = *rules::parse_fen(fens[i]).position;
    rules::node_count = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::string out = think(p, settings);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::uint64_t nodes = rules::node_count;
    const auto found = expected.find(fens[i]);
    const char* check = o.write                   ? "written"
                        : found == expected.end() ? "MISSING"
                        : found->second == out    ? "ok"
                                                  : "MISMATCH";
    if (!o.write && found != expected.end() && found->second != out) {
      std::fprintf(stderr, "bench: %s at setting %s: expected\n%sgot\n%s", fens[i].c_str(), s.name,
                   found->second.c_str(), out.c_str());
    }
    t.mismatches += !o.write && std::string(check) != "ok";
    std::printf("%3zu %12llu %10.1f %12.0f  %s\n", i + 1, static_cast<unsigned long long>(nodes),
                seconds * 1000, nodes / std::max(seconds, 1e-9), check);
    written << "== " << fens[i] << "\n" << out;
    t.nodes += nodes;
    t.seconds += seconds;
  }
  std::printf("total %s: %llu nodes, %.3f s, %.0f nodes/s, %d mismatch(es)\n\n", s.name,
              static_cast<unsigned long long>(t.nodes), t.seconds,
              t.nodes / std::max(t.seconds, 1e-9), t.mismatches);
  if (o.write) {
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
        "usage: morva-cli bench [--threads N] [--setting default|deep] [--reference] [--write] "
        "[--dir DIR]");
  }
  const std::vector<std::string> fens = read_positions(o->dir / "bench-positions.txt");
  if (fens.empty()) return fail("no positions in " + (o->dir / "bench-positions.txt").string());
  for (const std::string& fen : fens) {
    if (!rules::parse_fen(fen).position) return fail("bad position in the suite: " + fen);
  }
  // No book index is loaded, so no book is consulted.
  int mismatches = 0;
  for (const BenchSetting& s : SETTINGS) {
    if (!o->only.empty() && o->only != s.name) continue;
    mismatches += run_setting(s, fens, *o).mismatches;
  }

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
