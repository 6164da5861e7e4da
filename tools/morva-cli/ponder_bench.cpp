// The replies timed with and without thinking on the human's time.
#include "ponder_bench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/engine.h"
#include "engine/record.h"
#include "rank_of_share.h"
#include "rules/make_move.h"
#include "rules/notation.h"

namespace cli {
namespace {

using Clock = std::chrono::steady_clock;

struct PonderLine {
  rules::Position before;  // the computer to move
  rules::Move computer;    // the game's move there
  rules::Move human;       // the game's reply
  std::string text;
};

// Reads "PLACEMENT SIDE MOVE REPLY" lines, skipping comments; false on a bad line.
bool read_lines(const std::filesystem::path& path, std::vector<PonderLine>& lines) {
  std::ifstream in(path);
  for (std::string text; std::getline(in, text);) {
    if (text.empty() || text[0] == '#') continue;
    std::istringstream words(text);
    std::string placement, side, computer, human;
    words >> placement >> side >> computer >> human;
    const rules::FenResult fen = rules::parse_fen(placement + " " + side);
    if (!fen.position) return false;
    const rules::Position p = *fen.position;
    const rules::FoundMove c = rules::find_move(p.board, p.side, computer);
    if (c.fault != rules::MoveTextFault::NONE) return false;
    const rules::Board after = rules::make_move(p.board, c.move);
    const rules::FoundMove h = rules::find_move(after, rules::other_side(p.side), human);
    if (h.fault != rules::MoveTextFault::NONE) return false;
    lines.push_back({p, c.move, h.move, text});
  }
  return !lines.empty();
}

// What the record holds of a choice, and its move.
std::string output_of(const engine::MoveChoice& choice) {
  std::ostringstream out;
  engine::write_choice(out, choice);
  rules::write_move(out, choice.move);
  return out.str();
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void print_spread(const char* name, const std::vector<double>& s) {
  std::printf("replies %s: median %.3f s, 90th percentile %.3f s, slowest %.3f s\n", name,
              rank_of_share(s, 0.5), rank_of_share(s, 0.9), rank_of_share(s, 1.0));
}

const char* order_name(engine::PonderOrder order) {
  switch (order) {
    case engine::PonderOrder::GENERATION:
      return "generation";
    case engine::PonderOrder::EXPECTED:
      return "expected";
    case engine::PonderOrder::RANKED:
      return "ranked";
  }
  return "";
}

}  // namespace

int bench_ponder(const std::filesystem::path& suite, const engine::StrengthSettings& settings,
                 double seconds, engine::PonderOrder order) {
  std::vector<PonderLine> lines;
  if (!read_lines(suite, lines)) return fail("no positions, or a bad line, in " + suite.string());
  std::printf(
      "ponder suite %s: level %d, prelevel %d, maxlevel %d, complexity %d%s, %.1f s on the "
      "human's time, order %s\n",
      suite.filename().c_str(), settings.level, settings.prelevel, settings.maxlevel,
      settings.complexity, settings.sound_kings ? ", sound kings" : "", seconds, order_name(order));
  if (settings.club || settings.variety > 0 || settings.legal_castling) {
    std::printf("%s search, nodes %llu, variety %d (seed %llu)%s\n",
                settings.club ? "club" : "the game's",
                static_cast<unsigned long long>(settings.nodes), settings.variety,
                static_cast<unsigned long long>(settings.game.seed),
                settings.legal_castling ? ", legal castling" : "");
  }
  std::printf("%3s %10s %10s %6s %6s %6s  %s\n", "#", "without s", "with s", "ready", "kept",
              "place", "check");
  // One engine for the replies without pondering and one for those with it,
  // so that neither finds the other's work in its table; each line starts a
  // new game.
  engine::Engine plain_engine;
  engine::Engine engine;
  engine::Ponderer ponderer(engine, order);
  std::vector<double> without, with, places;
  int ready = 0, differences = 0;
  const auto limit = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const PonderLine& line = lines[i];
    const rules::Side computer = line.before.side;
    const rules::Board human_turn = rules::make_move(line.before.board, line.computer);
    const rules::Board reply_to = rules::make_move(human_turn, line.human);

    plain_engine.new_game();
    plain_engine.choose_move(line.before.board, computer, settings);
    Clock::time_point start = Clock::now();
    const engine::MoveChoice plain = plain_engine.choose_move(reply_to, computer, settings);
    without.push_back(seconds_since(start));

    engine.new_game();
    ponderer.forget();
    engine.choose_move(line.before.board, computer, settings);
    ponderer.start(human_turn, rules::other_side(computer), settings);
    const int kept = ponderer.wait_until_done(limit);
    ponderer.stop();
    // Where the game's move came in the order the replies were thought about.
    const int place = ponderer.place_of(line.human);
    places.push_back(place);
    start = Clock::now();
    const engine::MoveChoice* found = ponderer.kept(reply_to, computer, settings);
    const engine::MoveChoice pondered =
        found != nullptr ? *found : engine.choose_move(reply_to, computer, settings);
    with.push_back(seconds_since(start));

    ready += found != nullptr;
    const bool same = output_of(plain) == output_of(pondered);
    differences += !same;
    if (!same) {
      std::fprintf(stderr, "bench: %s: without pondering\n%s\nwith\n%s\n", line.text.c_str(),
                   output_of(plain).c_str(), output_of(pondered).c_str());
    }
    std::printf("%3zu %10.3f %10.3f %6s %6d %6d  %s\n", i + 1, without.back(), with.back(),
                found != nullptr ? "yes" : "no", kept, place, same ? "same" : "DIFFERENT");
    std::fflush(stdout);
  }
  print_spread("without pondering", without);
  print_spread("with pondering", with);
  std::printf("place of the game's move in the order: median %.0f, 90th percentile %.0f\n",
              rank_of_share(places, 0.5), rank_of_share(places, 0.9));
  std::printf("ready: %d of %zu (%.0f%%); %d difference(s)\n", ready, lines.size(),
              100.0 * ready / static_cast<double>(lines.size()), differences);
  return differences;
}

}  // namespace cli
