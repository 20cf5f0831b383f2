// The board view's layout: the square size, the board picture (texture or
// plain colour, grid, river, point marks, frame, bevel, coordinates, names
// and the set-up watermark), the frame's size around it, the piece strips of
// each set and size, the markers, and the design toolbar's drop-down menus.
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>
#include <string>
#include <utility>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "game/header.h"
#include "game/notation.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/toolbar.h"
#include "res/artwork/artwork_ids.h"
#include "res/menus.h"
#include "res/text_rows.h"

namespace {

using namespace artwork;

// Defaults for a style, set, size index or coordinate kind outside its range.
constexpr int kDefaultBoardStyle = 7;
constexpr int kDefaultPieceSet = 2;
constexpr int kDefaultSizeIndex = 1;
constexpr int kDefaultCoordinateKind = 0;
constexpr int kPlainStyleCount = 6;
constexpr int kSmallSquare = 30;
constexpr int kMediumSquare = 38;
constexpr int kBigSquare = 56;
constexpr COLORREF kInkColour = 0x282828;

// Texture of each board style; the plain colours (styles 0..5) have none.
constexpr int kStyleTextures[kBoardStyleCount] = {0,
                                                  0,
                                                  0,
                                                  0,
                                                  0,
                                                  0,
                                                  kBitmapOakWood,
                                                  kBitmapDeepOcean,
                                                  kBitmapGreeny,
                                                  kBitmapRosePaper,
                                                  kBitmapTekWood,
                                                  kBitmapRedMarble,
                                                  kBitmapMerisierWood,
                                                  kBitmapSteel,
                                                  kBitmapNervyWood,
                                                  kBitmapGreenMarble,
                                                  kBitmapGreenLeather,
                                                  kBitmapWalnutWood,
                                                  kBitmapGreyStone,
                                                  kBitmapParchment,
                                                  kBitmapMapleWood,
                                                  kBitmapCork};

// Piece strips by size index (small, medium, big) and piece set 1..4. The
// small board has no strip of simple graphics and shows the basic set.
constexpr int kPieceStrips[3][kPieceSetCount] = {
    {kBitmapPiecesBasicSmall, kBitmapPiecesOldPemmetSmall, kBitmapPiecesSepaSmall,
     kBitmapPiecesBasicSmall},
    {kBitmapPiecesBasicMedium, kBitmapPiecesOldPemmetMedium, kBitmapPiecesSepaMedium,
     kBitmapPiecesSimpleMedium},
    {kBitmapPiecesBasicBig, kBitmapPiecesOldPemmetBig, kBitmapPiecesSepaBig,
     kBitmapPiecesSimpleBig}};

int ValidStyle(int style) {
  return style >= 0 && style < kBoardStyleCount ? style : kDefaultBoardStyle;
}
int ValidSizeIndex(int index) { return index >= 0 && index <= 2 ? index : kDefaultSizeIndex; }
int ValidPieceSet(int set) { return set >= 1 && set <= kPieceSetCount ? set : kDefaultPieceSet; }
int ValidCoordinateKind(int kind) {
  return kind >= 0 && kind < kCoordinateKindCount ? kind : kDefaultCoordinateKind;
}

std::unique_ptr<CSpriteStrip> LoadSprite(CDC* dc, int id, int columns = 1, int rows = 1) {
  return std::make_unique<CSpriteStrip>(dc, QString::number(id), QString(), columns, rows, true, 0);
}

// The set-up watermark's colour: each byte of the plain colour less a tenth
// of itself, with red and blue exchanged; the ink colour on a texture.
COLORREF WatermarkColour(int style) {
  if (style < 0 || style >= kPlainStyleCount) return kInkColour;
  const COLORREF c = plainBoardColours[style];
  COLORREF b[3];
  for (int k = 0; k < 3; ++k) {
    const COLORREF v = (c >> (8 * k)) & 0xFF;
    b[k] = v - v / 10;
  }
  return b[2] | (b[1] << 8) | (b[0] << 16);
}

void DrawLine(CDC& dc, int x1, int y1, int x2, int y2) {
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
}

// A line of the 2-pixel grid pen. Across and along the board the line runs
// one pixel past both ends, as a round-capped pen does, so that lines
// meeting at a corner close it.
void DrawGridLine(CDC& dc, int x1, int y1, int x2, int y2) {
  if (y1 == y2 && x1 != x2) {
    const int step = x1 < x2 ? 1 : -1;
    DrawLine(dc, x1 - step, y1, x2 + step, y2);
  } else if (x1 == x2 && y1 != y2) {
    const int step = y1 < y2 ? 1 : -1;
    DrawLine(dc, x1, y1 - step, x2, y2 + step);
  } else {
    DrawLine(dc, x1, y1, x2, y2);
  }
}

void DrawGridPolyline(CDC& dc, const CPoint (&points)[3]) {
  DrawGridLine(dc, points[0].x, points[0].y, points[1].x, points[1].y);
  DrawGridLine(dc, points[1].x, points[1].y, points[2].x, points[2].y);
}

// One label, drawn in black at 10 points.
void DrawLabel(CDC& dc, const CRect& r, const QString& text) {
  DrawCenteredText(dc, r, text, 10, 0x000000);
}

// The nodes between the first pop-up of a menu resource and its end.
std::pair<size_t, size_t> FirstSubmenu(const MenuResource& resource) {
  size_t first = 0;
  while (first < resource.nodeCount && resource.nodes[first].kind != MenuNodeKind::kPopup) ++first;
  if (first == resource.nodeCount) return {0, resource.nodeCount};
  int depth = 1;
  size_t last = first + 1;
  for (; last < resource.nodeCount; ++last) {
    const MenuNodeKind kind = resource.nodes[last].kind;
    if (kind == MenuNodeKind::kPopup) ++depth;
    if (kind == MenuNodeKind::kEnd && --depth == 0) break;
  }
  return {first + 1, last};
}

}  // namespace

// ------------------------------------------------------------------ layout

namespace {

// The layout of both board-size calls.
void LayOutBoard(CMainFrame& frame, int sizeIndex, int size, int reloadPieces) {
  frame.boardBitmap.reset();
  CBoardView* view = frame.BoardView();
  CDC clientDc = view != nullptr ? view->GetClientDC() : CDC();
  frame.boardSizeIndex = sizeIndex;
  frame.squareSize = size;
  const int texture = frame.BoardStyleBitmapId();
  const COLORREF colour = texture == 0 ? frame.GetBoardColor() : 0;
  frame.boardBitmap = frame.BuildBoardBitmap(clientDc, size, colour, texture);
  if (frame.boardBitmap != nullptr) {
    CDC dc(frame.boardBitmap->GetBitmapHandle());
    const int s = size, band = frame.coordinateBand;
    const bool big = sizeIndex == 2;
    frame.DrawCoordinateLabels(dc);
    if (frame.setupMode != 0) {
      const CRect area{0, 0, 10 * s, big ? 11 * s + band : 11 * s + 2 * band};
      const int style = ValidStyle(frame.boardStyle);
      // At most s points, smaller where the language's text would reach
      // past the outer files: it never leaves the board.
      const QString banner = TrText(kTextSetupMode);
      DrawCenteredText(dc, area, banner, FitCenteredTextPoints(dc, banner, s, 8 * s),
                       texture == 0 ? WatermarkColour(style) : kInkColour);
    }
    const char* red = currentGameHeader.redName;
    const char* black = currentGameHeader.blackName;
    if (translateNamesToPinyin != 0) {
      red = TranslatePlayerName(red);
      black = TranslatePlayerName(black);
    }
    const std::string names = std::string(red) + " - " + black;
    const CRect strip{0, 0, 11 * s, big ? s / 2 : s / 2 + 4};
    // Centred on the strip, the names stay clear of the move number and the
    // side-to-move disc, which stand from 9 squares on.
    const QString shown = FitCenteredText(dc, DecodeHeaderText(currentGameHeader, names.c_str()),
                                          10, 7 * s);
    DrawCenteredText(dc, strip, shown, 10, kInkColour);
  }
  frame.FitWindowToBoard();
  if (reloadPieces != 0) frame.LoadPieceSet(frame.pieceSet);
  if (view != nullptr) view->Invalidate();
}

}  // namespace

void CMainFrame::SetBoardSize(int32_t size, int32_t reloadPieces) {
  const int index = size == kSmallSquare ? 0 : 1;
  LayOutBoard(*this, index, index == 0 ? kSmallSquare : kMediumSquare, reloadPieces);
}

void CMainFrame::SetBigBoardSize(int32_t reloadPieces) {
  LayOutBoard(*this, 2, kBigSquare, reloadPieces);
}

int32_t CMainFrame::BoardStyleBitmapId() const { return kStyleTextures[ValidStyle(boardStyle)]; }

COLORREF CMainFrame::GetBoardColor() const {
  return boardStyle >= 0 && boardStyle < kPlainStyleCount ? plainBoardColours[boardStyle]
                                                          : plainBoardColours[0];
}

// ------------------------------------------------------------ board picture

std::unique_ptr<CDibBitmap> CMainFrame::BuildBoardBitmap(CDC& /*dc*/, int32_t size, COLORREF colour,
                                                         int32_t textureId) {
  const int s = size;
  coordinateBand = ValidCoordinateKind(coordinateKind) == 2 ? 20 : 0;
  const int band = coordinateBand;

  CDibBitmap texture;
  if (textureId != 0) texture.Load(QString::number(textureId), true);
  QImage picture = CreateCompatibleBitmap(13 * s, 12 * s + band);
  if (picture.isNull()) return nullptr;
  CDC dc(&picture);
  const CPen gridPen{PS_SOLID, 2, kInkColour};
  const CPen framePen{PS_SOLID, s == kBigSquare ? 5 : 4, kInkColour};

  // Ground: the plain colour, or the texture tiled over the whole picture.
  const int tw = texture.GetWidth(), th = texture.GetHeight();
  if (tw == 0 || th == 0) {
    dc.FillRect(CRect{0, 0, 13 * s, 12 * s}, CBrush::Solid(colour));
  } else {
    for (int r = 0; r <= 14 * s / th + 1; ++r)
      for (int c = 0; c <= 13 * s / tw + 1; ++c) texture.DrawAt(dc, c * tw, r * th);
  }

  // The river's text with an offset shadow.
  std::unique_ptr<CSpriteStrip>& river = s == kBigSquare ? riverBig : riverSmall;
  if (river == nullptr)
    river = LoadSprite(nullptr, s == kBigSquare ? kBitmapRiverBig : kBitmapRiverSmall);
  const int rw = river->GetWidth();
  river->DrawCell(dc, 5 * s - rw / 2, 5 * s + s / 5 + band, 0, 40);
  river->DrawCell(dc, 5 * s - rw / 2 - 2, 5 * s + s / 5 + band - 2, 0, 120);

  // Light lines just right of and below the grid lines give them relief.
  for (int i = 0; i <= 7; ++i) {
    const int x = s + 1 + i * s;
    BlendLine(dc, 0xFFFFFF, x, s + band, x, 5 * s + band, 128);
    BlendLine(dc, 0xFFFFFF, x, 6 * s + band, x, 10 * s + band, 128);
  }
  for (int i = 0; i <= 9; ++i) {
    const int y = s + 1 + i * s + band;
    BlendLine(dc, 0xFFFFFF, s, y, 9 * s, y, 128);
  }

  // Grid: inner files stop at the river; the palaces' diagonals.
  const CPen oldPen = dc.SelectPen(gridPen);
  for (int i = 1; i <= 7; ++i) {
    DrawGridLine(dc, s + i * s, s + band, s + i * s, 5 * s + band);
    DrawGridLine(dc, s + i * s, 6 * s + band, s + i * s, 10 * s + band);
  }
  for (int i = 0; i <= 9; ++i) DrawGridLine(dc, s, s + i * s + band, 9 * s, s + i * s + band);
  DrawLine(dc, 4 * s, s + band, 6 * s, 3 * s + band);
  DrawLine(dc, 4 * s, 3 * s + band, 6 * s, s + band);
  DrawLine(dc, 4 * s, 8 * s + band, 6 * s, 10 * s + band);
  DrawLine(dc, 4 * s, 10 * s + band, 6 * s, 8 * s + band);

  // Cannon and pawn points; the edge files are marked on their inner side.
  static constexpr int kPoints[14][4] = {{1, 2, 1, 1}, {7, 2, 1, 1}, {0, 3, 0, 1}, {2, 3, 1, 1},
                                         {4, 3, 1, 1}, {6, 3, 1, 1}, {8, 3, 1, 0}, {1, 7, 1, 1},
                                         {7, 7, 1, 1}, {0, 6, 0, 1}, {2, 6, 1, 1}, {4, 6, 1, 1},
                                         {6, 6, 1, 1}, {8, 6, 1, 0}};
  for (const auto& p : kPoints) DrawPointMarks(dc, s, p[0], p[1], p[2], p[3]);

  // The outer files cross the river.
  DrawGridLine(dc, s, s + band, s, 10 * s + band);
  DrawGridLine(dc, 9 * s, s + band, 9 * s, 10 * s + band);

  // The frame, its lines centred 6 pixels outside the grid.
  dc.SelectPen(framePen);
  const CBrush oldBrush = dc.SelectBrush(CBrush::Null());
  dc.Rectangle(s - 6, s + band - 6, 9 * s + 7, 10 * s + band + 7);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);

  // Bevel around the 10 x 11 squares: light at the top and left, dark at the
  // right and bottom, fading inwards.
  for (int i = 1; i <= 4; ++i) {
    const int w = 33 * i + 90;
    BlendLine(dc, 0xDCDCDC, i, i, 10 * s - i + 1, i, w);
    BlendLine(dc, 0xDCDCDC, i, i, i, 11 * s - i, w);
    BlendLine(dc, 0x505050, 10 * s - i, i, 10 * s - i, 11 * s - i, w);
    BlendLine(dc, 0x505050, i, 11 * s - i, 10 * s - i + 1, 11 * s - i, w);
  }
  return std::make_unique<CDibBitmap>(std::move(picture));
}

void CMainFrame::DrawPointMarks(CDC& dc, int32_t size, int32_t column, int32_t rowFromBottom,
                                int32_t left, int32_t right) {
  const int s = size, d = s / 4, a = s / 4 - 3;
  int x0, y;
  if (rotation == 0) {
    x0 = column * s + s - d - 1;
    y = 10 * s - rowFromBottom * s - d;
  } else {
    x0 = (9 - column) * s - d - 1;
    y = rowFromBottom * s + s - d;
    if (left != right) std::swap(left, right);
  }
  const int Y = y + coordinateBand;
  if (left != 0) {
    const CPoint upper[3] = {{x0, Y + a}, {x0 + a, Y + a}, {x0 + a, Y}};
    const CPoint lower[3] = {{x0, Y + a + 6}, {x0 + a, Y + a + 6}, {x0 + a, Y + 2 * a + 6}};
    DrawGridPolyline(dc, upper);
    DrawGridPolyline(dc, lower);
  }
  if (right != 0) {
    const int x1 = x0 + a + 7, x2 = x0 + 2 * a + 7;
    const CPoint upper[3] = {{x1, Y}, {x1, Y + a}, {x2, Y + a}};
    const CPoint lower[3] = {{x1, Y + 2 * a + 6}, {x1, Y + a + 6}, {x2, Y + a + 6}};
    DrawGridPolyline(dc, upper);
    DrawGridPolyline(dc, lower);
  }
}

void CMainFrame::DrawCoordinateLabels(CDC& dc) {
  const int kind = ValidCoordinateKind(coordinateKind);
  const int s = squareSize, band = coordinateBand;
  const bool plainFiles = rotation == mirror;
  auto character = [](int c) { return QString(QChar(c)); };
  // Files: one row below the board (and for kind 2 one above it).
  const int bottom = 10 * s + s / 2 + band;
  for (int i = 0; i <= 8; ++i) {
    const int left = s - 10 + i * s, right = s + 10 + i * s;
    switch (kind) {
      case 0:
      case 1:
        DrawLabel(dc, {left, bottom, right, bottom + 20},
                  character(plainFiles ? 'a' + i : 'i' - i));
        break;
      case 4:
        DrawLabel(dc, {left, bottom, right, bottom + 20},
                  character(plainFiles ? '9' - i : '1' + i));
        break;
      case 2: {
        DrawLabel(dc, {left, bottom - 2, right, bottom + 19},
                  character(mirror != 0 ? '1' + i : '9' - i));
        const int top = band + s / 10 - 2;
        DrawLabel(dc, {left, top, right, top + 20}, character(mirror != 0 ? '9' - i : '1' + i));
        break;
      }
      default:
        break;
    }
  }
  // Ranks: in the left margin, for kinds 0, 1 and 4.
  for (int i = 0; i <= 9; ++i) {
    const int row = 9 - i;
    QString text;
    switch (kind) {
      case 0:
        text = QString::number(rotation != 0 ? 9 - i : i);
        break;
      case 1:  // 1..10: label i + 1 at row 10 - (i + 1)
        text = QString::number(rotation != 0 ? 10 - i : i + 1);
        break;
      case 4:
        text = character(rotation != 0 ? 'J' - i : 'A' + i);
        break;
      default:
        return;
    }
    const int y = s + band + row * s;
    DrawLabel(dc, {0, y - 10, s / 2, y + 10}, text);
  }
}

// ------------------------------------------------------------- piece sets

void CMainFrame::LoadPieceSet(int32_t set) {
  set = ValidPieceSet(set);
  CDC dc = boardView_ != nullptr ? boardView_->GetClientDC() : CDC();
  pieceStrip.reset();
  struct Marker {
    std::unique_ptr<CSpriteStrip>* sprite;
    int id;
  };
  const Marker markers[] = {{&endSetupBig, kBitmapEndSetupBig},
                            {&endSetupSmall, kBitmapEndSetupSmall},
                            {&cancelSetupBig, kBitmapCancelSetupBig},
                            {&cancelSetupSmall, kBitmapCancelSetupSmall},
                            {&emptyBoardBig, kBitmapEmptyBoardBig},
                            {&emptyBoardSmall, kBitmapEmptyBoardSmall},
                            {&redDisc, kBitmapRedToMove},
                            {&blackDisc, kBitmapBlackToMove},
                            {&ironPawnMarker, kBitmapIronPawn}};
  for (const Marker& m : markers)
    if (*m.sprite == nullptr) *m.sprite = LoadSprite(&dc, m.id);
  if (printPieceStrip == nullptr) printPieceStrip = LoadSprite(&dc, kBitmapPiecesPrint, 7, 2);
  pieceStrip = LoadSprite(&dc, kPieceStrips[ValidSizeIndex(boardSizeIndex)][set - 1], 7, 2);
  pieceSet = set;
  if (boardView_ != nullptr) boardView_->Invalidate();
  UpdateToolbars();
}

void CMainFrame::OnToolbarDropDown(int command) {
  const MenuResource* resource =
      FindMenuResource(DropDownMenuIdForCommand(command, currentLanguage));
  if (resource == nullptr || designToolBar_ == nullptr) return;
  const auto [first, last] = FirstSubmenu(*resource);
  QMenu* menu =
      BuildPopupMenu(resource->nodes + first, last - first, resource->language, this, this, this);
  // The menu goes once it has closed and its command was posted.
  connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
  designToolBar_->PopupMenuBelow(command, menu);
  if (!menu->isVisible()) menu->deleteLater();
}

// ------------------------------------------------------------ frame size

CSize CMainFrame::BoardAreaSize() const {
  const int s = squareSize, band = coordinateBand;
  if (setupMode != 0) return {13 * s, 12 * s + band};
  // The discs: the lit one's shadow lies 3 pixels right of and below it.
  int discWidth = 0, discHeight = 0;
  for (int id : {kBitmapRedToMove, kBitmapBlackToMove}) {
    if (const ArtworkEntry* disc = FindArtwork(id)) {
      discWidth = std::max(discWidth, disc->width);
      discHeight = std::max(discHeight, disc->height);
    }
  }
  int width = std::max(10 * s, 9 * s + s / 2 + 3 + discWidth);
  int height = std::max(11 * s + band, 10 * s + 3 + discHeight);
  // The file letters below the board, in rows of 20 pixels.
  if (ValidCoordinateKind(coordinateKind) != 3)
    height = std::max(height, 10 * s + s / 2 + band + 20);
  return {width, height};
}

void CMainFrame::FitWindowToBoard() {
  if (boardView_ == nullptr) return;
  const CSize area = BoardAreaSize();
  const int width = area.cx;
  const int height = toolbarBandHeight + area.cy;
  boardView_->SetClientSize(width, height);

  // The menu bar stays on one row: the frame is at least as wide as the bar.
  // (A bar just set is shown only once control returns to the event loop:
  // only an explicitly hidden bar takes no room.)
  const auto* bar = qobject_cast<QMenuBar*>(menuWidget());
  const bool barShown = bar != nullptr && !(bar->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                                            bar->testAttribute(Qt::WA_WState_Hidden));
  const QSize barSize = barShown ? bar->sizeHint() : QSize(0, 0);
  QSize frameSize(std::max(width, barSize.width()), barSize.height() + height);

  // One sizing pass: a screen too small for the board leaves the frame at
  // the largest size that fits (the window system applies it later).
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QSize decoration = frameGeometry().size() - geometry().size();
    const QSize room = screen->availableGeometry().size() - decoration;
    if (room.isValid() && !room.isEmpty()) frameSize = frameSize.boundedTo(room);
  }
  // The board stands centred in the client when the bar is wider.
  if (centralWidget() != boardView_)
    boardView_->move(std::max(0, (frameSize.width() - width) / 2), 0);
  const QPoint topLeft = pos();
  setFixedSize(frameSize);
  move(topLeft);
}
