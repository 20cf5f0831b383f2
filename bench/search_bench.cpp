// Search speed: nodes per second and time to a fixed depth over the
// benchmark positions that the search tool's --bench uses, plus each
// position on its own.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/search/bench_positions.h"
#include "engine/search/fixed_search.h"

namespace {

constexpr int kKnowledgeLevel = 5;

// All positions, one search each at the given depth.
void BM_SearchBenchPositions(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  PrepareFixedSearchEngine(kKnowledgeLevel, kBenchHashMegabytes);
  uint64_t nodes = 0;
  for (auto _ : state) {
    nodes = 0;
    for (int i = 0; i < kBenchPositionCount; ++i) {
      std::string error;
      if (!SetUpFixedSearchPosition(kBenchPositions[i], &error)) {
        state.SkipWithError(error.c_str());
        return;
      }
      nodes += RunFixedSearch(depth, 0).nodes;
    }
    benchmark::DoNotOptimize(nodes);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["nps"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SearchBenchPositions)
    ->Arg(kBenchDepth - 2)
    ->Arg(kBenchDepth)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Time to the benchmark depth for one position (argument: its index).
void BM_SearchOnePosition(benchmark::State& state) {
  const int index = static_cast<int>(state.range(0));
  PrepareFixedSearchEngine(kKnowledgeLevel, kBenchHashMegabytes);
  uint64_t nodes = 0;
  for (auto _ : state) {
    std::string error;
    if (!SetUpFixedSearchPosition(kBenchPositions[index], &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    nodes = RunFixedSearch(kBenchDepth, 0).nodes;
    benchmark::DoNotOptimize(nodes);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["nps"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SearchOnePosition)
    ->DenseRange(0, kBenchPositionCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
