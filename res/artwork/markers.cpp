// Markers drawn over the board (setup palette buttons, side-to-move discs,
// the iron-pawn ring) and the river texts, all one-cell sprites on pure
// black.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "res/artwork/painting.h"

namespace artwork {
namespace {

constexpr QRgb kBoardTone = 0xFFC8A46E;

// A shaded disc: light `top` at the upper left through `face` to `shade`
// at the rim, outlined in `outline`.
void ShadedDisc(QPainter& p, QPointF c, double r, QColor top, QColor face, QColor shade,
                QColor outline) {
  QRadialGradient g(c - QPointF(0.35 * r, 0.4 * r), 1.45 * r);
  g.setColorAt(0, top);
  g.setColorAt(0.5, face);
  g.setColorAt(1, shade);
  p.setPen(QPen(outline, std::max(1.0, 0.06 * r)));
  p.setBrush(g);
  p.drawEllipse(c, r - 0.03 * r, r - 0.03 * r);
}

void EndSetup(QPainter& p, double s) {
  const QPointF c(s / 2, s / 2);
  const double r = s / 2 - std::max(1.0, 0.04 * s);
  ShadedDisc(p, c, r, QColor(150, 226, 130), QColor(52, 160, 60), QColor(26, 104, 36),
             QColor(18, 76, 26));
  QPainterPath tick;
  tick.moveTo(0.28 * s, 0.52 * s);
  tick.lineTo(0.44 * s, 0.68 * s);
  tick.lineTo(0.74 * s, 0.34 * s);
  QPen pen(QColor(250, 252, 246), 0.11 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(14, 64, 20), 0.11 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(tick.translated(0.02 * s, 0.03 * s));
  p.setPen(pen);
  p.drawPath(tick);
}

void CancelSetup(QPainter& p, double s) {
  const QPointF c(s / 2, s / 2);
  const double r = s / 2 - std::max(1.0, 0.04 * s);
  ShadedDisc(p, c, r, QColor(250, 120, 104), QColor(204, 34, 30), QColor(146, 18, 16),
             QColor(104, 10, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 248, 244));
  const QRectF bar(0.24 * s, 0.43 * s, 0.52 * s, 0.14 * s);
  p.drawRoundedRect(bar, 0.03 * s, 0.03 * s);
}

// A small empty board with only the two kings on it.
void EmptyBoard(QPainter& p, double s) {
  const double w = 0.74 * s, h = 0.84 * s;
  const QRectF board((s - w) / 2, (s - h) / 2, w, h);
  p.setPen(QPen(QColor(92, 62, 34), std::max(1.0, 0.035 * s)));
  p.setBrush(QColor(234, 204, 150));
  p.drawRoundedRect(board, 0.04 * s, 0.04 * s);
  // Four files by five ranks of the grid, the river across the middle.
  const double dx = w / 5, dy = h / 6;
  const double left = board.left() + dx / 2, top = board.top() + dy / 2;
  p.setPen(QPen(QColor(70, 50, 30), std::max(0.8, s / 54.0)));
  for (int j = 0; j < 6; ++j)
    p.drawLine(QPointF(left, top + j * dy), QPointF(left + 4 * dx, top + j * dy));
  for (int i = 0; i < 5; ++i) {
    const double x = left + i * dx;
    if (i == 0 || i == 4) {
      p.drawLine(QPointF(x, top), QPointF(x, top + 5 * dy));
    } else {
      p.drawLine(QPointF(x, top), QPointF(x, top + 2 * dy));
      p.drawLine(QPointF(x, top + 3 * dy), QPointF(x, top + 5 * dy));
    }
  }
  const double king = 0.15 * s;
  PaintPiece(p, QPointF(s / 2, top + 5 * dy - 0.2 * dy), king, 4, true, 0);
  PaintPiece(p, QPointF(s / 2, top + 0.2 * dy), king, 4, false, 0);
}

void SideDisc(QPainter& p, double s, bool red) {
  const QPointF c(s / 2, s / 2);
  const double r = s / 2 - 0.5;
  if (red)
    ShadedDisc(p, c, r, QColor(255, 150, 130), QColor(222, 40, 30), QColor(150, 20, 16),
               QColor(110, 14, 10));
  else
    ShadedDisc(p, c, r, QColor(150, 180, 255), QColor(40, 84, 206), QColor(20, 42, 132),
               QColor(14, 28, 96));
}

// An iron ring with four rivets; the middle stays clear so the pawn's
// character shows through.
void IronRing(QPainter& p, double s) {
  const QPointF c(s / 2, s / 2);
  const double outer = s / 2 - 0.5, inner = outer - 0.14 * s;
  QPainterPath ring;
  ring.addEllipse(c, outer, outer);
  ring.addEllipse(c, inner, inner);
  QLinearGradient steel(0, 0, s, s);
  steel.setColorAt(0, QColor(232, 236, 242));
  steel.setColorAt(0.5, QColor(150, 156, 166));
  steel.setColorAt(1, QColor(88, 92, 102));
  p.setPen(QPen(QColor(60, 64, 72), 0.8));
  p.setBrush(steel);
  p.drawPath(ring);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(246, 246, 250));
  const double mid = (outer + inner) / 2, dot = 0.05 * s;
  for (int k = 0; k < 4; ++k) {
    const double a = (45 + 90 * k) * std::numbers::pi / 180;
    p.drawEllipse(c + QPointF(mid * std::cos(a), mid * std::sin(a)), dot, dot);
  }
}

}  // namespace

QImage DrawMarker(const ArtworkEntry& entry) {
  QImage drawing(entry.width, entry.height, QImage::Format_ARGB32_Premultiplied);
  drawing.fill(Qt::transparent);
  QPainter p(&drawing);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double s = entry.width;
  switch (entry.variant) {
    case kMarkerEndSetup:
      EndSetup(p, s);
      break;
    case kMarkerCancelSetup:
      CancelSetup(p, s);
      break;
    case kMarkerEmptyBoard:
      EmptyBoard(p, s);
      break;
    case kMarkerRedToMove:
      SideDisc(p, s, true);
      break;
    case kMarkerBlackToMove:
      SideDisc(p, s, false);
      break;
    case kMarkerIronPawn:
      IronRing(p, s);
      break;
    default:
      break;
  }
  p.end();
  return ToColourKeyed(drawing, kBoardTone);
}

// "楚河" on the left and "漢界" on the right, far apart, in a dark ink that
// the board builder lays over the river faintly, with an offset shadow.
QImage DrawRiver(const ArtworkEntry& entry) {
  QImage drawing(entry.width, entry.height, QImage::Format_ARGB32_Premultiplied);
  drawing.fill(Qt::transparent);
  QPainter p(&drawing);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor ink(52, 40, 30);
  p.setPen(QPen(ink, 0.035 * entry.height, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(ink);
  QFont font = ChineseFont();
  font.setLetterSpacing(QFont::PercentageSpacing, 140);
  const double size = 0.86 * entry.height;
  const double y = entry.height / 2.0;
  p.drawPath(CentredText(QString::fromUtf16(u"楚河"), font, size, QPointF(0.21 * entry.width, y)));
  p.drawPath(CentredText(QString::fromUtf16(u"漢界"), font, size, QPointF(0.79 * entry.width, y)));
  p.end();
  return ToColourKeyed(drawing, Mix(kBoardTone, qRgb(52, 40, 30), 0.3));
}

}  // namespace artwork
