// The pictures of the dialogs: the language chooser's flags, the about box
// picture and the list header's sort arrows.
//
// The language chooser shows one flag beside each button: 182 France
// (Français), 183 United Kingdom (English), 184 Spain (Español), 185 China
// (Chinese), 186 Germany (German).
#include <QPolygonF>
#include <cmath>
#include <numbers>

#include "res/artwork/painting.h"

namespace artwork {
namespace {

void Stripes(QPainter& p, const QRectF& r, bool vertical, const QColor (&colours)[3],
             const double (&shares)[3]) {
  double at = 0;
  for (int i = 0; i < 3; ++i) {
    const double len = (vertical ? r.width() : r.height()) * shares[i];
    const QRectF band = vertical ? QRectF(r.left() + at, r.top(), len, r.height())
                                 : QRectF(r.left(), r.top() + at, r.width(), len);
    p.fillRect(band, colours[i]);
    at += len;
  }
}

// A five-pointed star of outer radius r around c, one point aimed at `aim`.
QPolygonF Star(QPointF c, double r, QPointF aim) {
  const double start = std::atan2(aim.y() - c.y(), aim.x() - c.x());
  QPolygonF star;
  for (int k = 0; k < 10; ++k) {
    const double a = start + k * std::numbers::pi / 5;
    const double radius = k % 2 == 0 ? r : r * 0.382;
    star << c + QPointF(radius * std::cos(a), radius * std::sin(a));
  }
  return star;
}

void UnionFlag(QPainter& p, double w, double h) {
  const QColor blue(1, 33, 105), red(200, 16, 46), white(255, 255, 255);
  p.fillRect(QRectF(0, 0, w, h), blue);
  p.setPen(QPen(white, h * 0.2));
  p.drawLine(QPointF(0, 0), QPointF(w, h));
  p.drawLine(QPointF(0, h), QPointF(w, 0));
  p.setPen(QPen(red, h * 0.067));
  p.drawLine(QPointF(0, 0), QPointF(w, h));
  p.drawLine(QPointF(0, h), QPointF(w, 0));
  p.fillRect(QRectF(0, h / 3, w, h / 3), white);
  p.fillRect(QRectF(w / 2 - h / 6, 0, h / 3, h), white);
  p.fillRect(QRectF(0, h * 0.4, w, h * 0.2), red);
  p.fillRect(QRectF(w / 2 - h * 0.1, 0, h * 0.2, h), red);
}

void ChinaFlag(QPainter& p, double w, double h) {
  p.fillRect(QRectF(0, 0, w, h), QColor(222, 41, 16));
  const double u = w / 30;  // the flag's own grid of 30 x 20
  const QPointF big(5 * u, 5 * u);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 222, 0));
  p.drawPolygon(Star(big, 3 * u, big - QPointF(0, 1)));
  const QPointF small[4] = {{10 * u, 2 * u}, {12 * u, 4 * u}, {12 * u, 7 * u}, {10 * u, 9 * u}};
  for (const QPointF& s : small) p.drawPolygon(Star(s, u, big));
}

}  // namespace

QImage DrawFlag(const ArtworkEntry& entry) {
  QImage image(entry.width, entry.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double w = entry.width, h = entry.height;
  const QRectF all(0, 0, w, h);
  switch (entry.variant) {
    case kFlagFrance:
      Stripes(p, all, true, {QColor(0, 35, 149), QColor(255, 255, 255), QColor(237, 41, 57)},
              {1.0 / 3, 1.0 / 3, 1.0 / 3});
      break;
    case kFlagUnitedKingdom:
      UnionFlag(p, w, h);
      break;
    case kFlagSpain:
      Stripes(p, all, false, {QColor(170, 21, 27), QColor(241, 191, 0), QColor(170, 21, 27)},
              {0.25, 0.5, 0.25});
      break;
    case kFlagChina:
      ChinaFlag(p, w, h);
      break;
    case kFlagGermany:
      // The top stripe is a near-black, never pure black.
      Stripes(p, all, false, {QColor(12, 12, 12), QColor(221, 0, 0), QColor(255, 206, 0)},
              {1.0 / 3, 1.0 / 3, 1.0 / 3});
      break;
    default:
      break;
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(110, 110, 110));
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, entry.width - 1, entry.height - 1);
  p.end();
  return image;
}

// A corner of a board with a few pieces of the basic set and the program's
// name.
QImage DrawAboutPicture(const ArtworkEntry& entry) {
  QImage image = DrawTexture(6, entry.width, entry.height);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double s = 34, x0 = 22, y0 = 22;
  const QColor grid(40, 40, 40);
  p.setPen(QPen(grid, 4));
  p.drawLine(QPointF(x0 - 6, y0 - 6), QPointF(entry.width, y0 - 6));
  p.drawLine(QPointF(x0 - 6, y0 - 6), QPointF(x0 - 6, entry.height));
  p.setPen(QPen(grid, 1.6));
  for (int i = 0; i * s + x0 < entry.width; ++i)
    p.drawLine(QPointF(x0 + i * s, y0), QPointF(x0 + i * s, entry.height));
  for (int j = 0; j * s + y0 < entry.height; ++j)
    p.drawLine(QPointF(x0, y0 + j * s), QPointF(entry.width, y0 + j * s));
  p.drawLine(QPointF(x0 + 3 * s, y0), QPointF(x0 + 5 * s, y0 + 2 * s));
  p.drawLine(QPointF(x0 + 5 * s, y0), QPointF(x0 + 3 * s, y0 + 2 * s));
  const double r = 0.45 * s;
  auto piece = [&](int file, int rank, bool red, int column) {
    PaintPiece(p, QPointF(x0 + file * s, y0 + rank * s), r, 1, red, column);
  };
  piece(0, 0, false, 1);  // chariot
  piece(1, 0, false, 3);  // knight
  piece(2, 0, false, 4);  // elephant
  piece(3, 0, false, 5);  // adviser
  piece(4, 0, false, 0);  // king
  piece(5, 0, false, 5);
  piece(1, 2, false, 2);  // cannon
  piece(0, 3, false, 6);  // pawns
  piece(4, 2, true, 2);   // a red cannon aiming at the king
  // The name, outlined so it reads over the grid.
  QFont font = LatinFont(true);
  const QPainterPath name = CentredText(QStringLiteral("Vorelk"), font, 50,
                                        QPointF(entry.width * 0.64, entry.height * 0.8));
  p.setPen(QPen(QColor(252, 244, 226), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(name);
  p.setPen(QPen(QColor(110, 12, 8), 1.2));
  p.setBrush(QColor(176, 26, 20));
  p.drawPath(name);
  p.end();
  return image;
}

// A triangle of rows 1, 3, 5, 7 and 9 pixels wide, black on white.
QImage DrawSortArrow(const ArtworkEntry& entry) {
  QImage image(entry.width, entry.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  const int middle = entry.width / 2;
  for (int y = 0; y < entry.height; ++y) {
    const int half = entry.variant == kArrowUp ? y : entry.height - 1 - y;
    for (int x = middle - half; x <= middle + half; ++x)
      if (x >= 0 && x < entry.width) image.setPixel(x, y, qRgb(0, 0, 0));
  }
  return image;
}

}  // namespace artwork
