// Fixed-depth and fixed-time searches for the tools and benchmarks.
#include "engine/search/fixed_search.h"

#include "engine/bridge.h"
#include "engine/eval/evaluate.h"
#include "engine/position/perft.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/search.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"

void PrepareFixedSearchEngine(int32_t knowledgeLevel, int32_t hashMegabytes) {
  InitKeyTables();
  bookMode1 = kBookOff;
  bookMode2 = kBookOff;
  useLearning = 0;
  learnMoves = 0;
  Ponder = 0;
  saveOnEachMove = 0;
  middleKnowledge = knowledgeLevel;
  SelectEvaluator();
  SetHashSize(hashMegabytes);
}

bool SetUpFixedSearchPosition(const char* fen, std::string* error) {
  InitKeyTables();
  // ParseFen starts a new game (without touching the learning files).
  return LoadFenStartPosition(fen, error);
}

FixedSearchResult RunFixedSearch(int32_t depth, uint32_t moveTimeMs) {
  if (depth > 0) {
    levelMode = kLevelSearchDepth;
    searchDepth = depth;
  } else {
    levelMode = kLevelTimePerMove;
    thinkingTime = static_cast<int32_t>(moveTimeMs);
    exactTime = 1;
  }
  const int32_t plyBefore = gamePly;
  const uint32_t start = GetTickMs();
  Think(kThinkPlay, 0);
  FixedSearchResult r{};
  r.ms = GetTickMs() - start;
  r.nodes = static_cast<uint64_t>(nodeCountHigh) * kNodeCountFold + nodeCount;
  r.depth = CompletedIterations();
  if (gamePly == plyBefore + 1) {
    r.move = history[gamePly].move;
    r.score = history[gamePly].engineScore;
  } else {
    r.move = 0;
    r.score = -kMateScore;
  }
  return r;
}

int CompletedIterations() {
  int done = 0;
  for (int i = 0; i < iterationLogCount; ++i)
    if (iterationLog[i].score == kMarkerIterationDone) ++done;
  // A stopped search logs its unfinished iteration too.
  if (stopRequested && done > 0) --done;
  return done;
}
