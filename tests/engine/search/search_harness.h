// Shared set-up of the search tests: a private data folder (the full reset
// opens the learning files there), a small hash table, learning off, and a
// fixed-depth iterative deepening over SearchRoot with full windows.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/eval/prepare.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"
#include "tests/support/test_position.h"

namespace search_harness {

inline void UsePrivateDataFolder() {
  static bool done = false;
  if (done) return;
  done = true;
  testing_support::InitTestProcess();
  static char folder[] = "/tmp/vorelk_search_test_XXXXXX";
  const char* dir = mkdtemp(folder);
  ASSERT_NE(dir, nullptr);
  std::strcpy(installDirectory, dir);
  std::atexit([] {
    CloseLearningFiles();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  });
}

// A tick that never moves: the searches of these tests end by their depth
// alone, never by the time cap, however slow the build or the machine.
inline uint32_t FrozenTick() { return 1000; }

// Sets the position up for a search: tables small and empty, learning off,
// no time limit (the tick stands still) and no depth limit but the caller's.
inline uint32_t SetUpSearchFen(const std::string& fen) {
  UsePrivateDataFolder();
  const uint32_t side = testing_support::SetUpFen(fen);
  useLearning = 0;
  // Hooks and poll interval a test before may have left set.
  pumpMessagesHook = nullptr;
  tickSource = FrozenTick;
  pollInterval = kPollIntervalNormal;
  SetHashSize(0);
  ClearHashTables();
  ClearHistoryTables();
  for (MovePicker& p : movePickers) p.killer1 = p.killer2 = p.ttMove = p.pvMove = 0;
  levelMode = kLevelSearchDepth;
  searchDepth = 0;
  engineState = kEngineIdle;
  stopRequested = 0;
  pendingRequest = 0;
  followPv = 0;
  iterationDepth = 1;
  searchFlags = 0;
  nodeCount = nodeCountHigh = pollBaseCount = 0;
  searchStartTick = GetTickMs();
  return side;
}

// Builds the root list of the position and scores it, as the driver does.
inline void PrepareRootSearch() {
  iterationLogCount = 0;
  logExtraCount = 0;
  bestScore = -1;
  rootForced = 0;
  std::memset(principalVariation, 0, sizeof principalVariation);
  std::memset(pvLength, 0, sizeof pvLength);
  std::memset(rootMoves, 0, sizeof rootMoves);
  historyBase = &history[gamePly + 1];
  historyPly = 0;
  MovePicker& root = movePickers[0];
  root.next = root.count = 0;
  GenerateAllMoves();
  rootMoveCount = root.count;
  for (int i = 0; i < rootMoveCount; ++i) rootMoves[i].move = root.entries[i].move;
  materialBalance = RecomputeBalance();
  ScoreRootMoves(rootMoves, rootMoveCount);
  stopRequested = 0;
  for (MovePicker& p : movePickers) p.pvMove = 0;
}

struct SearchResult {
  int32_t score = 0;
  int depth = 0;  // last iteration searched
  std::vector<Move> line;
  uint64_t nodes = 0;
};

// Iterations 1..maxDepth with full windows; stops at a mate score.
inline SearchResult RunFixedDepth(int maxDepth) {
  PrepareRootSearch();
  SearchResult result;
  for (int depth = 1; depth <= maxDepth; ++depth) {
    iterationDepth = depth;
    searchFlags = 0;
    followPv = depth > 1 ? 1 : 0;
    const int32_t s = SearchRoot(-kMateScore, kMateScore, depth * 16);
    RecordIteration(s, kMarkerIterationDone);
    for (int i = 0; i < pvLength[0] && i < kMaxSearchPly; ++i)
      movePickers[i].pvMove = principalVariation[0][i];
    result.score = s;
    result.depth = depth;
    if (stopRequested || s > kMateScoreBound || s < -kMateScoreBound) break;
  }
  result.line.assign(principalVariation[0], principalVariation[0] + pvLength[0]);
  result.nodes = static_cast<uint64_t>(nodeCountHigh) * kNodeCountFold + nodeCount;
  return result;
}

}  // namespace search_harness
