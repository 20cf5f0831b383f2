// Pieces that move on the screen: the slide of a piece from square to square
// (the engine's moves and the hint), the hint that slides the suggested
// piece there and back, the redraw of single squares, and the user's move
// that the engine was pondering on.
#include <QThread>
#include <algorithm>
#include <cstdlib>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/game_clock.h"
#include "game/shown_ply.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

constexpr int32_t kHintPauseMs = 1000;
constexpr int32_t kHalfTransparent = 128;
constexpr int32_t kOpaque = 255;

// The sprite cell of a piece: red king .. pawn in cells 0..6, black in 7..13.
int32_t PieceCell(int32_t piece) {
  const int32_t type = static_cast<int32_t>(pieceTypeOf[piece]);
  return piece <= 16 ? 7 - type : 14 - type;
}

int32_t Sign(int32_t v) { return (v > 0) - (v < 0); }

Square SquareAt(int32_t column, int32_t row) { return static_cast<Square>(171 - 16 * column - row); }

// Display column and row of a square.
int32_t ColumnOf(Square s) { return 8 - FileOf(s); }
int32_t RowOf(Square s) { return 9 - RankOf(s); }

}  // namespace

int32_t CMainFrame::DrawEmptySquare(int32_t column, int32_t row) {
  if (boardBitmap == nullptr || boardView_ == nullptr) return 1;
  const int32_t s = squareSize;
  int32_t x, y;
  SquareToPixel(column, row, x, y);
  if (x < s / 2 || y < s / 2) return 0;
  CDC dc = boardView_->GetClientDC();
  boardBitmap->Draw(dc, x - 2, y - 2 + toolbarBandHeight, x - 2, y - 2, x + s, y + s);
  const CRect shown{x - 2, y - 2 + toolbarBandHeight, x + s, y + s + toolbarBandHeight};
  boardView_->UpdateNow(&shown);
  return 1;
}

void CMainFrame::RedrawSquare(int32_t column, int32_t row) {
  if (column < 0 || column > 8 || row < 0 || row > 9 || boardView_ == nullptr) return;
  const int32_t piece = displayBoard[SquareAt(column, row)];
  if (piece <= 0) {
    DrawEmptySquare(column, row);
    return;
  }
  CDC dc = boardView_->GetClientDC();
  DrawPieceAt(dc, piece, column, row, 1, nullptr);
  int32_t x, y;
  SquareToPixel(column, row, x, y);
  const int32_t s = squareSize;
  const CRect shown{x - 2, y - 2 + toolbarBandHeight, x + s + 2, y + s + 6 + toolbarBandHeight};
  boardView_->UpdateNow(&shown);
}

void CMainFrame::AnimateSlide(int32_t cell, CPoint from, CPoint to) {
  if (pieceStrip == nullptr || boardView_ == nullptr) return;
  CDC dc = boardView_->GetClientDC();
  const int32_t w = pieceStrip->GetCellWidth(), h = pieceStrip->GetCellHeight();
  // Shows the union of the sprite's old and new places at once.
  auto show = [&](int32_t oldX, int32_t oldY) {
    const int32_t nx = pieceStrip->GetLastX(), ny = pieceStrip->GetLastY();
    const CRect r{std::min(oldX, nx), std::min(oldY, ny), std::max(oldX, nx) + w,
                  std::max(oldY, ny) + h};
    boardView_->UpdateNow(&r);
  };

  int32_t dx = Sign(to.x - from.x), dy = Sign(to.y - from.y);
  const int32_t base = boardSizeIndex == 2 ? 2 : 1;
  const int32_t step = alphaFactor == kHalfTransparent ? 3 * base
                       : animationSpeed != 0           ? 2 * base
                                                       : base;
  slideStep = step;
  const int32_t distance = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
  int32_t stepX = step, stepY = step, count = distance / step + step;
  if (distance <= step) stepX = stepY = count = distance;

  const bool slow = animationSpeed == 1;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t x = pieceStrip->GetLastX(), y = pieceStrip->GetLastY();
    if (x == to.x) dx = 0;
    if (y == to.y) dy = 0;
    if (slow && alphaFactor != kHalfTransparent) QThread::msleep(1);
    const int32_t restX = std::abs(to.x - x), restY = std::abs(to.y - y);
    if (restX < slideStep) stepX = restX != 0 ? restX : 1;
    if (restY < slideStep) stepY = restY != 0 ? restY : 1;
    pieceStrip->MoveCell(dc, x + dx * stepX, y + dy * stepY, cell, slow ? alphaFactor : kOpaque);
    show(x, y);
  }
  const int32_t x = pieceStrip->GetLastX(), y = pieceStrip->GetLastY();
  pieceStrip->MoveCell(dc, to.x, to.y, cell, kOpaque);
  show(x, y);
}

void CMainFrame::SlidePiece(int32_t piece, int32_t fromColumn, int32_t fromRow, int32_t toColumn,
                            int32_t toRow) {
  if (isMinimized() || pieceStrip == nullptr || boardView_ == nullptr || piece < 1 || piece > 32)
    return;
  // The picture must be current before the sprite saves what lies beneath.
  boardView_->PaintPending();
  DrawEmptySquare(fromColumn, fromRow);
  const int32_t cell = PieceCell(piece);
  const int32_t s = squareSize;
  auto corner = [&](int32_t column, int32_t row) {
    int32_t x, y;
    SquareToPixel(column, row, x, y);
    return CPoint{x + s / 2 - pieceStrip->GetWidth() / 14,
                  y + s / 2 - pieceStrip->GetHeight() / 4 + toolbarBandHeight};
  };
  const CPoint start = corner(fromColumn, fromRow), end = corner(toColumn, toRow);
  CDC dc = boardView_->GetClientDC();
  pieceStrip->SaveBackground(dc, start.x, start.y, cell);
  AnimateSlide(cell, start, end);
  if (toColumn >= 0 && toColumn <= 8 && toRow >= 0 && toRow <= 9 &&
      displayBoard[SquareAt(toColumn, toRow)] != 0) {
    // The piece standing there (a capture, or the moved piece itself) must
    // not show through the sprite.
    DrawEmptySquare(toColumn, toRow);
    pieceStrip->DrawCell(dc, end.x, end.y, cell, kOpaque);
    const CRect shown{end.x, end.y, end.x + pieceStrip->GetCellWidth(),
                      end.y + pieceStrip->GetCellHeight()};
    boardView_->UpdateNow(&shown);
  }
}

bool CMainFrame::OnHint() {
  if (engineState == kEngineThinking || HintSearchRunning()) return true;
  // A move the user makes while the hint's search runs stops the search,
  // as it stops a ponder: the move is made and answered before the search
  // returns, and the hint, for the position before the move, is not shown.
  if (ponderMove == 0 && !HintSearch()) return false;
  const Move hint = static_cast<Move>(ponderMove);
  if (hint == 0) {
    if (engineState != kEngineThinkingNoBook)
      ShowMessageBox(this, DecodeLanguageText(Tr(kTextNoClue), currentLanguage));
    return true;
  }
  const Square from = MoveFrom(hint), to = MoveTo(hint);
  const int32_t piece = displayBoard[from];
  SlidePiece(piece, ColumnOf(from), RowOf(from), ColumnOf(to), RowOf(to));
  if (hintPauseHook != nullptr)
    hintPauseHook(kHintPauseMs);
  else
    QThread::msleep(kHintPauseMs);
  SlidePiece(piece, ColumnOf(to), RowOf(to), ColumnOf(from), RowOf(from));
  if (boardView_ != nullptr) boardView_->Invalidate();
  // A ponder search goes on after the hint: its arrows, which the slide
  // painted over, are drawn again on the repainted board.
  drawnPonderMove = drawnBestMove = drawnBestReply = 0;
  DrawComputingMoves();
  return true;
}

void CMainFrame::PlayPredictedMove() {
  const Move move = static_cast<Move>(ponderMove);
  const Square from = MoveFrom(move), to = MoveTo(move);
  displayBoard[to] = displayBoard[from];
  displayBoard[from] = 0;
  shownSideToMove = 1 - shownSideToMove;
  ShownGameAdvance();
  if (boardView_ != nullptr) boardView_->Invalidate();
  if (shownInCheck != 0) PlaySoundResource(kSoundCheck);
  engineState = kEngineThinking;
  gameClock.SwitchSide(static_cast<int32_t>(shownSideToMove));
  if (levelMode != kLevelMovesInTime) moveTimeLimitMs = static_cast<uint32_t>(thinkingTime);
  sourceColumn = ColumnOf(from);
  sourceRow = RowOf(from);
  targetColumn = ColumnOf(to);
  targetRow = RowOf(to);
  RedrawSquare(sourceColumn, sourceRow);
  RedrawSquare(targetColumn, targetRow);
  sourceColumn = -1;
  targetColumn = -1;
  // The user's move is the last move played now, in the move list and in
  // the comments window too.
  RefreshGameWindows();
}
