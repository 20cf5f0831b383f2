// The search's periodic poll (time and depth limits, message pumping) and
// the iteration log.
#include "engine/search/time_control.h"

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "game/game_clock.h"

int32_t levelMode = kLevelTimePerMove;
int32_t thinkingTime = 2000;
int32_t exactTime = 1;
int32_t searchDepth = 4;
uint32_t moveTimeLimitMs = 2000;
uint32_t clockBudgetMs;

int32_t pollInterval = kPollIntervalNormal;
uint32_t nodeCount;
uint32_t nodeCountHigh;
uint32_t pollBaseCount;
uint32_t searchStartTick;

IterationLogRecord iterationLog[kIterationLogSize];
int32_t iterationLogCount;
uint32_t logExtraCount;
Move analysisBestMove;
Move analysisReply;

namespace {

bool LimitReached(uint32_t elapsed) {
  if (elapsed > kSearchTimeCapMs) return true;  // every mode and state
  if (levelMode == kLevelTimePerMove && elapsed > moveTimeLimitMs) return true;
  if (engineState != kEngineThinking) return false;
  // Both clock-based modes keep to the budget Think computed.
  if ((levelMode == kLevelGameClock || levelMode == kLevelMovesInTime) && elapsed > clockBudgetMs)
    return true;
  // The iterations of a search level end once they pass the level; the poll
  // cuts a search that is already deeper than that.
  return levelMode == kLevelSearchDepth && searchDepth > 0 && iterationDepth > searchDepth;
}

}  // namespace

void CheckSearchTime() {
  gameClock.Tick();
  const uint32_t elapsed = GetTickMs() - searchStartTick;
  if (LimitReached(elapsed)) stopRequested = 1;
  PumpMessages();
}

void RecordIteration(int32_t depthOrScore, int32_t score) {
  if (iterationLogCount < 0 || iterationLogCount >= kIterationLogSize) return;
  IterationLogRecord& r = iterationLog[iterationLogCount];
  r.score = score;
  r.nodes = nodeCount;
  r.extraCount = logExtraCount;
  r.nodesHigh = nodeCountHigh;
  r.depthOrScore = depthOrScore;
  r.seconds = static_cast<float>(GetTickMs() - searchStartTick) / 1000.0f;
  const bool marker =
      score == kMarkerFailHigh || score == kMarkerFailLow || score == kMarkerIterationDone;
  if (marker) {
    r.lineLength = 0;
  } else {
    int32_t length = pvLength[0];
    if (length < 0) length = 0;
    if (length > kIterationLineMax) length = kIterationLineMax;
    r.lineLength = static_cast<uint16_t>(length);
    for (int32_t i = 0; i < length; ++i) {
      r.line[i] = principalVariation[0][i];
      movePickers[i].pvMove = principalVariation[0][i];
    }
    analysisBestMove = length > 0 ? r.line[0] : 0;
    analysisReply = length > 1 ? r.line[1] : 0;
  }
  ++iterationLogCount;
  NotifyEngineEvent(kEventDrawComputingMoves);
}
