// The user's moves with the left mouse button: a piece is dragged and
// dropped, or clicked and then its target clicked. The move is checked,
// made and recorded, and the engine answers; while the engine ponders or
// analyses, the move is handed to the running search instead.
#include <algorithm>
#include <iterator>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/opening_names.h"
#include "engine/search/time_control.h"
#include "game/comments.h"
#include "game/game_clock.h"
#include "platform/sound.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

// The engine polls the interface this often (in nodes) while a piece is
// held, and less often otherwise.
constexpr int32_t kPollWhileHeld = 150;
constexpr int32_t kPollNormally = 1500;

int32_t PieceCell(int32_t piece) {
  const int32_t type = static_cast<int32_t>(pieceTypeOf[piece]);
  return piece <= 16 ? 7 - type : 14 - type;
}

Square SquareAt(int32_t column, int32_t row) { return static_cast<Square>(171 - 16 * column - row); }

}  // namespace

bool CMainFrame::PointToSquare(int32_t x, int32_t y, int32_t& column, int32_t& row) const {
  const int32_t s = squareSize, h = s / 2;
  const int32_t c = (x - h) / s;
  const int32_t r = (y - toolbarBandHeight - coordinateBand - h) / s;
  // Mirror alone or rotation alone reverses the columns; both restore them.
  column = rotation != mirror ? 8 - c : c;
  row = rotation != 0 ? r : 9 - r;
  return c >= 0 && c <= 8 && r >= 0 && r <= 9;
}

void CMainFrame::OnLButtonDblClk(uint32_t, int32_t, int32_t) {}

void CMainFrame::OnLButtonDown(uint32_t flags, int32_t x, int32_t y) {
  if (inputMode == 0 && setupMode == 0 && heldPiece != -1) {
    // The second click of click and click acts as the release.
    OnLButtonUp(flags, x, y);
    return;
  }
  int32_t column, row;
  const bool onBoard = PointToSquare(x, y, column, row);
  if (engineState == kEngineThinking || engineState == kEngineThinkingNoBook) {
    // A piece dragged while the engine thinks is refused where it is let go.
    pressedWhileThinking_ = inputMode == 1 && onBoard && displayBoard[SquareAt(column, row)] > 0;
    pressColumn_ = column;
    pressRow_ = row;
    return;
  }
  pollInterval = kPollWhileHeld;
  sourceColumn = column;
  sourceRow = row;
  // Set-up mode: the palette and its buttons first, then a piece of
  // either side on the board.
  if (setupMode != 0 && PickFromSetupPalette(x, y)) return;
  if (!onBoard || pieceStrip == nullptr || boardView_ == nullptr) {
    sourceColumn = -1;
    return;
  }
  const int32_t piece = displayBoard[SquareAt(column, row)];
  if (piece <= 0) return;
  if (setupMode == 0 && (piece <= 16) != (shownSideToMove == kRed)) {
    sourceColumn = -1;  // only the side to move may be taken
    return;
  }
  heldCell = PieceCell(piece);
  if (inputMode == 1) {
    // The picture must be current before the sprite saves what lies beneath.
    boardView_->PaintPending();
    if (DrawEmptySquare(column, row) == 0) return;
    heldPiece = piece;
    const int32_t s = squareSize;
    int32_t px, py;
    SquareToPixel(column, row, px, py);
    const int32_t cx = px + s / 2 - pieceStrip->GetWidth() / 14;
    const int32_t cy = py + s / 2 - pieceStrip->GetHeight() / 4 + toolbarBandHeight;
    CDC dc = boardView_->GetClientDC();
    pieceStrip->DrawCell(dc, cx, cy, heldCell, 255);
    const CRect shown{cx, cy, cx + pieceStrip->GetCellWidth(), cy + pieceStrip->GetCellHeight()};
    boardView_->UpdateNow(&shown);
  } else {
    heldPiece = piece;
    ignoreButtonUp = 1;
    CDC dc = boardView_->GetClientDC();
    DrawSquareMarker(dc, column, row, 1, 1);
    boardView_->UpdateNow();
  }
}

void CMainFrame::OnMouseMove(uint32_t, int32_t x, int32_t y) {
  if (heldPiece < 0 || inputMode != 1 || pieceStrip == nullptr || boardView_ == nullptr) return;
  const int32_t s = squareSize;
  const int32_t oldX = pieceStrip->GetLastX(), oldY = pieceStrip->GetLastY();
  CDC dc = boardView_->GetClientDC();
  pieceStrip->MoveCell(dc, x - s / 2, y - s / 2, heldCell, alphaFactor);
  const int32_t nx = pieceStrip->GetLastX(), ny = pieceStrip->GetLastY();
  const CRect shown{std::min(oldX, nx), std::min(oldY, ny),
                    std::max(oldX, nx) + pieceStrip->GetCellWidth(),
                    std::max(oldY, ny) + pieceStrip->GetCellHeight()};
  boardView_->UpdateNow(&shown);
}

void CMainFrame::RefuseUserMove() {
  sourceColumn = -1;
  targetColumn = -1;
  if (boardView_ != nullptr) boardView_->Invalidate();
  PlaySoundResource(kSoundRefusedMove);
}

void CMainFrame::OnLButtonUp(uint32_t, int32_t x, int32_t y) {
  if (engineState == kEngineThinking) {
    // A second move while the engine thinks (its piece taken before the
    // think began, or dragged during it) is refused with its sound.
    int32_t column, row;
    const bool elsewhere =
        !PointToSquare(x, y, column, row) || column != pressColumn_ || row != pressRow_;
    if (heldPiece != -1 || (pressedWhileThinking_ && elsewhere)) {
      heldPiece = -1;
      RefuseUserMove();
    }
    pressedWhileThinking_ = false;
    return;
  }
  if (setupMode != 0) {
    DropSetupPiece(x, y);
    return;
  }
  pollInterval = kPollNormally;
  if (ignoreButtonUp == 1) {
    ignoreButtonUp = 0;
    return;
  }
  if (heldPiece == -1) return;
  int32_t column, row;
  if (!PointToSquare(x, y, column, row)) {
    heldPiece = -1;
    sourceColumn = -1;
    if (boardView_ != nullptr) boardView_->Invalidate();
    PlaySoundResource(kSoundRefusedMove);
    return;
  }
  targetColumn = column;
  targetRow = row;
  if (inputMode == 1 && pieceStrip != nullptr && boardView_ != nullptr) {
    const int32_t s = squareSize;
    int32_t px, py;
    SquareToPixel(column, row, px, py);
    const int32_t oldX = pieceStrip->GetLastX(), oldY = pieceStrip->GetLastY();
    CDC dc = boardView_->GetClientDC();
    pieceStrip->MoveCell(dc, px + s / 2 - pieceStrip->GetWidth() / 14,
                         py + s / 2 - pieceStrip->GetHeight() / 4 + toolbarBandHeight, heldCell,
                         255);
    const CRect shown{std::min(oldX, pieceStrip->GetLastX()), std::min(oldY, pieceStrip->GetLastY()),
                      std::max(oldX, pieceStrip->GetLastX()) + pieceStrip->GetCellWidth(),
                      std::max(oldY, pieceStrip->GetLastY()) + pieceStrip->GetCellHeight()};
    boardView_->UpdateNow(&shown);
  }
  heldPiece = -1;
  if (targetColumn == sourceColumn && targetRow == sourceRow) {
    // The piece is put back.
    sourceColumn = -1;
    if (boardView_ != nullptr) boardView_->Invalidate();
    return;
  }
  if (sourceColumn == -1 || targetColumn == -1) {
    RefuseUserMove();
    return;
  }
  const Move move =
      MakeMoveCode(SquareAt(sourceColumn, sourceRow), SquareAt(targetColumn, targetRow));
  // The game record holds kMaxGameMoves moves and the searches' plies
  // behind them: no move beyond that.
  // A move already waits for the search to unwind, or a command given just
  // before (New game, Left, the options sheet, a close...) does: the board
  // no longer shows, or is about to leave, the position this one would be
  // played on. The command keeps its turn and the move is refused.
  if (GameRecordFull() || UserMoveWaiting() || CommandWaitsForSearch() ||
      !CheckUserMove(move, displayBoard, shownSideToMove, 1)) {
    RefuseUserMove();
    return;
  }
  switch (engineState) {
    case kEngineIdle:
      PlayUserMove(move);
      return;
    case kEnginePondering:
      if (move == static_cast<Move>(ponderMove)) {
        PlayPredictedMove();
        const int32_t opening = FindOpeningName(displayBoard);
        if (opening != 0) currentOpening = opening;
        return;
      }
      [[fallthrough]];
    case kEngineAnalysing:
      // The search (a ponder, or the hint's search) unwinds and its
      // completion plays the move, switching the clock once the move has
      // been made; what the user gives meanwhile waits for the move
      // (commands_after_move.h).
      HandUserMoveToSearch(move);
      sourceColumn = -1;
      targetColumn = -1;
      return;
    default:
      return;
  }
}

bool CMainFrame::PlayUserMove(Move move) {
  const bool keep = gamePly < gameLength && history[gamePly + 1].move == move;
  const int32_t storedLength = gameLength;
  if (!MakeMoveAfterShownPly(move)) {
    RefuseUserMove();
    return false;
  }
  std::copy(std::begin(board), std::end(board), std::begin(displayBoard));
  shownSideToMove = sideToMove;
  // The move's record is complete with its notation texts; a user's move
  // carries no engine score.
  RecordMadeMove();
  // Replaying the game's own next move keeps the rest of the game.
  if (keep) gameLength = std::max(storedLength, gamePly);

  RedrawSquare(sourceColumn, sourceRow);
  RedrawSquare(targetColumn, targetRow);
  sourceColumn = -1;
  targetColumn = -1;
  if (boardView_ != nullptr) boardView_->Invalidate();
  PlaySoundResource(FindChecker(sideToMove) != 0 ? kSoundCheck : kSoundMove);
  RefreshGameWindows();
  const int32_t opening = FindOpeningName(displayBoard);
  if (opening != 0) currentOpening = opening;
  if (inputMode == 0) ignoreButtonUp = 1;
  ponderMove = 0;
  gameClock.SwitchSide(static_cast<int32_t>(sideToMove));
  if ((enginePlaysSide1 == 1 && sideToMove == kBlack) ||
      (enginePlaysSide0 == 1 && sideToMove == kRed)) {
    if (levelMode == kLevelTimePerMove) searchDepth = 200;
    Think(kThinkPlay, 0);
  }
  return true;
}
