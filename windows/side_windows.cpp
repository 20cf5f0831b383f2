#include "windows/side_windows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/default_place.h"
#include "platform/frame_extents.h"
#include "platform/message_box.h"
#include "platform/window_placement.h"

CDigitalClockWnd* digitalClockWnd = nullptr;
CMiniClockDlg* miniClockDlg = nullptr;
CMoveListWnd* moveListWnd = nullptr;
CCommentsDlg* commentsDlg = nullptr;
CGameStatusDlg* gameStatusDlg = nullptr;
CLogsDlg* logsDlg = nullptr;

namespace {

// A window opened at a default place is at least as wide as its title
// needs in the window manager's title bar, within the widths it may take:
// a longer language's title is not cut. The name of the game file that
// the game information window adds after " > " is not counted: a long
// path would make the window wider than the screen, over the main window.
void FitWidthToTitle(QWidget* window) {
  const QString title = window->windowTitle();
  const QString caption = title.left(title.indexOf(QStringLiteral(" > ")));
  const int wanted = std::min(TitleBarMinimumWidth(caption), window->maximumWidth());
  if (window->width() < wanted) window->resize(wanted, window->height());
}

// While `quiet`, a window that is shown does not take the keys: the
// window manager is told the user did not ask for it (a user time of 0),
// and a window manager then leaves the focus where it is. Outside, a
// window shown takes them as any window does.
void ShowWithoutTakingKeys(QWidget* window, bool quiet) {
  // A native window made later takes the attribute; one made already
  // reads it as a property of its own when it is mapped.
  window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
  if (QWindow* handle = window->windowHandle())
    handle->setProperty("_q_showWithoutActivating", quiet ? QVariant(true) : QVariant());
}

// A side window created before its owner was shown.
struct WaitingWindow {
  QPointer<QWidget> window;
  std::string placementName;
  QPoint defaultPlace;
  std::function<void()> shown;
  // Opened with the owner (at the start), rather than by the user later:
  // it comes without taking the keys from the owner, whose board has them
  // (openbox would give them to the mini clock, a dialog, as it maps it,
  // and keys typed meanwhile would go there).
  bool withOwner = false;
};

// Kept on an owner (as its child): the side windows it owns, shown or
// waiting to be. It watches the owner: its show brings the waiting windows
// and, like an activation, raises the shown ones (a window manager keeps
// them above by itself; without one nothing else would); when its frame
// grows over a side window, that window moves clear of it.
class SideWindowKeeper : public QObject {
  Q_OBJECT

 public:
  explicit SideWindowKeeper(QWidget* owner) : QObject(owner), owner_(owner) {
    owner->installEventFilter(this);
  }

  static SideWindowKeeper* Of(QWidget* owner) {
    return owner->findChild<SideWindowKeeper*>(QString(), Qt::FindDirectChildrenOnly);
  }
  static SideWindowKeeper* For(QWidget* owner) {
    SideWindowKeeper* keeper = Of(owner);
    return keeper != nullptr ? keeper : new SideWindowKeeper(owner);
  }

  void Wait(WaitingWindow waiting) {
    waiting.withOwner = !owner_->isVisible();
    waiting_.push_back(std::move(waiting));
  }

  // `window` was raised: it is above the other side windows.
  void Raised(QWidget* window) {
    std::erase(shown_, QPointer<QWidget>(window));
    shown_.push_back(window);
  }

  // The shown windows' titles are in a new language: each narrower than
  // its new title needs grows to that width. One that then covers the
  // owner or another window it did not cover, or lies off the work area,
  // moves to the nearest place where it does not (as when the owner grows
  // over it).
  void FitShownToTitles() {
    const QRect owner = OwnerFrame();
    for (const QPointer<QWidget>& window : shown_) {
      if (window.isNull() || !window->isVisible() || window->isMinimized() ||
          window->isMaximized()) {
        continue;
      }
      const QRect before = ShownFrameRect(window);
      FitWidthToTitle(window);
      const QRect after = ShownFrameRect(window);
      const QScreen* screen = window->screen();
      if (screen == nullptr) screen = QGuiApplication::primaryScreen();
      if (after.size() == before.size() || screen == nullptr) continue;
      const QRect area = screen->availableGeometry();
      const std::vector<QRect> taken = ShownWindowFrames({window, owner_});
      bool coversMore = !area.contains(after) ||
                        (owner.isValid() && after.intersects(owner) && !before.intersects(owner));
      for (const QRect& other : taken)
        coversMore = coversMore || (after.intersects(other) && !before.intersects(other));
      if (!coversMore) continue;
      const QPoint better =
          PlanPlaces({{after.topLeft(), after.size()}}, area, owner, taken).front();
      if (better != after.topLeft()) ShowWindowFrameAt(window, better);
    }
  }

  bool IsWaiting(const QWidget* window) const {
    for (const WaitingWindow& w : waiting_) {
      if (w.window == window) return true;
    }
    return false;
  }

  // Shows the waiting windows once the owner is shown: those with a stored
  // placement at it, the others placed together.
  void ShowWaiting() {
    if (!owner_->isVisible() || waiting_.empty()) return;
    std::vector<WaitingWindow> waiting;
    waiting.swap(waiting_);
    std::erase_if(shown_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    std::vector<std::pair<QWidget*, QPoint>> atDefaults;
    for (const WaitingWindow& w : waiting) {
      if (w.window.isNull()) continue;
      if (w.withOwner) ShowWithoutTakingKeys(w.window, true);
      if (LoadWindowPlacement(w.window, w.placementName.c_str()) == 0) {
        FitWidthToTitle(w.window);
        atDefaults.emplace_back(w.window, w.defaultPlace);
      } else {
        shown_.push_back(w.window);
      }
    }
    ShowWindowsAtDefaultPlaces(atDefaults);
    for (const auto& [window, place] : atDefaults) shown_.push_back(window);
    for (const WaitingWindow& w : waiting) {
      if (!w.window.isNull() && w.withOwner) ShowWithoutTakingKeys(w.window, false);
    }
    lastFrame_ = OwnerFrame();
    for (const WaitingWindow& w : waiting) {
      if (!w.window.isNull() && w.shown) w.shown();
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != owner_) return false;
    switch (event->type()) {
      case QEvent::Show:
        // The owner reaches the window system after its show event: its
        // side windows come after it, so that they are above it.
        QTimer::singleShot(0, this, [this] {
          ShowWaiting();
          RaiseShown();
        });
        break;
      case QEvent::WindowActivate:
        RaiseShown();
        break;
      case QEvent::Move:
      case QEvent::Resize:
        if (!frameCheckPending_) {
          frameCheckPending_ = true;
          QTimer::singleShot(0, this, [this] { CheckFrame(); });
        }
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QRect OwnerFrame() const { return owner_->isVisible() ? ShownFrameRect(owner_) : QRect(); }

  // Without a window manager the shown side windows are raised above the
  // owner, keeping their order (nothing but the program restacks them).
  // A window manager keeps them above by itself, and the user's order.
  void RaiseShown() {
    if (WindowManagerRunning()) return;
    for (const QPointer<QWidget>& window : shown_) {
      if (!window.isNull() && window->isVisible() && !window->isMinimized()) window->raise();
    }
  }

  // The owner's frame grew: a side window it now covers and did not cover
  // before (one the user put over it stays) moves to the nearest place
  // clear of the owner and of the program's other windows, when the work
  // area has one, else to where it covers no title bar or menu bar and as
  // little as it can (it stays where it is when that is there).
  void CheckFrame() {
    frameCheckPending_ = false;
    const QRect before = lastFrame_;
    const QRect frame = OwnerFrame();
    lastFrame_ = frame;
    if (!before.isValid() || !frame.isValid() ||
        (frame.width() <= before.width() && frame.height() <= before.height())) {
      return;
    }
    for (const QPointer<QWidget>& window : shown_) {
      if (window.isNull() || !window->isVisible() || window->isMinimized() ||
          window->isMaximized()) {
        continue;
      }
      const QRect place = ShownFrameRect(window);
      if (!frame.intersects(place) || before.intersects(place)) continue;
      const std::vector<QRect> taken = ShownWindowFrames({window, owner_});
      const QScreen* screen = window->screen();
      if (screen == nullptr) screen = QGuiApplication::primaryScreen();
      if (screen == nullptr) continue;
      const QPoint better =
          PlanPlaces({{place.topLeft(), place.size()}}, screen->availableGeometry(), frame, taken)
              .front();
      if (better != place.topLeft()) ShowWindowFrameAt(window, better);
    }
  }

  QWidget* owner_;
  std::vector<WaitingWindow> waiting_;
  std::vector<QPointer<QWidget>> shown_;  // from the lowest to the highest
  QRect lastFrame_;
  bool frameCheckPending_ = false;
};

QWidget* OwnerOf(const QWidget* window) {
  QWidget* parent = window->parentWidget();
  return parent != nullptr ? parent->window() : nullptr;
}

}  // namespace

void ShowSideWindow(QWidget* window, const char* placementName, QPoint defaultPlace,
                    std::function<void()> shown) {
  if (window == nullptr) return;
  QWidget* owner = OwnerOf(window);
  if (owner == nullptr) {
    if (LoadWindowPlacement(window, placementName) == 0) {
      FitWidthToTitle(window);
      ShowWindowAtDefaultPlace(window, defaultPlace);
    }
    if (shown) shown();
    return;
  }
  SideWindowKeeper* keeper = SideWindowKeeper::For(owner);
  keeper->Wait(
      {window, placementName != nullptr ? placementName : "", defaultPlace, std::move(shown)});
  keeper->ShowWaiting();
}

void ShowWaitingSideWindows(QWidget* owner) {
  if (owner == nullptr) return;
  if (SideWindowKeeper* keeper = SideWindowKeeper::Of(owner)) keeper->ShowWaiting();
}

void FitSideWindowsToTitles(QWidget* owner) {
  if (owner == nullptr) return;
  if (SideWindowKeeper* keeper = SideWindowKeeper::Of(owner)) keeper->FitShownToTitles();
}

void BringSideWindowToFront(QWidget* window) {
  if (window == nullptr) return;
  SideWindowKeeper* keeper = nullptr;
  if (QWidget* owner = OwnerOf(window)) keeper = SideWindowKeeper::Of(owner);
  if (keeper != nullptr && keeper->IsWaiting(window)) return;
  if (keeper != nullptr) keeper->Raised(window);
  window->showNormal();
  window->raise();
  window->activateWindow();
}

#include "side_windows.moc"
