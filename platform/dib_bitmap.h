// Bitmaps of the board view: CDibBitmap holds one image (board textures,
// the finished board picture); CSpriteStrip cuts an image into equal cells
// (one piece or marker per cell), treats pure black as transparent and
// draws a cell over a background with an opacity weight, keeping the
// background under a moving piece so it can be put back.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>
#include <vector>

#include "platform/colour.h"
#include "platform/device_context.h"

// Images named as resources are read from the Qt resource folder
// ":/bitmaps/<name>" (PNG or BMP, found by content); other names are paths.
class CDibBitmap {
 public:
  CDibBitmap() = default;
  // Loads an image; on failure the bitmap is empty (width and height 0).
  CDibBitmap(CDC* dc, const QString& imageName, bool fromResource);
  // Takes over an existing image.
  explicit CDibBitmap(QImage bitmap);
  virtual ~CDibBitmap() = default;
  CDibBitmap(const CDibBitmap&) = delete;
  CDibBitmap& operator=(const CDibBitmap&) = delete;

  bool Load(const QString& imageName, bool fromResource);
  bool LoadFromMemory(const QByteArray& data);

  // The image's rectangle (x, y)-(right, bottom) to the same place in dc.
  void DrawRect(CDC& dc, int x, int y, int right, int bottom);
  // Source rectangle (srcLeft, srcTop)-(srcRight, srcBottom) copied to (x, y).
  void Draw(CDC& dc, int x, int y, int srcLeft, int srcTop, int srcRight, int srcBottom);
  void DrawAt(CDC& dc, int x, int y);
  void StretchDraw(CDC& dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh);

  QImage* GetBitmapHandle() { return &bitmap_; }
  const QImage& GetImage() const { return bitmap_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }

 protected:
  void DeleteObjects();
  bool Adopt(QImage image);

  QImage bitmap_;
  int width_ = 0;
  int height_ = 0;
};

class CSpriteStrip : public CDibBitmap {
 public:
  // Loads the image cut into columns x rows cells and, with an overlay name,
  // the alpha image whose first cell gives a per-pixel opacity. A failed
  // load, or a strip too small for its cells, leaves a strip that draws
  // nothing.
  CSpriteStrip(CDC* dc, const QString& imageName, const QString& overlayName, int columns,
               int rows, bool fromResource, int extra);

  bool IsValid() const { return cellWidth_ > 0 && cellHeight_ > 0; }
  int GetCellWidth() const { return cellWidth_; }
  int GetCellHeight() const { return cellHeight_; }
  int GetExtra() const { return extra_; }
  bool HasAlphaMap() const { return !alphaMap_.empty(); }
  void SetColumnMajor(bool on) { columnMajor_ = on; }
  int GetLastX() const { return lastX_; }
  int GetLastY() const { return lastY_; }
  // Top-left corner of cell n in the image; false for a cell the strip lacks.
  bool CellOrigin(int n, int& x, int& y) const;

  void SaveBackground(CDC& dc, int x, int y, int n);
  void RestoreBackground(CDC& dc, int n);
  void DrawCellBlended(CDC& dc, int x, int y, int n, int weight);
  void DrawCellShadow(CDC& dc, int x, int y, int n, int weight);
  void DrawCell(CDC& dc, int x, int y, int n, int weight);
  void MoveCell(CDC& dc, int x, int y, int n, int weight);
  void MoveCellApart(CDC& dc, int x, int y, int n, int weight);

 private:
  void BuildMask();
  void BuildOverlayMask(const CDibBitmap& overlay, int cellWidth, int cellHeight);
  // Puts cell n over the cell-sized block of `target` at (ox, oy).
  void ComposeCell(QImage& target, int ox, int oy, int n, int weight) const;

  QImage mask_;
  std::unique_ptr<CDibBitmap> overlay_;
  std::vector<unsigned char> alphaMap_;  // index x * cellHeight + y
  int extra_ = 0;
  QImage workBitmap_;
  QImage cellBitmap_;
  QImage doubleCellBitmap_;
  bool columnMajor_ = false;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  int lastX_ = 0;
  int lastY_ = 0;
};

// Blends a horizontal or vertical line of pixels toward `colour`: each pixel
// from (x1, y1) up to but not including (x2, y2) becomes
// colour + ((pixel - colour) * weight >> 8) per channel. A weight of 256 or
// more, a single point or a slanted line changes nothing.
void BlendLine(CDC& dc, COLORREF colour, int x1, int y1, int x2, int y2, int weight);

// A line of the given pen width from (x1, y1) to (x2, y2) with a filled
// head, 10 pixels long and 10 wide, at (x2, y2).
void DrawArrowPolygon(CDC& dc, COLORREF colour, int x1, int y1, int x2, int y2, int penWidth);
