// Bitmaps and sprite strips. Sprite drawing works on whole cells in scratch
// images that are made once per strip, so moving a piece allocates nothing.
#include "platform/dib_bitmap.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFFu;
constexpr QRgb kOpaque = 0xFF000000u;

// b + ((s - b) * a >> 8) on each of red, green and blue (arithmetic shift).
QRgb BlendPixel(QRgb background, QRgb sprite, int weight) {
  QRgb out = kOpaque;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int b = static_cast<int>((background >> shift) & 0xFF);
    const int s = static_cast<int>((sprite >> shift) & 0xFF);
    out |= static_cast<QRgb>((b + (((s - b) * weight) >> 8)) & 0xFF) << shift;
  }
  return out;
}

QRgb* Row(QImage& img, int y) { return reinterpret_cast<QRgb*>(img.scanLine(y)); }
const QRgb* Row(const QImage& img, int y) {
  return reinterpret_cast<const QRgb*>(img.constScanLine(y));
}

}  // namespace

// ---------------------------------------------------------------- CDibBitmap

CDibBitmap::CDibBitmap(CDC* /*dc*/, const QString& imageName, bool fromResource) {
  // Surfaces are always 32-bit, so no palette is ever needed.
  Load(imageName, fromResource);
}

CDibBitmap::CDibBitmap(QImage bitmap) { Adopt(std::move(bitmap)); }

bool CDibBitmap::Adopt(QImage image) {
  DeleteObjects();
  if (image.isNull()) return false;
  bitmap_ = image.convertToFormat(QImage::Format_RGB32);
  width_ = bitmap_.width();
  height_ = bitmap_.height();
  return true;
}

bool CDibBitmap::Load(const QString& imageName, bool fromResource) {
  QImage image;
  image.load(fromResource ? QStringLiteral(":/bitmaps/") + imageName : imageName);
  if (image.isNull()) {
    DeleteObjects();
    return false;
  }
  return Adopt(std::move(image));
}

bool CDibBitmap::LoadFromMemory(const QByteArray& data) {
  QImage image;
  image.loadFromData(data);
  if (image.isNull()) {
    DeleteObjects();
    return false;
  }
  return Adopt(std::move(image));
}

void CDibBitmap::DeleteObjects() {
  bitmap_ = QImage();
  width_ = height_ = 0;
}

void CDibBitmap::DrawRect(CDC& dc, int x, int y, int right, int bottom) {
  Draw(dc, x, y, x, y, right, bottom);
}

void CDibBitmap::Draw(CDC& dc, int x, int y, int srcLeft, int srcTop, int srcRight,
                      int srcBottom) {
  CDC src(&bitmap_);
  dc.BitBlt(x, y, srcRight - srcLeft, srcBottom - srcTop, src, srcLeft, srcTop, SRCCOPY);
}

void CDibBitmap::DrawAt(CDC& dc, int x, int y) { Draw(dc, x, y, 0, 0, width_, height_); }

void CDibBitmap::StretchDraw(CDC& dc, int x, int y, int w, int h, int sx, int sy, int sw,
                             int sh) {
  CDC src(&bitmap_);
  dc.StretchBlt(x, y, w, h, src, sx, sy, sw, sh, SRCCOPY);
}

// -------------------------------------------------------------- CSpriteStrip

CSpriteStrip::CSpriteStrip(CDC* dc, const QString& imageName, const QString& overlayName,
                           int columns, int rows, bool fromResource, int extra)
    : CDibBitmap(dc, imageName, fromResource), extra_(extra) {
  lastX_ = -width_ - 1;
  lastY_ = -height_ - 1;
  if (width_ <= 0 || height_ <= 0 || columns <= 0 || rows <= 0) return;
  BuildMask();
  cellWidth_ = width_ / columns;
  cellHeight_ = height_ / rows;
  if (!IsValid()) {
    cellWidth_ = cellHeight_ = 0;
    return;
  }
  cellBitmap_ = CreateCompatibleBitmap(cellWidth_, cellHeight_);
  doubleCellBitmap_ = CreateCompatibleBitmap(2 * cellWidth_, 2 * cellHeight_);
  workBitmap_ = CreateCompatibleBitmap(width_, height_);
  if (!overlayName.isEmpty()) {
    overlay_ = std::make_unique<CDibBitmap>(dc, overlayName, fromResource);
    if (overlay_->GetWidth() > 0 && overlay_->GetHeight() > 0)
      BuildOverlayMask(*overlay_, cellWidth_, cellHeight_);
  }
}

void CSpriteStrip::BuildMask() {
  mask_ = CreateCompatibleBitmap(width_ + 1, height_ + 1);
  for (int y = 0; y < height_; ++y) {
    const QRgb* src = Row(bitmap_, y);
    QRgb* m = Row(mask_, y);
    for (int x = 0; x < width_; ++x)
      if ((src[x] & kRgbMask) == 0) m[x] = 0xFFFFFFFFu;
  }
}

void CSpriteStrip::BuildOverlayMask(const CDibBitmap& overlay, int cellWidth, int cellHeight) {
  const QImage& img = overlay.GetImage();
  alphaMap_.assign(static_cast<size_t>(cellWidth) * cellHeight, 0);
  for (int x = 0; x < cellWidth && x < img.width(); ++x)
    for (int y = 0; y < cellHeight && y < img.height(); ++y)
      alphaMap_[static_cast<size_t>(x) * cellHeight + y] =
          static_cast<unsigned char>(qRed(Row(img, y)[x]));
}

bool CSpriteStrip::CellOrigin(int n, int& x, int& y) const {
  if (!IsValid() || n < 0) return false;
  const int perRow = width_ / cellWidth_;
  const int perColumn = height_ / cellHeight_;
  // Numbers past the last cell would read outside the image.
  if (n >= perRow * perColumn) return false;
  if (columnMajor_) {
    x = (n / perColumn) * cellWidth_;
    y = (n % perColumn) * cellHeight_;
  } else {
    x = (n % perRow) * cellWidth_;
    y = (n / perRow) * cellHeight_;
  }
  return true;
}

void CSpriteStrip::ComposeCell(QImage& target, int ox, int oy, int n, int weight) const {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  const bool opaque = alphaMap_.empty() && (weight < 1 || weight > 254);
  // The part of the cell that falls on the target.
  const int i0 = std::max(0, -ox), i1 = std::min(cellWidth_, target.width() - ox);
  const int j0 = std::max(0, -oy), j1 = std::min(cellHeight_, target.height() - oy);
  for (int j = j0; j < j1; ++j) {
    QRgb* t = Row(target, oy + j);
    const QRgb* s = Row(bitmap_, cy + j);
    const QRgb* m = Row(mask_, cy + j);
    for (int i = i0; i < i1; ++i) {
      QRgb& px = t[ox + i];
      const QRgb sprite = s[cx + i];
      if (opaque) {
        // Background AND mask, then OR the image: black sprite pixels keep
        // the background.
        px = kOpaque | (((px & m[cx + i]) | sprite) & kRgbMask);
        continue;
      }
      if ((sprite & kRgbMask) == 0) continue;
      const int a = alphaMap_.empty()
                        ? weight
                        : alphaMap_[static_cast<size_t>(i) * cellHeight_ + j];
      if (a != 0) px = BlendPixel(px, sprite, a);
    }
  }
}

void CSpriteStrip::SaveBackground(CDC& dc, int x, int y, int n) {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  CDC work(&workBitmap_);
  work.BitBlt(cx, cy, cellWidth_, cellHeight_, dc, x, y, SRCCOPY);
  lastX_ = x;
  lastY_ = y;
}

void CSpriteStrip::RestoreBackground(CDC& dc, int n) {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  CDC work(&workBitmap_);
  dc.BitBlt(lastX_, lastY_, cellWidth_, cellHeight_, work, cx, cy, SRCCOPY);
}

void CSpriteStrip::DrawCellBlended(CDC& dc, int x, int y, int n, int weight) {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  CDC scratch(&cellBitmap_);
  scratch.BitBlt(0, 0, cellWidth_, cellHeight_, dc, x, y, SRCCOPY);
  ComposeCell(cellBitmap_, 0, 0, n, weight);
  dc.BitBlt(x, y, cellWidth_, cellHeight_, scratch, 0, 0, SRCCOPY);
}

void CSpriteStrip::DrawCellShadow(CDC& dc, int x, int y, int n, int weight) {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  CDC mask(&mask_);
  if (weight < 1 || weight > 254) {
    dc.BitBlt(x, y, cellWidth_, cellHeight_, mask, cx, cy, SRCAND);
    return;
  }
  for (int j = 0; j < cellHeight_; ++j)
    for (int i = 0; i < cellWidth_; ++i) {
      if ((Row(mask_, cy + j)[cx + i] & kRgbMask) != 0) continue;  // transparent
      const COLORREF b = dc.GetPixel(x + i, y + j);
      if (b == CLR_INVALID) continue;
      dc.SetPixelV(x + i, y + j,
                   QRgbToColorRef(BlendPixel(ColorRefToQRgb(b), kOpaque, weight)));
    }
}

void CSpriteStrip::DrawCell(CDC& dc, int x, int y, int n, int weight) {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  SaveBackground(dc, x, y, n);
  CDC work(&workBitmap_);
  CDC scratch(&cellBitmap_);
  scratch.BitBlt(0, 0, cellWidth_, cellHeight_, work, cx, cy, SRCCOPY);
  ComposeCell(cellBitmap_, 0, 0, n, weight);
  dc.BitBlt(x, y, cellWidth_, cellHeight_, scratch, 0, 0, SRCCOPY);
}

void CSpriteStrip::MoveCell(CDC& dc, int x, int y, int n, int weight) {
  int cx, cy;
  if (!CellOrigin(n, cx, cy)) return;
  const int dx = x - lastX_, dy = y - lastY_;
  if (std::abs(dx) >= cellWidth_ || std::abs(dy) >= cellHeight_) {
    MoveCellApart(dc, x, y, n, weight);
    return;
  }
  // The union of both places fits the 2 x 2 scratch: take it from the
  // context, put the old background back into it, save the new background
  // from it, draw the sprite into it and copy the union back at once.
  const int ux = std::min(x, lastX_), uy = std::min(y, lastY_);
  const int uw = cellWidth_ + std::abs(dx), uh = cellHeight_ + std::abs(dy);
  CDC scratch(&doubleCellBitmap_);
  CDC work(&workBitmap_);
  scratch.BitBlt(0, 0, uw, uh, dc, ux, uy, SRCCOPY);
  scratch.BitBlt(lastX_ - ux, lastY_ - uy, cellWidth_, cellHeight_, work, cx, cy, SRCCOPY);
  work.BitBlt(cx, cy, cellWidth_, cellHeight_, scratch, x - ux, y - uy, SRCCOPY);
  ComposeCell(doubleCellBitmap_, x - ux, y - uy, n, weight);
  dc.BitBlt(ux, uy, uw, uh, scratch, 0, 0, SRCCOPY);
  lastX_ = x;
  lastY_ = y;
}

void CSpriteStrip::MoveCellApart(CDC& dc, int x, int y, int n, int weight) {
  RestoreBackground(dc, n);
  DrawCell(dc, x, y, n, weight);
}

// ------------------------------------------------------------ free functions

void BlendLine(CDC& dc, COLORREF colour, int x1, int y1, int x2, int y2, int weight) {
  if (weight >= 256) return;
  int stepX = 0, stepY = 0, count = 0;
  if (y1 == y2 && x1 != x2) {
    stepX = x1 < x2 ? 1 : -1;
    count = std::abs(x2 - x1);
  } else if (x1 == x2 && y1 != y2) {
    stepY = y1 < y2 ? 1 : -1;
    count = std::abs(y2 - y1);
  } else {
    return;
  }
  const QRgb c = ColorRefToQRgb(colour);
  for (int k = 0; k < count; ++k) {
    const int x = x1 + k * stepX, y = y1 + k * stepY;
    const COLORREF p = dc.GetPixel(x, y);
    if (p == CLR_INVALID) continue;
    dc.SetPixelV(x, y, QRgbToColorRef(BlendPixel(c, ColorRefToQRgb(p), weight)));
  }
}

void DrawArrowPolygon(CDC& dc, COLORREF colour, int x1, int y1, int x2, int y2, int penWidth) {
  const CPen oldPen = dc.SelectPen(CPen{PS_SOLID, penWidth, colour});
  const CBrush oldBrush = dc.SelectBrush(CBrush::Solid(colour));
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
  const double a = std::atan2(static_cast<double>(y1 - y2), static_cast<double>(x1 - x2));
  const double c = std::cos(a), s = std::sin(a);
  const CPoint head[4] = {
      {x2, y2},
      {x2 + static_cast<int>(std::lround(10 * c - 5 * s)),
       y2 + static_cast<int>(std::lround(5 * c + 10 * s))},
      {x2 + static_cast<int>(std::lround(10 * c + 5 * s)),
       y2 - static_cast<int>(std::lround(5 * c - 10 * s))},
      {x2, y2}};
  dc.Polygon(head, 4);
  dc.SelectPen(oldPen);
  dc.SelectBrush(oldBrush);
}
