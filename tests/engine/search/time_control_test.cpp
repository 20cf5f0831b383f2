// The search's poll under each level mode and engine state (with a fake
// tick), and the iteration log.
#include "engine/search/time_control.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "game/game_clock.h"
#include "tests/support/engine_hooks.h"
#include "tests/support/test_position.h"

namespace {

uint32_t fakeTick;
uint32_t FakeTick() { return fakeTick; }

int pumps;
int32_t stopSeenByPump;
void CountPump() {
  ++pumps;
  stopSeenByPump = stopRequested;
}

std::vector<int> events;
void RecordEvent(int code) { events.push_back(code); }

constexpr uint32_t kStart = 4000000000u;  // the tick wraps during the search

class TimeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::SetEngineHooks(FakeTick, CountPump, RecordEvent);
    pumps = 0;
    stopSeenByPump = -1;
    events.clear();
    saved_ = {levelMode, searchDepth, iterationDepth, engineState, moveTimeLimitMs,
              clockBudgetMs};
    searchStartTick = kStart;
    stopRequested = 0;
  }
  void TearDown() override {
    testing_support::ClearEngineHooks();
    levelMode = saved_.levelMode;
    searchDepth = saved_.searchDepth;
    iterationDepth = saved_.iterationDepth;
    engineState = saved_.engineState;
    moveTimeLimitMs = saved_.moveTimeLimitMs;
    clockBudgetMs = saved_.clockBudgetMs;
    stopRequested = 0;
    iterationLogCount = 0;
  }

  // Polls once at `elapsed` milliseconds into the search; true when the
  // poll asked the search to stop.
  static bool StopsAt(uint32_t elapsed) {
    stopRequested = 0;
    fakeTick = kStart + elapsed;
    CheckSearchTime();
    return stopRequested == 1;
  }

  struct Saved {
    int32_t levelMode, searchDepth, iterationDepth, engineState;
    uint32_t moveTimeLimitMs, clockBudgetMs;
  } saved_{};
};

TEST_F(TimeControlTest, EverySearchEndsAfterTheCap) {
  const int32_t states[] = {kEngineThinking, kEnginePondering, kEngineMateSearch, kEngineAnalysing};
  for (int32_t mode : {1, 2, 3, 4}) {
    for (int32_t state : states) {
      levelMode = mode;
      engineState = state;
      searchDepth = 8;
      iterationDepth = 1;
      moveTimeLimitMs = 4000000000u;
      clockBudgetMs = 1000000000u;
      EXPECT_FALSE(StopsAt(20186)) << mode << " " << state;
      EXPECT_TRUE(StopsAt(20187)) << mode << " " << state;
    }
  }
}

TEST_F(TimeControlTest, TimePerMoveStopsAtTheMoveLimit) {
  levelMode = kLevelTimePerMove;
  engineState = kEngineThinking;
  moveTimeLimitMs = 2000;
  EXPECT_FALSE(StopsAt(0));
  EXPECT_FALSE(StopsAt(2000));
  EXPECT_TRUE(StopsAt(2001));
  // The limit holds whatever the state; pondering runs with a huge one.
  engineState = kEngineAnalysing;
  EXPECT_TRUE(StopsAt(2001));
  engineState = kEnginePondering;
  moveTimeLimitMs = 4000000000u;
  EXPECT_FALSE(StopsAt(15000));
}

TEST_F(TimeControlTest, ClockModesStopAtTheirBudgetWhileThinking) {
  for (int32_t mode : {kLevelGameClock, kLevelMovesInTime}) {
    levelMode = mode;
    engineState = kEngineThinking;
    moveTimeLimitMs = 100;  // the per-move limit does not apply
    clockBudgetMs = 5000;
    EXPECT_FALSE(StopsAt(5000)) << mode;
    EXPECT_TRUE(StopsAt(5001)) << mode;
    // A ponder or analysis keeps going until the user acts or the cap.
    engineState = kEnginePondering;
    EXPECT_FALSE(StopsAt(9000)) << mode;
    engineState = kEngineAnalysing;
    EXPECT_FALSE(StopsAt(9000)) << mode;
  }
}

TEST_F(TimeControlTest, SearchLevelStopsOnlyBeyondTheLevel) {
  levelMode = kLevelSearchDepth;
  engineState = kEngineThinking;
  moveTimeLimitMs = 100;
  clockBudgetMs = 100;
  searchDepth = 5;
  for (int32_t depth = 1; depth <= 5; ++depth) {
    iterationDepth = depth;
    EXPECT_FALSE(StopsAt(10000)) << depth;
  }
  iterationDepth = 6;
  EXPECT_TRUE(StopsAt(10));
  // Levels 0, -1 and -2 choose from the root scoring and never stop it.
  for (int32_t level : {0, -1, -2}) {
    searchDepth = level;
    iterationDepth = 1;
    EXPECT_FALSE(StopsAt(10)) << level;
  }
  // Pondering in a search level goes past the level.
  searchDepth = 5;
  iterationDepth = 9;
  engineState = kEnginePondering;
  EXPECT_FALSE(StopsAt(10));
}

TEST_F(TimeControlTest, EveryPollTicksTheClockAndPumpsAfterTheDecision) {
  gameClock.paused = 0;
  gameClock.startTick = kStart - 700;
  levelMode = kLevelTimePerMove;
  engineState = kEngineThinking;
  moveTimeLimitMs = 2000;
  EXPECT_FALSE(StopsAt(300));
  EXPECT_EQ(gameClock.elapsedMs, 1000u);
  EXPECT_EQ(pumps, 1);
  EXPECT_EQ(stopSeenByPump, 0);
  EXPECT_TRUE(StopsAt(2500));
  EXPECT_EQ(gameClock.elapsedMs, 3200u);
  EXPECT_EQ(pumps, 2);
  EXPECT_EQ(stopSeenByPump, 1);
  // A paused clock is not advanced.
  gameClock.paused = 1;
  StopsAt(2600);
  EXPECT_EQ(gameClock.elapsedMs, 3200u);
  gameClock.paused = 0;
}

class IterationLogTest : public TimeControlTest {
 protected:
  void SetUp() override {
    TimeControlTest::SetUp();
    testing_support::SetUpFen(testing_support::kStartFen);
    iterationLogCount = 0;
    analysisBestMove = analysisReply = 0;
    for (MovePicker& p : movePickers) p.pvMove = 0;
  }
};

TEST_F(IterationLogTest, LinesAreLoggedAndSeedTheNextIteration) {
  const Move line[] = {ParseCoordMove("h2e2"), ParseCoordMove("h9g7"), ParseCoordMove("h0g2")};
  for (int i = 0; i < 3; ++i) principalVariation[0][i] = line[i];
  principalVariation[0][3] = ParseCoordMove("i9h9");  // beyond the line's end
  pvLength[0] = 3;
  nodeCount = 12345;
  nodeCountHigh = 2;
  logExtraCount = 7;
  fakeTick = kStart + 1500;
  RecordIteration(4, 37);
  ASSERT_EQ(iterationLogCount, 1);
  const IterationLogRecord& r = iterationLog[0];
  EXPECT_EQ(r.score, 37);
  EXPECT_EQ(r.depthOrScore, 4);
  EXPECT_EQ(r.nodes, 12345u);
  EXPECT_EQ(r.nodesHigh, 2u);
  EXPECT_EQ(r.extraCount, 7u);
  EXPECT_FLOAT_EQ(r.seconds, 1.5f);
  ASSERT_EQ(r.lineLength, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(r.line[i], line[i]);
    EXPECT_EQ(movePickers[i].pvMove, line[i]);
  }
  EXPECT_EQ(movePickers[3].pvMove, 0u);
  EXPECT_EQ(analysisBestMove, line[0]);
  EXPECT_EQ(analysisReply, line[1]);
  EXPECT_EQ(events, std::vector<int>{kEventDrawComputingMoves});

  // A marker carries the root score and no line; the analysis moves stay.
  RecordIteration(-120, kMarkerFailLow);
  ASSERT_EQ(iterationLogCount, 2);
  EXPECT_EQ(iterationLog[1].score, kMarkerFailLow);
  EXPECT_EQ(iterationLog[1].depthOrScore, -120);
  EXPECT_EQ(iterationLog[1].lineLength, 0);
  EXPECT_EQ(analysisBestMove, line[0]);
  EXPECT_EQ(events.size(), 2u);

  // A one-move line has no reply.
  pvLength[0] = 1;
  RecordIteration(5, 40);
  EXPECT_EQ(iterationLog[2].lineLength, 1);
  EXPECT_EQ(analysisReply, 0u);
}

TEST_F(IterationLogTest, TheLogKeepsAtMost512Records) {
  pvLength[0] = 1;
  principalVariation[0][0] = ParseCoordMove("h2e2");
  for (int i = 0; i < kIterationLogSize; ++i) RecordIteration(i, kMarkerIterationDone);
  ASSERT_EQ(iterationLogCount, kIterationLogSize);
  EXPECT_EQ(events.size(), static_cast<size_t>(kIterationLogSize));
  iterationLog[kIterationLogSize - 1].score = 1;
  RecordIteration(9, 99);
  EXPECT_EQ(iterationLogCount, kIterationLogSize);
  EXPECT_EQ(iterationLog[kIterationLogSize - 1].score, 1);
  EXPECT_EQ(events.size(), static_cast<size_t>(kIterationLogSize));
  EXPECT_EQ(analysisBestMove, 0u);
}

}  // namespace
