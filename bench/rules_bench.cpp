// Speed of the rules core: generation, make_move, the capture count and perft.
#include <benchmark/benchmark.h>

#include "positions.h"
#include "rules/fen.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"
#include "rules/perft.h"

namespace {

rules::Position position(const char* fen) {
  rules::build_move_tables();
  return *rules::parse_fen(fen).position;
}

void BM_GenerateMoves(benchmark::State& state, const char* fen) {
  const rules::Position p = position(fen);
  rules::MoveList list;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rules::generate_moves(p.board, p.side, list));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_MakeMove(benchmark::State& state, const char* fen) {
  const rules::Position p = position(fen);
  rules::MoveList list;
  const int n = rules::generate_moves(p.board, p.side, list);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(rules::make_move(p.board, list[i]));
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_CountCaptures(benchmark::State& state, const char* fen) {
  const rules::Position p = position(fen);
  for (auto _ : state) benchmark::DoNotOptimize(rules::count_captures(p.board));
  state.SetItemsProcessed(state.iterations());
}

// Items are leaves, so the reported rate is leaves per second.
void BM_Perft(benchmark::State& state, const char* fen) {
  const rules::Position p = position(fen);
  const int depth = static_cast<int>(state.range(0));
  std::uint64_t leaves = 0;
  for (auto _ : state) {
    leaves = rules::perft(p.board, p.side, depth);
    benchmark::DoNotOptimize(leaves);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * leaves));
  state.counters["leaves"] = static_cast<double>(leaves);
}

using namespace bench_positions;

BENCHMARK_CAPTURE(BM_GenerateMoves, start, START);
BENCHMARK_CAPTURE(BM_GenerateMoves, middle_1, MIDDLE_1);
BENCHMARK_CAPTURE(BM_GenerateMoves, middle_2, MIDDLE_2);
BENCHMARK_CAPTURE(BM_MakeMove, start, START);
BENCHMARK_CAPTURE(BM_MakeMove, middle_1, MIDDLE_1);
BENCHMARK_CAPTURE(BM_CountCaptures, start, START);
BENCHMARK_CAPTURE(BM_CountCaptures, middle_1, MIDDLE_1);
BENCHMARK_CAPTURE(BM_CountCaptures, middle_2, MIDDLE_2);
BENCHMARK_CAPTURE(BM_Perft, start, START)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Perft, middle_1, MIDDLE_1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Perft, middle_2, MIDDLE_2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
