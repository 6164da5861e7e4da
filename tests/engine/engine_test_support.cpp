#include "engine_test_support.h"

#include <optional>

#include "book/db.h"
#include "engine/progress.h"

namespace engine_test {
namespace {

void record(void* reports, float fraction) {
  static_cast<std::vector<float>*>(reports)->push_back(fraction);
}

// Registered before main runs: every test program of this folder records.
[[maybe_unused]] const bool recording =
    (engine::set_progress_report(record, &progress_reports()), true);

}  // namespace

engine::StrengthSettings strength(int level, int prelevel, int maxlevel, int complexity,
                                  int threads) {
  engine::StrengthSettings s;
  s.level = level;
  s.prelevel = prelevel;
  s.maxlevel = maxlevel;
  s.complexity = complexity;
  s.threads = threads;
  return s;
}

std::string algo_conf(int level, int prelevel, int maxlevel, int complexity) {
  return "[GAME]\nusercolor=white;\n[ALGO]\nlevel=" + std::to_string(level) +
         ";\nprelevel=" + std::to_string(prelevel) + ";\nmaxlevel=" + std::to_string(maxlevel) +
         ";\ncomplexity=" + std::to_string(complexity) + ";\n";
}

std::vector<float>& progress_reports() {
  static std::vector<float> reports;
  return reports;
}

Outcome choose(const rules::Position& p, const engine::StrengthSettings& settings,
               const std::vector<BookPosition>& book) {
  std::optional<ScratchFolder> folder;
  if (book.empty()) {
    book::load_book_index_from("");  // no file: an empty index
  } else {
    folder.emplace();
    install_book(book);
  }
  progress_reports().clear();
  OutputCapture out;
  const rules::Move m = engine::choose_move(p.board, p.side, settings);
  return {m, out.text()};
}

}  // namespace engine_test
