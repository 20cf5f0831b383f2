// Noise, colour and text helpers shared by the painters of the generator.
#include "res/artwork/painting.h"

#include <QFontDatabase>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace artwork {

// ------------------------------------------------------------ random numbers

std::uint32_t Rng::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Rng::Uniform() { return (Next() >> 8) * (1.0 / 16777216.0); }

namespace {

std::uint32_t Mix32(std::uint32_t h) {
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h;
}

int Wrap(int i, int period) { return ((i % period) + period) % period; }

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

double Hash01(std::uint32_t seed, int x, int y) {
  std::uint32_t h = Mix32(seed * 0x9E3779B1u + 0x7F4A7C15u);
  h = Mix32(h ^ (static_cast<std::uint32_t>(x) * 0x85EBCA77u));
  h = Mix32(h ^ (static_cast<std::uint32_t>(y) * 0xC2B2AE3Du));
  return (h >> 8) * (1.0 / 16777216.0);
}

// ---------------------------------------------------------- tileable noise

double LatticeNoise(std::uint32_t seed, double u, double v, int periodX, int periodY) {
  const double x = u * periodX, y = v * periodY;
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const double tx = Fade(x - fx), ty = Fade(y - fy);
  const int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
  const int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
  const double a = Hash01(seed, x0, y0), b = Hash01(seed, x1, y0);
  const double c = Hash01(seed, x0, y1), d = Hash01(seed, x1, y1);
  const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

double TileFbm(std::uint32_t seed, double u, double v, int baseX, int baseY, int octaves,
               double gain) {
  double sum = 0, weight = 0, amplitude = 1;
  int px = baseX, py = baseY;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * LatticeNoise(seed + 1013u * static_cast<std::uint32_t>(o), u, v, px, py);
    weight += amplitude;
    amplitude *= gain;
    px *= 2;
    py *= 2;
  }
  return sum / weight;
}

WorleyDistances TileWorley(std::uint32_t seed, double x, double y, int width, int height,
                           int cellsX, int cellsY) {
  const double cw = static_cast<double>(width) / cellsX;
  const double ch = static_cast<double>(height) / cellsY;
  const int cx = static_cast<int>(std::floor(x / cw));
  const int cy = static_cast<int>(std::floor(y / ch));
  double f1 = 1e9, f2 = 1e9;
  for (int j = cy - 2; j <= cy + 2; ++j)
    for (int i = cx - 2; i <= cx + 2; ++i) {
      // The point of a cell comes from its wrapped index, so cells beyond
      // the edge repeat those on the other side.
      const int wi = Wrap(i, cellsX), wj = Wrap(j, cellsY);
      const double px = (i + Hash01(seed, wi, wj)) * cw;
      const double py = (j + Hash01(seed + 77u, wi, wj)) * ch;
      const double d = std::hypot(px - x, py - y);
      if (d < f1) {
        f2 = f1;
        f1 = d;
      } else if (d < f2) {
        f2 = d;
      }
    }
  return {f1, f2};
}

// ------------------------------------------------------------------ colours

double Clamp01(double t) { return std::clamp(t, 0.0, 1.0); }

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b); }

QRgb Mix(QRgb a, QRgb b, double t) {
  t = Clamp01(t);
  auto channel = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
              channel(qBlue(a), qBlue(b)));
}

QRgb Scale(QRgb c, double factor) {
  auto channel = [factor](int x) {
    return std::clamp(static_cast<int>(std::lround(x * factor)), 0, 255);
  };
  return qRgb(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)));
}

QImage ToColourKeyed(const QImage& drawing, QRgb edge) {
  const QImage src = drawing.convertToFormat(QImage::Format_ARGB32);
  QImage out(src.size(), QImage::Format_RGB32);
  constexpr int kInvisible = 72;  // below this coverage a pixel is background
  constexpr int kSolid = 224;     // from this coverage on it is the drawing
  for (int y = 0; y < src.height(); ++y) {
    const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < src.width(); ++x) {
      const int a = qAlpha(s[x]);
      QRgb c = 0xFF000000u;
      if (a >= kSolid)
        c = s[x] | 0xFF000000u;
      else if (a >= kInvisible)
        c = Mix(edge, s[x], a / 255.0);
      if (a >= kInvisible && (c & 0x00FFFFFFu) == 0) c = qRgb(1, 1, 1);
      o[x] = c;
    }
  }
  return out;
}

void AvoidPureBlack(QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0x00FFFFFFu) == 0) image.setPixel(x, y, qRgb(1, 1, 1));
}

// -------------------------------------------------------------------- text

QFont ChineseFont() {
  static const QString family = [] {
    const QString wanted = QStringLiteral("WenQuanYi Micro Hei");
    return QFontDatabase::families().contains(wanted) ? wanted : QFont().family();
  }();
  QFont font(family);
  font.setStyleStrategy(QFont::PreferOutline);
  return font;
}

QFont LatinFont(bool bold) {
  static const QString family = [] {
    const QString wanted = QStringLiteral("Liberation Sans");
    return QFontDatabase::families().contains(wanted) ? wanted : QFont().family();
  }();
  QFont font(family);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferOutline);
  return font;
}

QPainterPath CentredText(const QString& text, QFont font, double pixelSize, QPointF centre) {
  // Outlines are taken at a large size and scaled, so small glyphs keep
  // their true proportions instead of hinted ones.
  constexpr int kMaster = 200;
  font.setPixelSize(kMaster);
  font.setHintingPreference(QFont::PreferNoHinting);
  QPainterPath path;
  path.addText(0, 0, font, text);
  const QRectF ink = path.boundingRect();
  QTransform t;
  t.translate(centre.x(), centre.y());
  t.scale(pixelSize / kMaster, pixelSize / kMaster);
  t.translate(-ink.center().x(), -ink.center().y());
  return t.map(path);
}

}  // namespace artwork
