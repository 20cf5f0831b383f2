// Evaluation speed: EvaluateFull (and the lighter levels) over the fixed set
// of opening, middle-game and endgame positions of the search benchmark.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/eval/evaluate.h"
#include "engine/position/perft.h"
#include "engine/position/position.h"
#include "engine/search/bench_positions.h"

namespace {

// Evaluates every bench position with the evaluator of the given level,
// both sides to move, at a wide-open window so no lazy cut is taken.
void RunEvaluator(benchmark::State& state, EvaluatorFn fn) {
  int64_t evaluations = 0;
  int64_t checksum = 0;
  for (auto _ : state) {
    for (const char* fen : kBenchPositions) {
      state.PauseTiming();
      std::string error;
      SetUpPerftPosition(fen, &error);
      state.ResumeTiming();
      for (int rep = 0; rep < 2000; ++rep) {
        int32_t redTotal = 0, blackTotal = 0;
        checksum += fn(-3200000, &redTotal, &blackTotal);
        sideToMove ^= 1;
        ++evaluations;
      }
    }
  }
  benchmark::DoNotOptimize(checksum);
  state.counters["evals/s"] =
      benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
}

void BM_EvaluateFull(benchmark::State& state) { RunEvaluator(state, EvaluateFull); }
void BM_EvaluateMedium(benchmark::State& state) { RunEvaluator(state, EvaluateMedium); }
void BM_EvaluateLight(benchmark::State& state) { RunEvaluator(state, EvaluateLight); }
BENCHMARK(BM_EvaluateFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateMedium)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateLight)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
