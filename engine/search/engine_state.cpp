// Engine state, the deferred requests and the game-record backup.
#include "engine/search/engine_state.h"

#include <cstring>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_clock.h"
#include "game/notation.h"

int32_t engineState;
int32_t stopRequested;
int32_t pendingRequest;
Move pendingUserMove;
int32_t shownInCheck;
Move thinkExcludedMove;

int32_t Ponder = 1;
int32_t saveOnEachMove = 0;
int32_t enginePlaysSide0 = 1;
int32_t enginePlaysSide1 = 1;

RootWindow rootWindow;

HistoryRecord gameRecordBackup[kHistorySize];

void BackupGameRecord() {
  std::memcpy(&gameRecordBackup[1], &history[1], sizeof(HistoryRecord) * (kHistorySize - 1));
}

void RestoreGameRecord() {
  std::memcpy(&history[1], &gameRecordBackup[1], sizeof(HistoryRecord) * (kHistorySize - 1));
}

uint32_t requestsPosted;
int32_t closeRequested;

int32_t userMoveWaiting;

bool UserMoveWaiting() { return userMoveWaiting != 0; }

bool CommandWaitsForSearch() {
  // Every search clears pendingRequest as it starts, so a request seen
  // here was posted during this one.
  if (engineState != kEnginePondering && engineState != kEngineAnalysing) return false;
  if (HintSearchRunning() && pendingRequest == kRequestPlayAnalysedMove) return false;
  return pendingRequest != kRequestNone;
}

void RequestStop(int32_t code) {
  ++requestsPosted;
  // A close outranks every other request: once asked for, the program ends
  // after the search, whatever the user chose in the same breath. A user's
  // move waiting for the search is kept all the same: the completion makes
  // it, and closeRequested then stops the think on the move at once.
  if ((closeRequested == 0 || code == kRequestClose) && !UserMoveWaiting()) pendingRequest = code;
  stopRequested = 1;
}

void HandUserMoveToSearch(Move move) {
  const int32_t code = engineState == kEngineAnalysing ? kRequestPlayNow : kRequestUserMoveInstead;
  pendingUserMove = move;
  RequestStop(code);
  userMoveWaiting = 1;
}

void RequestStopForClose() {
  closeRequested = 1;
  RequestStop(kRequestClose);
}

bool GameRecordFull() { return gamePly >= kMaxGameMoves; }

int MakeMoveAfterShownPly(Move move) {
  if (move == 0 || GameRecordFull() || !IsValidMove(move)) return 0;
  historyBase = &history[gamePly + 1];
  historyPly = 0;
  return MakeMove(move, static_cast<int32_t>(FindChecker(sideToMove)));
}

void RecordMadeMove() {
  ++gamePly;
  gameLength = gamePly;
  // A new move at this ply: the comment and the mark of the move it
  // replaces do not belong to it.
  ClearComment(gamePly);
  HistoryRecord& r = history[gamePly];
  r.engineMove = 0;
  r.searchFlag = 0;
  r.engineScore = 0;
  r.engineDepth = 0;
  r.extension = 0;
  r.extended = 0;
  const PieceIndex moved = static_cast<PieceIndex>(board[MoveTo(r.move)]);
  FormatWxfMove(r.move, r.wxfText, '.', moved, 0);
  FormatWxfMove(r.move, r.wxfTextChinese, '.', moved, 1);
  FormatWxfMove(r.move, r.axfText, '=', moved, 0);
  FormatWxfMove(r.move, r.axfTextChinese, '=', moved, 1);
}

void ShowGamePosition() {
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
  ClockFollowsShownSide();
  RedrawBoardIfNoPieceHeld();
  RefreshSideWindows();
}

void ClockFollowsShownSide() { gameClock.RunFor(static_cast<int32_t>(shownSideToMove)); }
