// Colours as the window code keeps them: 32-bit values laid out 0x00BBGGRR
// (red in the lowest byte). This header is the one place where they meet
// Qt's 0xAARRGGBB order.
#pragma once

#include <QColor>
#include <QRgb>
#include <cstdint>

using COLORREF = std::uint32_t;

// Returned by pixel reads outside the surface.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>(r & 0xFF) | (static_cast<COLORREF>(g & 0xFF) << 8) |
         (static_cast<COLORREF>(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// Opaque Qt pixel value of a colour (the top byte of the colour is ignored).
constexpr QRgb ColorRefToQRgb(COLORREF c) {
  return 0xFF000000u | (static_cast<QRgb>(GetRValue(c)) << 16) |
         (static_cast<QRgb>(GetGValue(c)) << 8) | static_cast<QRgb>(GetBValue(c));
}

// Colour of a Qt pixel value; its alpha is dropped.
constexpr COLORREF QRgbToColorRef(QRgb p) {
  return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
             static_cast<int>(p & 0xFF));
}

inline QColor ToQColor(COLORREF c) { return QColor::fromRgb(ColorRefToQRgb(c)); }
