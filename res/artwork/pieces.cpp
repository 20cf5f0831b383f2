// The piece sets: round pieces of a xiangqi set, a disc with a rim and an
// inner ring and the piece's character in the middle.
//   set 1 "Basic": light wood, red or dark blue-black ink;
//   set 2 "Old Pemmet": darker carved wood with a bevelled rim and engraved
//          characters;
//   set 3 "Sepa": ivory disc with a coloured ring, red or green-black;
//   set 4 "Simple graphics": flat red or slate discs with a Latin letter.
// Strips hold 7 columns (king, chariot, cannon, knight, elephant, adviser,
// pawn), red in the top row and black in the bottom one, on pure black,
// which the sprite code takes as transparent.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "res/artwork/painting.h"

namespace artwork {
namespace {

const char16_t* const kRedNames[kPieceColumns] = {u"帥", u"俥", u"炮", u"傌", u"相", u"仕", u"兵"};
const char16_t* const kBlackNames[kPieceColumns] = {u"將", u"車", u"砲", u"馬",
                                                    u"象", u"士", u"卒"};
const char16_t* const kLetters[kPieceColumns] = {u"K", u"R", u"C", u"N", u"E", u"A", u"P"};

// Typical board colour that the antialiased rim of a sprite is mixed with.
constexpr QRgb kBoardTone = 0xFFC8A46E;

QString Name(bool red, int column) {
  return QString::fromUtf16(red ? kRedNames[column] : kBlackNames[column]);
}

QPen RingPen(const QColor& colour, double width) {
  QPen pen(colour, width);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

void Ring(QPainter& p, QPointF centre, double radius, const QPen& pen) {
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, radius, radius);
}

// A character filled in `ink`, thickened by a thin outline of the same ink.
void Character(QPainter& p, const QPainterPath& glyph, const QColor& ink, double stroke) {
  if (stroke > 0) {
    QPen pen(ink, stroke);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
  } else {
    p.setPen(Qt::NoPen);
  }
  p.setBrush(ink);
  p.drawPath(glyph);
}

// The piece's disc of radius r at c, filled with `brush`, without outline.
void FillDisc(QPainter& p, QPointF c, double r, const QBrush& brush) {
  p.setPen(Qt::NoPen);
  p.setBrush(brush);
  p.drawEllipse(c, r, r);
}

void PaintBasic(QPainter& p, QPointF c, double r, bool red, int column) {
  const QColor ink = red ? QColor(190, 28, 24) : QColor(28, 36, 64);
  QRadialGradient disc(c - QPointF(0.3 * r, 0.35 * r), 1.35 * r);
  disc.setColorAt(0, QColor(252, 238, 200));
  disc.setColorAt(0.6, QColor(238, 206, 152));
  disc.setColorAt(1, QColor(206, 162, 102));
  FillDisc(p, c, r, disc);
  const double rim = std::max(1.0, 0.09 * r);
  Ring(p, c, r - rim / 2, RingPen(QColor(140, 94, 50), rim));
  Ring(p, c, 0.8 * r, RingPen(ink, std::max(1.0, 0.06 * r)));
  Character(p, CentredText(Name(red, column), ChineseFont(), 1.18 * r, c), ink, 0.035 * r);
}

// End-grain wood for the carved set: rings around a point off the disc, so
// every piece shows a slightly different figure.
void WoodDisc(QPainter& p, QPointF c, double r, std::uint32_t seed) {
  const int size = static_cast<int>(std::ceil(2 * r)) + 2;
  QImage wood(size, size, QImage::Format_ARGB32_Premultiplied);
  Rng rng(seed);
  const QPointF heart(rng.Range(-1.6, 1.6) * r, rng.Range(-1.6, -0.9) * r);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = x - size / 2.0 - heart.x(), dy = y - size / 2.0 - heart.y();
      const double d = std::hypot(dx, dy) / r;
      const double n = LatticeNoise(seed, x / (size + 1.0), y / (size + 1.0), 4, 4);
      const double ring = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * (3.2 * d + 0.8 * n));
      wood.setPixel(x, y, Mix(qRgb(190, 128, 70), qRgb(150, 94, 46), std::pow(ring, 2.0)));
    }
  QBrush brush(wood);
  brush.setTransform(QTransform::fromTranslate(c.x() - size / 2.0, c.y() - size / 2.0));
  FillDisc(p, c, r, brush);
  // Light from the top left over the whole face.
  QRadialGradient light(c - QPointF(0.4 * r, 0.45 * r), 1.6 * r);
  light.setColorAt(0, QColor(255, 230, 190, 90));
  light.setColorAt(1, QColor(60, 30, 10, 70));
  FillDisc(p, c, r, light);
}

void PaintOldPemmet(QPainter& p, QPointF c, double r, bool red, int column) {
  const QColor ink = red ? QColor(158, 22, 14) : QColor(40, 24, 14);
  WoodDisc(p, c, r, 0xC0FFEEu + 97u * static_cast<std::uint32_t>(column + (red ? 0 : 7)));
  // Bevelled rim: bright where the light falls, dark on the far side.
  const double bevel = std::max(1.5, 0.16 * r);
  QLinearGradient edge(c - QPointF(r, r), c + QPointF(r, r));
  edge.setColorAt(0, QColor(238, 192, 132));
  edge.setColorAt(0.5, QColor(170, 112, 60));
  edge.setColorAt(1, QColor(92, 56, 26));
  Ring(p, c, r - bevel / 2, QPen(QBrush(edge), bevel));
  Ring(p, c, r - 0.5, RingPen(QColor(80, 48, 22), 1.0));
  // Carved groove: a dark cut with its lit lower edge.
  const double groove = std::max(1.0, 0.055 * r);
  const QPointF lit(0.35 * groove, 0.35 * groove);
  Ring(p, c + lit, 0.74 * r, RingPen(QColor(226, 180, 122), groove));
  Ring(p, c, 0.74 * r, RingPen(QColor(96, 58, 28), groove));
  // Engraved character: its lit edge first, then the inked cut.
  const QPainterPath glyph = CentredText(Name(red, column), ChineseFont(), 1.08 * r, c);
  Character(p, glyph.translated(0.05 * r, 0.05 * r), QColor(236, 196, 140), 0.03 * r);
  Character(p, glyph, ink, 0.04 * r);
}

void PaintSepa(QPainter& p, QPointF c, double r, bool red, int column) {
  const QColor ring = red ? QColor(206, 42, 36) : QColor(30, 104, 70);
  const QColor ink = red ? QColor(176, 24, 20) : QColor(18, 60, 40);
  QRadialGradient disc(c - QPointF(0.25 * r, 0.3 * r), 1.3 * r);
  disc.setColorAt(0, QColor(253, 251, 242));
  disc.setColorAt(0.7, QColor(244, 238, 220));
  disc.setColorAt(1, QColor(222, 212, 186));
  FillDisc(p, c, r, disc);
  Ring(p, c, r - 0.5, RingPen(QColor(150, 140, 118), 1.0));
  Ring(p, c, 0.84 * r, RingPen(ring, std::max(1.5, 0.13 * r)));
  Ring(p, c, 0.68 * r, RingPen(ring, std::max(0.8, 0.025 * r)));
  Character(p, CentredText(Name(red, column), ChineseFont(), 0.98 * r, c), ink, 0.02 * r);
}

void PaintSimple(QPainter& p, QPointF c, double r, bool red, int column) {
  const QColor face = red ? QColor(206, 48, 42) : QColor(52, 58, 76);
  const QColor outline = red ? QColor(128, 24, 20) : QColor(26, 30, 40);
  const QColor light(250, 246, 236);
  FillDisc(p, c, r, face);
  const double line = std::max(1.0, 0.07 * r);
  Ring(p, c, r - line / 2, RingPen(outline, line));
  Ring(p, c, 0.8 * r, RingPen(light, line));
  const QString letter = QString::fromUtf16(kLetters[column]);
  Character(p, CentredText(letter, LatinFont(true), 1.25 * r, c), light, 0.0);
}

}  // namespace

void PaintPiece(QPainter& painter, QPointF centre, double radius, int set, bool red, int column) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  switch (set) {
    case 2:
      PaintOldPemmet(painter, centre, radius, red, column);
      break;
    case 3:
      PaintSepa(painter, centre, radius, red, column);
      break;
    case 4:
      PaintSimple(painter, centre, radius, red, column);
      break;
    default:
      PaintBasic(painter, centre, radius, red, column);
      break;
  }
  painter.restore();
}

QImage DrawPieceStrip(const ArtworkEntry& entry) {
  const int cell = entry.width / entry.columns;
  QImage drawing(entry.width, entry.height, QImage::Format_ARGB32_Premultiplied);
  drawing.fill(Qt::transparent);
  QPainter p(&drawing);
  // Pieces keep a pixel or more clear of the cell's edge so neighbours on
  // the board never touch.
  const double radius = cell / 2.0 - std::max(1.0, cell * 0.03);
  for (int row = 0; row < entry.rows; ++row)
    for (int column = 0; column < entry.columns; ++column) {
      const QPointF centre(column * cell + cell / 2.0, row * cell + cell / 2.0);
      PaintPiece(p, centre, radius, entry.variant, row == 0, column % kPieceColumns);
    }
  p.end();
  return ToColourKeyed(drawing, kBoardTone);
}

// The program's icon: the red king of the basic set, with real transparency.
QImage DrawIcon(const ArtworkEntry& entry) {
  QImage icon(entry.width, entry.height, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  const QPointF centre(entry.width / 2.0, entry.height / 2.0);
  PaintPiece(p, centre, entry.width / 2.0 - 0.5, 1, true, 0);
  p.end();
  return icon;
}

}  // namespace artwork
