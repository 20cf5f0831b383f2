// The generated pictures as the program sees them: every entry of the
// picture table is compiled into this executable's resources at its exact
// size; the piece strips and markers work as colour-keyed sprites (pure black
// around the pieces, never inside); red and black pieces are told apart by
// their ink; the sets differ; the textures stay light, free of pure black and
// tile without seams; the flags sit on the ids the language chooser expects.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "platform/dib_bitmap.h"
#include "res/artwork/artwork_ids.h"

namespace {

using artwork::ArtworkEntry;
using artwork::ArtworkKind;
using artwork::kArtwork;

constexpr QRgb kRgb = 0x00FFFFFFu;

bool Transparent(QRgb p) { return (p & kRgb) == 0; }

QImage Bitmap(int id) {
  CDibBitmap bitmap(nullptr, QString::number(id), true);
  return bitmap.GetImage();
}

std::vector<const ArtworkEntry*> OfKind(ArtworkKind kind) {
  std::vector<const ArtworkEntry*> out;
  for (const ArtworkEntry& e : kArtwork)
    if (e.kind == kind) out.push_back(&e);
  return out;
}

int Luminance(QRgb p) { return (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p)) / 1000; }

// Strong red ink: red well above both green and blue.
bool RedInk(QRgb p) { return qRed(p) > 120 && qRed(p) > qGreen(p) + 80 && qRed(p) > qBlue(p) + 80; }

int CountIf(const QImage& img, QRect r, bool (*pred)(QRgb)) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += pred(img.pixel(x, y)) ? 1 : 0;
  return n;
}

bool Visible(QRgb p) { return !Transparent(p); }

// Mean of |a - b| over the three channels of two equal-sized blocks.
double MeanDifference(const QImage& a, QRect ra, const QImage& b, QRect rb) {
  double sum = 0;
  for (int y = 0; y < ra.height(); ++y)
    for (int x = 0; x < ra.width(); ++x) {
      const QRgb p = a.pixel(ra.left() + x, ra.top() + y);
      const QRgb q = b.pixel(rb.left() + x, rb.top() + y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * ra.width() * ra.height());
}

// Mean colour difference between column x and column x + 1 (wrapping).
double ColumnStep(const QImage& img, int x) {
  const int next = (x + 1) % img.width();
  return MeanDifference(img, QRect(x, 0, 1, img.height()), img, QRect(next, 0, 1, img.height()));
}

double RowStep(const QImage& img, int y) {
  const int next = (y + 1) % img.height();
  return MeanDifference(img, QRect(0, y, img.width(), 1), img, QRect(0, next, img.width(), 1));
}

QRgb Average(const QImage& img, QRect r, bool skipTransparent) {
  long long red = 0, green = 0, blue = 0, n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = img.pixel(x, y);
      if (skipTransparent && Transparent(p)) continue;
      red += qRed(p);
      green += qGreen(p);
      blue += qBlue(p);
      ++n;
    }
  if (n == 0) return 0;
  return qRgb(static_cast<int>(red / n), static_cast<int>(green / n), static_cast<int>(blue / n));
}

TEST(Artwork, EveryTableEntryIsLinkedInAtItsSize) {
  for (const ArtworkEntry& e : kArtwork) {
    SCOPED_TRACE(e.id);
    if (e.kind == ArtworkKind::kIcon) {
      const QImage icon(QStringLiteral(":/icons/%1").arg(e.id));
      ASSERT_FALSE(icon.isNull());
      EXPECT_EQ(icon.size(), QSize(e.width, e.height));
      // A round piece on a transparent square.
      ASSERT_TRUE(icon.hasAlphaChannel());
      EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
      EXPECT_EQ(qAlpha(icon.pixel(e.width / 2, e.height / 2)), 255);
      continue;
    }
    CDibBitmap bitmap(nullptr, QString::number(e.id), true);
    EXPECT_EQ(bitmap.GetWidth(), e.width);
    EXPECT_EQ(bitmap.GetHeight(), e.height);
  }
}

TEST(Artwork, ResourceFoldersHoldExactlyTheTable) {
  std::set<int> listed;
  for (const char* folder : {":/bitmaps", ":/icons"}) {
    QDirIterator it(QString::fromLatin1(folder));
    while (it.hasNext()) {
      it.next();
      bool numeric = false;
      const int id = it.fileName().toInt(&numeric);
      ASSERT_TRUE(numeric) << it.filePath().toStdString();
      const ArtworkEntry* e = artwork::FindArtwork(id);
      ASSERT_NE(e, nullptr) << id;
      EXPECT_EQ(e->kind == ArtworkKind::kIcon, QString::fromLatin1(folder) == ":/icons") << id;
      listed.insert(id);
    }
  }
  EXPECT_EQ(listed.size(), artwork::kArtworkCount);
  EXPECT_EQ(artwork::FindArtwork(12345), nullptr);
}

TEST(Artwork, SpritesCutIntoTheirCells) {
  for (ArtworkKind kind : {ArtworkKind::kPieces, ArtworkKind::kMarker, ArtworkKind::kRiver})
    for (const ArtworkEntry* e : OfKind(kind)) {
      SCOPED_TRACE(e->id);
      CSpriteStrip strip(nullptr, QString::number(e->id), QString(), e->columns, e->rows, true, 0);
      ASSERT_TRUE(strip.IsValid());
      EXPECT_EQ(strip.GetCellWidth(), e->width / e->columns);
      EXPECT_EQ(strip.GetCellHeight(), e->height / e->rows);
    }
}

// Every piece is a disc on pure black: corners transparent, the disc solid
// (a pure black pixel inside would show the board through the piece), about
// the expected area, and each column a different piece.
TEST(Artwork, PieceCellsAreSolidDiscsOnTransparentBlack) {
  for (const ArtworkEntry* e : OfKind(ArtworkKind::kPieces)) {
    SCOPED_TRACE(e->id);
    const QImage img = Bitmap(e->id);
    ASSERT_FALSE(img.isNull());
    const int cell = e->width / e->columns;
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 7; ++column) {
        SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
        const int x0 = column * cell, y0 = row * cell;
        const QRect r(x0, y0, cell, cell);
        EXPECT_TRUE(Transparent(img.pixel(x0, y0)));
        EXPECT_TRUE(Transparent(img.pixel(x0 + cell - 1, y0)));
        EXPECT_TRUE(Transparent(img.pixel(x0, y0 + cell - 1)));
        EXPECT_TRUE(Transparent(img.pixel(x0 + cell - 1, y0 + cell - 1)));
        EXPECT_FALSE(Transparent(img.pixel(x0 + cell / 2, y0 + cell / 2)));
        // The disc fills a circle of nearly the cell's diameter.
        const double area = CountIf(img, r, Visible);
        EXPECT_GT(area, 0.55 * cell * cell);
        EXPECT_LT(area, 0.8 * cell * cell);
        int holes = 0;
        const double inner = 0.42 * cell;
        for (int y = 0; y < cell; ++y)
          for (int x = 0; x < cell; ++x)
            if (std::hypot(x + 0.5 - cell / 2.0, y + 0.5 - cell / 2.0) < inner)
              holes += Transparent(img.pixel(x0 + x, y0 + y)) ? 1 : 0;
        EXPECT_EQ(holes, 0);
      }
    // Neighbouring columns show different pieces.
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column + 1 < 7; ++column)
        EXPECT_GT(MeanDifference(img, QRect(column * cell, row * cell, cell, cell), img,
                                 QRect((column + 1) * cell, row * cell, cell, cell)),
                  2.0)
            << "row " << row << " column " << column;
  }
}

TEST(Artwork, RedPiecesAreInTheTopRowBlackInTheBottom) {
  for (const ArtworkEntry* e : OfKind(ArtworkKind::kPieces)) {
    SCOPED_TRACE(e->id);
    const QImage img = Bitmap(e->id);
    const int cell = e->width / e->columns;
    for (int column = 0; column < 7; ++column) {
      const int red = CountIf(img, QRect(column * cell, 0, cell, cell), RedInk);
      const int black = CountIf(img, QRect(column * cell, cell, cell, cell), RedInk);
      EXPECT_GT(red, cell * cell / 30) << "column " << column;
      EXPECT_GT(red, 4 * black + 5) << "column " << column;
    }
  }
}

// Strips of the same cell size belong to different sets and must look
// different; set 1 of the small board also serves set 4 there.
TEST(Artwork, PieceSetsAreVisiblyDistinct) {
  const std::vector<std::vector<int>> sameSize = {
      {artwork::kBitmapPiecesBasicSmall, artwork::kBitmapPiecesOldPemmetSmall,
       artwork::kBitmapPiecesSepaSmall},
      {artwork::kBitmapPiecesBasicMedium, artwork::kBitmapPiecesOldPemmetMedium,
       artwork::kBitmapPiecesSepaMedium, artwork::kBitmapPiecesSimpleMedium},
      {artwork::kBitmapPiecesOldPemmetBig, artwork::kBitmapPiecesSepaBig,
       artwork::kBitmapPiecesSimpleBig}};
  for (const std::vector<int>& group : sameSize)
    for (size_t i = 0; i < group.size(); ++i)
      for (size_t j = i + 1; j < group.size(); ++j) {
        const QImage a = Bitmap(group[i]), b = Bitmap(group[j]);
        ASSERT_EQ(a.size(), b.size()) << group[i] << " " << group[j];
        EXPECT_GT(MeanDifference(a, a.rect(), b, b.rect()), 12.0) << group[i] << " " << group[j];
      }
}

TEST(Artwork, TexturesAreLightSolidAndSeamless) {
  const auto textures = OfKind(ArtworkKind::kTexture);
  ASSERT_EQ(textures.size(), 16u);
  std::set<int> styles;
  for (const ArtworkEntry* e : textures) {
    SCOPED_TRACE(e->id);
    styles.insert(e->variant);
    const QImage img = Bitmap(e->id);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(CountIf(img, img.rect(), Transparent), 0);
    // Light to medium, so the dark grid reads on it.
    const QRgb mean = Average(img, img.rect(), false);
    EXPECT_GE(Luminance(mean), 120);
    EXPECT_LE(Luminance(mean), 240);
    EXPECT_GT(CountIf(img, img.rect(), [](QRgb p) { return Luminance(p) >= 80; }),
              img.width() * img.height() * 99 / 100);
    // Not a flat colour.
    double interiorX = 0, interiorY = 0;
    for (int x = 0; x + 1 < img.width(); ++x) interiorX += ColumnStep(img, x);
    for (int y = 0; y + 1 < img.height(); ++y) interiorY += RowStep(img, y);
    interiorX /= img.width() - 1;
    interiorY /= img.height() - 1;
    EXPECT_GT(interiorX + interiorY, 0.5);
    // The step across the wrap is like any step inside the tile.
    EXPECT_LE(ColumnStep(img, img.width() - 1), 2.5 * interiorX + 2.0);
    EXPECT_LE(RowStep(img, img.height() - 1), 2.5 * interiorY + 2.0);
  }
  // One texture for each of the styles 6 to 21.
  EXPECT_EQ(styles.size(), 16u);
  EXPECT_EQ(*styles.begin(), 6);
  EXPECT_EQ(*styles.rbegin(), 21);
}

TEST(Artwork, MarkersShowTheirColours) {
  for (const ArtworkEntry* e : OfKind(ArtworkKind::kMarker)) {
    SCOPED_TRACE(e->id);
    const QImage img = Bitmap(e->id);
    const int s = e->width;
    EXPECT_TRUE(Transparent(img.pixel(0, 0)));
    EXPECT_TRUE(Transparent(img.pixel(s - 1, s - 1)));
    EXPECT_GT(CountIf(img, img.rect(), Visible), s * s / 4);
    const QRgb mean = Average(img, img.rect(), true);
    switch (e->variant) {
      case artwork::kMarkerEndSetup:
        EXPECT_GT(qGreen(mean), qRed(mean) + 40);
        break;
      case artwork::kMarkerCancelSetup:
      case artwork::kMarkerRedToMove:
        EXPECT_GT(qRed(mean), qGreen(mean) + 60);
        EXPECT_GT(qRed(mean), qBlue(mean) + 60);
        break;
      case artwork::kMarkerBlackToMove:
        EXPECT_GT(qBlue(mean), qRed(mean) + 60);
        break;
      case artwork::kMarkerIronPawn:
        // A ring: the middle stays clear for the pawn under it.
        EXPECT_TRUE(Transparent(img.pixel(s / 2, s / 2)));
        EXPECT_FALSE(Transparent(img.pixel(s / 2, 1)));
        break;
      case artwork::kMarkerEmptyBoard:
        EXPECT_FALSE(Transparent(img.pixel(s / 2, s / 2)));
        // The red king sits in the lower half.
        EXPECT_GT(CountIf(img, QRect(0, s / 2, s, s / 2), RedInk),
                  CountIf(img, QRect(0, 0, s, s / 2), RedInk) + 2);
        break;
      default:
        ADD_FAILURE() << "unknown marker";
    }
  }
}

TEST(Artwork, RiverTextsStandApartOnTransparentBlack) {
  for (const ArtworkEntry* e : OfKind(ArtworkKind::kRiver)) {
    SCOPED_TRACE(e->id);
    const QImage img = Bitmap(e->id);
    const int w = e->width, h = e->height;
    EXPECT_TRUE(Transparent(img.pixel(0, 0)));
    EXPECT_TRUE(Transparent(img.pixel(w - 1, h - 1)));
    // Both halves carry ink; the middle of the river is left open.
    EXPECT_GT(CountIf(img, QRect(0, 0, w / 2, h), Visible), w * h / 20);
    EXPECT_GT(CountIf(img, QRect(w / 2, 0, w - w / 2, h), Visible), w * h / 20);
    EXPECT_EQ(CountIf(img, QRect(w * 2 / 5, 0, w / 5, h), Visible), 0);
  }
}

TEST(Artwork, FlagsMatchTheLanguageButtons) {
  auto at = [](int id, double fx, double fy) {
    const QImage img = Bitmap(id);
    return img.pixel(static_cast<int>(fx * img.width()), static_cast<int>(fy * img.height()));
  };
  const QRgb franceLeft = at(artwork::kBitmapFlagFrance, 0.15, 0.5);
  const QRgb franceRight = at(artwork::kBitmapFlagFrance, 0.85, 0.5);
  EXPECT_GT(qBlue(franceLeft), qRed(franceLeft) + 80);
  EXPECT_TRUE(RedInk(franceRight));
  EXPECT_GT(Luminance(at(artwork::kBitmapFlagFrance, 0.5, 0.5)), 240);

  EXPECT_TRUE(RedInk(at(artwork::kBitmapFlagUnitedKingdom, 0.5, 0.5)));  // St George's cross
  const QRgb ukCorner = at(artwork::kBitmapFlagUnitedKingdom, 0.3, 0.08);
  EXPECT_GT(qBlue(ukCorner), qRed(ukCorner) + 40);

  const QRgb spainMiddle = at(artwork::kBitmapFlagSpain, 0.5, 0.5);
  EXPECT_GT(qRed(spainMiddle), 200);
  EXPECT_GT(qGreen(spainMiddle), 150);
  EXPECT_LT(qBlue(spainMiddle), 80);
  EXPECT_TRUE(RedInk(at(artwork::kBitmapFlagSpain, 0.5, 0.12)));

  const QImage china = Bitmap(artwork::kBitmapFlagChina);
  EXPECT_GT(CountIf(china, china.rect(), RedInk), china.width() * china.height() * 3 / 4);
  EXPECT_TRUE(RedInk(at(artwork::kBitmapFlagChina, 0.8, 0.8)));

  EXPECT_LT(Luminance(at(artwork::kBitmapFlagGermany, 0.5, 0.15)), 40);
  EXPECT_TRUE(RedInk(at(artwork::kBitmapFlagGermany, 0.5, 0.5)));
  const QRgb germanyBottom = at(artwork::kBitmapFlagGermany, 0.5, 0.85);
  EXPECT_GT(qGreen(germanyBottom), 150);
  EXPECT_LT(qBlue(germanyBottom), 80);
}

TEST(Artwork, SortArrowsPointUpAndDown) {
  const QImage up = Bitmap(artwork::kBitmapSortUp);
  const QImage down = Bitmap(artwork::kBitmapSortDown);
  ASSERT_EQ(up.size(), QSize(9, 5));
  ASSERT_EQ(down.size(), QSize(9, 5));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) {
      const bool inUp = std::abs(x - 4) <= y;
      const bool inDown = std::abs(x - 4) <= 4 - y;
      EXPECT_EQ(up.pixel(x, y) & kRgb, inUp ? 0u : kRgb) << x << "," << y;
      EXPECT_EQ(down.pixel(x, y) & kRgb, inDown ? 0u : kRgb) << x << "," << y;
    }
}

TEST(Artwork, AboutPictureAndPaletteSwatchAreOpaquePictures) {
  const QImage about = Bitmap(artwork::kBitmapAbout);
  ASSERT_EQ(about.size(), QSize(240, 160));
  // Pieces of both colours appear on it.
  EXPECT_GT(CountIf(about, about.rect(), RedInk), 40);
  EXPECT_GT(CountIf(about, about.rect(), [](QRgb p) { return Luminance(p) < 60; }), 200);
  const QImage swatch = Bitmap(artwork::kBitmapPaletteSwatch);
  ASSERT_EQ(swatch.size(), QSize(16, 16));
  EXPECT_EQ(CountIf(swatch, swatch.rect(), Transparent), 0);
}

// Toolbar pictures: symbols on real transparency (clear corners), neither
// empty nor a filled square, and no two alike.
TEST(Artwork, ToolbarPicturesAreDistinctSymbolsOnATransparentBackground) {
  const auto pictures = OfKind(ArtworkKind::kToolButton);
  ASSERT_EQ(pictures.size(), 22u);
  std::vector<QImage> images;
  for (const ArtworkEntry* e : pictures) {
    SCOPED_TRACE(e->id);
    const QImage img =
        QImage(QStringLiteral(":/bitmaps/%1").arg(e->id)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(24, 24));
    for (QPoint corner : {QPoint(0, 0), QPoint(23, 0), QPoint(0, 23), QPoint(23, 23)})
      EXPECT_EQ(qAlpha(img.pixel(corner)), 0) << corner.x() << "," << corner.y();
    const int opaque = CountIf(img, img.rect(), [](QRgb p) { return qAlpha(p) > 128; });
    EXPECT_GT(opaque, 24 * 24 / 8);
    EXPECT_LT(opaque, 24 * 24 * 9 / 10);
    images.push_back(img);
  }
  for (size_t i = 0; i < images.size(); ++i)
    for (size_t j = i + 1; j < images.size(); ++j)
      EXPECT_GT(MeanDifference(images[i], images[i].rect(), images[j], images[j].rect()), 10.0)
          << pictures[i]->id << " " << pictures[j]->id;
}

}  // namespace
