// Window placements kept in the settings, the clipboard, the display's
// depth and one-line text drawing.
#include "platform/services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMargins>
#include <QMimeData>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "game/fen_paste.h"
#include "platform/placement.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// Show commands of a stored placement besides kShowCommandNormal.
constexpr uint32_t kShowCommandMinimized = 2;
constexpr uint32_t kShowCommandMaximized = 3;

// The clipboard and the screens belong to the GUI application; without one
// these services do nothing.
bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

// The window manager's frame around a top-level window, as far as it is
// known (nothing before the window has been decorated, and nothing around a
// child widget).
QMargins FrameMargins(const QWidget* window) {
  if (!window->isWindow()) return {};
  const QRect frame = window->frameGeometry();
  const QRect client = window->geometry();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                  frame.right() - client.right(), frame.bottom() - client.bottom());
}

// The rectangle the window occupies in its normal (restored) state, frame
// included; a child widget's rectangle is in its parent's coordinates.
QRect NormalOuterRect(const QWidget* window) {
  if (!window->isWindow()) return window->geometry();
  constexpr Qt::WindowStates kNotNormal =
      Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  if (!(window->windowState() & kNotNormal)) return window->frameGeometry();
  QRect normal = window->normalGeometry();
  if (normal.isEmpty()) normal = window->geometry();
  return normal.marginsAdded(FrameMargins(window));
}

// The first screen an outer rectangle lies on in part, or null.
const QScreen* ScreenUnder(int64_t left, int64_t top, int64_t width, int64_t height) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    if (left < int64_t{g.x()} + g.width() && left + width > g.x() &&
        top < int64_t{g.y()} + g.height() && top + height > g.y()) {
      return screen;
    }
  }
  return nullptr;
}

// The top-left corner for an outer rectangle of the given size at (left,
// top): unchanged while any part of it lies on a screen, otherwise the
// nearest place inside the primary screen's work area.
QPoint OnScreenPosition(int64_t left, int64_t top, int64_t width, int64_t height) {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr || ScreenUnder(left, top, width, height) != nullptr) {
    return QPoint(static_cast<int>(left), static_cast<int>(top));
  }
  const QRect area = primary->availableGeometry();
  const int64_t maxLeft = std::max<int64_t>(area.x(), int64_t{area.x()} + area.width() - width);
  const int64_t maxTop = std::max<int64_t>(area.y(), int64_t{area.y()} + area.height() - height);
  return QPoint(static_cast<int>(std::clamp<int64_t>(left, area.x(), maxLeft)),
                static_cast<int>(std::clamp<int64_t>(top, area.y(), maxTop)));
}

// Holds an outer size to the work area of the screen that shows the
// rectangle (the primary one when none does), and to at least `least`.
void FitSizeToScreen(int64_t left, int64_t top, int64_t& width, int64_t& height, QSize least) {
  const QScreen* screen = ScreenUnder(left, top, width, height);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize room = screen->availableGeometry().size();
  width = std::max<int64_t>(std::min<int64_t>(width, room.width()), least.width());
  height = std::max<int64_t>(std::min<int64_t>(height, room.height()), least.height());
}

}  // namespace

int SaveWindowPlacement(QWidget* window, const char* name) {
  if (window == nullptr || name == nullptr || *name == '\0') return 0;
  WindowPlacementValue placement;
  if (window->isMinimized()) {
    placement.showCommand = kShowCommandMinimized;
  } else if (window->isMaximized()) {
    placement.flags = kPlacementRestoreToMaximized;
    placement.showCommand = kShowCommandMaximized;
  }
  const QRect normal = NormalOuterRect(window);
  placement.left = normal.x();
  placement.top = normal.y();
  placement.right = normal.x() + normal.width();
  placement.bottom = normal.y() + normal.height();
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  store.WriteString(kPlacementSection, name, FormatWindowPlacement(placement).c_str());
  return 1;
}

int LoadWindowPlacement(QWidget* window, const char* name) {
  if (window == nullptr || name == nullptr || *name == '\0') return 0;
  std::string text;
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.GetString(text, kPlacementSection, name, "");
  }
  if (text.empty()) return 0;
  const std::optional<WindowPlacementValue> placement = ParseWindowPlacement(text.c_str());
  if (!placement) return 0;

  // Back to the normal state first, so that the rectangle set below is the
  // normal one and not that of a maximised window.
  window->setWindowState(window->windowState() &
                         ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
  const QMargins margins = FrameMargins(window);
  int64_t width = int64_t{placement->right} - placement->left;
  int64_t height = int64_t{placement->bottom} - placement->top;
  // A fixed-size window keeps its own size, and so does any window when the
  // stored rectangle has no size.
  const bool keepSize = window->minimumSize() == window->maximumSize() || width <= 0 ||
                        height <= 0 || width > QWIDGETSIZE_MAX || height > QWIDGETSIZE_MAX;
  if (keepSize) {
    const QSize current = window->size().grownBy(margins);
    width = current.width();
    height = current.height();
  }
  // A size the screen cannot show would make a window larger than the
  // screen, kept so at every run.
  if (!keepSize && window->isWindow()) {
    FitSizeToScreen(placement->left, placement->top, width, height,
                    window->minimumSize().grownBy(margins));
  }
  const QPoint position = window->isWindow()
                              ? OnScreenPosition(placement->left, placement->top, width, height)
                              : QPoint(placement->left, placement->top);
  const QSize outer(static_cast<int>(width), static_cast<int>(height));
  const auto resizeToOuter = [&](const QMargins& frame) {
    const QSize client = outer.shrunkBy(frame);
    window->resize(std::max(1, client.width()), std::max(1, client.height()));
  };
  window->move(position);
  if (!keepSize) resizeToOuter(margins);
  window->showNormal();
  // A window shown for the first time learns its frame only now; the
  // stored rectangle includes the frame, so the client area shrinks by it
  // (otherwise the window would grow by its frame at every restore).
  const QMargins shownMargins = FrameMargins(window);
  if (!keepSize && shownMargins != margins) resizeToOuter(shownMargins);
  return 1;
}

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
