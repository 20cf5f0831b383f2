// Bitmaps and sprite strips: loading, cell geometry, transparency of pure
// black, the opacity blend, shadows, saved backgrounds under a moving
// sprite, and the line blend and arrow helpers.
#include "platform/dib_bitmap.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

namespace {

QImage Filled(int w, int h, COLORREF c) {
  QImage img = CreateCompatibleBitmap(w, h);
  img.fill(ColorRefToQRgb(c));
  return img;
}

// Writes images to a scratch folder so strips load them as files would be.
class SpriteFiles : public ::testing::Test {
 protected:
  QString Save(const QImage& img, const QString& name) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(img.save(path));
    return path;
  }
  QTemporaryDir dir_;
};

// 7 x 2 cells of `cell` pixels; cell n is filled with RGB(10 + n, 100, 200)
// except for a pure black 2 x 2 corner at its top-left.
QImage PieceStripImage(int cell) {
  QImage img = CreateCompatibleBitmap(7 * cell, 2 * cell);
  CDC dc(&img);
  for (int n = 0; n < 14; ++n) {
    const int x = (n % 7) * cell, y = (n / 7) * cell;
    dc.FillRect(CRect{x, y, x + cell, y + cell}, CBrush::Solid(RGB(10 + n, 100, 200)));
    dc.FillRect(CRect{x, y, x + 2, y + 2}, CBrush::Solid(0));
  }
  return img;
}

// A one-cell sprite of RGB(100,100,100) with a pure black left column.
QImage GreySprite(int w, int h) {
  QImage img = Filled(w, h, RGB(100, 100, 100));
  CDC dc(&img);
  dc.FillRect(CRect{0, 0, 1, h}, CBrush::Solid(0));
  return img;
}

TEST(DibBitmap, LoadsFilesAndMemoryAndFailsQuietly) {
  QImage img = Filled(5, 3, RGB(1, 2, 3));
  QByteArray png, bmp;
  QBuffer pb(&png), bb(&bmp);
  ASSERT_TRUE(img.save(&pb, "PNG"));
  ASSERT_TRUE(img.save(&bb, "BMP"));
  for (const QByteArray* data : {&png, &bmp}) {
    CDibBitmap b;
    ASSERT_TRUE(b.LoadFromMemory(*data));
    EXPECT_EQ(b.GetWidth(), 5);
    EXPECT_EQ(b.GetHeight(), 3);
    EXPECT_EQ(QRgbToColorRef(b.GetImage().pixel(4, 2)), RGB(1, 2, 3));
  }
  CDibBitmap missing(nullptr, "/nonexistent/board.bmp", false);
  EXPECT_EQ(missing.GetWidth(), 0);
  EXPECT_EQ(missing.GetHeight(), 0);
  QImage target = Filled(4, 4, 0xFFFFFF);
  CDC dc(&target);
  missing.DrawAt(dc, 0, 0);  // nothing to draw, nothing breaks
  EXPECT_EQ(dc.GetPixel(0, 0), 0xFFFFFFu);
}

TEST(DibBitmap, DrawCopiesRectanglesAndStretches) {
  QImage src = CreateCompatibleBitmap(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.setPixel(x, y, qRgb(10 * x, 10 * y, 0));
  CDibBitmap b(src);
  QImage target = Filled(10, 10, 0xFFFFFF);
  CDC dc(&target);
  b.Draw(dc, 5, 6, 1, 2, 3, 4);  // 2 x 2 block from (1, 2) to (5, 6)
  EXPECT_EQ(dc.GetPixel(5, 6), RGB(10, 20, 0));
  EXPECT_EQ(dc.GetPixel(6, 7), RGB(20, 30, 0));
  EXPECT_EQ(dc.GetPixel(7, 6), 0xFFFFFFu);
  b.DrawRect(dc, 0, 0, 2, 1);  // same place
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(10, 0, 0));
  EXPECT_EQ(dc.GetPixel(0, 1), 0xFFFFFFu);
  b.StretchDraw(dc, 0, 2, 8, 2, 0, 0, 4, 1);  // first row twice as wide
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(10, 0, 0));
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(10, 0, 0));
  EXPECT_EQ(dc.GetPixel(7, 3), RGB(30, 0, 0));
}

TEST_F(SpriteFiles, CellGeometryByRowsAndByColumns) {
  CSpriteStrip strip(nullptr, Save(PieceStripImage(38), "p.png"), "", 7, 2, false, 0);
  ASSERT_TRUE(strip.IsValid());
  EXPECT_EQ(strip.GetCellWidth(), 38);
  EXPECT_EQ(strip.GetCellHeight(), 38);
  EXPECT_EQ(strip.GetLastX(), -7 * 38 - 1);  // nowhere yet
  EXPECT_EQ(strip.GetLastY(), -2 * 38 - 1);
  int x = -1, y = -1;
  ASSERT_TRUE(strip.CellOrigin(8, x, y));
  EXPECT_EQ(x, 38);
  EXPECT_EQ(y, 38);
  strip.SetColumnMajor(true);
  ASSERT_TRUE(strip.CellOrigin(8, x, y));
  EXPECT_EQ(x, 152);
  EXPECT_EQ(y, 0);
  EXPECT_FALSE(strip.CellOrigin(-1, x, y));
  EXPECT_FALSE(strip.CellOrigin(14, x, y));  // past the last cell
}

TEST_F(SpriteFiles, PieceCellsRedAboveBlackBelow) {
  CSpriteStrip strip(nullptr, Save(PieceStripImage(28), "p.bmp"), "", 7, 2, false, 0);
  QImage target = Filled(40, 40, 0xFFFFFF);
  CDC dc(&target);
  // Piece types 1 pawn .. 7 king: red cell 7 - type, black 14 - type.
  struct Case { int cell; int column; int row; };
  for (const Case c : {Case{7 - 7, 0, 0}, Case{7 - 1, 6, 0}, Case{14 - 7, 0, 1},
                       Case{14 - 1, 6, 1}, Case{14 - 4, 3, 1}}) {
    strip.DrawCellBlended(dc, 5, 5, c.cell, 255);
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(10 + c.column + 7 * c.row, 100, 200)) << c.cell;
    EXPECT_EQ(dc.GetPixel(5, 5), 0xFFFFFFu) << "black corner stays transparent";
    EXPECT_EQ(dc.GetPixel(33, 33), 0xFFFFFFu) << "outside the cell";
    EXPECT_EQ(dc.GetPixel(32, 32), RGB(10 + c.cell, 100, 200));
  }
}

TEST_F(SpriteFiles, BlendWeightsFollowShiftFormula) {
  CSpriteStrip strip(nullptr, Save(GreySprite(4, 4), "g.png"), "", 1, 1, false, 0);
  struct Case { int weight; COLORREF background; COLORREF expected; };
  for (const Case c : {Case{128, 0xFFFFFF, RGB(177, 177, 177)},
                       Case{64, RGB(0, 200, 40), RGB(25, 175, 55)},
                       Case{1, 0xFFFFFF, RGB(254, 254, 254)},
                       Case{254, 0, RGB(99, 99, 99)},
                       Case{255, RGB(7, 7, 7), RGB(100, 100, 100)},
                       Case{0, RGB(7, 7, 7), RGB(100, 100, 100)}}) {
    QImage target = Filled(6, 6, c.background);
    CDC dc(&target);
    strip.DrawCellBlended(dc, 1, 1, 0, c.weight);
    EXPECT_EQ(dc.GetPixel(3, 3), c.expected) << c.weight;
    EXPECT_EQ(dc.GetPixel(1, 3), c.background) << "black column, weight " << c.weight;
    EXPECT_EQ(dc.GetPixel(5, 5), c.background);
  }
}

TEST_F(SpriteFiles, WeightZeroDrawsLikeWeight255AndBlackNeverShows) {
  CSpriteStrip strip(nullptr, Save(PieceStripImage(12), "p.png"), "", 7, 2, false, 0);
  QImage background = CreateCompatibleBitmap(30, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) background.setPixel(x, y, qRgb(x * 8, y * 8, 90));
  QImage a = background, b = background;
  CDC da(&a), db(&b);
  strip.DrawCell(da, 3, 4, 9, 0);
  strip.DrawCell(db, 3, 4, 9, 255);
  EXPECT_EQ(a, b);
  for (int weight : {0, 1, 77, 128, 254, 255}) {
    QImage t = background;
    CDC dc(&t);
    strip.DrawCellBlended(dc, 3, 4, 9, weight);
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i)
        EXPECT_EQ(t.pixel(3 + i, 4 + j), background.pixel(3 + i, 4 + j)) << weight;
    EXPECT_NE(t.pixel(8, 8), background.pixel(8, 8)) << weight;
  }
}

TEST_F(SpriteFiles, MissingCellsAndBadStripsDrawNothing) {
  CSpriteStrip strip(nullptr, Save(PieceStripImage(10), "p.png"), "", 7, 2, false, 0);
  QImage target = Filled(30, 30, 0xFFFFFF);
  const QImage before = target;
  CDC dc(&target);
  strip.DrawCell(dc, 0, 0, -1, 255);
  strip.DrawCellBlended(dc, 0, 0, 14, 255);
  strip.DrawCellShadow(dc, 0, 0, 99, 255);
  EXPECT_EQ(target, before);
  CSpriteStrip missing(nullptr, dir_.filePath("none.png"), "", 7, 2, false, 3);
  EXPECT_FALSE(missing.IsValid());
  EXPECT_EQ(missing.GetExtra(), 3);
  missing.DrawCell(dc, 0, 0, 0, 255);
  missing.MoveCell(dc, 4, 4, 0, 255);
  CSpriteStrip tooNarrow(nullptr, Save(Filled(5, 5, 0xFFFFFF), "s.png"), "", 7, 1, false, 0);
  EXPECT_FALSE(tooNarrow.IsValid());
  tooNarrow.DrawCell(dc, 0, 0, 0, 255);
  EXPECT_EQ(target, before);
}

TEST_F(SpriteFiles, AlphaOverlayGivesEachPixelItsWeight) {
  // Overlay red channel: column 0 -> 0, column 1 -> 128, columns 2.. -> 255.
  QImage overlay = Filled(4, 2, RGB(255, 9, 9));
  CDC od(&overlay);
  od.FillRect(CRect{0, 0, 1, 2}, CBrush::Solid(RGB(0, 50, 50)));
  od.FillRect(CRect{1, 0, 2, 2}, CBrush::Solid(RGB(128, 0, 0)));
  CSpriteStrip strip(nullptr, Save(Filled(8, 2, RGB(100, 100, 100)), "s.png"),
                     Save(overlay, "o.png"), 2, 1, false, 0);
  ASSERT_TRUE(strip.HasAlphaMap());
  QImage target = Filled(4, 2, 0);
  CDC dc(&target);
  strip.DrawCellBlended(dc, 0, 0, 1, 255);  // the call's weight is not used
  EXPECT_EQ(dc.GetPixel(0, 1), 0u);
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(50, 50, 50));
  EXPECT_EQ(dc.GetPixel(2, 0), RGB(99, 99, 99));  // 255 is a blend, not a copy
}

TEST_F(SpriteFiles, ShadowDarkensUnderTheSilhouetteOnly) {
  CSpriteStrip strip(nullptr, Save(GreySprite(3, 3), "g.png"), "", 1, 1, false, 0);
  QImage target = Filled(5, 5, RGB(200, 100, 50));
  CDC dc(&target);
  strip.DrawCellShadow(dc, 1, 1, 0, 128);
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(100, 50, 25));
  EXPECT_EQ(dc.GetPixel(1, 2), RGB(200, 100, 50));  // transparent column
  strip.DrawCellShadow(dc, 1, 1, 0, 80);
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(68, 34, 17));  // 100 + (-100 * 80 >> 8)
  strip.DrawCellShadow(dc, 0, 0, 0, 255);
  EXPECT_EQ(dc.GetPixel(1, 1), 0u);
  EXPECT_EQ(dc.GetPixel(0, 1), RGB(200, 100, 50));
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(68, 34, 17));  // outside this shadow
}

TEST_F(SpriteFiles, SavedBackgroundComesBackAfterMoves) {
  CSpriteStrip strip(nullptr, Save(PieceStripImage(10), "p.png"), "", 7, 2, false, 0);
  QImage background = CreateCompatibleBitmap(60, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) background.setPixel(x, y, qRgb(x * 4, y * 6, 33));
  QImage t = background;
  CDC dc(&t);
  strip.DrawCell(dc, 5, 5, 3, 128);
  EXPECT_EQ(strip.GetLastX(), 5);
  EXPECT_NE(t, background);
  strip.RestoreBackground(dc, 3);
  EXPECT_EQ(t, background);

  // A move to an overlapping place equals restoring and drawing apart; so
  // does a far move, and the background is whole again afterwards.
  for (const CPoint to : {CPoint{9, 2}, CPoint{1, 8}, CPoint{40, 25}, CPoint{-4, -3}}) {
    QImage a = background, b = background;
    CDC da(&a), db(&b);
    strip.DrawCell(da, 5, 5, 3, 128);
    strip.MoveCell(da, to.x, to.y, 3, 128);
    strip.DrawCell(db, 5, 5, 3, 128);
    strip.MoveCellApart(db, to.x, to.y, 3, 128);
    EXPECT_EQ(a, b) << to.x << "," << to.y;
    strip.MoveCell(da, 5, 5, 3, 128);
    strip.RestoreBackground(da, 3);
    EXPECT_EQ(a, background) << to.x << "," << to.y;
  }
}

TEST(BlendLine, BlendsTowardColourUpToTheEndPoint) {
  QImage img = Filled(12, 12, RGB(100, 0, 255));
  CDC dc(&img);
  BlendLine(dc, 0xFFFFFF, 2, 3, 6, 3, 128);
  for (int x = 2; x < 6; ++x) EXPECT_EQ(dc.GetPixel(x, 3), RGB(177, 127, 255)) << x;
  EXPECT_EQ(dc.GetPixel(6, 3), RGB(100, 0, 255));
  EXPECT_EQ(dc.GetPixel(1, 3), RGB(100, 0, 255));
  BlendLine(dc, 0x505050, 9, 9, 9, 6, 222);  // upward
  EXPECT_EQ(dc.GetPixel(9, 9), RGB(97, 10, 231));
  EXPECT_EQ(dc.GetPixel(9, 7), RGB(97, 10, 231));
  EXPECT_EQ(dc.GetPixel(9, 6), RGB(100, 0, 255));
  const QImage before = img;
  BlendLine(dc, 0xFFFFFF, 5, 5, 5, 5, 128);  // a single point
  BlendLine(dc, 0xFFFFFF, 0, 0, 4, 4, 128);  // slanted
  BlendLine(dc, 0xFFFFFF, 0, 8, 8, 8, 256);  // weight out of range
  BlendLine(dc, 0xFFFFFF, -5, 11, 20, 11, 0);  // off the surface at both ends
  EXPECT_EQ(dc.GetPixel(0, 11), 0xFFFFFFu);
  EXPECT_EQ(dc.GetPixel(11, 11), 0xFFFFFFu);
  img.setPixel(0, 11, before.pixel(0, 11));
  for (int x = 1; x < 12; ++x) img.setPixel(x, 11, before.pixel(x, 11));
  EXPECT_EQ(img, before);
}

TEST(DrawArrowPolygon, LineAndHeadInColourPenRestored) {
  QImage img = Filled(80, 80, 0xFFFFFF);
  CDC dc(&img);
  dc.SelectPen(CPen{PS_SOLID, 1, 0x123456});
  DrawArrowPolygon(dc, 0x1414F0, 10, 40, 60, 40, 3);
  EXPECT_EQ(dc.GetPixel(30, 40), 0x1414F0u);       // shaft
  EXPECT_EQ(dc.GetPixel(52, 37), 0x1414F0u);       // head, widening backwards
  EXPECT_EQ(dc.GetPixel(52, 43), 0x1414F0u);
  EXPECT_EQ(dc.GetPixel(58, 36), 0xFFFFFFu);       // beside the tip
  EXPECT_EQ(dc.GetPixel(30, 36), 0xFFFFFFu);       // beside the shaft
  EXPECT_EQ(dc.GetPen().colour, 0x123456u);
  // Pointing up: the head opens downward from the tip.
  DrawArrowPolygon(dc, 0x00FAFA, 20, 75, 20, 55, 2);
  EXPECT_EQ(dc.GetPixel(17, 63), 0x00FAFAu);
  EXPECT_EQ(dc.GetPixel(23, 63), 0x00FAFAu);
  EXPECT_EQ(dc.GetPixel(20, 52), 0xFFFFFFu);
}

}  // namespace
