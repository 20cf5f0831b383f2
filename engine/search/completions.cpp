// The completions of a search: once the search has unwound they carry out
// the request that arrived while it ran, or play the engine's move and start
// pondering on the expected reply. Each first writes the game record back
// from the backup that Think made, so that no record of the search ever
// becomes part of the game or of a saved file.
#include <cstring>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/new_game.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/comments.h"
#include "game/game_clock.h"

namespace {

constexpr int32_t kWonScore = 3199999;
constexpr int32_t kLearnFloor = -1500;

void GoIdle() {
  engineState = kEngineIdle;
  SetBusyCursor(0);
}

// Moves through the game record as a take-back or replay request asks,
// shows the position reached and leaves the engine idle.
void StepThroughGame(int32_t request) {
  switch (request) {
    case kRequestTakeBackOne:
      TakeBackOne();
      break;
    case kRequestTakeBackAll:
      TakeBackAll();
      break;
    case kRequestReplayOne:
      ReplayOne();
      break;
    case kRequestReplayAll:
      ReplayAll();
      break;
    default:
      break;
  }
  ShowGamePosition();
  GoIdle();
}

void StartNewGame() {
  ResetGameState(1);
  historyPly = 0;
  RedrawBoardIfNoPieceHeld();
  RefreshSideWindows();
  SetBusyCursor(0);
}

void ShowWithoutRedraw() {
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
}

bool InCheck() { return FindChecker(sideToMove) != 0; }

// Plays a move of the user (or the analysed move) on the game; refused
// moves leave the engine idle with the board redrawn. A user's move that
// waited for the search switches the clock once it has been made, and its
// refusal is announced like any refused move.
bool PlayGameMove(Move move, bool userMove) {
  if (!MakeMoveAfterShownPly(move)) {
    RedrawBoardIfNoPieceHeld();
    RefreshSideWindows();
    engineState = kEngineIdle;
    if (userMove) NotifyEngineEvent(kEventUserMoveRefused);
    return false;
  }
  RecordMadeMove();
  // The move is timed before the clock follows the shown side.
  if (userMove) gameClock.SwitchSide(static_cast<int32_t>(sideToMove));
  ShowGamePosition();
  if (InCheck()) NotifyEngineEvent(kEventCheckSound);
  return true;
}

// Learning after the engine's move (made on the board, not yet recorded):
// when the score fell by more than 75 since the engine's previous move, or
// the engine is being mated, the position before the move is learnt.
void LearnFromMove(Move move) {
  if (!learnMoves || gamePly < 2) return;
  const HistoryRecord& previous = history[gamePly - 1];
  if (!previous.engineMove || previous.engineScore <= kLearnFloor) return;
  const int32_t previousScore = previous.engineScore;
  if (!(bestScore + 75 < previousScore || bestScore < -kMateScoreBound)) return;
  UnmakeMove();
  LearnPosition(bestScore, previousScore, iterationDepth - 1, move, positionLock, positionKey,
                posPiece, sideToMove);
  MakeMoveAfterShownPly(move);
}

// The user's last move gets "!" or "!!" when the engine's score dropped by
// more than 200 or 400 since its previous move.
void AnnotateUserMove() {
  if (gamePly < 2) return;
  const HistoryRecord& previous = history[gamePly - 1];
  if (!previous.engineMove) return;
  if (previous.engineScore > bestScore + 400)
    SetAnnotation(gamePly, kMarkBrilliant);
  else if (previous.engineScore > bestScore + 200)
    SetAnnotation(gamePly, kMarkGood);
}

// After the engine's move: puts the expected reply on the board as the
// predicted move and ponders on it. Returns false when no pondering starts.
bool StartPondering() {
  if (bestScore >= kMateScoreBound || bestScore <= -kMateScoreBound || !Ponder) return false;
  // The predicted move and the engine's answer to it must both fit in the
  // game record.
  if (gamePly + 2 > kMaxGameMoves) return false;
  const Move predicted = static_cast<Move>(ponderMove);
  if (predicted == 0 || !MakeMoveAfterShownPly(predicted)) return false;
  // The predicted move is shown as played but is not part of the stored
  // game yet: gameLength stays.
  const int32_t storedLength = gameLength;
  RecordMadeMove();
  gameLength = storedLength;
  shownInCheck = InCheck() ? 1 : 0;
  Think(kThinkPonder, 0);
  return true;
}

// "Next best move" on a position whose only legal move is the one it
// excludes finds no move: that move is played again as the stored game
// has it, and nobody has lost. Returns false when the excluded move is not
// the next move of the stored game or cannot be made.
bool ReplayExcludedMove() {
  const Move excluded = thinkExcludedMove;
  if (excluded == 0 || gamePly >= gameLength || history[gamePly + 1].move != excluded ||
      !ReplayOne())
    return false;
  AnimateEngineMove(static_cast<PieceIndex>(board[MoveTo(excluded)]), MoveFrom(excluded),
                    MoveTo(excluded));
  ShowGamePosition();
  GoIdle();
  return true;
}

void PlayEngineMove(int32_t state, int32_t cleanIteration) {
  const Move move = principalVariation[0][0];
  if (move == kNoRootMove || !MakeMoveAfterShownPly(move)) {
    if (ReplayExcludedMove()) return;
    bestScore = 3200000;
    ShowWithoutRedraw();
    RefreshSideWindows();
    // A full game record is no loss: the move is just not added.
    if (state == kEngineThinking && !GameRecordFull())
      ReportLostOnTime(static_cast<int>(sideToMove));
    GoIdle();
    return;
  }
  if (cleanIteration) LearnFromMove(move);
  if (state == kEngineThinking) AnnotateUserMove();
  RecordMadeMove();
  HistoryRecord& r = history[gamePly];
  r.engineMove = 1;
  r.engineScore = bestScore;
  r.engineDepth = iterationDepth;
  if (state == kEngineThinking && saveOnEachMove) AutoSaveCurrentGame();
  AnimateEngineMove(static_cast<PieceIndex>(board[MoveTo(move)]), MoveFrom(move), MoveTo(move));
  const bool mates = state == kEngineThinking && bestScore >= kWonScore;
  if (state == kEngineThinking && !mates && InCheck()) NotifyEngineEvent(kEventCheckSound);
  gameClock.SwitchSide(static_cast<int32_t>(sideToMove));
  ShowGamePosition();
  // The loss is told once the board and the move list show the mating move.
  if (mates) ReportLostOnTime(static_cast<int>(sideToMove));
  if (state == kEngineThinking && !mates) {
    ponderMove = static_cast<int32_t>(ExpectedReply());
    engineState = kEngineThinking;
    if (!StartPondering()) {
      ponderMove = 0;
      GoIdle();
    }
  }
  GoIdle();
}

// After the user's move that waited for the search was made (or refused):
// the engine is idle, the commands the user gave meanwhile run in their
// order on the game with the move, and then `next` (0 none) follows, as
// RunCommandsAfterMove decides when there were commands.
void AfterWaitingMove(int32_t next) {
  userMoveWaiting = 0;
  GoIdle();
  if (RunCommandsAfterMove(next) == 0 && next != 0) Think(next, 0);
}

// The predicted move is taken back and the engine stops pondering. The
// board is repainted: the predicted move's arrow and the thinking line go.
void StopPondering() {
  TakeBackOne();
  ShowWithoutRedraw();
  engineState = kEngineIdle;
  RedrawBoardIfNoPieceHeld();
}

}  // namespace

void CompleteThink(int32_t state, int32_t /*rootForced*/, int32_t cleanIteration) {
  const int32_t request = pendingRequest;
  if (request == kRequestNewGame) {
    StartNewGame();
    return;
  }
  RestoreGameRecord();
  // After a ponder hit the predicted move is the user's move: it belongs to
  // the stored game, for a save, a take back (which keeps it to replay) and
  // every other request.
  if (gamePly > gameLength) gameLength = gamePly;
  switch (request) {
    case kRequestTakeBackOne:
    case kRequestTakeBackAll:
    case kRequestReplayOne:
    case kRequestReplayAll:
      StepThroughGame(request);
      return;
    case kRequestLoadDatabaseGame:
      LoadDatabaseGameRequested();
      GoIdle();
      NotifyEngineEvent(kEventRefreshAfterLoad);
      return;
    case kRequestLoadGame:
      engineState = kEngineIdle;
      LoadGameRequested();
      return;
    case kRequestSaveGame:
      // The game is saved as the board shows it, the user's move included;
      // the think goes on after the save.
      engineState = kEngineIdle;
      SetBusyCursor(0);
      SaveGameRequested();
      return;
    case kRequestStopThenCommand:
      // A command the think was stopped for (the options sheet, a paste):
      // it runs now, and the think starts again if it left the game as it
      // was.
      engineState = kEngineIdle;
      SetBusyCursor(0);
      NotifyEngineEvent(kEventRunDeferredCommand);
      return;
    default:
      PlayEngineMove(state, cleanIteration);
      return;
  }
}

void CompletePonder() {
  const int32_t request = pendingRequest;
  if (request == kRequestNewGame) {
    StartNewGame();
    engineState = kEngineIdle;
    return;
  }
  // The predicted move is on the board as the last game move.
  RestoreGameRecord();
  switch (request) {
    case kRequestNextBestMove:
      StopPondering();
      NotifyEngineEvent(kEventNextBestMove);
      return;
    case kRequestUserMoveInstead: {
      TakeBackOne();
      // The engine's prediction went with the move it predicted.
      ponderMove = 0;
      const bool played = PlayGameMove(pendingUserMove, true);
      AfterWaitingMove(played ? kThinkPlay : 0);
      return;
    }
    case kRequestPlayNow: {
      TakeBackOne();
      ShowWithoutRedraw();
      if (gamePly > 0) {
        const Move last = history[gamePly].move;
        AnimateEngineMove(static_cast<PieceIndex>(board[MoveTo(last)]), MoveFrom(last),
                          MoveTo(last));
      }
      RedrawBoardIfNoPieceHeld();
      RefreshSideWindows();
      Think(kThinkPlay, 0);
      engineState = kEngineIdle;
      return;
    }
    case kRequestTakeBackOne:
    case kRequestTakeBackAll:
      if (request == kRequestTakeBackOne) {
        TakeBackOne();
        TakeBackOne();
      } else {
        TakeBackAll();
      }
      ShowGamePosition();
      GoIdle();
      return;
    case kRequestLoadDatabaseGame:
      StopPondering();
      LoadDatabaseGameRequested();
      GoIdle();
      NotifyEngineEvent(kEventRefreshAfterLoad);
      return;
    case kRequestLoadGame:
      StopPondering();
      LoadGameRequested();
      return;
    case kRequestSaveGame:
      StopPondering();
      SetBusyCursor(0);
      SaveGameRequested();
      return;
    case kRequestStopThenCommand:
      StopPondering();
      SetBusyCursor(0);
      NotifyEngineEvent(kEventRunDeferredCommand);
      return;
    default:
      // A plain stop, and any request that has no meaning while pondering:
      // the predicted move was never played.
      StopPondering();
      return;
  }
}

void CompleteAnalysis() {
  gameRecordBackup[gamePly + 1].engineScore = bestScore;
  gameRecordBackup[gamePly + 1].engineDepth = iterationDepth;
  const int32_t request = pendingRequest;
  if (request == kRequestNewGame) {
    StartNewGame();
    Think(kThinkAnalysis, 0);
    return;
  }
  RestoreGameRecord();
  switch (request) {
    case kRequestLoadGame:
      engineState = kEngineIdle;
      LoadGameRequested();
      Think(kThinkAnalysis, 0);
      return;
    case kRequestTakeBackOne:
    case kRequestTakeBackAll:
    case kRequestReplayOne:
    case kRequestReplayAll:
      StepThroughGame(request);
      Think(kThinkAnalysis, 0);
      return;
    case kRequestLoadDatabaseGame:
      LoadDatabaseGameRequested();
      GoIdle();
      NotifyEngineEvent(kEventRefreshAfterLoad);
      Think(kThinkAnalysis, 0);
      return;
    case kRequestSaveGame:
      // The analysed position is the shown one: nothing to take back.
      engineState = kEngineIdle;
      SetBusyCursor(0);
      SaveGameRequested();
      Think(kThinkAnalysis, 0);
      return;
    case kRequestPlayNow:
    case kRequestPlayAnalysedMove: {
      const bool userMove = request == kRequestPlayNow;
      const bool played = PlayGameMove(userMove ? pendingUserMove : analysisBestMove, userMove);
      const int32_t next =
          !played ? 0
          : enginePlaysSide0 == 0 && enginePlaysSide1 == 0 ? kThinkAnalysis
                                                            : kThinkPlay;
      if (userMove)
        AfterWaitingMove(next);
      else if (next != 0)
        Think(next, 0);
      return;
    }
    default:
      RedrawBoardIfNoPieceHeld();
      RefreshSideWindows();
      GoIdle();
      return;
  }
}

bool CompleteHint() {
  if (!UserMoveWaiting()) return false;
  if (pendingRequest != kRequestPlayNow) {
    // A close came before the move: the game is saved as it was shown.
    userMoveWaiting = 0;
    return false;
  }
  // The suggestion was for the position before the move: it goes unshown.
  ponderMove = 0;
  const bool played = PlayGameMove(pendingUserMove, true);
  const bool enginePlays = sideToMove == kRed ? enginePlaysSide0 == 1 : enginePlaysSide1 == 1;
  AfterWaitingMove(played && enginePlays ? kThinkPlay : 0);
  return true;
}

Move ExpectedReply() {
  const Move m = principalVariation[0][1];
  if (m == 0 || !IsValidMove(m)) return 0;
  if (!MakeMoveAfterShownPly(m)) return m;
  for (int book = 0; book < kBookCount; ++book) {
    BookMove found{};
    if (ProbeBook(book, &found, 0, sideToMove)) {
      UnmakeMove();
      return 0;
    }
  }
  UnmakeMove();
  return m;
}
