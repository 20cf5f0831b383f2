// Shared drawing helpers of the artwork generator: deterministic noise that
// wraps around a tile, colour mixing, the conversion of antialiased drawings
// to colour-keyed sprites (pure black = transparent), text outlines, and the
// painters of each kind of picture.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <cstdint>

#include "res/artwork/artwork_ids.h"

namespace artwork {

// ------------------------------------------------------------ random numbers

// A small fixed generator (xorshift32), so the pictures never depend on the
// standard library's distributions.
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  std::uint32_t Next();
  double Uniform();  // [0, 1)
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

 private:
  std::uint32_t state_;
};

// A value in [0, 1) fixed by the seed and the integer point.
double Hash01(std::uint32_t seed, int x, int y);

// ---------------------------------------------------------- tileable noise
// Coordinates u, v run over [0, 1) across the tile; every function below
// takes the same value at u and u + 1 (and v, v + 1), so the pictures built
// from them tile without seams.

// Smooth value noise over a lattice of periodX x periodY cells, in [0, 1].
double LatticeNoise(std::uint32_t seed, double u, double v, int periodX, int periodY);

// Sum of octaves of lattice noise, the first with baseX x baseY cells, each
// next one twice as fine and `gain` times as strong; in [0, 1].
double TileFbm(std::uint32_t seed, double u, double v, int baseX, int baseY, int octaves,
               double gain = 0.5);

// Distances to the nearest and second nearest of one random point per cell
// of a cellsX x cellsY grid, measured in pixels of a width x height tile.
struct WorleyDistances {
  double f1;
  double f2;
};
WorleyDistances TileWorley(std::uint32_t seed, double x, double y, int width, int height,
                           int cellsX, int cellsY);

// ------------------------------------------------------------------ colours

QRgb Mix(QRgb a, QRgb b, double t);  // t = 0 gives a, 1 gives b
QRgb Scale(QRgb c, double factor);   // brightness, clamped
QRgb Rgb(int r, int g, int b);       // opaque
double Clamp01(double t);

// An antialiased drawing on a transparent background made into a sprite for
// the colour-keyed strips: nearly transparent pixels become pure black,
// nearly opaque ones keep their colour, edge pixels in between are mixed
// with `edge` (a typical board colour) so that the outline stays smooth on
// the board. No visible pixel comes out pure black.
QImage ToColourKeyed(const QImage& drawing, QRgb edge);

// Replaces pure black by the nearest visible colour in an opaque picture.
void AvoidPureBlack(QImage& image);

// -------------------------------------------------------------------- text

// The font for Chinese characters (WenQuanYi Micro Hei when installed, the
// default family otherwise) and a Latin sans-serif font.
QFont ChineseFont();
QFont LatinFont(bool bold);

// Outline of `text` in `font` at `pixelSize`, centred on `centre` by its
// ink (the outline's bounding box), not by the font metrics.
QPainterPath CentredText(const QString& text, QFont font, double pixelSize, QPointF centre);

// ---------------------------------------------------------------- painters

// Piece columns of the strips: king, chariot, cannon, knight, elephant,
// adviser, pawn.
inline constexpr int kPieceColumns = 7;

// Draws piece `column` of `set` (1 Basic, 2 Old Pemmet, 3 Sepa, 4 Simple
// graphics) for red or black as a disc of `radius` around `centre`.
void PaintPiece(QPainter& painter, QPointF centre, double radius, int set, bool red, int column);

// The board texture of a style (6..21) at any size; tiles seamlessly.
QImage DrawTexture(int style, int width, int height);

// One picture of the table, at the entry's size.
QImage DrawPieceStrip(const ArtworkEntry& entry);
QImage DrawMarker(const ArtworkEntry& entry);
QImage DrawRiver(const ArtworkEntry& entry);
QImage DrawFlag(const ArtworkEntry& entry);
QImage DrawAboutPicture(const ArtworkEntry& entry);
QImage DrawSortArrow(const ArtworkEntry& entry);
QImage DrawIcon(const ArtworkEntry& entry);
QImage DrawToolButton(const ArtworkEntry& entry);

}  // namespace artwork
