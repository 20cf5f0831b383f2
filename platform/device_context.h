// A small device context over a raster image: the copies with raster
// operations, pixels, lines, polygons, rectangles and text that the board
// drawing needs, with the Windows conventions it was written for (colours
// 0x00BBGGRR, rectangles right/bottom exclusive, LineTo leaving its end point
// out for thin pens, pens, brushes and fonts selected into the context).
//
// The context never owns its surface: it draws into the QImage it was given
// (or selected), which must stay alive while the context uses it. Surfaces
// are kept in QImage::Format_RGB32; CreateCompatibleBitmap makes one.
#pragma once

#include <QImage>
#include <QString>

class QFont;
class QPainter;
class QPaintDevice;

#include "platform/colour.h"

struct CRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct CPoint {
  int x = 0, y = 0;
};

struct CSize {
  int cx = 0, cy = 0;
};

// Raster operations of the block copies (their Windows codes).
enum RasterOp : std::uint32_t {
  SRCCOPY = 0x00CC0020,
  SRCPAINT = 0x00EE0086,  // destination OR source
  SRCAND = 0x008800C6,    // destination AND source
  SRCINVERT = 0x00660046, // destination XOR source
  PATCOPY = 0x00F00021,   // the selected brush
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062,
};

enum PenStyle { PS_SOLID = 0, PS_NULL = 5 };
enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
enum DeviceCap { HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, LOGPIXELSY = 90 };

// DrawText format bits.
enum : unsigned {
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_SINGLELINE = 0x20,
};

struct CPen {
  int style = PS_SOLID;
  int width = 1;  // 0 and 1 are both one pixel
  COLORREF colour = 0;
};

struct CBrush {
  bool hollow = false;  // the null brush: shapes are not filled
  COLORREF colour = 0xFFFFFF;
  static CBrush Solid(COLORREF c) { return CBrush{false, c}; }
  static CBrush Null() { return CBrush{true, 0}; }
};

// A logical font. height < 0 is the character height in pixels, height > 0
// the cell height (character and internal leading); weight 400 normal, 700
// bold.
struct CFont {
  QString face = QStringLiteral("arial");
  int height = -13;
  int weight = 400;
  bool italic = false;
};

// Debian font family standing in for a Windows face name: "Times New Roman"
// -> Liberation Serif, "arial" -> Liberation Sans, "courier" and
// "Courier New" -> Liberation Mono (any case); other names are kept.
QString MapFontFace(const QString& face);

// A black surface of the given size in the context's pixel format.
QImage CreateCompatibleBitmap(int width, int height);

class CDC {
 public:
  CDC() = default;
  explicit CDC(QImage* surface);

  // Selects another surface (a memory context selecting a bitmap); returns
  // the previous one. The surface is converted to Format_RGB32 if needed.
  QImage* SelectBitmap(QImage* surface);
  QImage* GetSurface() const { return surface_; }
  int Width() const;
  int Height() const;

  CPen SelectPen(const CPen& pen);
  CBrush SelectBrush(const CBrush& brush);
  CFont SelectFont(const CFont& font);
  const CPen& GetPen() const { return pen_; }
  const CBrush& GetBrush() const { return brush_; }
  const CFont& GetFont() const { return font_; }
  COLORREF SetTextColor(COLORREF c);
  COLORREF SetBkColor(COLORREF c);
  int SetBkMode(int mode);
  int GetDeviceCaps(int index) const;

  // Block copies, clipped to both surfaces. The source may be this context.
  bool BitBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, RasterOp op);
  // Scaled copy (nearest pixel, SRCCOPY only; other operations return false).
  bool StretchBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, int sw, int sh,
                  RasterOp op);
  // Scaled copy in which the source's pixels of colour `transparent` leave
  // the target as it is (as the sprites' pure black does); on a surface and
  // on a printer page alike.
  bool TransparentBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy, int sw, int sh,
                      COLORREF transparent);
  // Fills with the selected brush (PATCOPY), black or white.
  bool PatBlt(int x, int y, int w, int h, RasterOp op);
  void FillRect(const CRect& r, const CBrush& brush);

  COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside the surface
  bool SetPixelV(int x, int y, COLORREF c);

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const CPoint* points, int count);
  // Filled with the brush, outlined with the pen.
  void Polygon(const CPoint* points, int count);
  // Outline with the pen inside (left, top)-(right - 1, bottom - 1), interior
  // with the brush.
  void Rectangle(int left, int top, int right, int bottom);

  // Text in the selected font and text colour; the background is filled
  // with the background colour only in OPAQUE mode.
  void DrawText(const QString& text, const CRect& r, unsigned format);
  void TextOut(int x, int y, const QString& text);
  // Width and height of one line of text in the selected font.
  CSize GetTextExtent(const QString& text) const;

 protected:
  // A context that draws through `painter` (a printer page of the given
  // size in device pixels) in place of a surface; null returns to the
  // surface. Pixels cannot be read back from such a context.
  void AttachPainter(QPainter* painter, int width, int height, int dpi);

 private:
  void DrawSegment(int x1, int y1, int x2, int y2);
  bool HasTarget() const;
  QPaintDevice* Device() const;
  QFont MakeFont() const;
  template <class Draw>
  void Paint(Draw draw);

  QImage* surface_ = nullptr;
  CPen pen_{};
  CBrush brush_{};
  CFont font_{};
  COLORREF textColour_ = 0;
  COLORREF bkColour_ = 0xFFFFFF;
  int bkMode_ = OPAQUE;
  CPoint current_{};
  QPainter* painter_ = nullptr;
  int painterWidth_ = 0, painterHeight_ = 0, painterDpi_ = 96;
};
