// Window placements kept in the settings.
//
// A placement is the rectangle of the window's frame. Qt places and sizes a
// top-level window by its client area, and learns the frame only after the
// window manager has framed the shown window. A window restored before that
// is placed by the frame the window manager announces for it when asked
// (so that it appears where and as large as it was left), else shown at
// the stored place with the stored size as its client size; a FrameFit
// watches it: as soon as the frame is drawn, the window is moved and sized
// once more, if need be, so that its frame, not its client, has the stored
// rectangle. Without a window manager the frame is the client and nothing
// more happens.
#include "platform/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/frame_extents.h"
#include "platform/placement.h"
#include "platform/settings_store.h"

namespace {

// Show commands of a stored placement besides kShowCommandNormal.
constexpr uint32_t kShowCommandMinimized = 2;
constexpr uint32_t kShowCommandMaximized = 3;

constexpr Qt::WindowStates kNotNormal =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// The frame of a window in its normal state, kept on the window: a window
// manager may draw a maximised window with another frame (openbox drops
// the borders).
constexpr const char* kNormalFrameProperty = "normalFrameMargins";

void RememberNormalFrame(QWidget* window, const QMargins& margins) {
  if (!margins.isNull()) window->setProperty(kNormalFrameProperty, QVariant::fromValue(margins));
}

// The rectangle the window occupies in its normal (restored) state, frame
// included; a child widget's rectangle is in its parent's coordinates.
QRect NormalOuterRect(const QWidget* window) {
  if (!window->isWindow()) return window->geometry();
  QRect client = window->geometry();
  QMargins margins = WindowFrameMargins(window);
  if (window->windowState() & kNotNormal) {
    const QRect normal = window->normalGeometry();
    if (!normal.isEmpty()) client = normal;
    const QVariant normalFrame = window->property(kNormalFrameProperty);
    if (normalFrame.canConvert<QMargins>()) margins = normalFrame.value<QMargins>();
  }
  return client.marginsAdded(margins);
}

// Moves and sizes `window` so that, with a frame of `margins`, its frame
// covers `outer` (a fixed-size window takes only the place). With the frame
// known the client's rectangle is set; before, QWidget::move places the
// frame of a window not yet created and the client of one created, and the
// client gets the outer size (a FrameFit then corrects both).
void PlaceFrame(QWidget* window, const QRect& outer, bool keepSize, const QMargins& margins) {
  const QSize size = keepSize ? window->size() : outer.size().shrunkBy(margins);
  const QSize client(std::max(1, size.width()), std::max(1, size.height()));
  if (margins.isNull()) {
    window->move(outer.topLeft());
    if (!keepSize) window->resize(client);
  } else {
    window->setGeometry(QRect(outer.topLeft() + QPoint(margins.left(), margins.top()), client));
  }
}

// The window manager has framed the window and shows it: its frame is the
// one drawn, not one announced before the window was shown.
bool Framed(const QWidget* window) {
  const QWindow* handle = window->windowHandle();
  return handle != nullptr && handle->isExposed() && !WindowFrameMargins(window).isNull();
}

QRect FitToScreens(int64_t left, int64_t top, int64_t width, int64_t height, QSize least);

// Puts a window restored before its frame was known where its frame
// should be once the window manager has framed it, then goes. The frame
// is looked for when the window is moved, resized, painted or activated,
// and every 50 ms for 20 s (with no window manager it never comes).
class FrameFit : public QObject {
  Q_OBJECT

 public:
  FrameFit(QWidget* window, const QRect& outer, bool keepSize)
      : QObject(window), window_(window), outer_(outer), keepSize_(keepSize) {
    window->installEventFilter(this);
    connect(&poll_, &QTimer::timeout, this, [this] {
      if (++polls_ > kPolls) {
        Done();
      } else if (Framed(window_)) {
        Fit();
      }
    });
    poll_.start(50);
  }

  // The outer rectangle the window is to have with the frame it has now:
  // one that keeps its size is larger by the frame, and kept on the work
  // area with it.
  QRect Wanted(const QMargins& margins) const {
    if (!keepSize_) return outer_;
    const QSize size = window_->size().grownBy(margins);
    return FitToScreens(outer_.x(), outer_.y(), size.width(), size.height(), QSize(0, 0));
  }

  // The pending fit of `window`, or null.
  static FrameFit* Of(const QWidget* window) {
    return window->findChild<FrameFit*>(QString(), Qt::FindDirectChildrenOnly);
  }

 protected:
  // The window is placed again outside the event's handling.
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (watched == window_ && !scheduled_ &&
        (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Paint ||
         type == QEvent::Show || type == QEvent::WindowActivate) &&
        Framed(window_)) {
      scheduled_ = true;
      QTimer::singleShot(0, this, [this] { Fit(); });
    }
    return false;
  }

 private:
  static constexpr int kPolls = 400;

  void Fit() {
    if (done_) return;
    const QMargins margins = WindowFrameMargins(window_);
    if (window_->isVisible() && !(window_->windowState() & kNotNormal)) {
      RememberNormalFrame(window_, margins);
      PlaceFrame(window_, Wanted(margins), keepSize_, margins);
    }
    Done();
  }

  void Done() {
    done_ = true;
    poll_.stop();
    window_->removeEventFilter(this);
    setParent(nullptr);
    deleteLater();
  }

  QWidget* window_;
  QRect outer_;
  bool keepSize_;
  QTimer poll_;
  int polls_ = 0;
  bool scheduled_ = false;
  bool done_ = false;
};

// The screen that shows most of the rectangle, the primary one when none
// shows any of it.
const QScreen* ScreenFor(int64_t left, int64_t top, int64_t width, int64_t height) {
  const QScreen* best = QGuiApplication::primaryScreen();
  int64_t bestArea = 0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    const int64_t w = std::min<int64_t>(left + width, int64_t{g.x()} + g.width()) -
                      std::max<int64_t>(left, g.x());
    const int64_t h = std::min<int64_t>(top + height, int64_t{g.y()} + g.height()) -
                      std::max<int64_t>(top, g.y());
    if (w > 0 && h > 0 && w * h > bestArea) {
      best = screen;
      bestArea = w * h;
    }
  }
  return best;
}

// The outer rectangle a stored one is shown at: held to the work area of
// its screen in size (and to at least `least`), and moved, keeping that
// size, to lie wholly on that work area; one larger than the work area has
// its top-left corner on it.
QRect FitToScreens(int64_t left, int64_t top, int64_t width, int64_t height, QSize least) {
  const QScreen* screen = ScreenFor(left, top, width, height);
  if (screen == nullptr) {
    return QRect(static_cast<int>(std::clamp<int64_t>(left, INT32_MIN / 2, INT32_MAX / 2)),
                 static_cast<int>(std::clamp<int64_t>(top, INT32_MIN / 2, INT32_MAX / 2)),
                 static_cast<int>(std::clamp<int64_t>(width, 1, QWIDGETSIZE_MAX)),
                 static_cast<int>(std::clamp<int64_t>(height, 1, QWIDGETSIZE_MAX)));
  }
  const QRect area = screen->availableGeometry();
  width = std::max<int64_t>(std::min<int64_t>(width, area.width()), least.width());
  height = std::max<int64_t>(std::min<int64_t>(height, area.height()), least.height());
  const int64_t maxLeft = std::max<int64_t>(area.x(), int64_t{area.x()} + area.width() - width);
  const int64_t maxTop = std::max<int64_t>(area.y(), int64_t{area.y()} + area.height() - height);
  left = std::clamp<int64_t>(left, area.x(), maxLeft);
  top = std::clamp<int64_t>(top, area.y(), maxTop);
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
               static_cast<int>(height));
}

// Shows a restored top-level window with its frame on `outer`. A window
// not yet shown is placed by the frame the window manager says it will
// draw, so that it appears at its place and size; it is placed again once
// its frame is drawn if that frame differs (or could not be known).
void ShowFramedAt(QWidget* window, const QRect& outer, bool keepSize) {
  delete FrameFit::Of(window);
  const bool framed = window->isVisible() && Framed(window);
  const QMargins margins = framed ? WindowFrameMargins(window) : PredictedFrameMargins(window);
  RememberNormalFrame(window, margins);
  PlaceFrame(window, outer, keepSize, margins);
  window->showNormal();
  if (framed) return;
  // Some window systems know the frame as soon as the window is shown.
  const QMargins shown = WindowFrameMargins(window);
  if (margins.isNull() && !shown.isNull()) {
    // A window that keeps its size is larger by that frame: it is fitted
    // onto the work area again with it.
    const QSize size = keepSize ? window->size().grownBy(shown) : outer.size();
    PlaceFrame(window, FitToScreens(outer.x(), outer.y(), size.width(), size.height(), QSize(0, 0)),
               keepSize, shown);
    return;
  }
  new FrameFit(window, outer, keepSize);
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
  QRect normal = NormalOuterRect(window);
  // Framed, but not yet placed again for its frame: the window is still
  // where it was restored to, less the frame.
  const QMargins margins = WindowFrameMargins(window);
  if (const FrameFit* fit = FrameFit::Of(window); fit != nullptr && !margins.isNull()) {
    normal = fit->Wanted(margins);
  }
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
  // The frame, or the one the window manager will draw: a window that
  // keeps its size, or is held to its least size, is fitted to the work
  // area by its size with that frame.
  QMargins margins = WindowFrameMargins(window);
  if (margins.isNull() && window->isWindow()) margins = PredictedFrameMargins(window);
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
  if (!window->isWindow()) {
    window->move(placement->left, placement->top);
    if (!keepSize) window->resize(static_cast<int>(width), static_cast<int>(height));
    window->showNormal();
    return 1;
  }
  // A size the screen cannot show would make a window larger than the
  // screen, kept so at every run; a place partly off the work area would
  // hide the title bar, the menu or the window's lower part (a window left
  // on a larger screen), with no way to move it back without a window
  // manager.
  const QSize least = keepSize ? QSize(0, 0) : window->minimumSize().grownBy(margins);
  ShowFramedAt(window, FitToScreens(placement->left, placement->top, width, height, least),
               keepSize);
  return 1;
}

QRect ShownFrameRect(const QWidget* window) {
  QMargins margins = WindowFrameMargins(window);
  const QVariant placedFor = window->property(kNormalFrameProperty);
  if (margins.isNull() && placedFor.canConvert<QMargins>()) margins = placedFor.value<QMargins>();
  return window->geometry().marginsAdded(margins);
}

void ShowWindowFrameAt(QWidget* window, const QPoint& place) {
  if (window == nullptr) return;
  ShowFramedAt(window, QRect(place, window->size().grownBy(WindowFrameMargins(window))), true);
}

#include "window_placement.moc"
