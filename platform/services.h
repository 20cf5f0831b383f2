// Services shared by the main frame and the side windows: keeping a
// window's placement in the settings, the clipboard (text in the current
// language's code page, and pictures), the display's colour depth, and
// single lines of text centred or left-aligned in a rectangle.
#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <string>

#include "platform/colour.h"
#include "platform/device_context.h"
#include "platform/window_placement.h"
#include "res/menus.h"

class QWidget;

// Puts the 8-bit text (in the current language's code page) on the system
// clipboard. A null text changes nothing.
void SetClipboardText(QWidget* owner, const char* text);
// Puts a text on the system clipboard as it is.
void SetClipboardText(QWidget* owner, const QString& text);

// The clipboard's text in the current language's code page, at most
// `maxBytes` bytes, ending before a NUL and never in the middle of a
// two-byte character; empty when the clipboard holds no text.
std::string GetClipboardText(size_t maxBytes = 119);

// The first bytes of an 8-bit text in `page` before its first NUL that fit
// in `maxBytes` without splitting a two-byte GBK or Big5 character
// (PastedTextLength).
size_t ClipTextLength(const char* text, size_t length, size_t maxBytes, CodePage page);

// Puts a picture on the system clipboard. A null image changes nothing.
void SetClipboardBitmap(QWidget* owner, const QImage& bitmap);

// Bits per pixel of `dc`, or of the primary screen when `dc` is null (32
// when there is no screen).
int GetDisplayBitsPerPixel(const CDC* dc);

// One line of text centred in `r`, on a transparent background, in bold
// italic "Times New Roman" of `points` points and the given colour. The
// context's text colour, background mode and font are left as they were.
void DrawCenteredText(CDC& dc, const CRect& r, const QString& text, int points, COLORREF colour);
// `text` as DrawCenteredText draws it in at most `width` pixels: whole when
// it fits, else with characters from its middle replaced by an ellipsis.
QString FitCenteredText(CDC& dc, const QString& text, int points, int width);
// The largest size of at most `points` points (and at least 1) at which
// DrawCenteredText draws `text` in at most `width` pixels, italic overhang
// included.
int FitCenteredTextPoints(CDC& dc, const QString& text, int points, int width);

// One line centred in `r` in the given font; the context's font is left as
// it was.
void DrawCenteredTextWithFont(CDC& dc, const CRect& r, const QString& text, const CFont& font);

// One line at the left of `r`, centred vertically, in the given font; the
// context's font is left as it was.
void DrawLeftTextWithFont(CDC& dc, const CRect& r, const QString& text, const CFont& font);
