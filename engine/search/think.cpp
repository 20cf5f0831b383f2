// The think driver: opening books first, then the time budget, the root
// scoring and iterative deepening with aspiration windows over SearchRoot,
// and finally the completion of the engine state. Searches that a
// completion starts (ponder after the engine's move, think after the user's
// move, analysis again) run one after the other from the outermost Think, so
// a long game never deepens the call stack.
#include <cstdio>
#include <cstdlib>
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
#include "engine/search/tt.h"
#include "game/game_clock.h"
#include "game/shown_ply.h"

namespace {

constexpr int32_t kFullWindow = 3200000;
constexpr uint32_t kUnlimitedMs = 4000000000u;
constexpr uint32_t kNoClockBudgetMs = 1000000000u;

// Chaining of the searches that completions start.
bool completionRunning = false;
bool chainedThinkQueued = false;
int32_t chainedMode = 0;
Move chainedExcluded = 0;

// Requests posted since the running think began (RequestStop counts them),
// so that one posted while the root moves are scored is not lost.
uint32_t requestsAtThinkStart = 0;

bool IsPlayableRootChoice(Move m) { return m != 0 && m != kNoRootMove; }

void SeedPickersFromPv() {
  for (int i = 0; i < pvLength[0] && i < kMaxSearchPly; ++i)
    movePickers[i].pvMove = principalVariation[0][i];
}

uint32_t ElapsedMs() { return GetTickMs() - searchStartTick; }

// The book path: a book move is played at once, without a search.
bool PlayBookMove(Move excludedMove) {
  for (int book = 0; book < kBookCount; ++book) {
    BookMove found{};
    if (!ProbeBook(book, &found, excludedMove, sideToMove)) continue;
    if (!MakeMoveAfterShownPly(found.move)) continue;
    RecordMadeMove();
    principalVariation[0][0] = found.move;
    // Taking the move back and replaying it rebuilds the record with its
    // notation texts and the shown position.
    TakeBackOne();
    ReplayOne();
    HistoryRecord& r = history[gamePly];
    r.engineMove = 1;
    r.searchFlag = 1;
    r.engineScore = 0;
    r.engineDepth = 0;
    r.move = found.move;
    std::memcpy(displayBoard, board, sizeof displayBoard);
    shownSideToMove = sideToMove;
    AnimateEngineMove(static_cast<PieceIndex>(board[MoveTo(found.move)]), MoveFrom(found.move),
                      MoveTo(found.move));
    RedrawBoardIfNoPieceHeld();
    RefreshSideWindows();
    ponderMove = 0;
    if (saveOnEachMove) AutoSaveCurrentGame();
    engineState = kEngineIdle;
    gameClock.SwitchSide(static_cast<int32_t>(sideToMove));
    return true;
  }
  return false;
}

// The engine's last three moves (records gamePly - 1, - 3, - 5) between game
// plies 11 and 40: was one of them a book move?
bool RecentBookMove() {
  if (gamePly <= 10 || gamePly > 40) return false;
  for (int back = 1; back <= 5; back += 2)
    if (history[gamePly - back].searchFlag) return true;
  return false;
}

// Falls back on the best move of the root scoring when the search was
// stopped before it completed any root move.
void ChooseScoredRootMove() {
  int best = -1;
  for (int i = 0; i < rootMoveCount; ++i) {
    const RootMoveEntry& e = rootMoves[i];
    if (e.move == 0 || e.score == -kFullWindow) continue;
    if (best < 0 || e.score > rootMoves[best].score) best = i;
  }
  if (best < 0) return;
  principalVariation[0][0] = rootMoves[best].move;
  pvLength[0] = 1;
  bestScore = rootMoves[best].score;
}

// A think stopped before an iteration gave its line the opponent's reply
// (stopped at its first message pumping, while the root moves were scored,
// or in its first iteration, whose line ends at the horizon) takes the reply
// the root scoring found for the chosen move, so that the engine ponders
// after this move as after any other. A line cut short by a stop at the
// start of an iteration (pvLength 0) keeps the previous iteration's reply.
void GiveTheLineAReply() {
  const Move chosen = principalVariation[0][0];
  if (!IsPlayableRootChoice(chosen)) return;
  if (principalVariation[0][1] != 0 && pvLength[0] != 1) return;
  for (int i = 0; i < rootMoveCount; ++i) {
    const RootMoveEntry& e = rootMoves[i];
    if (e.move != chosen) continue;
    if (e.scoredReply == 0) return;
    principalVariation[0][1] = e.scoredReply;
    pvLength[0] = 2;
    return;
  }
}

void ExtendLimits(uint32_t divisor) {
  moveTimeLimitMs += static_cast<uint32_t>(thinkingTime) / divisor;
  clockBudgetMs += clockBudgetMs / divisor;
}

// Iterative deepening from depth 1 up to level. Returns the clean-iteration
// flag of the last iteration.
int32_t Iterate(int32_t level, int32_t extensions) {
  int32_t alpha = -kFullWindow;
  int32_t beta = kFullWindow;
  int32_t w = 75;
  int32_t clean = 1;
  for (iterationDepth = 1; iterationDepth <= level;) {
    const int32_t depth = iterationDepth;
    searchFlags = 0;
    followPv = depth > 1;
    rootWindow = {alpha, beta};
    clean = 1;
    int32_t s = SearchRoot(alpha, beta, depth * 16);

    if (s <= alpha && !stopRequested && !(rootForced && depth > 4)) {
      followPv = depth > 1;
      ReorderRootMoves();
      RecordIteration(s, kMarkerFailLow);
      const int32_t m = (alpha > -200 && alpha < 200) ? 150 : 200;
      const int32_t lowered = alpha < -1500 ? -kFullWindow : alpha - m;
      if ((exactTime == 0 || levelMode == kLevelGameClock) && extensions < 2) {
        if (s < alpha - 200) {
          extensions += 2;
          ExtendLimits(2);
        } else {
          extensions += 1;
          ExtendLimits(4);
        }
      }
      s = SearchRoot(lowered, alpha + 1, depth * 16);
      if (lowered != -kFullWindow && s <= lowered && !stopRequested) {
        if (extensions < 5) {
          extensions += 2;
          ExtendLimits(2);
        }
        RecordIteration(s, kMarkerFailLow);
        s = SearchRoot(-kFullWindow, lowered + 1, depth * 16);
      }
    }

    if (s >= beta && !stopRequested && !rootForced) {
      followPv = depth > 1;
      ReorderRootMoves();
      RecordIteration(s, kMarkerFailHigh);
      SeedPickersFromPv();
      const int32_t raised = beta > 2000 ? kFullWindow : beta + 200;
      clean = 0;
      s = SearchRoot(beta - 1, raised, depth * 16);
      if (raised < kFullWindow && s >= raised && !stopRequested) {
        RecordIteration(s, kMarkerFailHigh);
        s = SearchRoot(raised - 1, kFullWindow, depth * 16);
      }
    }

    if (s != bestScore && !stopRequested) bestScore = s;

    alpha = s - w - 10;
    beta = s + w;
    if (s > 120) {
      beta += 30;
      if (s > 250) beta += 25;
      if (s > 500) beta += 25;
    }
    if (s < -120) {
      alpha = s - w - 40;
      if (s < -250) alpha -= 25;
      if (s < -500) beta -= 25;
    }
    w = (s > 250 || s < -250) ? 100 : 65;
    if (depth & 1) {
      alpha -= 65;
      beta -= 65;
    } else {
      alpha += 70;
      beta += 70;
    }
    if (s > 3000) beta = kFullWindow;
    if (s < -3000) alpha = -kFullWindow;

    RecordIteration(s, kMarkerIterationDone);
    SeedPickersFromPv();

    if (s > kMateScoreBound || s < -kMateScoreBound) break;
    const uint32_t elapsed = ElapsedMs();
    if (engineState == kEngineThinking) {
      if (levelMode == kLevelTimePerMove && exactTime == 0 && elapsed > moveTimeLimitMs) break;
      if (levelMode == kLevelSearchDepth && searchDepth > 0 && searchDepth < iterationDepth) break;
      if ((levelMode == kLevelGameClock || levelMode == kLevelMovesInTime) &&
          elapsed > clockBudgetMs)
        break;
    } else if (engineState == kEngineThinkingNoBook) {
      if (levelMode == kLevelTimePerMove && elapsed > moveTimeLimitMs) break;
    }
    if (engineState == kEngineAnalysing && rootForced) rootForced = 0;
    if (stopRequested || (rootForced && depth > 3)) break;
    if (depth >= 10) RescaleHistory();
    if (engineState == kEngineThinking &&
        (levelMode == kLevelGameClock || levelMode == kLevelMovesInTime) &&
        elapsed > static_cast<uint32_t>(static_cast<uint64_t>(clockBudgetMs) * 2 / 3))
      break;
    ++iterationDepth;
  }
  return clean;
}

// The mate search: deepening with a window just below the mate score over
// the root list of the previous search.
void MateSearch() {
  bestScore = -1;
  historyPly = 0;
  historyBase = &history[gamePly + 1];
  nodeCountHigh = 0;
  nodeCount = 0;
  principalVariation[0][0] = kNoRootMove;
  PrepareEvaluation();
  StartEvalMemo();
  ClearHistoryTables();
  // Entries that do not belong to this position are dropped.
  for (int i = 0; i < rootMoveCount; ++i)
    if (rootMoves[i].move != 0 && !IsValidMove(rootMoves[i].move)) rootMoves[i].move = 0;
  BackupGameRecord();
  stopRequested = requestsPosted != requestsAtThinkStart ? 1 : 0;
  moveTimeLimitMs = 2000000000u;
  searchStartTick = GetTickMs();
  for (int32_t depth = 1; depth <= 127; ++depth) {
    iterationDepth = depth;
    const int32_t s = SearchRoot(3199872, kFullWindow, depth * 16);
    if (s > 3199873 || s < -3199873 || stopRequested || rootForced) break;
    char text[64];
    std::snprintf(text, sizeof text, "No mate found in ply %d ( %0.2f )\r\n", depth,
                  ElapsedMs() / 1000.0);
    AppendLogLine(text);
  }
  StopEvalMemo();
  RestoreGameRecord();
  engineState = kEngineIdle;
}

void ClearPickerSlots() {
  for (MovePicker& p : movePickers) {
    p.killer1 = 0;
    p.killer2 = 0;
    p.ttMove = 0;
    p.pvMove = 0;
  }
}

void BuildRootList(Move excludedMove) {
  std::memset(rootMoves, 0, sizeof rootMoves);
  MovePicker& r = movePickers[0];
  r.count = 0;
  r.next = 0;
  GenerateAllMoves();
  rootMoveCount = r.count < kMaxRootMoves ? r.count : kMaxRootMoves;
  for (int i = 0; i < rootMoveCount; ++i) {
    const Move m = r.entries[i].move;
    rootMoves[i].move = m == excludedMove ? 0 : m;
  }
}

enum class SearchOutcome { kDone, kComplete };

struct SearchResult {
  SearchOutcome outcome;
  int32_t cleanIteration;
};

// A search started below a full game record writes its records from
// gamePly + 1 on, at most kMaxSearchPly - 1 of them: they stay in the array.
static_assert(kHistorySize >= kMaxGameMoves + 1 + kMaxSearchPly);

// One think up to the point where its completion takes over.
SearchResult RunSearch(int32_t mode, Move excludedMove) {
  // With the game record full the engine has no move to add and no room
  // behind the game for the search's records: nothing starts.
  if (GameRecordFull()) return {SearchOutcome::kDone, 0};
  // Requests are cleared before anything can pump messages, so that a
  // command arriving from here on reaches the completion.
  // A close asked for while a completion ran stays: this search stops at
  // once and its completion closes.
  stopRequested = closeRequested;
  pendingRequest = closeRequested != 0 ? kRequestClose : kRequestNone;
  userMoveWaiting = 0;
  requestsAtThinkStart = requestsPosted - static_cast<uint32_t>(closeRequested);
  thinkExcludedMove = excludedMove;
  searchStartTick = GetTickMs();

  iterationDepth = 1;
  PrepareEvaluation();
  if (gamePly > 0) history[gamePly].searchFlag = 0;

  if (mode == kThinkPlay && PlayBookMove(excludedMove)) return {SearchOutcome::kDone, 0};

  // A ponder with no predicted move does not start. Checked before the
  // first message pumping: a command that clears ponderMove from there on
  // posts its request, which reaches the completion.
  if (mode == kThinkPonder && ponderMove == 0) {
    engineState = kEngineIdle;
    SetBusyCursor(0);
    return {SearchOutcome::kDone, 0};
  }

  // From the first message pumping on, the windows read the game as it
  // stands now: the backup of its records and the shown game kept here.
  BackupGameRecord();
  const ShownGameHold shownGameHold;

  nodeCount = 0;
  engineState = mode;
  SetBusyCursor(mode == kThinkPlay ? 1 : 0);
  CheckSearchTime();

  if (levelMode == kLevelTimePerMove || levelMode == kLevelGameClock ||
      levelMode == kLevelMovesInTime)
    searchDepth = 127;
  ClearHistoryTables();
  ClearHashTables();
  ClearPickerSlots();
  // With every pvMove slot cleared there is no line to follow: a followPv
  // left set by the previous search would otherwise change the root scoring
  // (and the mate search), so that the same position searched at the same
  // level gave another result depending on what was searched before.
  followPv = 0;
  iterationLogCount = 0;
  moveTimeLimitMs = static_cast<uint32_t>(thinkingTime);

  if (mode == kThinkMateSearch) {
    MateSearch();
    return {SearchOutcome::kDone, 0};
  }
  if (searchDepth < kLowestSearchLevel) searchDepth = kLowestSearchLevel;
  int32_t level = searchDepth;

  bestScore = -1;
  historyPly = 0;
  nodeCountHigh = 0;
  nodeCount = 0;
  pollBaseCount = 0;
  rootForced = 0;
  logExtraCount = 0;
  std::memset(principalVariation, 0, sizeof principalVariation);
  std::memset(pvLength, 0, sizeof pvLength);
  analysisBestMove = 0;
  analysisReply = 0;

  BuildRootList(excludedMove);

  // A ponder hit in the messages pumped above has already made this search
  // a think with its own time limit.
  if (engineState == kEnginePondering || mode == kThinkAnalysis) moveTimeLimitMs = kUnlimitedMs;

  historyBase = &history[gamePly + 1];
  searchStartTick = GetTickMs();

  const uint32_t sideTime = static_cast<uint32_t>(gameClock.GetSideTimeMs(sideToMove));
  int32_t fromClock = 0;
  clockBudgetMs = ThinkBudgetMs(mode, sideTime, gameClock.GetMovesLeft(), &level, &fromClock);
  int32_t extensions = 0;
  if (fromClock && RecentBookMove()) {
    clockBudgetMs = sideTime / 20;
    extensions = 2;
  }

  ClearHashTables();
  materialBalance = RecomputeBalance();
  StartEvalMemo();
  ScoreRootMoves(rootMoves, rootMoveCount);

  int32_t clean = 0;
  if (level <= 0) {
    if (level == 0)
      ChooseRootMoveLevel0();
    else
      ChooseRootMoveLevelMinus();
  } else {
    stopRequested = requestsPosted != requestsAtThinkStart ? 1 : 0;
    for (MovePicker& p : movePickers) p.pvMove = 0;
    clean = Iterate(level, extensions);
    if (!IsPlayableRootChoice(principalVariation[0][0])) ChooseScoredRootMove();
    GiveTheLineAReply();
  }
  StopEvalMemo();
  return {SearchOutcome::kComplete, clean};
}

void RunCompletion(int32_t cleanIteration) {
  if (pendingRequest == kRequestClose) {
    closeRequested = 0;
    // The stored game is saved as the user saw it: no search record and no
    // predicted move that was never played.
    RestoreGameRecord();
    if (engineState == kEnginePondering) TakeBackOne();
    // After a ponder hit the user's move (the predicted one) was played.
    if (gamePly > gameLength) gameLength = gamePly;
    AutoSaveCurrentGame();
    EndProgramAfterClose();
    return;
  }
  switch (engineState) {
    case kEngineThinking:
    case kEngineThinkingNoBook:
      CompleteThink(engineState, rootForced, cleanIteration);
      break;
    case kEnginePondering:
      CompletePonder();
      break;
    case kEngineAnalysing:
      CompleteAnalysis();
      break;
    default:
      break;
  }
}

}  // namespace

uint32_t ThinkBudgetMs(int32_t mode, uint32_t sideTimeMs, int32_t movesLeft, int32_t* level,
                       int32_t* fromClock) {
  *fromClock = 0;
  const auto byMovesLeft = [&]() -> uint32_t {
    *fromClock = 1;
    if (movesLeft >= 0 && movesLeft <= 30) return sideTimeMs / static_cast<uint32_t>(movesLeft + 1);
    return sideTimeMs / 30;
  };
  const auto byClock = [&]() -> uint32_t {
    *fromClock = 1;
    return sideTimeMs / 30;
  };
  if (mode == kThinkPonder) {
    if (levelMode == kLevelSearchDepth) {
      *level = 128;
      return kNoClockBudgetMs;
    }
    if (levelMode == kLevelMovesInTime) return byMovesLeft();
    return byClock();
  }
  if (mode == kThinkAnalysis) {
    if (levelMode == kLevelSearchDepth) return kNoClockBudgetMs;
    return static_cast<uint32_t>(thinkingTime);
  }
  switch (levelMode) {
    case kLevelTimePerMove:
      return static_cast<uint32_t>(thinkingTime);
    case kLevelSearchDepth:
      return kNoClockBudgetMs;
    case kLevelGameClock:
      return byClock();
    case kLevelMovesInTime:
      return byMovesLeft();
    default:
      return static_cast<uint32_t>(thinkingTime);
  }
}

bool ThinkAskedToStop() {
  return stopRequested != 0 || requestsPosted != requestsAtThinkStart;
}

void Think(int32_t mode, Move excludedMove) {
  if (completionRunning) {
    // Started by a completion: runs from the outermost call's loop once the
    // completion has returned.
    chainedThinkQueued = true;
    chainedMode = mode;
    chainedExcluded = excludedMove;
    return;
  }
  bool chained = false;
  for (;;) {
    const SearchResult result = RunSearch(mode, excludedMove);
    if (result.outcome == SearchOutcome::kComplete) {
      completionRunning = true;
      RunCompletion(result.cleanIteration);
      completionRunning = false;
    }
    if (!chainedThinkQueued) break;
    chainedThinkQueued = false;
    chained = true;
    mode = chainedMode;
    excludedMove = chainedExcluded;
  }
  // Every completion that starts a further search ends idle once that
  // search is over.
  if (chained) {
    engineState = kEngineIdle;
    SetBusyCursor(0);
  }
  // A close asked for after the last search had stopped (while its
  // completion ran, or a search that ended before it searched): the game
  // as it now stands is saved and the program ends.
  if (closeRequested != 0 && !completionRunning) {
    closeRequested = 0;
    engineState = kEngineIdle;
    AutoSaveCurrentGame();
    EndProgramAfterClose();
  }
}
