#include "engine_test_support.h"

#include <optional>
#include <random>
#include <sstream>

#include "engine/record.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"

namespace engine_test {

engine::StrengthSettings strength(int level, int prelevel, int maxlevel, int complexity,
                                  int threads) {
  return {.level = level,
          .prelevel = prelevel,
          .maxlevel = maxlevel,
          .complexity = complexity,
          .threads = threads};
}

Outcome choose(engine::Engine& engine, const rules::Position& p,
               const engine::StrengthSettings& settings, int stop_at) {
  Outcome run;
  run.stop_at = stop_at;
  engine::SearchHost host;
  host.context = &run;
  host.progress = [](void* context, float fraction) {
    static_cast<Outcome*>(context)->reports.push_back(fraction);
  };
  host.stop_requested = [](void* context) {
    Outcome& o = *static_cast<Outcome*>(context);
    return ++o.looks >= o.stop_at && o.stop_at > 0;
  };
  run.choice = engine.choose_move(p.board, p.side, settings, host);
  return run;
}

Outcome choose(const rules::Position& p, const engine::StrengthSettings& settings,
               const std::vector<BookPosition>& book) {
  std::optional<ScratchFolder> folder;
  if (!book.empty()) folder.emplace();
  engine::Engine engine(book.empty() ? book::Book{} : test_book(book));
  return choose(engine, p, settings);
}

std::string record_of(const engine::MoveChoice& choice) {
  std::ostringstream out;
  engine::write_choice(out, choice);
  return out.str();
}

std::vector<rules::Move> entries(const engine::MoveChoice& choice) {
  return {choice.list.begin(), choice.list.begin() + choice.count};
}

std::vector<float> scores(const engine::MoveChoice& choice) {
  return {choice.scores, choice.scores + choice.count};
}

std::vector<rules::Position> random_positions(int count, unsigned seed, int min_plies,
                                              int max_plies) {
  rules::build_move_tables();
  std::mt19937 random(seed);
  std::vector<rules::Position> out;
  while (static_cast<int>(out.size()) < count) {
    rules::Position p{rules::board_from_cells(rules::starting_cells), rules::WHITE};
    const int plies = std::uniform_int_distribution<int>(min_plies, max_plies)(random);
    for (int ply = 0; ply < plies; ++ply) {
      rules::MoveList list;
      const int n = rules::generate_moves(p.board, p.side, list);
      p.board =
          rules::make_move(p.board, list[std::uniform_int_distribution<int>(0, n - 1)(random)]);
      p.side = rules::other_side(p.side);
    }
    out.push_back(p);
  }
  return out;
}

}  // namespace engine_test
