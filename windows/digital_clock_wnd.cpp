#include "windows/digital_clock_wnd.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cstdlib>

#include "game/game_clock.h"
#include "platform/dib_bitmap.h"
#include "platform/menu.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/clock_menu.h"
#include "windows/clock_set_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kPlacementName = "Clock";
constexpr int kCreateX = 10;
constexpr int kCreateY = 10;
constexpr int kCreateWidth = 120;
constexpr int kCreateHeight = 80;
constexpr int kDefaultX = 390;
constexpr int kDefaultY = 343;
// Colour of the first plain board style, used when the frame gives none.
constexpr COLORREF kDefaultGround = 0xB4C4AB;

constexpr int kRedSide = 0;
constexpr int kBlackSide = 1;

// The segments of one digit cell, in the order of the shape table.
enum ClockSegment : int {
  kSegmentTop,
  kSegmentUpperLeft,
  kSegmentUpperRight,
  kSegmentLowerLeft,
  kSegmentLowerRight,
  kSegmentBottom,
  kSegmentMiddle,
  kSegmentCount
};

struct DesignPoint {
  int x, y;
};
struct SegmentShape {
  int count;
  DesignPoint points[6];
};

// The segments of a digit cell on a design cell 40 units wide and 66 high
// (x to the right, y downwards), in ClockSegment order.
constexpr SegmentShape kSegmentShapes[kSegmentCount] = {
    {4, {{0, 1}, {40, 1}, {33, 8}, {7, 8}}},                         // top
    {4, {{0, 3}, {0, 31}, {7, 24}, {7, 10}}},                        // upper left
    {4, {{33, 10}, {40, 3}, {40, 31}, {33, 24}}},                    // upper right
    {4, {{0, 33}, {0, 64}, {7, 57}, {7, 40}}},                       // lower left
    {4, {{40, 33}, {33, 40}, {33, 57}, {40, 64}}},                   // lower right
    {4, {{0, 66}, {7, 59}, {33, 59}, {40, 66}}},                     // bottom
    {6, {{2, 32}, {6, 36}, {34, 36}, {38, 32}, {34, 28}, {6, 28}}},  // middle
};

constexpr int Bit(ClockSegment s) { return 1 << s; }

// Lit segments of the digits 0..9.
constexpr int kDigitSegments[10] = {
    Bit(kSegmentTop) | Bit(kSegmentUpperLeft) | Bit(kSegmentUpperRight) |
        Bit(kSegmentLowerLeft) | Bit(kSegmentLowerRight) | Bit(kSegmentBottom),
    Bit(kSegmentUpperRight) | Bit(kSegmentLowerRight),
    Bit(kSegmentTop) | Bit(kSegmentUpperRight) | Bit(kSegmentLowerLeft) | Bit(kSegmentBottom) |
        Bit(kSegmentMiddle),
    Bit(kSegmentTop) | Bit(kSegmentUpperRight) | Bit(kSegmentLowerRight) | Bit(kSegmentBottom) |
        Bit(kSegmentMiddle),
    Bit(kSegmentUpperLeft) | Bit(kSegmentUpperRight) | Bit(kSegmentLowerRight) |
        Bit(kSegmentMiddle),
    Bit(kSegmentTop) | Bit(kSegmentUpperLeft) | Bit(kSegmentMiddle) | Bit(kSegmentLowerRight) |
        Bit(kSegmentBottom),
    Bit(kSegmentTop) | Bit(kSegmentUpperLeft) | Bit(kSegmentMiddle) | Bit(kSegmentLowerLeft) |
        Bit(kSegmentLowerRight) | Bit(kSegmentBottom),
    Bit(kSegmentTop) | Bit(kSegmentUpperRight) | Bit(kSegmentLowerRight),
    (1 << kSegmentCount) - 1,
    Bit(kSegmentTop) | Bit(kSegmentUpperLeft) | Bit(kSegmentUpperRight) |
        Bit(kSegmentLowerRight) | Bit(kSegmentBottom) | Bit(kSegmentMiddle),
};

// Rows 0 and 1 belong to the frame, the four outer columns on the right to
// the bevel; the names start 10 pixels from the left.
constexpr int kFrameEdge = 2;
constexpr int kBevelWidth = 4;
constexpr int kNameLeft = 10;

// Left edge of each digit slot in 311ths of the width.
constexpr int kSlotLeft[6] = {13, 58, 115, 160, 215, 260};

const CommandMapEntry<CDigitalClockWnd> kClockCommands[] = {
    {kClockMenuSetTime, &CDigitalClockWnd::OnSetTime, nullptr},
    {kClockMenuPause, &CDigitalClockWnd::OnClockPause, &CDigitalClockWnd::OnUpdateClockPause},
};

COLORREF GroundColour() {
  return clockFrameLinks.boardColour != nullptr ? clockFrameLinks.boardColour() : kDefaultGround;
}

// Which segments digit d lights: bit (1 << segment). Values outside 0..9
// (the first slot from 100 hours on) light nothing.
int ClockDigitSegments(int digit) { return digit >= 0 && digit <= 9 ? kDigitSegments[digit] : 0; }

// The pixels `text` inks in `font` when its rectangle's top-left corner is
// at (0, 0) (the ink may reach above and left of it), drawn with the fonts
// the text really gets; empty when it inks nothing.
CRect TextInk(const QString& text, const CFont& font) {
  const int size = std::abs(font.height);
  QImage scratch(1, 1, QImage::Format_RGB32);
  CDC probe(&scratch);
  probe.SelectFont(font);
  QImage canvas(probe.GetTextExtent(text).cx + 2 * size + 4, 3 * size + 4, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  probe.SelectBitmap(&canvas);
  probe.SetBkMode(TRANSPARENT);
  probe.SetTextColor(RGB(0, 0, 0));
  probe.DrawText(text, CRect{size, size, canvas.width(), canvas.height()}, DT_LEFT | DT_SINGLELINE);
  CRect ink{canvas.width(), canvas.height(), 0, 0};
  for (int y = 0; y < canvas.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    for (int x = 0; x < canvas.width(); ++x) {
      if ((line[x] & 0xFFFFFF) == 0xFFFFFF) continue;
      ink = CRect{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                  std::max(ink.bottom, y + 1)};
    }
  }
  if (ink.right == 0) return {};
  return CRect{ink.left - size, ink.top - size, ink.right - size, ink.bottom - size};
}

bool ContainsIdeographs(const QString& text) {
  for (QChar c : text) {
    if (c.script() == QChar::Script_Han) return true;
  }
  return false;
}

}  // namespace

CDigitalClockWnd::CDigitalClockWnd(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      surface_(CreateCompatibleBitmap(width_, height_)) {
  // The face covers the whole client area: nothing is erased before a paint.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setCursor(Qt::ArrowCursor);
  setWindowIcon(QIcon(QStringLiteral(":/icons/31234")));
  setWindowTitle(QString::fromUtf8("Horloge numérique"));
  setMinimumSize(kMinTrackWidth, kMinTrackHeight);
  setGeometry(kCreateX, kCreateY, kCreateWidth, kCreateHeight);
  // Until the first Refresh the rows follow the board as it is shown now.
  if (clockFrameLinks.boardFlipped != nullptr) flipped_ = clockFrameLinks.boardFlipped();
}

CDigitalClockWnd::~CDigitalClockWnd() {
  // Also when the owner window deletes it without a close.
  if (digitalClockWnd == this) Detach();
}

void CDigitalClockWnd::CreateClock(QWidget* parent) {
  if (digitalClockWnd != nullptr) return;
  auto* window = new CDigitalClockWnd(parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  digitalClockWnd = window;
  window->SetTitle();
  ShowSideWindow(window, kPlacementName, QPoint(kDefaultX, kDefaultY));
}

void CDigitalClockWnd::SetTitle() { setWindowTitle(TrText(kTextClockCaption)); }

void CDigitalClockWnd::SavePlacement() { SaveWindowPlacement(this, kPlacementName); }

void CDigitalClockWnd::Detach() {
  SavePlacement();
  digitalClockWnd = nullptr;
}

// ------------------------------------------------------------ drawing

void CDigitalClockWnd::Refresh(int /*full*/, int flipped) {
  flipped_ = flipped;
  if (surface_.width() != width_ || surface_.height() != height_) {
    surface_ = CreateCompatibleBitmap(width_, height_);
  }
  const COLORREF ground = GroundColour();
  CDC client(&surface_);
  // The face is composed in the frame's back buffer and copied whole when
  // the buffer can hold it; otherwise it is drawn straight into the picture.
  QImage* buffer = clockFrameLinks.backBuffer != nullptr ? clockFrameLinks.backBuffer() : nullptr;
  if (buffer != nullptr && buffer->width() >= width_ && buffer->height() >= height_) {
    CDC memory(buffer);
    DrawFace(memory, ground);
    client.BitBlt(0, 0, width_, height_, memory, 0, 0, SRCCOPY);
  } else {
    DrawFace(client, ground);
  }
  update();
}

// Every division truncates toward zero, in the order written: the face
// keeps the same pixels at every size as the layout it was designed with.
// The whole face is laid on the board colour first, whatever the target:
// names, dots and the blended bevel drawn over an earlier face would pile
// up (a flip would show both names, the bevel would darken every second).
void CDigitalClockWnd::DrawFace(CDC& dc, COLORREF ground) {
  const int W = width_, H = height_;
  dc.FillRect(CRect{0, 0, W, H}, CBrush::Solid(ground));

  // Digits: black's clock on top unless the board is flipped.
  const int topSide = flipped_ == 0 ? kBlackSide : kRedSide;
  for (int row = 0; row < 2; ++row) {
    const int side = row == 0 ? topSide : 1 - topSide;
    int32_t h = 0, m = 0, s = 0;
    gameClock.GetSideTimeHms(side, &h, &m, &s);
    // From 100 hours on the first slot gets a value above 9: an empty cell.
    const int digits[6] = {h / 10, h % 10, m / 10, m % 10, s / 10, s % 10};
    for (int slot = 0; slot < 6; ++slot) DrawDigit(dc, digits[slot], slot, row);
  }

  // Separator dots: two colons per row.
  const CBrush ink = CBrush::Solid(kClockInkColour);
  const int dotWidth = W * 4 / 240, dotHeight = H * 4 / 120;
  const int xs[2] = {W * 103 / 311 + W * 7 / 622, W * 204 / 311 + W * 7 / 622};
  const int ys[4] = {H * 35 / 160 + H * 7 / 320, H * 48 / 160 + H * 7 / 320,
                     H * 106 / 160 + H * 7 / 320, H * 119 / 160 + H * 7 / 320};
  for (int y : ys) {
    for (int x : xs) {
      const int left = x - W * 4 / 480, top = y - H * 4 / 240;
      dc.FillRect(CRect{left, top, left + dotWidth, top + dotHeight}, ink);
    }
  }

  // Side names in the current language, in the order of the rows.
  const QString red = TrText(kTextRed), black = TrText(kTextBlack);
  const QString names[2] = {flipped_ == 0 ? black : red, flipped_ == 0 ? red : black};
  int tops[2] = {0, 0};
  const CFont oldFont = dc.SelectFont(SideNamesFont(names, tops));
  const int oldMode = dc.SetBkMode(TRANSPARENT);
  const COLORREF oldColour = dc.SetTextColor(kClockInkColour);
  for (int row = 0; row < 2; ++row) {
    dc.DrawText(names[row], CRect{kNameLeft, tops[row], W, H}, DT_LEFT | DT_SINGLELINE);
  }
  dc.SetTextColor(oldColour);
  dc.SetBkMode(oldMode);
  dc.SelectFont(oldFont);

  // Frame and bevel: light on the top and left edges, dark on the others.
  const CPen oldPen = dc.SelectPen(CPen{PS_SOLID, 3, RGB(0, 0, 0)});
  dc.MoveTo(0, 0);
  dc.LineTo(0, H - 1);
  dc.LineTo(W - 1, H - 1);
  dc.LineTo(W - 1, 0);
  dc.LineTo(0, 0);
  dc.SelectPen(oldPen);
  for (int i = 1; i <= 4; ++i) {
    const int weight = 90 + 33 * i;
    BlendLine(dc, RGB(220, 220, 220), i, i, W, i, weight);
    BlendLine(dc, RGB(220, 220, 220), i, i, i, H - i, weight);
    BlendLine(dc, RGB(80, 80, 80), W - i, i, W - i, H - i, weight);
    BlendLine(dc, RGB(80, 80, 80), i, H - i, W - i + 1, H - i, weight);
  }
}

// The names are set in bold italic Arial of character height H / 12 with
// their rectangles' tops at H / 90 and H * 29 / 60, which suits Latin
// capitals. Each name's ink must lie whole in its band: below the frame and
// above the top row's digits, or between the two rows of digits, with a
// clear row between it and the digits, and short of the right bevel. A
// name whose ink leaves its band is moved into it; when it is taller than
// the band, or too wide, both names get the largest height that fits.
// Chinese names fill the whole em and are unreadable at the Latin height:
// they get the largest height that fits the band.
CFont CDigitalClockWnd::FitSideNames(const QString names[2], int tops[2]) const {
  const int W = width_, H = height_;
  const int designTops[2] = {H / 90, H * 29 / 60};
  const int bandTop[2] = {kFrameEdge, CellTop(0) + H * 66 / 180 + 1};
  const int bandBottom[2] = {CellTop(0) + H * 1 / 180 - 1, CellTop(1) + H * 1 / 180 - 1};
  const int right = W - kBevelWidth - 1;
  CFont font{QStringLiteral("ARIAL"), 0, 700, true};
  // Places both names at character height `size`; false when one does not fit.
  const auto place = [&](int size) {
    font.height = -size;
    for (int row = 0; row < 2; ++row) {
      tops[row] = designTops[row];
      const CRect ink = TextInk(names[row], font);
      if (ink.Height() <= 0) continue;
      if (ink.Height() > bandBottom[row] - bandTop[row] || kNameLeft + ink.right > right) return false;
      tops[row] = std::clamp(designTops[row], bandTop[row] - ink.top, bandBottom[row] - ink.bottom);
    }
    return true;
  };
  const bool ideographs = ContainsIdeographs(names[0]) || ContainsIdeographs(names[1]);
  const int band = std::min(bandBottom[0] - bandTop[0], bandBottom[1] - bandTop[1]);
  const int wanted = std::max(1, ideographs ? band + band / 4 : H / 12);
  if (place(wanted)) return font;
  // The largest height below `wanted` that fits (the smallest when none does).
  int fits = 1, fails = wanted;
  while (fails - fits > 1) {
    const int mid = (fits + fails) / 2;
    (place(mid) ? fits : fails) = mid;
  }
  place(fits);
  return font;
}

CFont CDigitalClockWnd::SideNamesFont(const QString names[2], int tops[2]) {
  NameFit& fit = nameFit_;
  if (fit.width != width_ || fit.height != height_ || fit.names[0] != names[0] ||
      fit.names[1] != names[1]) {
    fit.font = FitSideNames(names, fit.tops);
    fit.width = width_;
    fit.height = height_;
    fit.names[0] = names[0];
    fit.names[1] = names[1];
  }
  tops[0] = fit.tops[0];
  tops[1] = fit.tops[1];
  return fit.font;
}

void CDigitalClockWnd::DrawDigit(CDC& dc, int digit, int slot, int row) {
  const int W = width_, H = height_;
  const int x0 = W * kSlotLeft[slot] / 311;
  const int y0 = CellTop(row);
  const int lit = ClockDigitSegments(digit);
  if (lit == 0) return;
  const CPen oldPen = dc.SelectPen(CPen{PS_NULL, 0, 0});
  const CBrush oldBrush = dc.SelectBrush(CBrush::Solid(kClockInkColour));
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    if ((lit & (1 << segment)) == 0) continue;
    const SegmentShape& shape = kSegmentShapes[segment];
    CPoint points[6];
    for (int i = 0; i < shape.count; ++i) {
      points[i] = CPoint{W * shape.points[i].x / 311 + x0, H * shape.points[i].y / 180 + y0};
    }
    dc.Polygon(points, shape.count);
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

// ------------------------------------------------------------ events

void CDigitalClockWnd::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawImage(area, surface_, area);
}

// A new size gets a new picture, and the face is drawn again at once with
// the last orientation given.
void CDigitalClockWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  width_ = event->size().width();
  height_ = event->size().height();
  Refresh(1, flipped_);
}

void CDigitalClockWnd::closeEvent(QCloseEvent* event) {
  if (digitalClockWnd == this) Detach();
  event->accept();
}

void CDigitalClockWnd::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return QWidget::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  OnRButtonDown(p.x(), p.y());
}

// The pop-up menu, centred horizontally on the click.
void CDigitalClockWnd::OnRButtonDown(int x, int y) { ShowClockPopupMenu(this, this, x, y); }

// ------------------------------------------------------------ commands

bool CDigitalClockWnd::OnCmdMsg(int id) { return DispatchCommand(this, kClockCommands, id); }

void CDigitalClockWnd::OnUpdateCmdUI(CCmdUI& ui) { DispatchUpdate(this, kClockCommands, ui); }

void CDigitalClockWnd::OnUpdateClockPause(CCmdUI* ui) { ui->SetCheck(gameClock.paused != 0 ? 1 : 0); }

void CDigitalClockWnd::OnClockPause() { ToggleClockPause(); }

// Whatever the dialog's result, both clocks are redrawn with the board as
// the frame shows it.
void CDigitalClockWnd::OnSetTime() {
  RunClockSetDialog(this, flipped_, [this](int flipped) { Refresh(1, flipped); });
}
