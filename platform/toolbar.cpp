#include "platform/toolbar.h"

#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

#include "platform/text_codec.h"
#include "res/toolbars.h"

namespace {

// How often the update pass runs while the bar is visible: often enough to
// follow the engine's state, rarely enough to cost nothing.
constexpr int kUpdateIntervalMs = 250;
// The pictures' own size; narrower buttons scale them down.
constexpr int kPictureSize = 24;

// The language of the tooltips: the interface language, English when it is
// outside the table.
int ShownLanguage() {
  return currentLanguage >= 0 && currentLanguage < kLanguageCount ? currentLanguage
                                                                  : kLanguageEnglish;
}

QToolButton* NewButton(QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setAutoRaise(true);
  // The board view keeps the keyboard focus.
  button->setFocusPolicy(Qt::NoFocus);
  button->show();
  return button;
}

}  // namespace

CToolBar::CToolBar(QWidget* parent) : QWidget(parent) {
  resize(0, kRowHeight);
  updateTimer_.setInterval(kUpdateIntervalMs);
  connect(&updateTimer_, &QTimer::timeout, this, &CToolBar::OnUpdateCmdUI);
  if (parent != nullptr) parent->installEventFilter(this);
}

bool CToolBar::LoadToolBar(int id, CCmdTarget* target, QObject* context) {
  Clear();
  const ToolbarResource* resource = FindToolbarResource(id);
  if (resource == nullptr) return false;
  resourceId_ = id;
  target_ = target;
  context_ = context;
  for (size_t i = 0; i < resource->buttonCount; ++i) {
    const ToolbarButton& entry = resource->buttons[i];
    Item item;
    if (entry.command == 0) {
      item.separator = new QFrame(this);
      item.separator->setFrameShape(QFrame::VLine);
      item.separator->setFrameShadow(QFrame::Sunken);
      item.separator->show();
    } else {
      const int command = entry.command;
      item.command = command;
      item.tooltip = entry.tooltip;
      item.button = NewButton(this);
      item.button->setIcon(QIcon(QPixmap(QStringLiteral(":/bitmaps/%1").arg(entry.picture))));
      connect(item.button, &QToolButton::clicked, this,
              [this, command] { ButtonClicked(command); });
    }
    items_.push_back(std::move(item));
  }
  textLanguage_ = -1;
  RefreshTexts();
  Relayout();
  // The first update pass runs when the bar is shown: the owner may still
  // be under construction now.
  return true;
}

void CToolBar::Clear() {
  // Deleted later: the bar may be rebuilt from a button's own signal.
  for (Item& item : items_) {
    for (QWidget* widget : {static_cast<QWidget*>(item.button), static_cast<QWidget*>(item.arrow),
                            static_cast<QWidget*>(item.separator)}) {
      if (widget == nullptr) continue;
      widget->hide();
      widget->deleteLater();
    }
  }
  items_.clear();
  resourceId_ = 0;
  target_ = nullptr;
  context_ = nullptr;
}

void CToolBar::SetDropDown(int command, std::function<void(int)> onDropDown) {
  auto found = std::find_if(items_.begin(), items_.end(),
                            [command](const Item& item) { return item.command == command; });
  if (command == 0 || found == items_.end()) return;  // 0 would find a separator
  found->onDropDown = std::move(onDropDown);
  if (found->arrow == nullptr) {
    found->arrow = NewButton(this);
    found->arrow->setArrowType(Qt::DownArrow);
    found->arrow->setToolTip(found->button->toolTip());
    found->arrow->setEnabled(found->button->isEnabled());
    connect(found->arrow, &QToolButton::clicked, this, [this, command] {
      const Item* item = Find(command);
      if (item == nullptr || !item->onDropDown) return;
      // A copy: the callback may rebuild the bar.
      const std::function<void(int)> callback = item->onDropDown;
      callback(command);
    });
    Relayout();
  }
}

void CToolBar::PopupMenuBelow(int command, QMenu* menu) {
  const Item* item = Find(command);
  if (item == nullptr || menu == nullptr) return;
  const QToolButton* button = item->button;
  QPoint at = button->mapToGlobal(QPoint(0, button->height()));
  // Like a drop-down list, the menu never covers its button: without room
  // below it opens above.
  if (const QScreen* screen = button->screen()) {
    const QRect room = screen->availableGeometry();
    const int height = menu->sizeHint().height();
    const int above = button->mapToGlobal(QPoint(0, 0)).y() - height;
    if (at.y() + height > room.bottom() + 1 && above >= room.top()) at.setY(above);
  }
  menu->popup(at);
}

void CToolBar::OnUpdateCmdUI() {
  if (ShownLanguage() != textLanguage_) RefreshTexts();
  if (target_ == nullptr || context_.isNull()) return;
  for (Item& item : items_) {
    if (item.button == nullptr) continue;
    CCmdUI ui(item.command);
    target_->OnUpdateCmdUI(ui);
    item.button->setEnabled(ui.IsEnabled());
    // Only a checked button is checkable, so a click never checks a button
    // by itself; the next pass shows what the command did.
    item.button->setCheckable(ui.IsChecked());
    item.button->setChecked(ui.IsChecked());
    if (item.arrow != nullptr) item.arrow->setEnabled(ui.IsEnabled());
  }
}

void CToolBar::RefreshTexts() {
  const int language = ShownLanguage();
  textLanguage_ = language;
  for (Item& item : items_) {
    if (item.button == nullptr) continue;
    const QString tip = DecodeLanguageText(
        ToolbarText(static_cast<ToolbarTextId>(item.tooltip), language), language);
    item.button->setToolTip(tip);
    if (item.arrow != nullptr) item.arrow->setToolTip(tip);
  }
}

QToolButton* CToolBar::Button(int command) const {
  const Item* item = Find(command);
  return item != nullptr ? item->button : nullptr;
}

QToolButton* CToolBar::DropDownArrow(int command) const {
  const Item* item = Find(command);
  return item != nullptr ? item->arrow : nullptr;
}

const CToolBar::Item* CToolBar::Find(int command) const {
  if (command == 0) return nullptr;
  for (const Item& item : items_) {
    if (item.command == command) return &item;
  }
  return nullptr;
}

void CToolBar::ButtonClicked(int command) {
  PostCommand(context_, target_, command);
  // Queued after the command, so the buttons show its outcome at once.
  QMetaObject::invokeMethod(this, &CToolBar::OnUpdateCmdUI, Qt::QueuedConnection);
}

// Lays the buttons out from the left. Buttons are kButtonWidth wide unless
// the bar would then run past its parent's right edge; they then share the
// room left, down to kMinButtonWidth each.
void CToolBar::Relayout() {
  int buttons = 0, fixed = 0;
  for (const Item& item : items_) {
    if (item.button == nullptr) {
      fixed += kSeparatorWidth;
    } else {
      ++buttons;
      if (item.arrow != nullptr) fixed += kArrowWidth;
    }
  }
  int width = kButtonWidth;
  const QWidget* parent = parentWidget();
  if (parent != nullptr && buttons > 0) {
    const int room = parent->width() - x();
    if (fixed + buttons * kButtonWidth > room)
      width = std::clamp((room - fixed) / buttons, kMinButtonWidth, kButtonWidth);
  }
  const int picture = std::min(kPictureSize, width - 2);
  const int height = kRowHeight - 2;
  int left = 0;
  for (Item& item : items_) {
    if (item.separator != nullptr) {
      item.separator->setGeometry(left, 4, kSeparatorWidth, kRowHeight - 8);
      left += kSeparatorWidth;
      continue;
    }
    item.button->setIconSize(QSize(picture, picture));
    item.button->setGeometry(left, 1, width, height);
    left += width;
    if (item.arrow != nullptr) {
      item.arrow->setGeometry(left, 1, kArrowWidth, height);
      left += kArrowWidth;
    }
  }
  resize(left, kRowHeight);
}

bool CToolBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) Relayout();
  return QWidget::eventFilter(watched, event);
}

void CToolBar::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Relayout();
  OnUpdateCmdUI();
  updateTimer_.start();
}

void CToolBar::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  updateTimer_.stop();
}
