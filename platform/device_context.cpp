// Device context over a QImage: block copies and pixels go straight to the
// scan lines; lines, polygons and text go through a short-lived QPainter
// with antialiasing off, so shapes land on whole pixels: edges stay sharp
// beside the bitmaps and sprites copied next to them, and a drawing gives
// the same pixels every time. A printer context draws everything through
// its page's painter.
#include "platform/device_context.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFFu;
constexpr QRgb kOpaque = 0xFF000000u;

QRgb Combine(QRgb dst, QRgb src, RasterOp op) {
  switch (op) {
    case SRCCOPY: return kOpaque | (src & kRgbMask);
    case SRCPAINT: return kOpaque | ((dst | src) & kRgbMask);
    case SRCAND: return kOpaque | ((dst & src) & kRgbMask);
    case SRCINVERT: return kOpaque | ((dst ^ src) & kRgbMask);
    default: return dst;
  }
}

QPen ToQPen(const CPen& p) {
  if (p.style == PS_NULL) return QPen(Qt::NoPen);
  QPen pen(ToQColor(p.colour));
  pen.setWidth(std::max(1, p.width));
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

QBrush ToQBrush(const CBrush& b) {
  return b.hollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(b.colour));
}

}  // namespace

QString MapFontFace(const QString& face) {
  const QString f = face.trimmed().toLower();
  if (f == QLatin1String("times new roman")) return QStringLiteral("Liberation Serif");
  if (f == QLatin1String("arial")) return QStringLiteral("Liberation Sans");
  if (f == QLatin1String("courier") || f == QLatin1String("courier new"))
    return QStringLiteral("Liberation Mono");
  return face;
}

QImage CreateCompatibleBitmap(int width, int height) {
  QImage img(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
  img.fill(kOpaque);
  return img;
}

CDC::CDC(QImage* surface) { SelectBitmap(surface); }

void CDC::AttachPainter(QPainter* painter, int width, int height, int dpi) {
  painter_ = painter;
  painterWidth_ = width;
  painterHeight_ = height;
  painterDpi_ = dpi;
}

bool CDC::HasTarget() const {
  return painter_ != nullptr || (surface_ != nullptr && !surface_->isNull());
}

QPaintDevice* CDC::Device() const {
  return painter_ != nullptr ? painter_->device() : surface_;
}

// Runs draw on the attached painter (its state kept) or on a short-lived
// painter over the surface.
template <class Draw>
void CDC::Paint(Draw draw) {
  if (painter_ != nullptr) {
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    draw(*painter_);
    painter_->restore();
    return;
  }
  if (surface_ == nullptr || surface_->isNull()) return;
  QPainter p(surface_);
  p.setRenderHint(QPainter::Antialiasing, false);
  draw(p);
}

// The selected font for the target device. A negative height is the
// character height; a positive one is the whole cell, so the pixel size is
// scaled down until the line height fits it.
QFont CDC::MakeFont() const {
  QFont font(MapFontFace(font_.face));
  const int height = std::max(1, std::abs(font_.height));
  font.setPixelSize(height);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(font_.weight == 0 ? 400 : font_.weight,
                                                       100, 900)));
  font.setItalic(font_.italic);
  if (font_.height > 0) {
    QPaintDevice* device = Device();
    const auto cellOf = [&](const QFont& f) {
      return device != nullptr ? QFontMetrics(f, device).height() : QFontMetrics(f).height();
    };
    const int cell = cellOf(font);
    if (cell > height) {
      // Scale, then step down what rounding left over.
      int size = std::max(1, height * height / cell);
      font.setPixelSize(size);
      while (size > 1 && cellOf(font) > height) font.setPixelSize(--size);
    }
  }
  return font;
}

CSize CDC::GetTextExtent(const QString& text) const {
  if (!QGuiApplication::instance()) return {};
  const QFont font = MakeFont();
  QPaintDevice* device = Device();
  const QFontMetrics fm = device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
  return CSize{fm.horizontalAdvance(text), fm.height()};
}

QImage* CDC::SelectBitmap(QImage* surface) {
  QImage* old = surface_;
  surface_ = surface;
  if (surface_ && !surface_->isNull() && surface_->format() != QImage::Format_RGB32)
    *surface_ = surface_->convertToFormat(QImage::Format_RGB32);
  return old;
}

int CDC::Width() const {
  if (painter_ != nullptr) return painterWidth_;
  return surface_ ? surface_->width() : 0;
}
int CDC::Height() const {
  if (painter_ != nullptr) return painterHeight_;
  return surface_ ? surface_->height() : 0;
}

CPen CDC::SelectPen(const CPen& pen) { return std::exchange(pen_, pen); }
CBrush CDC::SelectBrush(const CBrush& brush) { return std::exchange(brush_, brush); }
CFont CDC::SelectFont(const CFont& font) { return std::exchange(font_, font); }
COLORREF CDC::SetTextColor(COLORREF c) { return std::exchange(textColour_, c); }
COLORREF CDC::SetBkColor(COLORREF c) { return std::exchange(bkColour_, c); }
int CDC::SetBkMode(int mode) { return std::exchange(bkMode_, mode); }

int CDC::GetDeviceCaps(int index) const {
  switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSY: return painter_ != nullptr ? painterDpi_ : 96;
    case HORZRES: return Width();
    case VERTRES: return Height();
    default: return 0;
  }
}

bool CDC::BitBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, RasterOp op) {
  if (painter_ != nullptr && (op == SRCCOPY || op == PATCOPY || op == BLACKNESS ||
                              op == WHITENESS))
    return op == SRCCOPY ? StretchBlt(x, y, w, h, src, sx, sy, w, h, op) : PatBlt(x, y, w, h, op);
  if (!surface_ || surface_->isNull() || w <= 0 || h <= 0) return false;
  if (op == PATCOPY || op == BLACKNESS || op == WHITENESS) return PatBlt(x, y, w, h, op);
  if (!src.surface_ || src.surface_->isNull()) return false;
  // Offsets inside the block that fall on both surfaces.
  const int i0 = std::max({0, -x, -sx});
  const int j0 = std::max({0, -y, -sy});
  const int i1 = std::min({w, Width() - x, src.Width() - sx});
  const int j1 = std::min({h, Height() - y, src.Height() - sy});
  if (i0 >= i1 || j0 >= j1) return true;
  // Within one surface a private copy of the source block makes
  // overlapping copies behave; between two surfaces the rows are read in
  // place.
  QImage block;
  const QImage* from = src.surface_;
  int fromX = sx, fromY = sy;
  const uchar* srcBits = src.surface_->constBits();
  const uchar* dstBits = surface_->constBits();
  if (srcBits < dstBits + surface_->sizeInBytes() &&
      dstBits < srcBits + src.surface_->sizeInBytes()) {
    block = src.surface_->copy(sx + i0, sy + j0, i1 - i0, j1 - j0);
    from = &block;
    fromX = -i0;
    fromY = -j0;
  }
  for (int j = j0; j < j1; ++j) {
    QRgb* d = reinterpret_cast<QRgb*>(surface_->scanLine(y + j)) + x;
    const QRgb* s = reinterpret_cast<const QRgb*>(from->constScanLine(fromY + j)) + fromX;
    // One loop per operation, so the inner loops stay simple.
    switch (op) {
      case SRCCOPY:
        for (int i = i0; i < i1; ++i) d[i] = kOpaque | (s[i] & kRgbMask);
        break;
      case SRCAND:
        for (int i = i0; i < i1; ++i) d[i] = kOpaque | (d[i] & s[i] & kRgbMask);
        break;
      default:
        for (int i = i0; i < i1; ++i) d[i] = Combine(d[i], s[i], op);
        break;
    }
  }
  return true;
}

bool CDC::StretchBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, int sw, int sh,
                     RasterOp op) {
  if (painter_ != nullptr) {
    if (op != SRCCOPY || !src.surface_ || src.surface_->isNull() || w <= 0 || h <= 0 ||
        sw <= 0 || sh <= 0)
      return false;
    Paint([&](QPainter& p) {
      p.drawImage(QRect(x, y, w, h), *src.surface_, QRect(sx, sy, sw, sh));
    });
    return true;
  }
  if (op != SRCCOPY || !surface_ || surface_->isNull() || !src.surface_ ||
      src.surface_->isNull() || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
    return false;
  const QImage source = *src.surface_;  // shared copy; detaches if src is this surface
  for (int j = std::max(0, -y); j < h && y + j < Height(); ++j) {
    const int srcY = sy + static_cast<int>(static_cast<long long>(j) * sh / h);
    if (srcY < 0 || srcY >= source.height()) continue;
    auto* d = reinterpret_cast<QRgb*>(surface_->scanLine(y + j));
    const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(srcY));
    for (int i = std::max(0, -x); i < w && x + i < Width(); ++i) {
      const int srcX = sx + static_cast<int>(static_cast<long long>(i) * sw / w);
      if (srcX < 0 || srcX >= source.width()) continue;
      d[x + i] = kOpaque | (s[srcX] & kRgbMask);
    }
  }
  return true;
}

bool CDC::TransparentBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, int sw, int sh,
                         COLORREF transparent) {
  if (!HasTarget() || !src.surface_ || src.surface_->isNull() || w <= 0 || h <= 0 || sw <= 0 ||
      sh <= 0)
    return false;
  QImage block = src.surface_->copy(sx, sy, sw, sh).convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ColorRefToQRgb(transparent) & kRgbMask;
  for (int j = 0; j < block.height(); ++j) {
    auto* row = reinterpret_cast<QRgb*>(block.scanLine(j));
    for (int i = 0; i < block.width(); ++i)
      row[i] = (row[i] & kRgbMask) == key ? 0 : kOpaque | (row[i] & kRgbMask);
  }
  Paint([&](QPainter& p) { p.drawImage(QRect(x, y, w, h), block); });
  return true;
}

bool CDC::PatBlt(int x, int y, int w, int h, RasterOp op) {
  if (!HasTarget()) return false;
  if (w < 0) { x += w; w = -w; }
  if (h < 0) { y += h; h = -h; }
  QRgb colour;
  switch (op) {
    case PATCOPY:
      if (brush_.hollow) return true;
      colour = ColorRefToQRgb(brush_.colour);
      break;
    case BLACKNESS: colour = kOpaque; break;
    case WHITENESS: colour = 0xFFFFFFFFu; break;
    default: return false;
  }
  if (painter_ != nullptr) {
    Paint([&](QPainter& p) { p.fillRect(QRect(x, y, w, h), QColor::fromRgb(colour)); });
    return true;
  }
  const int x0 = std::max(0, x), x1 = std::min(Width(), x + w);
  const int y0 = std::max(0, y), y1 = std::min(Height(), y + h);
  for (int j = y0; j < y1; ++j) {
    auto* d = reinterpret_cast<QRgb*>(surface_->scanLine(j));
    std::fill(d + x0, d + std::max(x0, x1), colour);
  }
  return true;
}

void CDC::FillRect(const CRect& r, const CBrush& brush) {
  const CBrush old = SelectBrush(brush);
  PatBlt(r.left, r.top, r.Width(), r.Height(), PATCOPY);
  SelectBrush(old);
}

COLORREF CDC::GetPixel(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return CLR_INVALID;
  return QRgbToColorRef(reinterpret_cast<const QRgb*>(surface_->constScanLine(y))[x]);
}

bool CDC::SetPixelV(int x, int y, COLORREF c) {
  if (!surface_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
  reinterpret_cast<QRgb*>(surface_->scanLine(y))[x] = ColorRefToQRgb(c);
  return true;
}

void CDC::MoveTo(int x, int y) { current_ = {x, y}; }

void CDC::LineTo(int x, int y) {
  DrawSegment(current_.x, current_.y, x, y);
  current_ = {x, y};
}

void CDC::Polyline(const CPoint* points, int count) {
  for (int k = 1; k < count; ++k)
    DrawSegment(points[k - 1].x, points[k - 1].y, points[k].x, points[k].y);
}

// Thin lines step pixel by pixel and leave out their end point; wider ones
// are drawn by the painter with flat ends.
void CDC::DrawSegment(int x1, int y1, int x2, int y2) {
  if (!HasTarget() || pen_.style == PS_NULL) return;
  if (pen_.width <= 1 && painter_ == nullptr) {
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int stepX = x1 < x2 ? 1 : -1, stepY = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    while (x1 != x2 || y1 != y2) {
      SetPixelV(x1, y1, pen_.colour);
      const int e2 = 2 * err;
      if (e2 >= dy) { err += dy; x1 += stepX; }
      if (e2 <= dx) { err += dx; y1 += stepY; }
    }
    return;
  }
  Paint([&](QPainter& p) {
    p.setPen(ToQPen(pen_));
    p.drawLine(x1, y1, x2, y2);
  });
}

void CDC::Polygon(const CPoint* points, int count) {
  if (!HasTarget() || count < 2) return;
  QPolygon poly;
  for (int k = 0; k < count; ++k) poly << QPoint(points[k].x, points[k].y);
  Paint([&](QPainter& p) {
    p.setPen(ToQPen(pen_));
    p.setBrush(ToQBrush(brush_));
    p.drawPolygon(poly);
  });
}

void CDC::Rectangle(int left, int top, int right, int bottom) {
  if (!HasTarget() || right - left < 1 || bottom - top < 1) return;
  PatBlt(left, top, right - left, bottom - top, PATCOPY);
  if (pen_.style == PS_NULL) return;
  const CPoint ring[5] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1},
                          {left, bottom - 1}, {left, top}};
  if (pen_.width <= 1 && painter_ == nullptr) {
    Polyline(ring, 5);
    SetPixelV(left, top, pen_.colour);
    return;
  }
  Paint([&](QPainter& p) {
    QPen pen = ToQPen(pen_);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(left, top, right - left - 1, bottom - top - 1);
  });
}

void CDC::DrawText(const QString& text, const CRect& r, unsigned format) {
  // Fonts need the application's font database.
  if (!HasTarget() || !QGuiApplication::instance()) return;
  const QFont font = MakeFont();
  const QRect rect(r.left, r.top, r.Width(), r.Height());
  int flags = (format & DT_SINGLELINE) ? Qt::TextSingleLine : 0;
  flags |= (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight
                                                                          : Qt::AlignLeft;
  flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
  Paint([&](QPainter& p) {
    p.setFont(font);
    if (bkMode_ == OPAQUE) {
      const QRect used = p.boundingRect(rect, flags, text);
      p.fillRect(used, ToQColor(bkColour_));
    }
    p.setPen(ToQColor(textColour_));
    p.drawText(rect, flags, text);
  });
}

void CDC::TextOut(int x, int y, const QString& text) {
  DrawText(text, CRect{x, y, Width(), Height()}, DT_LEFT | DT_SINGLELINE);
}
