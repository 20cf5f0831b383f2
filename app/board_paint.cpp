// The board painter: the displayed position over the board picture (pieces,
// the last move's marks, iron pawns, side-to-move discs and move number, the
// set-up palette), the square geometry under rotation and mirror, the
// view's paint, and the arrows of the engine's current line while it thinks.
#include <QPalette>
#include <algorithm>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "game/shown_ply.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "platform/services.h"

namespace {

constexpr COLORREF kSquareMarkerColour = 0xF01414;
constexpr COLORREF kMoveNumberColour = 0x00000A;
constexpr COLORREF kPonderArrowColour = 0x00FAFA;

bool IsBoardSquare(Square sq) { return sq >= kFirstSquare && sq <= kLastSquare && RankOf(sq) <= 9; }

// The square of display column c and row r.
Square SquareAt(int column, int row) { return static_cast<Square>(171 - 16 * column - row); }

// The sprite cell of a piece: red king .. pawn in cells 0..6, black in 7..13.
int PieceCell(int piece) {
  const int type = static_cast<int>(pieceTypeOf[piece]);
  return piece <= 16 ? 7 - type : 14 - type;
}

bool Intersects(const CRect& a, const CRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

CRect Intersection(const CRect& a, const CRect& b) {
  CRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

}  // namespace

void CMainFrame::SquareToPixel(int32_t column, int32_t row, int32_t& x, int32_t& y) const {
  const int s = squareSize;
  // Mirror alone or rotation alone reverses the columns; both restore them.
  const int across = rotation != mirror ? 8 - column : column;
  const int down = rotation != 0 ? row : 9 - row;
  x = s / 2 + s * across;
  y = s / 2 + coordinateBand + s * down;
}

Move CMainFrame::LastShownMove() const {
  // While the engine ponders, the newest ply is its predicted move, which
  // the board does not show (until the user plays it or it is taken back).
  return CurrentShownGame().lastMove;
}

void CMainFrame::RenderBoard(CDC& dc, const CRect* clip, int32_t noIndicators) {
  const int s = squareSize, band = coordinateBand;
  const CRect client = boardView_ != nullptr
                           ? CRect{0, 0, boardView_->width(), boardView_->height()}
                           : CRect{0, 0, 13 * s, toolbarBandHeight + 12 * s + band};
  const CRect area = clip != nullptr ? *clip : client;
  if (boardBitmap != nullptr) {
    const int top = area.top - toolbarBandHeight, bottom = area.bottom - toolbarBandHeight;
    boardBitmap->Draw(dc, area.left, top, area.left, top, area.right, bottom);
  }

  const Move last = LastShownMove();
  for (int c = 0; c <= 8; ++c) {
    for (int r = 0; r <= 9; ++r) {
      const Square sq = SquareAt(c, r);
      const int piece = displayBoard[sq];
      if (piece > 0) {
        DrawPieceAt(dc, piece, c, r, 0, clip);
      } else if (last != 0 && sq == MoveFrom(last)) {
        DrawSquareMarker(dc, c, r, 0, 0);
      }
    }
  }
  if (noIndicators == 0) DrawSideToMoveMarks(dc);
  if (setupMode == 0 || pieceStrip == nullptr) return;

  // The set-up palette: one box per kind and side, full strength when a
  // piece of that kind is off the board; then the three buttons.
  // Read from the shown board: the working position may be a search's.
  uint32_t shown[33] = {};
  for (int sq = 0; sq < kBoardSize; ++sq) {
    const int piece = displayBoard[sq];
    if (piece >= 1 && piece <= 32) shown[piece] = static_cast<uint32_t>(sq);
  }
  uint32_t captured[14];
  ListCapturedPiecesOf(shown, captured);
  for (int i = 1; i <= 6; ++i) {
    const int y = s / 2 + band + (s + 5) * (i - 1);
    const struct {
      int x, cell;
      bool off;
    } boxes[2] = {{10 * s + s / 2 + 4, i, captured[7 - i] != 0},
                  {11 * s + s / 2 + 4, i + 7, captured[14 - i] != 0}};
    for (const auto& box : boxes) {
      pieceStrip->DrawCellShadow(dc, box.x + 3, y + 3, box.cell, 80);
      pieceStrip->DrawCellBlended(dc, box.x, y, box.cell, box.off ? 255 : 192);
    }
  }
  const bool big = boardSizeIndex == 2;
  CSpriteStrip* emptyBoard = (big ? emptyBoardBig : emptyBoardSmall).get();
  CSpriteStrip* endSetup = (big ? endSetupBig : endSetupSmall).get();
  CSpriteStrip* cancelSetup = (big ? cancelSetupBig : cancelSetupSmall).get();
  const int left = 10 * s + s / 2 + 4, right = 11 * s + s / 2 + 4;
  if (emptyBoard != nullptr) {
    const int y = 6 * s + s / 2 + band + 30;
    emptyBoard->DrawCellShadow(dc, left + 3, y + 3, 0, 80);
    emptyBoard->DrawCellBlended(dc, left, y, 0, 255);
  }
  const int buttonsY = 7 * s + s / 2 + band + 35;
  if (endSetup != nullptr) endSetup->DrawCellBlended(dc, left, buttonsY, 0, 255);
  if (cancelSetup != nullptr) cancelSetup->DrawCellBlended(dc, right, buttonsY, 0, 255);
}

void CMainFrame::DrawPieceAt(CDC& dc, int32_t piece, int32_t column, int32_t row, int32_t inWindow,
                             const CRect* clip) {
  if (pieceStrip == nullptr || piece < 1 || piece > 32 || column < 0 || column > 8 || row < 0 ||
      row > 9)
    return;
  const int s = squareSize;
  int x, y;
  SquareToPixel(column, row, x, y);
  // A square wholly outside the painted rectangle (client coordinates) is
  // left alone; the marker's lower bars reach a few pixels below it.
  if (clip != nullptr &&
      !Intersects(*clip, CRect{x, y + toolbarBandHeight, x + s, y + toolbarBandHeight + s + 4}))
    return;
  if (inWindow != 0) y += toolbarBandHeight;
  pieceStrip->DrawCell(dc, x + s / 2 - pieceStrip->GetWidth() / 14,
                       y + s / 2 - pieceStrip->GetHeight() / 4, PieceCell(piece), 255);

  const bool pawn = pieceTypeOf[piece] == kPawn;
  const bool red = piece <= 16;
  const bool iron =
      pawn && column == 4 &&
      ((red && redIronPawn != 0 && row == 3) || (!red && blackIronPawn != 0 && row == 6));
  if (iron && ironPawnMarker != nullptr) {
    ironPawnMarker->DrawCellBlended(dc, x + s / 2 - ironPawnMarker->GetCellWidth() / 2,
                                    y + s / 2 - ironPawnMarker->GetCellHeight() / 2, 0, 255);
  }
  const Move last = LastShownMove();
  if (last != 0 && SquareAt(column, row) == MoveTo(last))
    DrawSquareMarker(dc, column, row, inWindow, 1);
}

void CMainFrame::DrawSquareMarker(CDC& dc, int32_t column, int32_t row, int32_t inWindow,
                                  int32_t large) {
  const int s = squareSize;
  const int t = boardSizeIndex == 2 ? 3 : 2;
  const int m = large != 0 ? 9 * s / 10 : 8 * s / 10;
  const int o = (s - m) / 2;
  const int bar = m / 6;
  int x, y;
  SquareToPixel(column, row, x, y);
  const int x0 = x + o;
  const int y0 = y + o + (inWindow != 0 ? toolbarBandHeight : 0);
  // Two bars at each corner; the lower horizontal ones lie just below the
  // mark's square.
  const CRect bars[8] = {{x0, y0, x0 + t, y0 + bar},
                         {x0, y0, x0 + bar, y0 + t},
                         {x0 + m - bar, y0, x0 + m, y0 + t},
                         {x0 + m - t, y0, x0 + m, y0 + bar},
                         {x0 + m - t, y0 + m - bar, x0 + m, y0 + m},
                         {x0 + m - bar, y0 + m, x0 + m, y0 + m + t},
                         {x0, y0 + m - bar, x0 + t, y0 + m},
                         {x0, y0 + m, x0 + bar, y0 + m + t}};
  const CBrush brush = CBrush::Solid(kSquareMarkerColour);
  for (const CRect& r : bars) dc.FillRect(r, brush);
}

void CMainFrame::DrawSideToMoveMarks(CDC& dc) {
  if (setupMode != 0 || redDisc == nullptr || blackDisc == nullptr) return;
  const int s = squareSize;
  const int x = 9 * s + s / 2;
  const int upperY = s - s / 2, lowerY = 10 * s;
  const bool turned = rotation != 0;
  struct Disc {
    CSpriteStrip* sprite;
    int y;
    bool lit;
  };
  const Disc discs[2] = {{blackDisc.get(), turned ? lowerY : upperY, shownSideToMove == kBlack},
                         {redDisc.get(), turned ? upperY : lowerY, shownSideToMove == kRed}};
  for (const Disc& d : discs) {
    if (d.lit) {
      d.sprite->DrawCellBlended(dc, x + 3, d.y + 3, 0, 60);
      d.sprite->DrawCellBlended(dc, x, d.y, 0, 200);
    } else {
      d.sprite->DrawCellBlended(dc, x, d.y, 0, 60);
    }
  }
  DrawCenteredText(dc, CRect{9 * s, 0, 10 * s, 2 * s / 3}, QString::number((ShownPly() + 1) / 2),
                   10, kMoveNumberColour);
}

namespace {

// One arrow from the centre of the move's from-square to that of its
// to-square, in client coordinates, coloured by the moving piece's side; a
// move whose from-square is empty on the shown board gets none.
void DrawMoveArrow(CMainFrame& frame, CDC& dc, Move move, int width, COLORREF redColour,
                   COLORREF blackColour) {
  const Square from = MoveFrom(move), to = MoveTo(move);
  if (!IsBoardSquare(from) || !IsBoardSquare(to)) return;
  const int piece = displayBoard[from];
  if (piece <= 0) return;
  const int s = frame.squareSize, half = s / 2;
  int x1, y1, x2, y2;
  frame.SquareToPixel(8 - FileOf(from), 9 - RankOf(from), x1, y1);
  frame.SquareToPixel(8 - FileOf(to), 9 - RankOf(to), x2, y2);
  DrawArrowPolygon(dc, piece <= 16 ? redColour : blackColour, x1 + half,
                   y1 + toolbarBandHeight + half, x2 + half, y2 + toolbarBandHeight + half, width);
}

}  // namespace

void CMainFrame::DrawComputingMoves() {
  if (boardView_ == nullptr || showComputingMoves == 0 || heldPiece != -1) return;
  // Every new set of arrows starts from a freshly painted board.
  auto repaintBoard = [this] {
    boardView_->Invalidate();
    boardView_->PaintPending();
  };
  bool drawn = false;
  if (engineState == kEnginePondering && ponderMove != 0 &&
      (analysisBestMove != drawnBestMove || static_cast<Move>(ponderMove) != drawnPonderMove)) {
    repaintBoard();
    CDC dc = boardView_->GetClientDC();
    DrawMoveArrow(*this, dc, static_cast<Move>(ponderMove), 2, kPonderArrowColour,
                  kPonderArrowColour);
    if (analysisBestMove != 0) DrawMoveArrow(*this, dc, analysisBestMove, 5, 0x1414F0, 0xF01414);
    drawnPonderMove = static_cast<Move>(ponderMove);
    drawnBestMove = analysisBestMove;
    drawn = true;
  }
  const bool thinking = engineState == kEngineThinking || engineState == kEngineThinkingNoBook ||
                        engineState == kEngineAnalysing;
  if (thinking && (analysisReply != drawnBestReply || analysisBestMove != drawnBestMove)) {
    repaintBoard();
    CDC dc = boardView_->GetClientDC();
    DrawMoveArrow(*this, dc, analysisBestMove, 5, 0x3232FA, 0xFA3232);
    DrawMoveArrow(*this, dc, analysisReply, 3, 0x3232FA, 0xFA3232);
    drawnBestMove = analysisBestMove;
    drawnBestReply = analysisReply;
    drawn = true;
  }
  if (drawn) boardView_->UpdateNow();
}

void CMainFrame::OnPaint(const CRect& paintRect) {
  if (boardView_ == nullptr) return;
  QImage& surface = boardView_->Surface();
  CDC client(&surface);

  // A piece held by the mouse is lifted off first and put back last.
  const bool dragging = inputMode == 1 && heldPiece != -1 && pieceStrip != nullptr;
  const int heldX = dragging ? pieceStrip->GetLastX() : 0;
  const int heldY = dragging ? pieceStrip->GetLastY() : 0;
  if (dragging) pieceStrip->RestoreBackground(client, heldCell);

  if (boardBitmap == nullptr) Relayout(1);
  const CRect area = Intersection(paintRect, CRect{0, 0, surface.width(), surface.height()});
  if (area.Width() > 0 && area.Height() > 0) {
    const int band = toolbarBandHeight;
    // The band beside the toolbars shows the window's background.
    if (area.top < band) {
      const QColor ground = boardView_->palette().color(QPalette::Window);
      client.FillRect(CRect{area.left, area.top, area.right, std::min(area.bottom, band)},
                      CBrush::Solid(RGB(ground.red(), ground.green(), ground.blue())));
    }
    if (backBuffer != nullptr && !backBuffer->isNull()) {
      CDC memory(backBuffer);
      RenderBoard(memory, &area, 0);
      // Only the painted rectangle of the composed board is shown.
      const CSize size = BoardAreaSize();
      const CRect board{0, band, size.cx, band + size.cy};
      const CRect shown = Intersection(area, board);
      client.BitBlt(shown.left, shown.top, shown.Width(), shown.Height(), memory, shown.left,
                    shown.top - band, SRCCOPY);
    } else if (surface.height() > band) {
      // Without a back buffer the board is drawn in place below the band,
      // whole, so that nothing is blended twice.
      QImage below(surface.scanLine(band), surface.width(), surface.height() - band,
                   surface.bytesPerLine(), QImage::Format_RGB32);
      CDC direct(&below);
      RenderBoard(direct, nullptr, 0);
    }
  }
  if (dragging) pieceStrip->DrawCell(client, heldX, heldY, heldCell, 128);
}
