// How long a window event waits while the engine thinks on the interface
// thread. The program starts on the offscreen platform, the user plays a
// move, and a 10 ms precise timer then runs through a think of about five
// seconds in each level mode (time per move, search level, game clock),
// once for the engine's first answer of a new game and once for its second
// (when the previous think has filled the transposition table).
// Each timeout's lateness is measured against its due time: the previous
// timeout plus the interval (Qt schedules a late repeating timer one
// interval after it fired). The engine only serves events at its polls,
// so the worst lateness is the longest stretch without a poll.
//
// Counters per mode: median_ms and worst_ms (lateness), events (timeouts),
// polls (PumpMessages calls), worst_gap_ms (longest stretch between two
// polls, counted from the start of the think), gap_end_ms (when that
// stretch ended), think_ms and depth (the last iteration started).
// Google Benchmark prints small values with SI prefixes: a median_ms of
// 4.9m is 0.0049 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/chess_app.h"
#include "app/level_ops.h"
#include "app/main_frame.h"
#include "bench/bench_program.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "platform/settings_store.h"
#include "tests/support/offscreen_app.h"

namespace {

constexpr int kTimerIntervalMs = 10;
constexpr qint64 kThinkMs = 5000;
// Deeper than a five-second search from the opening gets; the poll hook
// stops the search-level think at five seconds.
constexpr int32_t kDeepLevel = 64;

// The program, with the books off so that every think searches, and the
// engine does not ponder after its move.
CMainFrame* Frame() {
  CMainFrame* frame = StartBenchProgram();
  Ponder = 0;
  bookMode1 = kBookOff;
  bookMode2 = kBookOff;
  return frame;
}

// The poll side: counts the polls, keeps the longest stretch between two
// of them, and stops a search-level think after five seconds.
struct PollProbe {
  QElapsedTimer clock;
  qint64 lastNs = 0;
  qint64 worstGapNs = 0;
  qint64 worstGapEndNs = 0;  // when the longest stretch ended
  int64_t polls = 0;
  bool stopAtLimit = false;
};
PollProbe probe;

// Ends the stretch since the previous poll (or the start of the think).
qint64 EndStretch() {
  const qint64 now = probe.clock.nsecsElapsed();
  if (now - probe.lastNs > probe.worstGapNs) {
    probe.worstGapNs = now - probe.lastNs;
    probe.worstGapEndNs = now;
  }
  probe.lastNs = now;
  return now;
}

void OnPoll() {
  const qint64 now = EndStretch();
  ++probe.polls;
  if (probe.stopAtLimit && engineState == kEngineThinking && now / 1000000 >= kThinkMs)
    stopRequested = 1;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + mid, values.end());
  return values[mid];
}

void SetLevel(int32_t mode) {
  switch (mode) {
    case kLevelTimePerMove:
      SetTimePerMove(static_cast<int32_t>(kThinkMs));
      exactTime = 1;
      break;
    case kLevelSearchDepth:
      levelMode = kLevelSearchDepth;
      searchDepth = kDeepLevel;
      break;
    default:
      // The budget is a thirtieth of the side's time: 150 s give 5 s.
      SetGameTime(2, 30);
      break;
  }
}

// Plays the first of the moves that is legal as the user's move, with the
// engine's answer left to the caller. False when none is.
bool PlayUserMove(CMainFrame* frame, std::initializer_list<const char*> moves) {
  const int32_t playsBlack = enginePlaysSide1;
  enginePlaysSide1 = 0;
  bool played = false;
  for (const char* text : moves) {
    const Move m = ParseCoordMove(text);
    if (m != 0 && IsValidMove(m) && frame->PlayUserMove(m)) {
      played = true;
      break;
    }
  }
  enginePlaysSide1 = playsBlack;
  return played;
}

// range(0): the level mode. range(1): 1 measures the engine's answer to
// the first move of a new game; 2 its second answer, after a short first
// think has filled the transposition table (which the next think clears).
void BM_EventLatency(benchmark::State& state) {
  CMainFrame* frame = Frame();
  const int32_t mode = static_cast<int32_t>(state.range(0));
  const bool secondMove = state.range(1) == 2;
  std::vector<double> lateness;
  lateness.reserve(4096);
  int32_t depth = 0;
  double thinkMs = 0;

  for (auto _ : state) {
    frame->NewGame();
    if (secondMove) {
      SetTimePerMove(300);
      exactTime = 1;
      if (!PlayUserMove(frame, {"h2e2"})) {
        state.SkipWithError("the user's first move was refused");
        return;
      }
      Think(kThinkPlay, 0);
      SetLevel(mode);
      if (!PlayUserMove(frame, {"h0g2", "b0c2", "a3a4", "i3i4"})) {
        state.SkipWithError("no second move for the user");
        return;
      }
    } else {
      SetLevel(mode);
      if (!PlayUserMove(frame, {"h2e2"})) {
        state.SkipWithError("the user's move was refused");
        return;
      }
    }

    lateness.clear();
    QElapsedTimer clock;
    qint64 dueNs = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTimerIntervalMs);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      lateness.push_back(static_cast<double>(std::max<qint64>(0, now - dueNs)) / 1e6);
      dueNs = now + kTimerIntervalMs * 1000000LL;
    });

    probe = PollProbe{};
    probe.stopAtLimit = mode == kLevelSearchDepth;
    pumpMessagesHook = OnPoll;
    clock.start();
    probe.clock.start();
    dueNs = kTimerIntervalMs * 1000000LL;
    timer.start();
    Think(kThinkPlay, 0);
    const qint64 endNs = clock.nsecsElapsed();
    timer.stop();
    pumpMessagesHook = nullptr;
    // The stretch from the last poll to the end of the think counts too.
    EndStretch();
    thinkMs = static_cast<double>(endNs) / 1e6;
    depth = iterationDepth;
  }

  const double worst = lateness.empty() ? 0 : *std::max_element(lateness.begin(), lateness.end());
  state.counters["median_ms"] = Median(lateness);
  state.counters["worst_ms"] = worst;
  state.counters["events"] = static_cast<double>(lateness.size());
  state.counters["polls"] = static_cast<double>(probe.polls);
  state.counters["worst_gap_ms"] = static_cast<double>(probe.worstGapNs) / 1e6;
  state.counters["gap_end_ms"] = static_cast<double>(probe.worstGapEndNs) / 1e6;
  state.counters["think_ms"] = thinkMs;
  state.counters["depth"] = depth;
  static const char* const kNames[] = {"", "time per move", "search level", "game clock"};
  state.SetLabel(std::string(kNames[mode]) + (secondMove ? ", second move" : ", first move") +
                 (worst < 50 ? ", under 50 ms" : ", OVER 50 ms"));
}
BENCHMARK(BM_EventLatency)
    ->ArgNames({"mode", "move"})
    ->ArgsProduct({{kLevelTimePerMove, kLevelSearchDepth, kLevelGameClock}, {1, 2}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
