// The clipboard, the display's depth and one-line text drawing.
#include "platform/services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "game/fen_paste.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// The clipboard and the screens belong to the GUI application; without one
// these services do nothing.
bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

}  // namespace

void SetClipboardText(QWidget* owner, const char* text) {
  if (text != nullptr) SetClipboardText(owner, DecodeLanguageText(text, currentLanguage));
}

void SetClipboardText(QWidget* /*owner*/, const QString& text) {
  if (HaveGuiApplication()) QGuiApplication::clipboard()->setText(text);
}

size_t ClipTextLength(const char* text, size_t length, size_t maxBytes, CodePage page) {
  return PastedTextLength(text, length, maxBytes, page != CodePage::kWindows1252);
}

std::string GetClipboardText(size_t maxBytes) {
  if (!HaveGuiApplication()) return {};
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (mime == nullptr || !mime->hasText()) return {};
  const CodePage page = CodePageForLanguage(currentLanguage);
  const QByteArray bytes = EncodeText(mime->text(), page);
  const size_t size = static_cast<size_t>(bytes.size());
  return std::string(bytes.constData(), ClipTextLength(bytes.constData(), size, maxBytes, page));
}

void SetClipboardBitmap(QWidget* /*owner*/, const QImage& bitmap) {
  if (bitmap.isNull() || !HaveGuiApplication()) return;
  QGuiApplication::clipboard()->setImage(bitmap);
}

int GetDisplayBitsPerPixel(const CDC* dc) {
  if (dc != nullptr) return dc->GetDeviceCaps(BITSPIXEL) * dc->GetDeviceCaps(PLANES);
  if (HaveGuiApplication() && QGuiApplication::primaryScreen() != nullptr) {
    return QGuiApplication::primaryScreen()->depth();
  }
  return 32;
}

namespace {

// The bold italic face of the centred texts, `points` high on `dc`.
CFont CenteredTextFont(CDC& dc, int points) {
  return CFont{QStringLiteral("Times New Roman"), -(points * dc.GetDeviceCaps(LOGPIXELSY) / 72),
               700, true};
}

}  // namespace

QString FitCenteredText(CDC& dc, const QString& text, int points, int width) {
  const CFont oldFont = dc.SelectFont(CenteredTextFont(dc, points));
  QString fitted = text;
  if (dc.GetTextExtent(fitted).cx > width) {
    // Characters go from the middle out, so both ends stay readable.
    const QString ellipsis(QChar(0x2026));
    QString left = text.left(text.size() / 2), right = text.mid(text.size() / 2);
    while (!left.isEmpty() || !right.isEmpty()) {
      if (left.size() >= right.size()) left.chop(1);
      else right.remove(0, 1);
      fitted = left + ellipsis + right;
      if (dc.GetTextExtent(fitted).cx <= width) break;
    }
  }
  dc.SelectFont(oldFont);
  return fitted;
}

int FitCenteredTextPoints(CDC& dc, const QString& text, int points, int width) {
  int fitted = std::max(points, 1);
  for (; fitted > 1; --fitted) {
    const CFont oldFont = dc.SelectFont(CenteredTextFont(dc, fitted));
    const int used = dc.GetTextExtent(text).cx;
    // A slanted last letter reaches past its advance by up to a fifth of
    // the font's height.
    const int overhang = fitted * dc.GetDeviceCaps(LOGPIXELSY) / 72 / 5;
    dc.SelectFont(oldFont);
    if (used + overhang <= width) break;
  }
  return fitted;
}

void DrawCenteredText(CDC& dc, const CRect& r, const QString& text, int points, COLORREF colour) {
  const CFont oldFont = dc.SelectFont(CenteredTextFont(dc, points));
  const COLORREF oldColour = dc.SetTextColor(colour);
  const int oldMode = dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  dc.SetBkMode(oldMode);
  dc.SetTextColor(oldColour);
  dc.SelectFont(oldFont);
}

void DrawCenteredTextWithFont(CDC& dc, const CRect& r, const QString& text, const CFont& font) {
  const CFont oldFont = dc.SelectFont(font);
  dc.DrawText(text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  dc.SelectFont(oldFont);
}

void DrawLeftTextWithFont(CDC& dc, const CRect& r, const QString& text, const CFont& font) {
  const CFont oldFont = dc.SelectFont(font);
  dc.DrawText(text, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  dc.SelectFont(oldFont);
}
