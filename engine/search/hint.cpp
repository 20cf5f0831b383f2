// The hint: a short search (about one second) for the side to move, the
// books first, that leaves its suggestion in ponderMove. A user's move
// handed to the search stops it; the completion then makes the move.
#include <cstring>

#include "engine/bridge.h"
#include "engine/eval/evaluate.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/shown_ply.h"

namespace {

constexpr int32_t kFullWindow = 3200000;
constexpr int32_t kHintMaxDepth = 119;
constexpr uint32_t kHintTimeMs = 1000;

// A move that is pseudo-legal and that MakeMove accepts here.
bool IsPlayableNow(Move m) {
  if (m == 0 || m == kNoRootMove || !IsValidMove(m)) return false;
  if (!MakeMove(m, static_cast<int32_t>(FindChecker(sideToMove)))) return false;
  UnmakeMove();
  return true;
}

Move BookHint() {
  for (int book = 0; book < kBookCount; ++book) {
    BookMove found{};
    if (ProbeBook(book, &found, 0, sideToMove) && IsPlayableNow(found.move)) return found.move;
  }
  return 0;
}

// Set while the hint's search runs.
bool hintSearching = false;

// The hint's search, up to the point where its completion takes over:
// ponderMove gets the suggestion, the game record and the level are as
// they were.
void RunHintSearch() {
  const int32_t savedLevelMode = levelMode;
  bestScore = -1;
  historyPly = 0;
  // The search's records go behind the shown position, never over the game.
  historyBase = &history[gamePly + 1];
  nodeCount = 0;
  nodeCountHigh = 0;
  pollBaseCount = 0;
  rootForced = 0;
  stopRequested = 0;
  // As every search: a request seen later was posted during this one.
  pendingRequest = kRequestNone;
  // A user's move is handed to this search from its first message pumping
  // on; none waits before.
  userMoveWaiting = 0;
  PrepareEvaluation();
  BackupGameRecord();
  // The windows read the game as it stands while the hint's search pumps
  // messages.
  const ShownGameHold shownGameHold;

  ponderMove = static_cast<int32_t>(BookHint());
  if (ponderMove == 0) {
    std::memset(rootMoves, 0, sizeof rootMoves);
    MovePicker& r = movePickers[0];
    r.count = 0;
    r.next = 0;
    GenerateAllMoves();
    rootMoveCount = r.count < kMaxRootMoves ? r.count : kMaxRootMoves;
    for (int i = 0; i < rootMoveCount; ++i) rootMoves[i].move = r.entries[i].move;
    principalVariation[0][0] = kNoRootMove;
    ClearHistoryTables();
    engineState = kEngineAnalysing;
    searchStartTick = GetTickMs();
    levelMode = kLevelTimePerMove;
    moveTimeLimitMs = kHintTimeMs;
    StartEvalMemo();
    for (int32_t depth = 1; depth <= kHintMaxDepth; ++depth) {
      iterationDepth = depth;
      SearchRoot(-kFullWindow, kFullWindow, depth * 16);
      if (stopRequested) break;
      RecordIteration(depth, kMarkerIterationDone);
    }
    StopEvalMemo();
    const Move suggested = principalVariation[0][0];
    ponderMove = IsPlayableNow(suggested) ? static_cast<int32_t>(suggested) : 0;
  }
  engineState = kEngineIdle;
  levelMode = savedLevelMode;
  RestoreGameRecord();
  historyPly = 0;
}

}  // namespace

bool HintSearchRunning() { return hintSearching; }

bool HintSearch() {
  if (engineState != kEngineIdle || hintSearching) return true;
  // A full game record takes no further move to suggest.
  if (GameRecordFull()) {
    ponderMove = 0;
    return true;
  }
  hintSearching = true;
  RunHintSearch();
  hintSearching = false;
  return !CompleteHint();
}
