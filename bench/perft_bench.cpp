// Move generation speed: perft from the standard position, and generation
// plus make/unmake over a set of middle-game and endgame positions.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/position/perft.h"
#include "engine/position/position.h"

namespace {

const char* kStart = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";

const char* kMiddleGames[] = {
    "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w",
    "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w",
    "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w",
    "r2akab2/9/1cn1b1n2/p1p1p3p/6pr1/2P6/P3P1P1P/1CN1C1N2/9/R1BAKAB1R w",
    "2bakab2/9/2n1c1n2/p1p1p1p1p/9/2P6/P3P1P1P/2N1C1N2/9/2BAKAB2 b",
    "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w",
};

void BM_PerftStart(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  std::string error;
  SetUpPerftPosition(kStart, &error);
  uint64_t nodes = 0;
  for (auto _ : state) {
    nodes = Perft(depth);
    benchmark::DoNotOptimize(nodes);
  }
  state.counters["leaves"] = static_cast<double>(nodes);
  state.counters["leaves/s"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PerftStart)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1);

// Generation of all moves plus make/unmake of each, one ply, per position.
void BM_GenerateMakeUnmake(benchmark::State& state) {
  int64_t moves = 0;
  for (auto _ : state) {
    for (const char* fen : kMiddleGames) {
      state.PauseTiming();
      std::string error;
      SetUpPerftPosition(fen, &error);
      state.ResumeTiming();
      for (int rep = 0; rep < 1000; ++rep) {
        MovePicker& r = movePickers[historyPly];
        r.next = r.count = 0;
        GenerateAllMoves();
        const int32_t checker = static_cast<int32_t>(FindChecker(sideToMove));
        for (int i = 0; i < r.count; ++i) {
          if (MakeMove(r.entries[i].move, checker)) UnmakeMove();
        }
        moves += r.count;
      }
    }
  }
  state.counters["moves/s"] =
      benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateMakeUnmake)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
