// Board textures. Each is a function of the tile coordinates built from
// noise that wraps around the tile, so the board builder can lay copies side
// by side without seams. The grid is drawn over them in a dark grey, so all
// of them stay light to medium.
//
// Styles without a menu name of their own (17..21, reached by cycling) are
// walnut wood, grey stone, parchment, maple wood and cork.
#include <cmath>
#include <functional>
#include <numbers>

#include "res/artwork/painting.h"

namespace artwork {
namespace {

constexpr double kTau = 2 * std::numbers::pi;

// Calls shade(x, y, u, v) for every pixel.
QImage Render(int width, int height, const std::function<QRgb(int, int, double, double)>& shade) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = shade(x, y, static_cast<double>(x) / width, static_cast<double>(y) / height);
  }
  AvoidPureBlack(image);
  return image;
}

struct WoodLook {
  QRgb light;
  QRgb dark;
  int rings;     // grain lines down the tile (whole number: the tile wraps)
  double warp;   // how far the lines wander
  double sharp;  // > 1 makes the dark lines thinner
  std::uint32_t seed;
};

// Plain-sawn wood: growth rings along the x axis, each darkening slowly
// towards its late wood and ending sharply, finer lines between them, fibres
// and a slow mottle.
QImage Wood(const WoodLook& look, int width, int height) {
  const int fibreRows = std::max(2, height / 2);
  return Render(width, height, [&](int, int, double u, double v) {
    const double wander = TileFbm(look.seed, u, v, 2, 2, 4) - 0.5;
    const double t = look.rings * v + look.warp * wander;
    const double f = t - std::floor(t);
    const double late = std::pow(f, 2 * look.sharp) * (1 - std::pow(Clamp01((f - 0.9) / 0.1), 2));
    const double ring = 0.6 * late + 0.4 * (0.5 + 0.5 * std::sin(kTau * t));
    const double fine =
        0.5 + 0.5 * std::sin(kTau * (4 * look.rings * v + 1.5 * look.warp * wander));
    const double fibre = TileFbm(look.seed + 5, u, v, 3, fibreRows, 2);
    const double mottle = TileFbm(look.seed + 9, u, v, 2, 2, 3);
    const double k = 0.6 * ring + 0.1 * fine + 0.25 * fibre + 0.2 * (mottle - 0.3);
    return Mix(look.light, look.dark, k);
  });
}

struct MarbleLook {
  QRgb base;
  QRgb cloud;          // the mottle mixed into the base
  QRgb vein;           // main veins
  QRgb highlight;      // thin pale veins
  int slopeX, slopeY;  // direction of the veins (whole numbers: the tile wraps)
  double turbulence;
  std::uint32_t seed;
};

QImage Marble(const MarbleLook& look, int width, int height) {
  return Render(width, height, [&](int x, int y, double u, double v) {
    const double cloud = TileFbm(look.seed, u, v, 2, 2, 4);
    const double turb = TileFbm(look.seed + 3, u, v, 3, 3, 5);
    const double t = look.slopeX * u + look.slopeY * v + look.turbulence * turb;
    const double vein = std::pow(1 - std::fabs(std::sin(std::numbers::pi * t)), 10);
    const double turb2 = TileFbm(look.seed + 17, u, v, 2, 3, 5);
    const double t2 = look.slopeY * u - look.slopeX * v + 1.7 * look.turbulence * turb2;
    const double pale = std::pow(1 - std::fabs(std::sin(std::numbers::pi * t2)), 24);
    QRgb c = Mix(look.base, look.cloud, 1.4 * (cloud - 0.25));
    c = Mix(c, look.vein, 0.8 * vein);
    c = Mix(c, look.highlight, 0.7 * pale);
    const double grain = Hash01(look.seed + 31, x, y) - 0.5;
    return Scale(c, 1 + 0.03 * grain);
  });
}

QImage Steel(int width, int height) {
  const int streakRows = std::max(2, height / 2);
  return Render(width, height, [&](int x, int y, double u, double v) {
    const double streak = TileFbm(1301, u, v, 2, streakRows, 3);
    const double broad = TileFbm(1307, u, v, 1, 4, 3);
    const double sheen = 0.5 + 0.5 * std::sin(kTau * (u + v));
    const double fine = Hash01(1311, x, y) - 0.5;
    const double g = 168 + 34 * streak + 14 * broad + 12 * sheen + 6 * fine;
    const int grey = static_cast<int>(g);
    return Rgb(std::clamp(grey - 4, 0, 255), std::clamp(grey, 0, 255),
               std::clamp(grey + 7, 0, 255));
  });
}

QImage Leather(int width, int height) {
  return Render(width, height, [&](int x, int y, double u, double v) {
    const WorleyDistances w = TileWorley(1401, x + 0.5, y + 0.5, width, height, 11, 11);
    const double crease = 1 - Clamp01((w.f2 - w.f1) / 1.6);
    const double bump = Clamp01(w.f1 / 6.0);
    const double mottle = TileFbm(1403, u, v, 2, 2, 4);
    const double pore = Hash01(1405, x, y);
    QRgb c = Mix(Rgb(158, 194, 138), Rgb(112, 154, 102), 1.3 * (mottle - 0.15));
    c = Scale(c, 1.04 - 0.1 * bump);
    c = Mix(c, Rgb(84, 120, 76), 0.45 * crease);
    if (pore < 0.05) c = Scale(c, 0.9);
    return c;
  });
}

QImage Ocean(int width, int height) {
  return Render(width, height, [&](int x, int y, double u, double v) {
    // Caustics: a cell pattern bent by slow noise.
    const double bendX = 6 * (TileFbm(1505, u, v, 2, 2, 3) - 0.5);
    const double bendY = 6 * (TileFbm(1507, u, v, 2, 2, 3) - 0.5);
    const WorleyDistances w =
        TileWorley(1501, x + 0.5 + bendX, y + 0.5 + bendY, width, height, 4, 4);
    const double caustic = std::pow(1 - Clamp01((w.f2 - w.f1) / 5.0), 3);
    const double depth = TileFbm(1503, u, v, 2, 2, 4);
    const double swell = 0.5 + 0.5 * std::sin(kTau * (u + 2 * v + 0.6 * depth));
    QRgb c = Mix(Rgb(96, 146, 192), Rgb(130, 180, 218), 0.6 * depth + 0.3 * swell);
    return Mix(c, Rgb(196, 228, 246), 0.7 * caustic);
  });
}

QImage Greeny(int width, int height) {
  const int fibreColumns = std::max(2, width / 2);
  return Render(width, height, [&](int x, int y, double u, double v) {
    const double mottle = TileFbm(1601, u, v, 2, 3, 5);
    const double fibre = TileFbm(1603, u, v, fibreColumns, 3, 2);
    const double speck = Hash01(1605, x, y);
    QRgb c = Mix(Rgb(186, 218, 160), Rgb(128, 176, 112), 1.3 * (mottle - 0.2));
    c = Scale(c, 0.94 + 0.12 * fibre);
    if (speck > 0.97) c = Scale(c, 1.06);
    return c;
  });
}

// Paper: a soft mottle, fine grain and short fibres.
QImage Paper(QRgb light, QRgb dark, int fibres, std::uint32_t seed, int width, int height) {
  QImage image = Render(width, height, [&](int x, int y, double u, double v) {
    const double mottle = TileFbm(seed, u, v, 3, 3, 5);
    const double blotch = std::pow(TileFbm(seed + 2, u, v, 2, 2, 3), 2.0);
    const double grain = Hash01(seed + 4, x, y) - 0.5;
    QRgb c = Mix(light, dark, 0.9 * mottle * blotch + 0.25 * mottle);
    return Scale(c, 1 + 0.025 * grain);
  });
  // Fibres: short curved strokes, plotted with wrap-around so they cross
  // the tile's edges cleanly.
  Rng rng(seed + 6);
  for (int f = 0; f < fibres; ++f) {
    double x = rng.Range(0, width), y = rng.Range(0, height);
    double angle = rng.Range(0, kTau);
    const int length = 6 + static_cast<int>(rng.Uniform() * 16);
    const double bend = rng.Range(-0.12, 0.12);
    const double shade = rng.Uniform() < 0.5 ? 0.95 : 1.03;
    for (int s = 0; s < length; ++s) {
      const int px = ((static_cast<int>(std::floor(x)) % width) + width) % width;
      const int py = ((static_cast<int>(std::floor(y)) % height) + height) % height;
      image.setPixel(px, py, Scale(image.pixel(px, py), shade));
      x += std::cos(angle);
      y += std::sin(angle);
      angle += bend;
    }
  }
  return image;
}

QImage Stone(int width, int height) {
  return Render(width, height, [&](int x, int y, double u, double v) {
    const double cloud = TileFbm(1901, u, v, 2, 2, 4);
    const WorleyDistances dark = TileWorley(1903, x + 0.5, y + 0.5, width, height, 16, 16);
    const WorleyDistances pale = TileWorley(1905, x + 0.5, y + 0.5, width, height, 12, 12);
    QRgb c = Mix(Rgb(212, 208, 200), Rgb(180, 176, 170), cloud);
    if (dark.f1 < 0.9) c = Mix(c, Rgb(118, 112, 108), 0.75);
    if (pale.f1 < 1.1) c = Mix(c, Rgb(240, 236, 230), 0.8);
    return Scale(c, 1 + 0.04 * (Hash01(1907, x, y) - 0.5));
  });
}

QImage Cork(int width, int height) {
  return Render(width, height, [&](int x, int y, double u, double v) {
    const WorleyDistances w = TileWorley(2101, x + 0.5, y + 0.5, width, height, 8, 8);
    const double granule = Clamp01(w.f1 / 4.0);
    const double edge = 1 - Clamp01((w.f2 - w.f1) / 1.5);
    const double cloud = TileFbm(2103, u, v, 2, 2, 3);
    QRgb c = Mix(Rgb(222, 186, 136), Rgb(190, 148, 98), 0.6 * granule + 0.4 * cloud);
    c = Mix(c, Rgb(156, 114, 72), 0.5 * edge);
    if (Hash01(2105, x, y) < 0.05) c = Mix(c, Rgb(132, 94, 60), 0.7);
    return c;
  });
}

}  // namespace

QImage DrawTexture(int style, int width, int height) {
  switch (style) {
    case 6:  // Oak wood
      return Wood({Rgb(230, 202, 154), Rgb(186, 146, 98), 7, 1.2, 1.8, 601}, width, height);
    case 7:  // Deep ocean
      return Ocean(width, height);
    case 8:  // Greeny
      return Greeny(width, height);
    case 9:  // Rose paper
      return Paper(Rgb(246, 226, 224), Rgb(222, 184, 184), width * height / 60, 901, width, height);
    case 10:  // Tek wood
      return Wood({Rgb(216, 164, 108), Rgb(170, 118, 70), 6, 0.5, 1.4, 1001}, width, height);
    case 11:  // Red marble
      return Marble({Rgb(214, 152, 142), Rgb(232, 180, 170), Rgb(168, 92, 86), Rgb(244, 222, 214),
                     1, 1, 1.2, 1101},
                    width, height);
    case 12:  // Merisier (cherry) wood
      return Wood({Rgb(226, 168, 130), Rgb(180, 114, 82), 8, 0.9, 1.6, 1201}, width, height);
    case 13:
      return Steel(width, height);
    case 14:  // Nervy wood: tight, strongly figured grain
      return Wood({Rgb(232, 204, 158), Rgb(156, 110, 68), 5, 2.6, 2.6, 1401}, width, height);
    case 15:  // Green marble
      return Marble({Rgb(162, 198, 170), Rgb(196, 224, 200), Rgb(74, 124, 92), Rgb(236, 246, 238),
                     2, 1, 2.2, 1501},
                    width, height);
    case 16:  // Green leather
      return Leather(width, height);
    case 17:  // walnut
      return Wood({Rgb(196, 156, 116), Rgb(136, 96, 66), 6, 1.4, 1.6, 1701}, width, height);
    case 18:
      return Stone(width, height);
    case 19:  // parchment
      return Paper(Rgb(240, 228, 198), Rgb(208, 184, 138), width * height / 120, 1901, width,
                   height);
    case 20:  // maple
      return Wood({Rgb(242, 222, 184), Rgb(208, 176, 132), 9, 0.8, 1.5, 2001}, width, height);
    case 21:
      return Cork(width, height);
    default:
      return QImage();
  }
}

}  // namespace artwork
