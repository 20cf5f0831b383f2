// Stepping the shown position through the stored game: one move back, all
// the way back, one move forward, all the way forward. The stored moves and
// gameLength never change; the moves are unmade or remade on the engine
// position and the shown board follows.
#include <cstring>

#include "engine/position/position.h"
#include "engine/search/opening_names.h"
#include "engine/search/search_tables.h"
#include "game/notation.h"

namespace {

void ShowEnginePosition() {
  ponderMove = 0;
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
}

// A stored move can only be remade when it moves a piece of the side to move
// from a playing square to a playing square that is empty or holds an enemy
// piece other than the king. A game file that does not fit its start position
// fails here instead of corrupting the position.
bool StoredMoveFits(Move move) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  if (from >= kBoardSize || to >= kBoardSize || !onBoard[from] || !onBoard[to]) return false;
  const int mover = board[from];
  if (mover <= 0) return false;
  if ((mover > 16 ? kBlack : kRed) != sideToMove) return false;
  const int victim = board[to];
  if (victim == 0) return true;
  if ((victim > 16) == (mover > 16)) return false;
  return pieceTypeOf[victim] != kKing;
}

}  // namespace

int TakeBackOne() {
  if (gamePly <= 0) return 0;
  --gamePly;
  historyBase = &history[gamePly + 1];
  historyPly = 1;
  UnmakeMove();
  historyPly = 0;
  ShowEnginePosition();
  return 1;
}

void TakeBackAll() {
  while (TakeBackOne()) {
  }
}

int ReplayOne() {
  if (gamePly >= gameLength) return 0;
  HistoryRecord& r = history[gamePly + 1];
  if (!StoredMoveFits(r.move)) return 0;
  historyPly = 0;
  historyBase = &r;
  if (!MakeMove(r.move, static_cast<int32_t>(FindChecker(sideToMove)))) return 0;
  ++gamePly;

  const PieceIndex moved = static_cast<PieceIndex>(board[MoveTo(r.move)]);
  FormatWxfMove(r.move, r.wxfText, '.', moved, 0);
  FormatWxfMove(r.move, r.wxfTextChinese, '.', moved, 1);
  FormatWxfMove(r.move, r.axfText, '=', moved, 0);
  FormatWxfMove(r.move, r.axfTextChinese, '=', moved, 1);

  ShowEnginePosition();
  r.extended = 0;
  const int32_t opening = FindOpeningName(displayBoard);
  if (opening != 0) currentOpening = opening;
  return 1;
}

void ReplayAll() {
  while (ReplayOne()) {
  }
}
