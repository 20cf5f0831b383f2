// The think driver's aspiration windows, each with a position that shows
// them at work: the re-search windows after a fail low or high, the time a
// fail low adds under each level mode and ExactTime, and the early stop at
// a forced root. The root windows come from the search's trace; the cases
// read bounds and limits that the rules fix, never node totals.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "engine/search/search_internal.h"
#include "tests/engine/search/driver_harness.h"

namespace {

using driver_harness::DriverTest;
using driver_harness::S;

constexpr int32_t kFull = kMateScore;

// ---------------------------------------------------------------------------
// The driver
// ---------------------------------------------------------------------------
enum class Expect {
  kFailLow,         // one re-search below the window
  kFailLowTwice,    // and a second one, down to a full window below
  kFailHigh,        // one re-search above the window
  kFailHighTwice,   // and a second one, up to a full window above
  kForcedRootStop,  // a root with one playable move: the iterations stop early
};

// clockBudgetMs and moveTimeLimitMs during the root search that failed low
// and during its first and second re-search.
struct Limits {
  uint32_t budget[3];
  uint32_t moveLimit[3];
};

struct DriverCase {
  const char* name;
  const char* fen;
  const char* moves;  // played before the think (coordinate moves)
  int32_t mode;       // Think's mode
  int32_t levelMode;
  int32_t exactTime;
  bool afterBookMove;  // the engine's last move came from a book
  int32_t level;       // searchDepth: the iterations of a search-level think
  Expect expect;
  // The first re-search's new bound: kFull, or its distance from the bound
  // that failed (-150 or -200 below alpha, +200 above beta).
  int32_t widenedTo;
  int iterations;  // kForcedRootStop: iterations completed
  const Limits* limits;
};

// Red's knight and black's king step out and back three times: a game of
// twelve plies that reaches the position it started from.
const char* const kTwelvePlies = "g2h0 e9e8 h0g2 e8e9 g2h0 e9e8 h0g2 e8e9 g2h0 e9e8 h0g2 e8e9";
// Red is a chariot up, but the second ply shows the piece it loses: the
// window of depth 2 fails low twice.
const char* const kLosesAPiece = "3akab2/9/1r1c1n3/p4r3/2b1C2Rp/6R2/P3P3P/4B1N2/9/2BAKA3 w";

// Level mode 2 and ExactTime on add time only for a second fail low; off,
// the first one adds a quarter. Level mode 1 keeps to ExactTime, level mode
// 3 ignores it, level mode 4 keeps to it. After a book move the count
// starts at 2: only the second extension is left. Every extension raises
// both limits.
const Limits kExact2{{1000000000u, 1000000000u, 1500000000u}, {2000, 2000, 3000}};
const Limits kInexact2{{1000000000u, 1250000000u, 1875000000u}, {2000, 2500, 3500}};
const Limits kExact1{{2000, 2000, 3000}, {2000, 2000, 3000}};
const Limits kInexact1{{2000, 2500, 3750}, {2000, 2500, 3500}};
const Limits kClock3{{2000, 2500, 3750}, {2000, 2500, 3500}};
const Limits kClock3AfterBook{{3000, 3000, 4500}, {2000, 2000, 3000}};
const Limits kExact4{{2000, 2000, 3000}, {2000, 2000, 3000}};

// Checked along the back rank, black can only step up with the king; the
// knights and pawns cannot block, and nothing is lost soon.
const char* const kOnlyKingStep = "R3k4/9/9/9/9/9/p1p1p4/n7n/9/3K5 b";

// clang-format off
const DriverCase kDriverCases[] = {
    // Windows: a fail low near zero widens by 150, elsewhere by 200, and
    // below -1500 opens fully; a fail high widens by 200, above 2000 fully.
    {"FailLowNearZeroWidensBy150",
     "r1bak1b1r/4a4/c7n/4p1pRp/1n7/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w", "", kThinkPlay,
     kLevelSearchDepth, 1, false, 3, Expect::kFailLow, -150, 0, nullptr},
    {"FailLowFarFromZeroWidensBy200", "2bak1r2/4a4/4b4/7R1/P2Rp4/1nB6/8P/9/4A4/r2AK4 w", "",
     kThinkPlay, kLevelSearchDepth, 1, false, 3, Expect::kFailLow, -200, 0, nullptr},
    {"FailLowBelowMinus1500OpensFully", "Rc2k4/3n5/1r1CbN3/4N4/4p1b1p/9/4P3P/4B4/4A4/2BAK4 b", "",
     kThinkPlay, kLevelSearchDepth, 1, false, 3, Expect::kFailLow, kFull, 0, nullptr},
    {"SecondFailLowOpensFully", kLosesAPiece, "", kThinkPlay, kLevelSearchDepth, 1, false, 2,
     Expect::kFailLowTwice, -200, 0, nullptr},
    {"FailHighWidensBy200", "r2akab1r/9/c1n3n2/2p1p3p/p5P2/1c7/P1P1P3P/4C1N2/4A4/RNB1KAB1R w", "",
     kThinkPlay, kLevelSearchDepth, 1, false, 4, Expect::kFailHigh, 200, 0, nullptr},
    {"FailHighAbove2000OpensFully", "4ka3/4a4/r5N1n/3p5/2bP5/5c2R/P8/C8/9/4KAB2 w", "", kThinkPlay,
     kLevelSearchDepth, 1, false, 4, Expect::kFailHigh, kFull, 0, nullptr},
    {"SecondFailHighOpensFully", "3a1k3/9/4b4/2R1n2rp/4N4/4P3P/2p6/4B4/4A4/r2NKAB2 w", "",
     kThinkPlay, kLevelSearchDepth, 1, false, 4, Expect::kFailHighTwice, 200, 0, nullptr},
    // Time added by the fail lows of one iteration.
    {"SearchLevelExactTime", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelSearchDepth, 1, false, 2,
     Expect::kFailLowTwice, -200, 0, &kExact2},
    {"SearchLevelWithoutExactTime", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelSearchDepth, 0,
     false, 2, Expect::kFailLowTwice, -200, 0, &kInexact2},
    {"TimePerMoveExactTime", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelTimePerMove, 1, false, 2,
     Expect::kFailLowTwice, -200, 0, &kExact1},
    {"TimePerMoveWithoutExactTime", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelTimePerMove, 0,
     false, 2, Expect::kFailLowTwice, -200, 0, &kInexact1},
    {"GameClockIgnoresExactTime", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelGameClock, 1, false,
     2, Expect::kFailLowTwice, -200, 0, &kClock3},
    {"GameClockAfterABookMove", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelGameClock, 1, true, 2,
     Expect::kFailLowTwice, -200, 0, &kClock3AfterBook},
    {"MovesInTimeExactTime", kLosesAPiece, kTwelvePlies, kThinkPlay, kLevelMovesInTime, 1, false, 2,
     Expect::kFailLowTwice, -200, 0, &kExact4},
    // A forced root: one legal move, or one move that is not lost at once.
    {"SingleLegalMoveStopsAfterFourIterations", kOnlyKingStep, "", kThinkPlay, kLevelSearchDepth, 1,
     false, 8, Expect::kForcedRootStop, 0, 4, nullptr},
    {"AnalysisGoesOnToItsLevel", kOnlyKingStep, "", kThinkAnalysis, kLevelSearchDepth, 1, false, 6,
     Expect::kForcedRootStop, 0, 6, nullptr},
    {"TwoPlayableMovesGoOnToTheLevel", "R3k4/4a4/9/9/9/2r6/9/9/9/3K5 b", "", kThinkPlay,
     kLevelSearchDepth, 1, false, 6, Expect::kForcedRootStop, 0, 6, nullptr},
};
// clang-format on

struct Window {
  int32_t alpha;
  int32_t beta;
  int32_t depth;  // plies
};

class DriverCaseTest : public DriverTest, public ::testing::WithParamInterface<DriverCase> {
 protected:
  // Plays the case's moves as the interface does, then thinks with the fake
  // tick standing still: searches end by their level, or by a stop once the
  // iteration after the one that failed has begun.
  void RunThink(const DriverCase& c) {
    testing_support::SetUpFen(c.fen);
    std::istringstream moves(c.moves);
    for (std::string m; moves >> m;) UserMove(m);
    played_ = gamePly;
    if (c.afterBookMove) history[gamePly - 1].searchFlag = 1;
    levelMode = c.levelMode;
    exactTime = c.exactTime;
    searchDepth = c.level;
    thinkingTime = 2000;
    gameClock.Reset();
    gameClock.sideTimeMs[sideToMove] = 60000;
    gameClock.pliesLeft = 62;  // 31 moves left: a thirtieth of the clock
    pollInterval = c.limits != nullptr ? 1 : kPollIntervalNormal;
    seen_.assign(SearchTrace::kWindows, {0, 0});
    S().everyPoll = [this, &c] {
      const uint32_t running = searchTrace.rootSearches;
      if (running == 0 || running > SearchTrace::kWindows) return;
      if (seen_[running - 1].first == 0) seen_[running - 1] = {clockBudgetMs, moveTimeLimitMs};
      if (c.limits != nullptr && running > 4) stopRequested = 1;
    };
    searchTrace = {};
    Think(c.mode, 0);
    S().everyPoll = nullptr;
    for (uint32_t i = 0; i < searchTrace.rootSearches && i < SearchTrace::kWindows; ++i) {
      const auto& w = searchTrace.rootWindows[i];
      windows_.push_back({w.alpha, w.beta, w.depth16 / 16});
    }
  }

  // The scores logged with the markers of the iteration at `depth` (between
  // its iteration-done records).
  static std::vector<int32_t> MarkerScores(int depth, int32_t marker) {
    std::vector<int32_t> scores;
    int done = 0;
    for (int i = 0; i < iterationLogCount; ++i) {
      const IterationLogRecord& r = iterationLog[i];
      if (r.score == kMarkerIterationDone) ++done;
      if (done == depth - 1 && r.score == marker) scores.push_back(r.depthOrScore);
    }
    return scores;
  }

  static int CountMarker(int32_t marker) {
    int count = 0;
    for (int i = 0; i < iterationLogCount; ++i) count += iterationLog[i].score == marker ? 1 : 0;
    return count;
  }

  // The first search of an iteration that failed the way the case expects,
  // and the windows.size() when none did.
  size_t FirstFailure(bool low) const {
    for (size_t i = 0; i + 1 < windows_.size(); ++i) {
      const Window& w = windows_[i];
      const Window& next = windows_[i + 1];
      if (next.depth != w.depth || (i > 0 && windows_[i - 1].depth == w.depth)) continue;
      if (low ? next.beta == w.alpha + 1 : next.alpha == w.beta - 1) return i;
    }
    return windows_.size();
  }

  int32_t played_ = 0;
  std::vector<Window> windows_;
  std::vector<std::pair<uint32_t, uint32_t>> seen_;  // {budget, move limit} per root search
};

TEST_P(DriverCaseTest, ReSearchesAndLimitsFollowTheRules) {
  const DriverCase& c = GetParam();
  RunThink(c);
  const std::string windowList = [&] {
    std::string s;
    for (const Window& w : windows_)
      s += " [" + std::to_string(w.alpha) + "," + std::to_string(w.beta) + " d" +
           std::to_string(w.depth) + "]";
    return s;
  }();
  SCOPED_TRACE("root windows:" + windowList);
  ASSERT_EQ(engineState, kEngineIdle);

  if (c.expect == Expect::kForcedRootStop) {
    EXPECT_EQ(CountMarker(kMarkerIterationDone), c.iterations);
    if (c.iterations < c.level) {
      EXPECT_EQ(CountMarker(kMarkerFailHigh), 0) << "a forced root is never re-searched above";
    }
    if (c.mode == kThinkPlay) {
      ASSERT_EQ(gamePly, played_ + 1);
      EXPECT_NE(history[gamePly].move, 0u);
    }
    return;
  }

  const bool low = c.expect == Expect::kFailLow || c.expect == Expect::kFailLowTwice;
  const bool twice = c.expect == Expect::kFailLowTwice || c.expect == Expect::kFailHighTwice;
  const size_t first = FirstFailure(low);
  ASSERT_LT(first, windows_.size()) << "the position no longer fails at its level";
  const Window failed = windows_[first];
  const Window again = windows_[first + 1];
  if (low) {
    EXPECT_EQ(again.beta, failed.alpha + 1);
    EXPECT_EQ(again.alpha, c.widenedTo == kFull ? -kFull : failed.alpha + c.widenedTo);
    // The margin belongs to the bound that failed.
    if (c.widenedTo == -150) {
      EXPECT_TRUE(failed.alpha > -200 && failed.alpha < 200);
    }
    if (c.widenedTo == -200) {
      EXPECT_TRUE(failed.alpha >= 200 || (failed.alpha <= -200 && failed.alpha >= -1500));
    }
    if (c.widenedTo == kFull) {
      EXPECT_LT(failed.alpha, -1500);
    }
  } else {
    EXPECT_EQ(again.alpha, failed.beta - 1);
    EXPECT_EQ(again.beta, c.widenedTo == kFull ? kFull : failed.beta + c.widenedTo);
    if (c.widenedTo == 200) {
      EXPECT_LE(failed.beta, 2000);
    }
    if (c.widenedTo == kFull) {
      EXPECT_GT(failed.beta, 2000);
    }
  }
  const bool thirdAtDepth =
      first + 2 < windows_.size() && windows_[first + 2].depth == failed.depth;
  ASSERT_EQ(thirdAtDepth, twice);
  if (twice) {
    const Window last = windows_[first + 2];
    if (low) {
      EXPECT_EQ(last.alpha, -kFull);
      EXPECT_EQ(last.beta, again.alpha + 1);
    } else {
      EXPECT_EQ(last.alpha, again.beta - 1);
      EXPECT_EQ(last.beta, kFull);
    }
  }
  // Each failure is logged with the score that caused it.
  const std::vector<int32_t> logged =
      MarkerScores(failed.depth, low ? kMarkerFailLow : kMarkerFailHigh);
  ASSERT_EQ(logged.size(), twice ? 2u : 1u);
  if (low) {
    EXPECT_LE(logged[0], failed.alpha);
    if (twice) {
      EXPECT_LE(logged[1], again.alpha);
    }
  } else {
    EXPECT_GE(logged[0], failed.beta);
    if (twice) {
      EXPECT_GE(logged[1], again.beta);
    }
  }
  ASSERT_EQ(gamePly, played_ + 1) << "the engine's move is played";

  if (c.limits == nullptr) return;
  ASSERT_EQ(first, 1u) << "the limits are read at root searches 1 to 3";
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(seen_[1 + k].first, c.limits->budget[k]) << "clock budget at search " << k;
    EXPECT_EQ(seen_[1 + k].second, c.limits->moveLimit[k]) << "move limit at search " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Driver, DriverCaseTest, ::testing::ValuesIn(kDriverCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
