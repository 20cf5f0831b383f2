// Device context: colour order, block copies with raster operations and
// clipping, stretching, pattern fills, pixels, lines, shapes and text.
#include "platform/device_context.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>

#include "tests/support/offscreen_app.h"

namespace {

QImage Filled(int w, int h, COLORREF c) {
  QImage img = CreateCompatibleBitmap(w, h);
  img.fill(ColorRefToQRgb(c));
  return img;
}

TEST(Colour, ChannelOrderAndQtConversion) {
  constexpr COLORREF c = RGB(0x12, 0x34, 0x56);
  static_assert(c == 0x00563412);
  EXPECT_EQ(GetRValue(c), 0x12);
  EXPECT_EQ(GetGValue(c), 0x34);
  EXPECT_EQ(GetBValue(c), 0x56);
  EXPECT_EQ(ColorRefToQRgb(c), 0xFF123456u);
  EXPECT_EQ(QRgbToColorRef(0x80123456u), c);  // alpha dropped
  EXPECT_EQ(QRgbToColorRef(ColorRefToQRgb(0xF01414)), 0xF01414u);
  const QColor q = ToQColor(0x0000FF);  // pure red in 0x00BBGGRR
  EXPECT_EQ(q.red(), 255);
  EXPECT_EQ(q.blue(), 0);
}

TEST(DeviceContext, PixelsKeepColourOrderAndBounds) {
  QImage img = CreateCompatibleBitmap(4, 3);
  CDC dc(&img);
  EXPECT_EQ(dc.GetPixel(0, 0), 0u);  // new surfaces are black
  EXPECT_TRUE(dc.SetPixelV(2, 1, RGB(10, 20, 30)));
  EXPECT_EQ(dc.GetPixel(2, 1), RGB(10, 20, 30));
  EXPECT_EQ(img.pixel(2, 1), qRgb(10, 20, 30));
  EXPECT_EQ(dc.GetPixel(4, 0), CLR_INVALID);
  EXPECT_EQ(dc.GetPixel(0, -1), CLR_INVALID);
  EXPECT_FALSE(dc.SetPixelV(-1, 0, 0xFFFFFF));
}

TEST(DeviceContext, SelectingForeignFormatConvertsSurface) {
  QImage img(3, 3, QImage::Format_ARGB32);
  img.fill(qRgba(1, 2, 3, 255));
  CDC dc(&img);
  EXPECT_EQ(img.format(), QImage::Format_RGB32);
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
}

TEST(DeviceContext, BitBltCopiesAndClipsAtBothSurfaces) {
  QImage dst = Filled(10, 10, RGB(0, 0, 255));
  QImage src = CreateCompatibleBitmap(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.setPixel(x, y, qRgb(x, y, 7));
  CDC d(&dst), s(&src);
  // Source rectangle sticks out of the source to the left and top, the
  // destination out of the destination to the right.
  ASSERT_TRUE(d.BitBlt(7, 2, 6, 6, s, -1, -1, SRCCOPY));
  EXPECT_EQ(d.GetPixel(7, 2), RGB(0, 0, 255));  // no source pixel there
  EXPECT_EQ(d.GetPixel(8, 3), RGB(0, 0, 7));     // source (0,0)
  EXPECT_EQ(d.GetPixel(9, 5), RGB(1, 2, 7));     // source (1,2)
  EXPECT_EQ(d.GetPixel(9, 7), RGB(0, 0, 255));   // below the source
  EXPECT_EQ(d.GetPixel(6, 4), RGB(0, 0, 255));   // left of the block
}

TEST(DeviceContext, RasterOperationsCombineBitwise) {
  QImage dst = Filled(2, 1, RGB(0xF0, 0x0F, 0xAA));
  QImage src = Filled(2, 1, RGB(0x3C, 0x3C, 0xFF));
  CDC d(&dst), s(&src);
  d.BitBlt(0, 0, 1, 1, s, 0, 0, SRCAND);
  d.BitBlt(1, 0, 1, 1, s, 0, 0, SRCPAINT);
  EXPECT_EQ(d.GetPixel(0, 0), RGB(0x30, 0x0C, 0xAA));
  EXPECT_EQ(d.GetPixel(1, 0), RGB(0xFC, 0x3F, 0xFF));
  d.BitBlt(0, 0, 1, 1, s, 0, 0, SRCINVERT);
  EXPECT_EQ(d.GetPixel(0, 0), RGB(0x0C, 0x30, 0x55));
  EXPECT_EQ(qAlpha(dst.pixel(0, 0)), 255);
}

TEST(DeviceContext, OverlappingCopyWithinOneSurface) {
  QImage img = CreateCompatibleBitmap(6, 1);
  CDC dc(&img);
  for (int x = 0; x < 6; ++x) dc.SetPixelV(x, 0, RGB(x + 1, 0, 0));
  dc.BitBlt(1, 0, 4, 1, dc, 0, 0, SRCCOPY);  // shift right by one
  for (int x = 1; x < 5; ++x) EXPECT_EQ(dc.GetPixel(x, 0), RGB(x, 0, 0)) << x;
  EXPECT_EQ(dc.GetPixel(5, 0), RGB(6, 0, 0));
}

TEST(DeviceContext, StretchBltScalesByNearestPixel) {
  QImage src = CreateCompatibleBitmap(2, 2);
  src.setPixel(0, 0, qRgb(255, 0, 0));
  src.setPixel(1, 0, qRgb(0, 255, 0));
  src.setPixel(0, 1, qRgb(0, 0, 255));
  src.setPixel(1, 1, qRgb(255, 255, 255));
  QImage dst = Filled(6, 6, RGB(9, 9, 9));
  CDC d(&dst), s(&src);
  ASSERT_TRUE(d.StretchBlt(1, 1, 4, 4, s, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(d.GetPixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(d.GetPixel(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(d.GetPixel(3, 1), RGB(0, 255, 0));
  EXPECT_EQ(d.GetPixel(4, 2), RGB(0, 255, 0));
  EXPECT_EQ(d.GetPixel(2, 3), RGB(0, 0, 255));
  EXPECT_EQ(d.GetPixel(4, 4), RGB(255, 255, 255));
  EXPECT_EQ(d.GetPixel(5, 5), RGB(9, 9, 9));
  EXPECT_EQ(d.GetPixel(0, 0), RGB(9, 9, 9));
  // Shrinking a 2-wide row to one pixel takes the first column.
  QImage one = CreateCompatibleBitmap(1, 1);
  CDC o(&one);
  ASSERT_TRUE(o.StretchBlt(0, 0, 1, 1, s, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(o.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_FALSE(o.StretchBlt(0, 0, 1, 1, s, 0, 0, 2, 2, SRCAND));
}

TEST(DeviceContext, PatBltUsesSelectedBrush) {
  QImage img = Filled(5, 5, 0);
  CDC dc(&img);
  const CBrush old = dc.SelectBrush(CBrush::Solid(0xB4C4AB));
  EXPECT_FALSE(old.hollow);
  dc.PatBlt(-2, 1, 4, 2, PATCOPY);  // clipped at the left
  EXPECT_EQ(dc.GetPixel(0, 1), 0xB4C4ABu);
  EXPECT_EQ(dc.GetPixel(1, 2), 0xB4C4ABu);
  EXPECT_EQ(dc.GetPixel(2, 1), 0u);
  EXPECT_EQ(dc.GetPixel(0, 3), 0u);
  dc.SelectBrush(CBrush::Null());
  dc.PatBlt(0, 0, 5, 5, PATCOPY);
  EXPECT_EQ(dc.GetPixel(4, 4), 0u);
  dc.PatBlt(4, 4, 1, 1, WHITENESS);
  EXPECT_EQ(dc.GetPixel(4, 4), 0xFFFFFFu);
  dc.FillRect(CRect{3, 0, 5, 1}, CBrush::Solid(0xF01414));
  EXPECT_EQ(dc.GetPixel(3, 0), 0xF01414u);
  EXPECT_EQ(dc.GetPixel(4, 0), 0xF01414u);
  EXPECT_EQ(dc.GetPixel(2, 0), 0u);
}

TEST(DeviceContext, ThinLinesLeaveOutTheirEndPoint) {
  QImage img = Filled(8, 8, 0xFFFFFF);
  CDC dc(&img);
  dc.SelectPen(CPen{PS_SOLID, 1, 0x282828});
  dc.MoveTo(1, 2);
  dc.LineTo(5, 2);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(dc.GetPixel(x, 2), 0x282828u) << x;
  EXPECT_EQ(dc.GetPixel(5, 2), 0xFFFFFFu);
  EXPECT_EQ(dc.GetPixel(0, 2), 0xFFFFFFu);
  // Polyline: the corner is drawn once, the last point is not.
  const CPoint pts[3] = {{1, 4}, {3, 4}, {3, 7}};
  dc.Polyline(pts, 3);
  EXPECT_EQ(dc.GetPixel(3, 4), 0x282828u);
  EXPECT_EQ(dc.GetPixel(3, 6), 0x282828u);
  EXPECT_EQ(dc.GetPixel(3, 7), 0xFFFFFFu);
}

TEST(DeviceContext, PolygonIsFilledWithBrushAndRectangleOutlined) {
  QImage img = Filled(20, 20, 0xFFFFFF);
  CDC dc(&img);
  dc.SelectPen(CPen{PS_SOLID, 1, 0x0000FF});
  dc.SelectBrush(CBrush::Solid(0x00FF00));
  const CPoint tri[3] = {{2, 2}, {16, 2}, {2, 16}};
  dc.Polygon(tri, 3);
  EXPECT_EQ(dc.GetPixel(5, 5), 0x00FF00u);
  EXPECT_EQ(dc.GetPixel(15, 15), 0xFFFFFFu);

  QImage r = Filled(10, 10, 0xFFFFFF);
  CDC rc(&r);
  rc.SelectPen(CPen{PS_SOLID, 1, 0});
  rc.SelectBrush(CBrush::Solid(0x00FF00));
  rc.Rectangle(2, 2, 7, 6);
  EXPECT_EQ(rc.GetPixel(2, 2), 0u);
  EXPECT_EQ(rc.GetPixel(6, 5), 0u);  // right and bottom edges at right-1, bottom-1
  EXPECT_EQ(rc.GetPixel(4, 3), 0x00FF00u);
  EXPECT_EQ(rc.GetPixel(7, 3), 0xFFFFFFu);
  EXPECT_EQ(rc.GetPixel(4, 6), 0xFFFFFFu);
}

TEST(DeviceContext, FontFacesMapToLiberation) {
  EXPECT_EQ(MapFontFace("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(MapFontFace("arial"), "Liberation Sans");
  EXPECT_EQ(MapFontFace("Arial"), "Liberation Sans");
  EXPECT_EQ(MapFontFace("courier"), "Liberation Mono");
  EXPECT_EQ(MapFontFace("Courier New"), "Liberation Mono");
  EXPECT_EQ(MapFontFace("DejaVu Sans"), "DejaVu Sans");
}

TEST(DeviceContext, CentredTextStaysInsideItsRectangle) {
  testing_support::OffscreenApplication();

  QImage img = Filled(120, 60, 0xFFFFFF);
  CDC dc(&img);
  dc.SelectFont(CFont{"Times New Roman", -(10 * dc.GetDeviceCaps(LOGPIXELSY) / 72), 700, true});
  dc.SetTextColor(0x00000A);
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
  const CRect r{30, 10, 90, 50};
  dc.DrawText("88", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  int inside = 0, outside = 0, minX = 1000, maxX = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      if (dc.GetPixel(x, y) == 0xFFFFFFu) continue;
      const bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
      (in ? inside : outside)++;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
    }
  EXPECT_GT(inside, 10);
  EXPECT_EQ(outside, 0);
  // Roughly centred: equal margins within a few pixels.
  EXPECT_LE(std::abs((minX - r.left) - (r.right - 1 - maxX)), 4);
}

}  // namespace
