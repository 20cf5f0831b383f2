// The pictures of the toolbar buttons: small symbols on a transparent
// background, each outlined in a darker shade of its colour so that it reads
// on any band colour. They are drawn on a 24-unit grid scaled to the
// entry's size.
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "res/artwork/painting.h"

namespace artwork {
namespace {

constexpr double kPi = std::numbers::pi;

const QColor kBlue(52, 110, 200), kBlueEdge(20, 48, 110);
const QColor kGreen(58, 168, 70), kGreenEdge(20, 88, 30);
const QColor kRed(212, 40, 34), kRedEdge(118, 14, 10);
const QColor kYellow(250, 208, 58), kYellowEdge(146, 104, 8);
const QColor kWood(232, 196, 128), kWoodEdge(112, 72, 28);
const QColor kInk(44, 44, 52);

void Fill(QPainter& p, const QPainterPath& path, const QBrush& fill, QColor edge,
          double width = 1.0) {
  p.setPen(QPen(edge, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

void Fill(QPainter& p, const QPolygonF& polygon, const QBrush& fill, QColor edge,
          double width = 1.0) {
  QPainterPath path;
  path.addPolygon(polygon);
  path.closeSubpath();
  Fill(p, path, fill, edge, width);
}

void FillRect(QPainter& p, const QRectF& r, const QBrush& fill, QColor edge, double radius = 0) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  Fill(p, path, fill, edge);
}

void Disc(QPainter& p, QPointF c, double r, const QBrush& fill, QColor edge) {
  QPainterPath path;
  path.addEllipse(c, r, r);
  Fill(p, path, fill, edge);
}

void Line(QPainter& p, QPointF a, QPointF b, QColor colour, double width) {
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(a, b);
}

// An arrow head with its tip `length` ahead of `at` in direction `d`.
QPolygonF Head(QPointF at, QPointF d, double length, double half) {
  const QPointF n(-d.y(), d.x());
  return QPolygonF({at + d * length, at + n * half, at - n * half});
}

// A board patch: `fill` with a grid of `lines` inner lines each way.
void BoardPatch(QPainter& p, const QRectF& r, const QBrush& fill, QColor edge, int lines) {
  FillRect(p, r, fill, edge);
  p.setPen(QPen(edge, 0.8));
  for (int i = 1; i <= lines; ++i) {
    const double x = r.left() + r.width() * i / (lines + 1);
    const double y = r.top() + r.height() * i / (lines + 1);
    p.drawLine(QPointF(x, r.top() + 1), QPointF(x, r.bottom() - 1));
    p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
  }
}

// ------------------------------------------------------------- game toolbar

void NewGame(QPainter& p) {
  BoardPatch(p, QRectF(2.5, 4.5, 16, 17), kWood, kWoodEdge, 3);
  Disc(p, QPointF(10.5, 17.3), 2.7, kRed, kRedEdge);
  Disc(p, QPointF(10.5, 8.7), 2.7, kInk, QColor(10, 10, 14));
  // A four-pointed sparkle: the board is fresh.
  QPolygonF star;
  for (int k = 0; k < 8; ++k) {
    const double a = k * kPi / 4, r = k % 2 == 0 ? 5.2 : 1.6;
    star << QPointF(18.8 + r * std::cos(a), 5.2 + r * std::sin(a));
  }
  Fill(p, star, kYellow, kYellowEdge, 0.9);
}

void LoadGame(QPainter& p) {
  Fill(p, QPolygonF({{2.5, 5.5}, {8.5, 5.5}, {10.5, 7.5}, {18.5, 7.5}, {18.5, 19.5}, {2.5, 19.5}}),
       QColor(222, 164, 44), QColor(128, 86, 8));
  Fill(p, QPolygonF({{2.5, 19.5}, {6.5, 11.5}, {22.5, 11.5}, {18.5, 19.5}}), QColor(252, 212, 96),
       QColor(128, 86, 8));
}

void SaveGame(QPainter& p) {
  Fill(p, QPolygonF({{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}}), kBlue, kBlueEdge);
  FillRect(p, QRectF(7, 3, 9.5, 6.5), QColor(206, 210, 220), QColor(80, 86, 100));
  FillRect(p, QRectF(12.6, 4.2, 2.2, 4), QColor(60, 66, 82), QColor(60, 66, 82));
  FillRect(p, QRectF(6, 12.5, 12, 8.5), QColor(250, 250, 246), QColor(120, 130, 156));
  Line(p, QPointF(8, 15.5), QPointF(16, 15.5), QColor(150, 156, 170), 0.8);
  Line(p, QPointF(8, 18), QPointF(16, 18), QColor(150, 156, 170), 0.8);
}

// Two triangles pointing left after a bar: to the start of the game.
void TakeBackAll(QPainter& p) {
  FillRect(p, QRectF(2.5, 5, 2.6, 14), kBlue, kBlueEdge);
  Fill(p, QPolygonF({{13, 5}, {13, 19}, {6, 12}}), kBlue, kBlueEdge);
  Fill(p, QPolygonF({{21, 5}, {21, 19}, {14, 12}}), kBlue, kBlueEdge);
}

void TakeBackOne(QPainter& p) {
  Fill(p, QPolygonF({{17, 4.5}, {17, 19.5}, {6.5, 12}}), kBlue, kBlueEdge);
}

// The same pictures turned to the right.
void Mirrored(QPainter& p, void (*draw)(QPainter&)) {
  p.save();
  p.translate(24, 0);
  p.scale(-1, 1);
  draw(p);
  p.restore();
}

void ClockFace(QPainter& p, QPointF c, double r, QColor hand) {
  Disc(p, c, r, QColor(252, 252, 250), kInk);
  Line(p, c, c + QPointF(0, -0.7 * r), kInk, 1.2);
  Line(p, c, c + QPointF(0.5 * r, 0.35 * r), hand, 1.2);
}

void Automove(QPainter& p) {
  Fill(p, QPolygonF({{3.5, 3.5}, {3.5, 18.5}, {15.5, 11}}), kGreen, kGreenEdge);
  ClockFace(p, QPointF(17, 17), 5.5, kRed);
}

void Monitor(QPainter& p) {
  Fill(p, QPolygonF({{9.5, 16.5}, {14.5, 16.5}, {15.5, 20.5}, {8.5, 20.5}}), QColor(150, 154, 162),
       QColor(64, 66, 72));
  FillRect(p, QRectF(5.5, 20, 13, 2), QColor(150, 154, 162), QColor(64, 66, 72), 0.8);
  FillRect(p, QRectF(1.5, 2.5, 21, 14.5), QColor(96, 100, 110), QColor(40, 42, 48), 1.5);
  FillRect(p, QRectF(3.5, 4.5, 17, 10.5), QColor(36, 66, 128), QColor(20, 30, 60));
}

void PlayNow(QPainter& p) {
  Monitor(p);
  Fill(p, QPolygonF({{9.5, 6}, {9.5, 13.5}, {16, 9.75}}), QColor(96, 222, 96), QColor(20, 88, 30),
       0.8);
}

void StopThinking(QPainter& p) {
  QPolygonF octagon;
  for (int k = 0; k < 8; ++k) {
    const double a = kPi / 8 + k * kPi / 4;
    octagon << QPointF(12 + 10.5 * std::cos(a), 12 + 10.5 * std::sin(a));
  }
  Fill(p, octagon, kRed, kRedEdge, 1.2);
  FillRect(p, QRectF(6, 10.2, 12, 3.6), QColor(255, 255, 255), QColor(255, 255, 255), 0.6);
}

void Hint(QPainter& p) {
  for (double degrees : {-150.0, -90.0, -30.0}) {
    const double a = degrees * kPi / 180;
    const QPointF d(std::cos(a), std::sin(a));
    Line(p, QPointF(12, 10) + 7.6 * d, QPointF(12, 10) + 9.6 * d, kYellowEdge, 1.2);
  }
  QPainterPath glass;
  glass.addEllipse(QPointF(12, 10), 6, 6);
  QPainterPath neck;
  neck.addPolygon(QPolygonF({{8, 12.5}, {16, 12.5}, {15, 17}, {9, 17}}));
  glass = glass.united(neck);
  QRadialGradient light(QPointF(10.5, 8.5), 7.5);
  light.setColorAt(0, QColor(255, 252, 210));
  light.setColorAt(1, QColor(246, 198, 36));
  Fill(p, glass, light, kYellowEdge);
  p.setPen(QPen(QColor(214, 110, 20), 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({{10, 16.5}, {10.5, 11.5}, {12, 13}, {13.5, 11.5}, {14, 16.5}}));
  FillRect(p, QRectF(9, 17, 6, 3.5), QColor(170, 172, 178), QColor(70, 72, 80), 0.6);
  Line(p, QPointF(9.5, 18.7), QPointF(14.5, 18.7), QColor(90, 92, 100), 0.7);
  FillRect(p, QRectF(10.5, 20.5, 3, 1.6), QColor(70, 72, 80), QColor(70, 72, 80), 0.5);
}

void Arrow(QPainter& p, QPointF from, QPointF to, QColor colour, Qt::PenStyle style) {
  const QPointF v = to - from;
  const QPointF d = v / std::hypot(v.x(), v.y());
  p.setPen(QPen(colour, 2.2, style, Qt::FlatCap));
  p.drawLine(from, to - d * 3.5);
  Fill(p, Head(to - d * 4, d, 4.5, 3.2), colour, colour.darker(150), 0.6);
}

// One move struck out, another played from the same square.
void NextBestMove(QPainter& p) {
  Arrow(p, QPointF(12, 20), QPointF(4.5, 4.5), QColor(112, 112, 120), Qt::DashLine);
  Line(p, QPointF(4, 9), QPointF(10.5, 15), kRed, 2);
  Line(p, QPointF(10.5, 9), QPointF(4, 15), kRed, 2);
  Arrow(p, QPointF(12, 20), QPointF(19.5, 4.5), kGreen.darker(110), Qt::SolidLine);
  Disc(p, QPointF(12, 20.5), 2, kInk, kInk);
}

void Player(QPainter& p, double x, QColor colour) {
  QPainterPath body;
  body.moveTo(x - 5.5, 21.5);
  body.lineTo(x - 5.5, 17);
  body.cubicTo(x - 5.5, 12.5, x + 5.5, 12.5, x + 5.5, 17);
  body.lineTo(x + 5.5, 21.5);
  body.closeSubpath();
  Fill(p, body, colour, colour.darker(200));
  Disc(p, QPointF(x, 8.5), 3.6, colour, colour.darker(200));
}

// Two human players, red and black.
void NoComputer(QPainter& p) {
  Player(p, 16, QColor(60, 66, 90));
  Player(p, 8, kRed);
}

QPainterPath Gear(QPointF c, double outer, double inner, double hole, int teeth) {
  // Each tooth is a trapezoid: its foot on the inner radius, its top on the
  // outer one.
  const double offsets[4] = {-0.32, -0.17, 0.17, 0.32};
  const double radii[4] = {inner, outer, outer, inner};
  QPolygonF rim;
  const double step = 2 * kPi / teeth;
  for (int i = 0; i < teeth; ++i)
    for (int k = 0; k < 4; ++k) {
      const double a = (i + offsets[k]) * step;
      rim << c + QPointF(radii[k] * std::cos(a), radii[k] * std::sin(a));
    }
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  path.addPolygon(rim);
  path.closeSubpath();
  path.addEllipse(c, hole, hole);
  return path;
}

void Options(QPainter& p) {
  Fill(p, Gear(QPointF(17.5, 6.5), 5, 3.6, 1.4, 6), QColor(112, 140, 184), kBlueEdge);
  Fill(p, Gear(QPointF(9.5, 14), 9, 6.6, 2.6, 8), QColor(160, 164, 174), QColor(58, 60, 68));
}

void Timing(QPainter& p) {
  FillRect(p, QRectF(10.2, 1.5, 3.6, 3), QColor(170, 172, 178), QColor(64, 66, 72), 0.6);
  Line(p, QPointF(18.5, 6), QPointF(20, 4.5), QColor(64, 66, 72), 2);
  Disc(p, QPointF(12, 13.5), 9, QColor(252, 252, 250), kInk);
  for (int k = 0; k < 4; ++k) {
    const double a = k * kPi / 2;
    const QPointF d(std::cos(a), std::sin(a));
    Line(p, QPointF(12, 13.5) + 6.2 * d, QPointF(12, 13.5) + 7.6 * d, kInk, 1.2);
  }
  Line(p, QPointF(12, 13.5), QPointF(16, 8.5), kRed, 1.6);
  Disc(p, QPointF(12, 13.5), 1.3, kInk, kInk);
}

// ----------------------------------------------------------- design toolbar

// An arc of radius r around c from `start` degrees over `span` degrees
// (counter-clockwise as seen), with a head at its end.
void TurningArrow(QPainter& p, QPointF c, double r, double start, double span) {
  QPainterPath arc;
  arc.arcMoveTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), start);
  arc.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), start, span - 25);
  p.setPen(QPen(kBlue, 2.6, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arc);
  const double a = (start + span - 28) * kPi / 180;
  const QPointF at = c + QPointF(r * std::cos(a), -r * std::sin(a));
  Fill(p, Head(at, QPointF(-std::sin(a), -std::cos(a)), 5, 3.6), kBlue, kBlueEdge, 0.8);
}

// Two arrows chasing each other round: the board turned half a turn.
void Rotate(QPainter& p) {
  TurningArrow(p, QPointF(12, 12), 7.8, 20, 160);
  TurningArrow(p, QPointF(12, 12), 7.8, 200, 160);
}

void Mirror(QPainter& p) {
  p.setPen(QPen(kInk, 1.2, Qt::DashLine));
  p.drawLine(QPointF(12, 1.5), QPointF(12, 22.5));
  Fill(p, QPolygonF({{10, 4.5}, {10, 19.5}, {2, 19.5}}), kBlue, kBlueEdge);
  Fill(p, QPolygonF({{14, 4.5}, {14, 19.5}, {22, 19.5}}), QColor(226, 234, 250), kBlueEdge);
}

void Pieces(QPainter& p) { PaintPiece(p, QPointF(12, 12), 10.5, 1, true, 0); }

// Two board patches of different styles, one over the other.
void BoardStyle(QPainter& p) {
  BoardPatch(p, QRectF(1.5, 1.5, 14, 14), QColor(128, 176, 120), QColor(40, 80, 40), 2);
  const QImage wood = DrawTexture(6, 14, 14);
  p.drawImage(QPointF(8.5, 8.5), wood);
  p.setBrush(Qt::NoBrush);
  BoardPatch(p, QRectF(8.5, 8.5, 14, 14), Qt::NoBrush, kWoodEdge, 2);
}

void Languages(QPainter& p) {
  // A flag of three stripes waving from a pole.
  auto wave = [](double y) {
    QPainterPath edge;
    edge.moveTo(5.5, y);
    edge.cubicTo(10.5, y - 2.5, 15.5, y + 2.5, 21.5, y);
    return edge;
  };
  const QColor stripes[3] = {kBlue, QColor(250, 250, 250), kRed};
  for (int i = 0; i < 3; ++i) {
    QPainterPath band = wave(3.5 + 3.8 * i);
    band.connectPath(wave(3.5 + 3.8 * (i + 1)).toReversed());
    band.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(stripes[i]);
    p.drawPath(band);
  }
  QPainterPath flag = wave(3.5);
  flag.connectPath(wave(14.9).toReversed());
  flag.closeSubpath();
  Fill(p, flag, Qt::NoBrush, kInk, 0.9);
  FillRect(p, QRectF(3.2, 2.5, 2, 20), QColor(150, 110, 60), QColor(80, 54, 20), 0.6);
  Disc(p, QPointF(4.2, 2.2), 1.4, kYellow, kYellowEdge);
}

void BoardSize(QPainter& p) {
  Line(p, QPointF(15, 15), QPointF(21, 21), QColor(110, 70, 30), 3.8);
  Disc(p, QPointF(10, 10), 7, QColor(206, 228, 250), QColor(44, 52, 70));
  p.setPen(QPen(QColor(44, 52, 70), 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(10, 10), 7, 7);
  Line(p, QPointF(6.5, 10), QPointF(13.5, 10), kInk, 1.8);
  Line(p, QPointF(10, 6.5), QPointF(10, 13.5), kInk, 1.8);
}

// A board with a piece and a pencil: the position is being edited.
void Setup(QPainter& p) {
  BoardPatch(p, QRectF(1.5, 5.5, 15, 16.5), kWood, kWoodEdge, 3);
  Disc(p, QPointF(5.3, 18), 2.4, kInk, QColor(10, 10, 14));
  p.save();
  p.translate(15.5, 10.5);
  p.rotate(45);
  FillRect(p, QRectF(-1.9, -7, 3.8, 11), QColor(250, 196, 40), QColor(130, 86, 8));
  FillRect(p, QRectF(-1.9, -9.4, 3.8, 2.4), QColor(240, 150, 160), QColor(130, 70, 80));
  Fill(p, QPolygonF({{-1.9, 4}, {1.9, 4}, {0, 7.8}}), QColor(240, 214, 170), QColor(120, 90, 50),
       0.7);
  Fill(p, QPolygonF({{-0.7, 6.3}, {0.7, 6.3}, {0, 7.8}}), kInk, kInk, 0.5);
  p.restore();
}

}  // namespace

QImage DrawToolButton(const ArtworkEntry& entry) {
  QImage image(entry.width, entry.height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.scale(entry.width / 24.0, entry.height / 24.0);
  // clang-format off
  switch (entry.variant) {
    case kBitmapToolNewGame: NewGame(p); break;
    case kBitmapToolLoadGame: LoadGame(p); break;
    case kBitmapToolSaveGame: SaveGame(p); break;
    case kBitmapToolTakeBackAll: TakeBackAll(p); break;
    case kBitmapToolTakeBackOne: TakeBackOne(p); break;
    case kBitmapToolReplayOne: Mirrored(p, TakeBackOne); break;
    case kBitmapToolReplayAll: Mirrored(p, TakeBackAll); break;
    case kBitmapToolAutomove: Automove(p); break;
    case kBitmapToolPlayNow: PlayNow(p); break;
    case kBitmapToolStopThinking: StopThinking(p); break;
    case kBitmapToolHint: Hint(p); break;
    case kBitmapToolNextBestMove: NextBestMove(p); break;
    case kBitmapToolNoComputer: NoComputer(p); break;
    case kBitmapToolOptions: Options(p); break;
    case kBitmapToolTiming: Timing(p); break;
    case kBitmapToolRotate: Rotate(p); break;
    case kBitmapToolMirror: Mirror(p); break;
    case kBitmapToolPieces: Pieces(p); break;
    case kBitmapToolBoardStyle: BoardStyle(p); break;
    case kBitmapToolLanguages: Languages(p); break;
    case kBitmapToolBoardSize: BoardSize(p); break;
    case kBitmapToolSetup: Setup(p); break;
    default: break;
  }
  // clang-format on
  p.end();
  return image;
}

}  // namespace artwork
